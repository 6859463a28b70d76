// The code a new master row gets.
#pragma once

#include <QString>

// One more than the largest code of `column` in `table` that is made only of digits, compared as
// numbers; "1" for a table without such codes. Codes are text, so "10" sorts before "9": taking the
// last code in text order would hand out a code that already exists. Codes that are not whole numbers
// (taken over by the import, for example) are passed over. `table` and `column` are fixed names.
QString nextCode(const QString& table, const QString& column);
