// Picking a master row through its list form for the import and item number change forms, and showing
// the picked row.
#pragma once

#include "masterlookup.h"

#include <QList>
#include <utility>

class QLineEdit;

// Opens the list of `lookup` positioned on `text` (by code or by name) and, however the person leaves
// it, shows the named fields of the list's current row in the boxes.
void pickIntoBoxes(const MasterLookup& lookup, const QString& text, bool byCode, QWidget* parent,
                   const QList<std::pair<const char*, QLineEdit*>>& boxes);
