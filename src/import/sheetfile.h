// Reading a spreadsheet file, the first sheet of an .xlsx workbook or a CSV file, into rows of texts,
// bounded against hostile files.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <stdexcept>

// A file that cannot be read as a table; the text is the one the user is shown.
class SheetError : public std::runtime_error {
public:
    explicit SheetError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    QString text() const { return text_; }

private:
    QString text_;
};

// A row that holds at least one non-blank cell; empty rows are left out.
struct SheetRow {
    int line = 0;   // its number in the file, as the spreadsheet or the text editor shows it
    QStringList cells;
};

namespace SheetFile {

// Rows of data a file may bring at once; a file's header and title rows come on top.
constexpr int MaxRows = 50000;
constexpr int MaxLeadingRows = 20;
// A workbook or CSV file this large holds far more than MaxRows rows of master data.
constexpr qint64 MaxFileBytes = 64LL * 1024 * 1024;
// Cells kept of a whole file: forty columns of MaxRows rows. A file of separators only, or of rows with
// one cell in the last column a sheet has, would otherwise fill the memory with empty cells.
constexpr qint64 MaxCells = 40LL * MaxRows;

QString tooManyRows();

// The rows a reader keeps: those with a non-blank cell, without their trailing blank cells, within the
// bounds on rows and cells (SheetError beyond them).
class RowCollector {
public:
    void add(SheetRow row);
    // Throws when a row still being read would take the cells beyond the bound.
    void checkPending(qsizetype cells) const;
    QList<SheetRow> take() { return std::move(rows_); }

private:
    QList<SheetRow> rows_;
    qint64 cells_ = 0;
};

// An .xlsx file (a zip container, whatever its name) or else a text file; throws SheetError.
QList<SheetRow> read(const QString& path);

// CSV: UTF-8 with or without its BOM, else Windows-1250; ";", "," or tab between fields, found from the
// first line that holds any; fields in double quotes may hold separators, quotes ("") and line breaks.
QList<SheetRow> readCsv(const QByteArray& content);

}
