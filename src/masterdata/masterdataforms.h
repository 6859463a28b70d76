// The master-data lists the main menu opens: runForm(Form7, parent) and so on for each list.
#pragma once

#include "employeelist.h"
#include "itemlist.h"
#include "movementtypelist.h"
#include "partnerlist.h"
#include "warehouselist.h"
