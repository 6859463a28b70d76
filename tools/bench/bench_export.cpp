// Benchmark of the export of the document register over a large database (1,000,000 lines) to .xlsx
// and CSV: time, rows a second, and the resident memory sampled as the rows go out, which must stay
// flat (one block of rows is held at a time). Works on a copy of the database it is given.
#include "data.h"
#include "dbgrid.h"
#include "documentregister.h"
#include "exportsources.h"
#include "formats.h"
#include "query.h"
#include "scriptedplatform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// A line of /proc/self/status in MiB (VmRSS: now, VmHWM: the peak so far).
double statusMiB(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_export VARNEL2013.FDB (made by varnel-initdb --lines 1000000)\n");
        return 2;
    }
    Formats::initialise(QLocale(QLocale::Hungarian, QLocale::Hungary));
    Connection::prepareEmbeddedEnvironment();
    QTemporaryDir temporary(QDir::tempPath() + QStringLiteral("/bench_export-XXXXXX"));
    const QString path = temporary.filePath(QStringLiteral("VARNEL2013.FDB"));
    if (!QFile::copy(QString::fromLocal8Bit(argv[1]), path)) {
        std::fprintf(stderr, "cannot copy %s\n", argv[1]);
        return 1;
    }
    ScriptedPlatform& platform = ScriptedPlatform::install();
    Data = new TData(path);
    Data->connectAndOpenTables();
    TForm17 form;   // opens the register's list
    DBGrid& grid = *form.DBGrid1;
    QList<ExportField> fields;
    for (const GridColumn& column : grid.rowModel()->columns())
        fields.append({column.field, column.title});
    std::printf("register export, %d columns; memory before: %.1f MiB resident\n", int(fields.size()),
                statusMiB("VmRSS:"));

    for (ExportFormat format : {ExportFormat::Csv, ExportFormat::Xlsx}) {
        const bool xlsx = format == ExportFormat::Xlsx;
        const QString file =
            temporary.filePath(xlsx ? QStringLiteral("register.xlsx") : QStringLiteral("register.csv"));
        QueryStreamRows rows(*Data->ZQ10, fields);
        ExportTable table{QStringLiteral("Bizonylatok"), {QStringLiteral("Bizonylatok")}, &rows, {}};
        QList<std::pair<qint64, double>> samples;
        qint64 nextSample = 0;
        QElapsedTimer timer;
        timer.start();
        const ExportResult result = TableExport::write(table, format, file, [&](qint64 written) {
            if (written >= nextSample) {
                samples.append({written, statusMiB("VmRSS:")});
                nextSample += 100000;
            }
            return true;
        });
        const double seconds = timer.nsecsElapsed() / 1e9;
        std::printf("\n%s: %lld rows in %.1f s (%.0f rows/s), %s, file %.1f MiB\n", xlsx ? "xlsx" : "csv",
                    result.rows, seconds, result.rows / seconds,
                    result.status == ExportResult::Status::Written ? "written" : qPrintable(result.error),
                    QFileInfo(file).size() / 1048576.0);
        std::printf("  resident memory while writing (rows: MiB):");
        for (const auto& [written, mib] : samples)
            std::printf(" %lld: %.1f;", written, mib);
        std::printf("\n  peak resident so far: %.1f MiB\n", statusMiB("VmHWM:"));
        QFile::remove(file);
    }

    // The same through the grid's menu command (file name through the platform, progress dialog).
    platform.fileAnswers.push_back(temporary.filePath(QStringLiteral("grid.csv")));
    QElapsedTimer timer;
    timer.start();
    const bool written = grid.exportRows(ExportFormat::Csv);
    std::printf("\ngrid command, csv: %s in %.1f s; the grid itself still holds %d rows\n",
                written ? "written" : "failed", timer.nsecsElapsed() / 1e9, grid.dataset()->fetchedCount());
    std::printf("peak resident: %.1f MiB\n", statusMiB("VmHWM:"));
    delete Data;
    Data = nullptr;
    return 0;
}
