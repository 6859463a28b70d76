// A table to export (title lines, typed columns, rows read block by block, totals) and the writers that
// put it into an .xlsx workbook or a Hungarian CSV file.
#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

// Cells are QVariants: a QString, a double, a QDate, or null for an empty cell.
using ExportRow = QVariantList;

struct ExportColumn {
    enum class Kind { Text, Number, Date };
    QString title;
    Kind kind = Kind::Text;
    int decimals = 0;   // Number: decimals shown, with thousands grouped
};

// The rows of a table, read in the order shown, a block at a time so that no more than one block is
// held in memory by the export.
class ExportRows {
public:
    virtual ~ExportRows() = default;
    virtual QList<ExportColumn> columns() const = 0;
    // Appends up to `count` rows to `rows`; false once there are no more.
    virtual bool nextBlock(int count, QList<ExportRow>& rows) = 0;
};

struct ExportTable {
    QString sheetName;
    QStringList headLines;   // the title and the period, each in its own row above the table
    ExportRows* rows = nullptr;
    QList<ExportRow> totals;   // the totals, each in its own row below the table
};

enum class ExportFormat { Xlsx, Csv };

struct ExportResult {
    enum class Status { Written, Cancelled, Failed };
    Status status = Status::Written;
    QString error;
    qint64 rows = 0;
};

namespace TableExport {

constexpr int BlockSize = 2000;
constexpr qint64 MaxXlsxRows = 1048576;

// Writes the table to `path`: into a temporary file beside it that replaces `path` only once it is
// complete, so that a cancelled or failed export leaves whatever stood under that name before.
// `progress` is told the rows written after every block and cancels the export by returning false.
ExportResult write(const ExportTable& table, ExportFormat format, const QString& path,
                   const std::function<bool(qint64)>& progress = {});

// Runs `writer` on a temporary file beside `path` and renames that over `path` only when it wrote it,
// with the permissions a new file gets under the umask (never wider than an older file's under that name).
ExportResult writeReplacing(const QString& path, const std::function<ExportResult(const QString&)>& writer);

// One CSV field: numbers with a decimal comma and no grouping, dates in the short date format, texts
// quoted when they hold the separator, a quote or a line break.
QString csvField(const QVariant& cell);

// The .xlsx number format of a column: thousands grouped, `decimals` decimals.
QString xlsxNumberFormat(int decimals);

}
