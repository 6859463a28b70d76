// Small .xlsx files for the tests, written part by part with libzip, so that a test can build a sound
// workbook as well as a broken or hostile one.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct ZipPart {
    QString name;
    QByteArray content;
};

// Writes the parts, deflated, into a new zip file at `path`; false when it cannot be written.
bool writeZip(const QString& path, const QList<ZipPart>& parts);

// A first sheet of `rows`: a cell "=12.5" is the number 12.5, an empty cell is left out (a gap in the
// references), any other cell is text: inline, or through shared strings when `shared`.
QByteArray sheetXml(const QList<QStringList>& rows, bool shared, QByteArray* sharedStrings = nullptr);

// A workbook around a sheet part (and shared strings, when given), with its relationships.
QList<ZipPart> workbookParts(const QByteArray& sheet, const QByteArray& sharedStrings = {});

// writeZip(workbookParts(sheetXml(rows, shared))).
bool writeXlsx(const QString& path, const QList<QStringList>& rows, bool shared = false);
