// The item and movement-type lookups of the report forms, with their own statements, and the
// description lines they show.
#pragma once

#include "masterlookup.h"

#include <QStringList>

class Dataset;

// CIKK in ZQ21 by item number or name, the item list TForm7 over ZQ20 as the picker.
MasterLookup reportItemLookup();
// MNEM in ZQ51 by movement type or name, the movement-type list TForm13 over ZQ50 as the picker.
MasterLookup reportMovementTypeLookup();
// RAKTAR in ZQ41 by warehouse code or name, the warehouse list TForm11 over ZQ40 as the picker.
MasterLookup reportWarehouseLookup();

// The row's values of the columns, joined by single blanks.
QString joinedFields(const Dataset& row, const QStringList& columns);
