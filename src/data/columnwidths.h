// How many characters each text column holds, read from the compiled-in schema, so that entry boxes
// accept no more than their column and no second list of widths can drift from it.
#pragma once

#include <QString>

class QLineEdit;

// n for a VARCHAR(n) column of `table` (names in any letter case); 0 for a column that is not text or
// not in the schema.
int columnWidth(const QString& table, const QString& column);

// The box takes at most what the column holds (typing, pasting and dropping alike).
void limitToColumn(QLineEdit* box, const QString& table, const QString& column);

// Throws DbError naming the column when `text` is longer than the column holds.
void requireFits(const QString& table, const QString& column, const QString& text);
