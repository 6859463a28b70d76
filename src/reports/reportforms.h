// The stock report forms the "Listák" menu opens: runForm(Form27, parent) and so on.
#pragma once

#include "batchcard.h"
#include "batchrangelist.h"
#include "cardrangelist.h"
#include "itemcard.h"
#include "itemsummary.h"
#include "stockonhand.h"
