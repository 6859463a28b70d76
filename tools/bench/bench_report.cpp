// Benchmark of the report engine: a 10,000-line item card laid out (rows with their running-stock
// events, then layout) and painted to PDF, and the item summary over 200 items with its two grouped
// statements per item. Prints the figures; the limits are 1 s for the layout and 5 s for the PDF.
#include "data.h"
#include "formats.h"
#include "report.h"
#include "reportevents.h"
#include "reportpainter.h"
#include "databasefile.h"
#include "sharedstate.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int LineCount = 10000;
constexpr int ItemCount = 200;

// 10,000 lines made by the server from two 100-row sequences: one item card of them all, and the
// same lines spread over 200 item numbers for the summary.
void createDatabase(const QString& path)
{
    const auto created = createDatabaseFromSchema(path);
    Connection& connection = *created;
    Query insert(connection.transaction());
    insert.setSql(QStringLiteral(
        "INSERT INTO bizmozg (bbszam, bcikkszam, bbizdatum, bmnem, bear, bmenov, bmecsok, bertnov, bertcsok, "
        "btetel, bszoveg, bpkod) "
        "WITH RECURSIVE n AS (SELECT 0 AS i FROM rdb$database UNION ALL SELECT i + 1 FROM n WHERE i < 99) "
        "SELECT a.i * 100 + b.i + 1, 'K1', DATEADD(DAY, (a.i * 100 + b.i) / 30, DATE '2023-01-01'), "
        "IIF(MOD(b.i, 4) = 3, 'KI', 'BE'), 250.5, IIF(MOD(b.i, 4) = 3, 0, b.i + 1), IIF(MOD(b.i, 4) = 3, "
        "b.i, 0), "
        "0, 0, 'ABC1E10', 'Szállítás ' || (a.i * 100 + b.i), '1' FROM n a CROSS JOIN n b"));
    insert.execute();
    insert.setSql(
        QStringLiteral(
            "INSERT INTO bizmozg (bbszam, bcikkszam, bbizdatum, bmenov, bmecsok) "
            "SELECT bbszam, 'C' || MOD(CAST(bbszam AS INTEGER), %1), bbizdatum, bmenov, bmecsok FROM bizmozg")
            .arg(ItemCount));
    insert.execute();
    insert.setSql(QStringLiteral(
        "INSERT INTO cikk (cszam, cmegn) SELECT DISTINCT bcikkszam, 'Cikk ' || bcikkszam FROM bizmozg "
        "WHERE bcikkszam STARTING WITH 'C'"));
    insert.execute();
    connection.transaction().commit();
    connection.close();
}

void fill(Query& query, const QString& sql, const QDate& from, const QDate& to)
{
    query.close();
    query.clearSql();
    query.addSql(sql);
    query.paramByName(QStringLiteral("p2")).setDate(from);
    query.paramByName(QStringLiteral("p3")).setDate(to);
}

double seconds(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e9;
}

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Formats::initialise(QLocale(QLocale::Hungarian, QLocale::Hungary));
    Connection::prepareEmbeddedEnvironment();
    // An optional folder argument keeps the database and the PDF there for a closer look.
    QTemporaryDir temporary;
    const QDir dir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path());
    const QString path = dir.filePath(QStringLiteral("VARNEL2013.FDB"));
    QFile::remove(path);
    createDatabase(path);

    TData data(path);
    Data = &data;
    data.connectAndOpenTables();
    installReportEvents(data);
    const QString templates = QStringLiteral(VARNEL_TEMPLATE_DIR);

    // Item card over all 10,000 lines.
    Query& lines = *data.ZQ11;
    fill(lines,
         QStringLiteral("SELECT * FROM bizmozg WHERE ( bcikkszam = :p1 ) AND ( bbizdatum >= :p2 ) "
                        "AND ( bbizdatum <= :p3 ) ORDER BY bbizdatum, bbszam"),
         QDate(2000, 1, 1), QDate(2100, 1, 1));
    lines.paramByName(QStringLiteral("p1")).setText(QStringLiteral("K1"));
    QElapsedTimer timer;
    timer.start();
    lines.open();
    const int rowCount = lines.recordCount();
    const double fetch = seconds(timer);

    data.frNyomtat->loadFromFile(QDir(templates).filePath(QStringLiteral("VarnelKarton.frf")));
    timer.restart();
    const ReportPages pages = data.frNyomtat->prepare();
    const double layout = seconds(timer);

    const QString pdf = dir.filePath(QStringLiteral("karton.pdf"));
    timer.restart();
    ReportPainter::writePdf(pages, pdf);
    const double paint = seconds(timer);

    std::printf("item card: %d lines fetched in %.3f s\n", rowCount, fetch);
    std::printf("item card: %d rows, %d pages laid out in %.3f s (limit 1 s)%s\n", int(pages.rows().size()),
                pages.pageCount(), layout, layout < 1 ? "" : "  TOO SLOW");
    std::printf("item card: painted to PDF (%lld bytes) in %.3f s (limit 5 s)%s\n", QFileInfo(pdf).size(),
                paint, paint < 5 ? "" : "  TOO SLOW");

    // Item summary: two grouped statements per item while the report is prepared.
    fill(lines,
         QStringLiteral(
             "SELECT bcikkszam, cmegn, SUM(bmenov) AS sum_nov, SUM(bmecsok) AS sum_csok FROM bizmozg "
             "JOIN cikk ON cszam = bcikkszam WHERE ( bbizdatum >= :p2 ) AND ( bbizdatum <= :p3 ) "
             "GROUP BY bcikkszam, cmegn ORDER BY bcikkszam"),
         QDate(2023, 6, 1), QDate(2023, 12, 31));
    shared().SummaryDateFrom = QStringLiteral("2023.06.01");
    shared().SummaryDateTo = QStringLiteral("2023.12.31");
    data.frNyomtat->loadFromFile(QDir(templates).filePath(QStringLiteral("VarnelOsszesito.frf")));
    timer.restart();
    const int items = int(data.frNyomtat->prepare().rows().size());
    const double summary = seconds(timer);
    std::printf("item summary: %d items laid out in %.3f s (%.1f ms per item)\n", items, summary,
                items ? summary * 1000 / items : 0.0);
    return layout < 1 && paint < 5 ? 0 : 1;
}
