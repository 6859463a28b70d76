// Benchmark of the stock report forms on a large database: the item card's collection, the batch-number
// range list's collection, the card range list "Összesitett", and the item summary's collection and
// report preparation. Each is timed as the program does it (the form, its statements, the first block of
// rows in the grid, the report events and layout) beside the bare engine time of the same statements
// run through a plain query. Run it in a folder holding a copy of the database (VARNEL2013.FDB and the
// templates): bench_stockreports [FOLDER] [YEAR]. Prints a table in milliseconds.
#include "application.h"
#include "benchsupport.h"
#include "data.h"
#include "dbgrid.h"
#include "formats.h"
#include "query.h"
#include "report.h"
#include "reportevents.h"
#include "reportforms.h"
#include "scriptedplatform.h"
#include "sharedstate.h"

#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int Repeats = 3;

// The median of the repeats, after one run that warms the page cache.
double medianMs(const std::function<void()>& run)
{
    run();
    std::vector<double> times;
    for (int i = 0; i < Repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// One statement opened as the program builds it; its rows fetched up to `rows` (all when -1).
int openAndFetch(Query& query, const QStringList& lines, const std::function<void(Query&)>& bind, int rows)
{
    query.close();
    query.clearSql();
    for (const QString& line : lines)
        query.addSql(line);
    bind(query);
    query.open();
    while ((rows < 0 || query.fetchedCount() < rows) && query.fetchMore()) {
    }
    return query.fetchedCount();
}

void bindTexts(Query& query, const QStringList& texts, const QList<QDate>& dates)
{
    int number = 0;
    for (const QString& text : texts)
        query.paramByName(QStringLiteral("p%1").arg(++number)).setText(text);
    for (const QDate& date : dates)
        query.paramByName(QStringLiteral("p%1").arg(++number)).setDate(date);
}

// A form shown offscreen: collecting fills the grid's first block as on screen.
void clickAndSettle(QPushButton* button)
{
    button->click();
    QCoreApplication::processEvents();
}

struct Row {
    const char* operation;
    double program;
    double engine;
    QString note;
};

QString firstText(Query& query, const QString& sql, const QString& column)
{
    query.close();
    query.clearSql();
    query.addSql(sql);
    query.open();
    return query.fieldByName(column).asString();
}

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application application(argc, argv);
    Formats::initialise(QLocale(QLocale::Hungarian, QLocale::Hungary));
    Connection::prepareEmbeddedEnvironment();
    if (argc > 1)
        QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    const int year = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : QDate::currentDate().year();
    const QDate from(year, 1, 1);
    const QDate to(year, 12, 31);
    ScriptedPlatform::install();
    Data = new TData();
    Data->connectAndOpenTables();
    installReportEvents(*Data);
    Query bare(Data->IBTrans1);

    // The busiest item, its batch number, and a range of a tenth of the item numbers.
    const QString item = firstText(bare,
                                   QStringLiteral("SELECT FIRST 1 bcikkszam FROM bizmozg GROUP BY bcikkszam "
                                                  "ORDER BY COUNT(*) DESC"),
                                   QStringLiteral("bcikkszam"));
    const QString batch =
        firstText(bare, QStringLiteral("SELECT FIRST 1 btetel FROM bizmozg WHERE bcikkszam = '%1'").arg(item),
                  QStringLiteral("btetel"));
    const QString firstItem =
        firstText(bare, QStringLiteral("SELECT MIN(cszam) AS c FROM cikk"), QStringLiteral("c"));
    const QString tenthItem =
        firstText(bare, QStringLiteral("SELECT cszam FROM cikk ORDER BY cszam ROWS 1000 TO 1000"),
                  QStringLiteral("cszam"));
    const int lines =
        firstText(bare, QStringLiteral("SELECT COUNT(*) AS n FROM bizmozg"), QStringLiteral("n")).toInt();
    std::vector<Row> table;
    // VARNEL_BENCH_ONLY="item summary" (or another report's name) measures that report alone.
    const QString only = qEnvironmentVariable("VARNEL_BENCH_ONLY");
    const auto wanted = [&only](const char* report) {
        return only.isEmpty() || only == QLatin1String(report);
    };

    if (wanted("item card")) {
        TForm27 form;
        form.show();
        form.Edit1->setText(item);
        form.DateTimePicker1->setDate(from);
        form.DateTimePicker2->setDate(to);
        const double program = medianMs([&] { clickAndSettle(form.Button5); });
        const QString condition =
            QStringLiteral("WHERE ( bcikkszam = :p1 ) AND ( bbizdatum >= :p2 ) AND ( bbizdatum <= :p3 )");
        int rows = 0;
        const double engine = medianMs([&] {
            openAndFetch(
                bare,
                {"SELECT bgroup, SUM(bmenov) AS athoznov, SUM(bmecsok) AS athozcsok, SUM(bmenov - bmecsok) "
                 "AS athozat",
                 "FROM bizmozg", "WHERE  ( bcikkszam = :p1 ) AND ( bbizdatum < :p2 )", "GROUP BY bgroup"},
                [&](Query& q) { bindTexts(q, {item}, {from}); }, -1);
            openAndFetch(
                bare,
                {"SELECT bgroup, SUM(bmenov) AS sum_nov, SUM(bmecsok) AS sum_csok", "FROM bizmozg", condition,
                 "GROUP BY bgroup"},
                [&](Query& q) {
                    bindTexts(q, {item}, {from, to});
                },
                -1);
            rows = openAndFetch(
                bare, {"SELECT *", "FROM bizmozg", condition, "ORDER BY bbizdatum, bbszam"},
                [&](Query& q) {
                    bindTexts(q, {item}, {from, to});
                },
                Dataset::BlockSize);
        });
        table.push_back({"item card: collection", program, engine,
                         QStringLiteral("item %1, %2 lines in the year").arg(item).arg(rows)});
    }

    if (wanted("batch range list")) {
        TForm31 form;
        form.show();
        const QString group = batch.left(3);
        form.Edit1->setText(group);
        form.Edit2->setText(group);
        form.DateTimePicker1->setDate(from);
        form.DateTimePicker2->setDate(to);
        const double program = medianMs([&] { clickAndSettle(form.Button5); });
        const QStringList texts = {group, group, "A", "K", "E", "V", "1", "9", "0", "9"};
        const QString line1 = QStringLiteral(
            "WHERE  ( SUBSTRING(BTETEL FROM 1 FOR 3) >= :p1 ) AND ( SUBSTRING(BTETEL FROM 1 FOR 3) <= :p2 ) "
            "AND "
            "( SUBSTRING(BTETEL FROM 4 FOR 1) >= :p3 ) AND ( SUBSTRING(BTETEL FROM 4 FOR 1) <= :p4 )");
        const QString line2 = QStringLiteral(
            "AND ( SUBSTRING(BTETEL FROM 5 FOR 1) >= :p5 ) AND ( SUBSTRING(BTETEL FROM 5 FOR 1) <= :p6 ) AND "
            "( SUBSTRING(BTETEL FROM 6 FOR 1) >= :p7 ) AND ( SUBSTRING(BTETEL FROM 6 FOR 1) <= :p8 )");
        const QString seven = QStringLiteral("AND ( SUBSTRING(BTETEL FROM 7 FOR 1) >= :p9 ) AND ( "
                                             "SUBSTRING(BTETEL FROM 7 FOR 1) <= :p10 ) AND ");
        // The batch-number range the first positions imply, as the form adds it: the engine's best plan
        // walks the batch-number index over it.
        const QString range = QStringLiteral(" AND ( BTETEL > :range_above ) AND ( BTETEL < :range_below )");
        const QString before = seven + QStringLiteral("( bbizdatum  < :p11 )") + range;
        const QString period =
            seven + QStringLiteral("( bbizdatum >= :p11 ) AND ( bbizdatum <= :p12 )") + range;
        QString above = group;
        QString below = group;
        above.back() = QChar(group.back().unicode() - 1);
        below.back() = QChar(group.back().unicode() + 1);
        const auto bindAll = [&](Query& q, const QList<QDate>& dates) {
            bindTexts(q, texts, dates);
            q.paramByName(QStringLiteral("range_above")).setText(above);
            q.paramByName(QStringLiteral("range_below")).setText(below);
        };
        int rows = 0;
        const double engine = medianMs([&] {
            openAndFetch(
                bare,
                {"SELECT bgroup, SUM(bmenov) AS athoznov, SUM(bmecsok) AS athozcsok, SUM(bmenov - bmecsok) "
                 "AS athozat",
                 "FROM bizmozg", line1, line2, before, "GROUP BY bgroup"},
                [&](Query& q) { bindAll(q, {from}); }, -1);
            openAndFetch(
                bare,
                {"SELECT bgroup, SUM(bmenov) AS sum_nov, SUM(bmecsok) AS sum_csok", "FROM bizmozg", line1,
                 line2, period, "GROUP BY bgroup"},
                [&](Query& q) {
                    bindAll(q, {from, to});
                },
                -1);
            rows = openAndFetch(
                bare,
                {"SELECT *", "FROM bizmozg", "JOIN cikk ON CBIZONYLAT = BTETEL", line1, line2, period,
                 "ORDER BY bbizdatum, bbszam"},
                [&](Query& q) {
                    bindAll(q, {from, to});
                },
                Dataset::BlockSize);
        });
        table.push_back({"batch range list: collection", program, engine,
                         QStringLiteral("positions 1-3 \"%1\", first %2 rows").arg(group).arg(rows)});
    }

    if (wanted("card range list")) {
        TForm24 form;
        form.show();
        form.Edit1->setText(firstItem);
        form.Edit2->setText(tenthItem);
        form.Edit3->setText(QStringLiteral("1"));
        form.Edit4->setText(QStringLiteral("ZZZ"));
        form.DateTimePicker1->setDate(from);
        form.DateTimePicker2->setDate(to);
        form.RadioButton2->click();
        const double program = medianMs([&] { clickAndSettle(form.Button5); });
        const QString condition = QStringLiteral("WHERE ( bcikkszam >= :p1 ) AND ( bcikkszam <= :p2 ) AND ( "
                                                 "bmnem >= :p3 ) AND ( bmnem <= :p4 ) AND "
                                                 "( bbizdatum >= :p5 ) AND ( bbizdatum <= :p6 )");
        const auto bind = [&](Query& q) { bindTexts(q, {firstItem, tenthItem, "1", "ZZZ"}, {from, to}); };
        int rows = 0;
        const double engine = medianMs([&] {
            openAndFetch(bare,
                         {"SELECT bgroup, SUM(bmenov) AS sum_nov, SUM(bmecsok) AS sum_csok, "
                          "SUM(bertnov-bertcsok) AS sum_ertek",
                          "FROM bizmozg", condition, "GROUP BY bgroup"},
                         bind, -1);
            rows =
                openAndFetch(bare,
                             {"SELECT bcikkszam, cmegn, cbizonylat, bmnem, mnev, SUM(bmenov) AS sum_bmenov, "
                              "SUM(bmecsok) AS sum_bmecsok, SUM(bertnov-bertcsok) AS sum_ertek",
                              "FROM bizmozg", "JOIN cikk ON cszam = bcikkszam", "JOIN mnem ON mnem = bmnem",
                              condition, "GROUP BY bcikkszam, cmegn, cbizonylat, bmnem, mnev",
                              "ORDER BY bcikkszam, cmegn, cbizonylat, bmnem, mnev"},
                             bind, Dataset::BlockSize);
        });
        table.push_back({"card range list: Összesitett", program, engine,
                         QStringLiteral("items %1-%2, first %3 rows").arg(firstItem, tenthItem).arg(rows)});
    }

    if (wanted("item summary")) {
        TForm26 form;
        form.show();
        form.DateTimePicker1->setDate(from);
        form.DateTimePicker2->setDate(to);
        const QStringList list = {"SELECT bcikkszam, cmegn, SUM(bmenov) AS sum_nov, SUM(bmecsok) AS sum_csok",
                                  "FROM bizmozg",
                                  "JOIN cikk ON cszam = bcikkszam",
                                  "WHERE ( bbizdatum >= :p1 ) AND ( bbizdatum <= :p2 )",
                                  "GROUP BY bcikkszam, cmegn",
                                  "ORDER BY bcikkszam"};
        const auto bindPeriod = [&](Query& q) { bindTexts(q, {}, {from, to}); };
        const double program = medianMs([&] { clickAndSettle(form.Button5); });
        const double engine = medianMs([&] { openAndFetch(bare, list, bindPeriod, Dataset::BlockSize); });
        table.push_back(
            {"item summary: collection", program, engine, QStringLiteral("first block of the list")});

        // Printing prepares every item's opening and period figures: with the whole list, in one grouped
        // pass over the lines.
        clickAndSettle(form.Button5);
        int items = 0;
        QElapsedTimer timer;
        timer.start();
        Data->frNyomtat->loadFromFile(QStringLiteral("VarnelOsszesito.frf"));
        items = int(Data->frNyomtat->prepare().rows().size());
        const double program2 = timer.nsecsElapsed() / 1e6;

        timer.restart();
        openAndFetch(bare, list, bindPeriod, -1);
        openAndFetch(
            bare, {"SELECT COUNT(*) AS n FROM cikk"}, [](Query&) {}, -1);
        openAndFetch(
            bare,
            {"SELECT bcikkszam, SUM(CASE WHEN bbizdatum < :p1 THEN bmenov - bmecsok END) AS athozat, "
             "SUM(CASE WHEN bbizdatum >= :p1 THEN bmenov END) AS sum_nov, "
             "SUM(CASE WHEN bbizdatum >= :p1 THEN bmecsok END) AS sum_csok",
             "FROM bizmozg WHERE bbizdatum <= :p2 GROUP BY bcikkszam", "PLAN SORT (BIZMOZG NATURAL)"},
            bindPeriod, -1);
        const double engine2 = timer.nsecsElapsed() / 1e6;
        table.push_back(
            {"item summary: report preparation", program2, engine2,
             QStringLiteral("%1 items, layout included; one run; engine: the list, then one grouped pass")
                 .arg(items)});
    }

    if (wanted("stock on hand")) {
        // The first rows on screen against the same grouped statement's first block in the engine.
        TStockOnHandForm form;
        form.show();
        form.DateTimePicker2->setDate(to);
        const double program = medianMs([&] { clickAndSettle(form.Button5); });
        const auto bindDate = [&](Query& q) { bindTexts(q, {}, {to}); };
        const double engine = medianMs([&] {
            openAndFetch(bare, stockOnHandStatement(false, false, false, stockOnHandOrder()), bindDate,
                         Dataset::BlockSize);
        });
        table.push_back({"stock on hand: listing", program, engine,
                         QStringLiteral("first block; the target: engine + 50 ms")});

        form.Edit1->setText(QStringLiteral("a"));
        const double searched = medianMs([&] { clickAndSettle(form.Button5); });
        const double searchedEngine = medianMs([&] {
            openAndFetch(
                bare, stockOnHandStatement(false, false, true, stockOnHandOrder()),
                [&](Query& q) {
                    bindDate(q);
                    q.paramByName(QStringLiteral("p3")).setText(QStringLiteral("a"));
                },
                Dataset::BlockSize);
        });
        table.push_back(
            {"stock on hand: search \"a\"", searched, searchedEngine, QStringLiteral("first block")});
    }

    std::printf("stock reports over %d movement lines, period %d (median of %d warm runs, ms)\n", lines, year,
                Repeats);
    std::printf("%-36s %10s %10s  %s\n", "operation", "program", "engine", "");
    for (const Row& row : table)
        std::printf("%-36s %10.1f %10.1f  %s\n", row.operation, row.program, row.engine,
                    qPrintable(row.note));
    for (const Row& row : table)
        benchRow(QString::fromUtf8(row.operation), row.program, row.engine, row.note);
    // The measure the item summary's preparation is held to: one grouped scan of all lines.
    BareEngine engine(Data->ZCon1.attachment());
    const double scan = timedMs([&] {
        engine.select(
            QStringLiteral("SELECT bcikkszam, SUM(bmenov), SUM(bmecsok) FROM bizmozg GROUP BY bcikkszam "
                           "PLAN SORT (BIZMOZG NATURAL)"));
    });
    engine.commit();
    benchRow(QStringLiteral("one grouped scan of all lines (engine)"), -1, scan,
             QStringLiteral("the summary's measure"));
    delete Data;
    return 0;
}
