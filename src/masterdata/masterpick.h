// Picking a master row through its list form for the import and item number change forms, and showing
// the picked row.
#pragma once

#include "masterlookup.h"

#include <QList>
#include <utility>

class QLineEdit;

// Each box with the field of a master row it shows.
using FieldBoxes = QList<std::pair<const char*, QLineEdit*>>;

// Shows the named fields of the row's current record in the boxes.
void showInBoxes(const Query& row, const FieldBoxes& boxes);

// Opens the list of `lookup` positioned on `text` (by code or by name) and, however the person leaves
// it, shows the named fields of the list's current row in the boxes.
void pickIntoBoxes(const MasterLookup& lookup, const QString& text, bool byCode, QWidget* parent,
                   const FieldBoxes& boxes);
