// The .xlsx and CSV writers.
#include "tableexport.h"

#include "failurereason.h"
#include "filemodes.h"
#include "formats.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <xlsxwriter.h>

namespace {

constexpr double CharWidthLimit = 60;   // columns fit their texts up to this many characters

QString quoted(const QString& text)
{
    QString result = text;
    result.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + result + QLatin1Char('"');
}

QString cellText(const QVariant& cell)
{
    switch (cell.typeId()) {
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::LongLong: return Formats::formatGeneral(cell.toDouble());
    case QMetaType::QDate: return Formats::formatDate(cell.toDate());
    default: return cell.toString();
    }
}

ExportResult failed(const QString& error)
{
    return {ExportResult::Status::Failed, error, 0};
}

// Reads the table's rows block by block into `write`, which gives an error text to stop; the progress
// callback hears of every block and may cancel.
ExportResult writeBlocks(const ExportTable& table, const std::function<bool(qint64)>& progress,
                         const std::function<QString(const QList<ExportRow>&)>& write)
{
    ExportResult result;
    QList<ExportRow> block;
    bool more = true;
    while (more) {
        block.clear();
        more = table.rows->nextBlock(TableExport::BlockSize, block);
        const QString error = write(block);
        if (!error.isEmpty())
            return {ExportResult::Status::Failed, error, result.rows};
        result.rows += block.size();
        if (progress && !progress(result.rows))
            return {ExportResult::Status::Cancelled, {}, result.rows};
    }
    return result;
}

// CSV as Hungarian spreadsheets open it by double-click: UTF-8 with a BOM, ";" between fields, CRLF.
ExportResult writeCsv(const ExportTable& table, const QString& path,
                      const std::function<bool(qint64)>& progress)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(fileReason(file));
    const auto line = [&file](const ExportRow& cells) {
        QStringList fields;
        for (const QVariant& cell : cells)
            fields << TableExport::csvField(cell);
        file.write((fields.join(QLatin1Char(';')) + QLatin1String("\r\n")).toUtf8());
    };
    file.write("\xEF\xBB\xBF");
    for (const QString& head : table.headLines)
        line({head});
    if (!table.headLines.isEmpty())
        line({});
    ExportRow titles;
    for (const ExportColumn& column : table.rows->columns())
        titles << column.title;
    line(titles);
    const ExportResult result = writeBlocks(table, progress, [&](const QList<ExportRow>& block) {
        for (const ExportRow& row : block)
            line(row);
        return QString();
    });
    if (result.status != ExportResult::Status::Written) {
        file.cancelWriting();
        return result;
    }
    if (!table.totals.isEmpty())
        line({});
    for (const ExportRow& row : table.totals)
        line(row);
    // QSaveFile would give a replaced file its older permissions, however wide.
    if (!file.setPermissions(FileModes::replacing(path)) || !file.commit())
        return failed(fileReason(file));
    return result;
}

class Workbook {
public:
    explicit Workbook(const QByteArray& path)
    {
        lxw_workbook_options options = {};
        options.constant_memory = LXW_TRUE;   // rows go to disk as they are written
        options.use_zip64 = LXW_TRUE;
        book_ = workbook_new_opt(path.constData(), &options);
    }
    ~Workbook()
    {
        if (book_)
            lxw_workbook_free(book_);
    }
    lxw_workbook* get() const { return book_; }
    lxw_error close()
    {
        lxw_workbook* book = std::exchange(book_, nullptr);
        return workbook_close(book);   // frees the workbook too
    }

private:
    lxw_workbook* book_ = nullptr;
};

class XlsxSheet {
public:
    XlsxSheet(lxw_workbook* book, const ExportTable& table) : book_(book)
    {
        QString name = table.sheetName;
        for (QChar bad : QStringLiteral("[]:*?/\\"))
            name.replace(bad, QLatin1Char(' '));
        name = name.trimmed().left(31);
        sheet_ = workbook_add_worksheet(book, name.isEmpty() ? nullptr : name.toUtf8().constData());
        bold_ = workbook_add_format(book);
        format_set_bold(bold_);
        title_ = workbook_add_format(book);
        format_set_bold(title_);
        format_set_font_size(title_, 14);
        QString dateFormat = Formats::shortDateFormat();
        dateFormat.replace(QLatin1String("MM"), QLatin1String("mm"));
        date_ = workbook_add_format(book);
        format_set_num_format(date_, dateFormat.toUtf8().constData());
    }

    lxw_worksheet* sheet() const { return sheet_; }

    void setColumns(const QList<ExportColumn>& columns)
    {
        columns_ = columns;
        widths_.assign(size_t(columns.size()), 8);
        for (const ExportColumn& column : columns) {
            if (column.kind != ExportColumn::Kind::Number) {
                numberFormats_.append(nullptr);
                continue;
            }
            lxw_format* format = workbook_add_format(book_);
            format_set_num_format(format,
                                  TableExport::xlsxNumberFormat(column.decimals).toUtf8().constData());
            numberFormats_.append(format);
        }
    }

    void writeText(int row, int column, const QString& text, lxw_format* format = nullptr)
    {
        if (text.isEmpty())
            return;
        worksheet_write_string(sheet_, lxw_row_t(row), lxw_col_t(column), text.toUtf8().constData(), format);
        fit(column, text.size());
    }

    void writeRow(int row, const ExportRow& cells, lxw_format* textFormat = nullptr)
    {
        for (int column = 0; column < cells.size(); ++column) {
            const QVariant& cell = cells[column];
            lxw_format* number = column < numberFormats_.size() ? numberFormats_[column] : nullptr;
            switch (cell.typeId()) {
            case QMetaType::Double:
            case QMetaType::Int:
            case QMetaType::LongLong:
                worksheet_write_number(sheet_, lxw_row_t(row), lxw_col_t(column), cell.toDouble(),
                                       textFormat ? textFormat : number);
                fit(column, Formats::formatAmount(cell.toDouble(), columnDecimals(column)).size());
                break;
            case QMetaType::QDate: {
                const QDate date = cell.toDate();
                lxw_datetime value = {date.year(), date.month(), date.day(), 0, 0, 0};
                worksheet_write_datetime(sheet_, lxw_row_t(row), lxw_col_t(column), &value, date_);
                fit(column, 10);
                break;
            }
            default: writeText(row, column, cell.toString(), textFormat);
            }
        }
    }

    void applyWidths()
    {
        for (size_t column = 0; column < widths_.size(); ++column)
            worksheet_set_column(sheet_, lxw_col_t(column), lxw_col_t(column), widths_[column] + 2, nullptr);
    }

    lxw_format* bold() const { return bold_; }
    lxw_format* title() const { return title_; }

private:
    int columnDecimals(int column) const { return column < columns_.size() ? columns_[column].decimals : 0; }
    void fit(int column, qsizetype characters)
    {
        if (size_t(column) < widths_.size())
            widths_[size_t(column)] = qMin(CharWidthLimit, qMax(widths_[size_t(column)], double(characters)));
    }

    lxw_workbook* book_;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_format* title_ = nullptr;
    lxw_format* date_ = nullptr;
    QList<ExportColumn> columns_;
    QList<lxw_format*> numberFormats_;
    std::vector<double> widths_;
};

ExportResult writeXlsx(const ExportTable& table, const QString& temporaryPath,
                       const std::function<bool(qint64)>& progress)
{
    Workbook book(QFile::encodeName(temporaryPath));
    if (!book.get())
        return failed(QStringLiteral("A munkafüzet nem hozható létre."));
    XlsxSheet sheet(book.get(), table);
    const QList<ExportColumn> columns = table.rows->columns();
    sheet.setColumns(columns);

    int row = 0;
    for (const QString& head : table.headLines) {
        sheet.writeText(row, 0, head, row == 0 ? sheet.title() : sheet.bold());
        ++row;
    }
    if (!table.headLines.isEmpty())
        ++row;
    const int headerRow = row;
    for (int column = 0; column < columns.size(); ++column)
        sheet.writeText(headerRow, column, columns[column].title, sheet.bold());
    ++row;

    const ExportResult result = writeBlocks(table, progress, [&](const QList<ExportRow>& block) {
        if (row + block.size() + table.totals.size() + 1 > TableExport::MaxXlsxRows)
            return QStringLiteral("Egy Excel-munkalap legfeljebb %1 sort fogad; a lista ennél hosszabb, "
                                  "CSV-be exportálható.")
                .arg(TableExport::MaxXlsxRows);
        for (const ExportRow& cells : block)
            sheet.writeRow(row++, cells);
        return QString();
    });
    if (result.status != ExportResult::Status::Written)
        return result;
    const int lastDataRow = row - 1;
    if (!table.totals.isEmpty())
        ++row;
    for (const ExportRow& cells : table.totals)
        sheet.writeRow(row++, cells, nullptr);

    worksheet_freeze_panes(sheet.sheet(), lxw_row_t(headerRow + 1), 0);
    if (!columns.isEmpty())
        worksheet_autofilter(sheet.sheet(), lxw_row_t(headerRow), 0, lxw_row_t(qMax(headerRow, lastDataRow)),
                             lxw_col_t(columns.size() - 1));
    sheet.applyWidths();
    errno = 0;
    const lxw_error error = book.close();
    // The library's own texts are English; the system's reason behind them is what the user can act on.
    if (error != LXW_NO_ERROR)
        return failed(errno != 0
                          ? systemReason(errno)
                          : QStringLiteral("Az xlsx fájl nem készült el (hibakód: %1).").arg(int(error)));
    return result;
}

}

namespace TableExport {

QString csvField(const QVariant& cell)
{
    const QString text = cellText(cell);
    if (cell.typeId() != QMetaType::QString)
        return text;
    static const QString special = QStringLiteral(";\"\r\n");
    for (QChar c : text)
        if (special.contains(c))
            return quoted(text);
    // A leading or trailing blank would be trimmed by the spreadsheet.
    if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()))
        return quoted(text);
    return text;
}

QString xlsxNumberFormat(int decimals)
{
    return decimals > 0 ? QStringLiteral("#,##0.") + QString(decimals, QLatin1Char('0'))
                        : QStringLiteral("#,##0");
}

ExportResult writeReplacing(const QString& path, const std::function<ExportResult(const QString&)>& writer)
{
    QString temporaryPath;
    {
        // Only the name is reserved: the writers open the file by name.
        QTemporaryFile reserved(QFileInfo(path).absolutePath() + QStringLiteral("/.exportXXXXXX.part"));
        reserved.setAutoRemove(false);
        if (!reserved.open())
            return failed(fileReason(reserved));
        temporaryPath = reserved.fileName();
    }
    ExportResult result = writer(temporaryPath);
    if (result.status == ExportResult::Status::Written) {
        // The temporary file was made for its owner alone; the export gets what a new file gets here.
        // rename() then replaces an older file under that name in one step.
        if (QFile::setPermissions(temporaryPath, FileModes::replacing(path)) &&
            std::rename(QFile::encodeName(temporaryPath).constData(), QFile::encodeName(path).constData()) ==
                0)
            return result;
        result = failed(systemReason(errno));
    }
    QFile::remove(temporaryPath);
    return result;
}

ExportResult write(const ExportTable& table, ExportFormat format, const QString& path,
                   const std::function<bool(qint64)>& progress)
{
    if (format == ExportFormat::Csv)
        return writeCsv(table, path, progress);
    return writeReplacing(
        path, [&](const QString& temporaryPath) { return writeXlsx(table, temporaryPath, progress); });
}

}
