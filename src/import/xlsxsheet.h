// The first sheet of an .xlsx workbook as rows of texts: the zip container through libzip, the workbook,
// its relationships, the shared strings and the sheet through Qt's XML stream reader.
#pragma once

#include "sheetfile.h"

namespace XlsxSheet {

// Bounds a workbook keeps before anything is unpacked or parsed, so that a zip bomb, a container of
// countless entries or a sheet of a million rows ends in a message instead of eating the memory.
constexpr int MaxEntries = 10000;
constexpr qint64 MaxEntryBytes = 128LL * 1024 * 1024;   // one unpacked part (the sheet, the strings)
constexpr qint64 MaxRatio = 1000;   // unpacked to packed: deflate reaches about 1030 only on filler
constexpr int MaxColumns = 16384;   // the widest sheet a spreadsheet program makes

bool looksLikeZip(const QByteArray& head);

// Throws SheetError for a file that is not a workbook or breaks a bound.
QList<SheetRow> read(const QString& path);

// The part a relationship's target names, from the folder of the part that names it; empty when the
// target leaves the container (an absolute URI, "..") or is malformed.
QString resolvePart(const QString& fromFolder, const QString& target);

}
