// The export commands.
#include "exportcommands.h"

#include "dataset.h"
#include "dberror.h"
#include "platform.h"
#include "query.h"

#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QProgressDialog>

namespace {

QString suffix(ExportFormat format)
{
    return format == ExportFormat::Xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".csv");
}

// The chosen name, with the format's suffix when the user typed none; empty when cancelled.
QString askFileName(QWidget* parent, const QString& caption, const QString& filter, const QString& wanted)
{
    QString path = Platform::instance().saveFileName(parent, caption, QString(), filter);
    if (!path.isEmpty() && !path.endsWith(wanted, Qt::CaseInsensitive))
        path += wanted;
    return path;
}

void reportFailure(const QString& error)
{
    Platform::instance().information(QStringLiteral("Az exportálás nem sikerült: %1").arg(error));
}

}

namespace ExportCommands {

QString filter(ExportFormat format)
{
    return format == ExportFormat::Xlsx ? QStringLiteral("Excel-munkafüzet (*.xlsx)")
                                        : QStringLiteral("CSV-fájl, pontosvesszővel tagolt (*.csv)");
}

bool exportTable(QWidget* parent, ExportFormat format, const ExportTable& table)
{
    const QString path = askFileName(parent, QStringLiteral("Exportálás"), filter(format), suffix(format));
    if (path.isEmpty())
        return false;
    QProgressDialog progress(QStringLiteral("Exportálás…"), QStringLiteral("Mégse"), 0, 0, parent);
    progress.setObjectName(QStringLiteral("exportProgress"));
    progress.setWindowTitle(QStringLiteral("Exportálás"));
    progress.setAccessibleName(QStringLiteral("Exportálás folyamata"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const auto step = [&progress](qint64 rows) {
        progress.setLabelText(QStringLiteral("Exportálás… %1 sor").arg(rows));
        progress.setValue(0);
        QApplication::processEvents();
        return !progress.wasCanceled();
    };
    ExportResult result;
    try {
        result = TableExport::write(table, format, path, step);
    } catch (const DbError& error) {
        result = {ExportResult::Status::Failed, error.message(), 0};
    }
    if (result.status == ExportResult::Status::Failed)
        reportFailure(result.error);
    return result.status == ExportResult::Status::Written;
}

bool exportDataset(QWidget* parent, ExportFormat format, Dataset* dataset, const QList<ExportField>& fields,
                   const QString& title)
{
    std::unique_ptr<ExportRows> rows;
    try {
        if (auto* query = qobject_cast<Query*>(dataset); query && query->isOpen())
            rows = std::make_unique<QueryStreamRows>(*query, fields);
        else
            rows = std::make_unique<DatasetRows>(dataset, fields);
    } catch (const DbError& error) {
        reportFailure(error.message());
        return false;
    }
    ExportTable table;
    table.sheetName = title;
    if (!title.isEmpty())
        table.headLines << title;
    table.rows = rows.get();
    return exportTable(parent, format, table);
}

void addMenuActions(QMenu& menu, const std::function<void(ExportFormat)>& run)
{
    menu.addAction(QStringLiteral("Exportálás &Excelbe…"), [run] { run(ExportFormat::Xlsx); })
        ->setObjectName(QStringLiteral("exportXlsxAction"));
    menu.addAction(QStringLiteral("Exportálás &CSV-be…"), [run] { run(ExportFormat::Csv); })
        ->setObjectName(QStringLiteral("exportCsvAction"));
}

bool exportPdf(QWidget* parent, const std::function<bool(const QString&)>& print)
{
    const QString path = askFileName(parent, QStringLiteral("Exportálás PDF-be"),
                                     QStringLiteral("PDF-dokumentum (*.pdf)"), QStringLiteral(".pdf"));
    if (path.isEmpty())
        return false;
    const ExportResult result = TableExport::writeReplacing(path, [&](const QString& temporaryPath) {
        return print(temporaryPath)
                   ? ExportResult{}
                   : ExportResult{ExportResult::Status::Failed, QStringLiteral("a PDF nem írható."), 0};
    });
    if (result.status == ExportResult::Status::Failed)
        reportFailure(result.error);
    return result.status == ExportResult::Status::Written;
}

}
