// Benchmark of the bare engine on a copy of the large database: one grouped scan of all lines in its
// best plan (natural order, then a sort) beside the item-number index's order, and the range-list and
// item-summary statements with whatever page cache the database's header names (set by the caller
// with gfix -buffers), with the process's memory. Prints result lines for scripts/bench.sh.
#include "benchsupport.h"
#include "databasefile.h"

#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <cstdio>

namespace {

// The second of two runs: the first fills the page cache, as a person's first look at a list does.
double warmMs(const std::function<void()>& work)
{
    work();
    return timedMs(work);
}

QString first(BareEngine& engine, const QString& sql)
{
    const auto rows = BareStatement(engine, sql).run({}, 1);
    return rows.empty() ? QString() : rows.front().value(0);
}

}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_engine COPY_OF_DATABASE.FDB YEAR [LABEL] [--scans]\n"
                             "LABEL names the page cache in the results; --scans adds the grouped scans.\n");
        return 2;
    }
    const QString database = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const int year = QByteArray(argv[2]).toInt();
    const QString label = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("default page cache");
    const bool scans = argc > 4 && QByteArray(argv[4]) == "--scans";
    const QString from = QDate(year, 1, 1).toString(Qt::ISODate);
    const QString to = QDate(year, 12, 31).toString(Qt::ISODate);
    Connection::prepareEmbeddedEnvironment();
    Connection connection;
    connection.setParams(databaseParams(database));
    connection.open();
    BareEngine engine(connection.attachment());

    if (scans) {
        // The item summary's measure. Without a plan the optimizer walks the item-number index to save the
        // sort, which reads the lines one random page at a time; the natural scan reads each page once.
        const QString grouped =
            QStringLiteral("SELECT bcikkszam, SUM(bmenov), SUM(bmecsok) FROM bizmozg GROUP BY bcikkszam");
        long groups = 0;
        const double natural =
            warmMs([&] { groups = engine.select(grouped + QStringLiteral(" PLAN SORT (BIZMOZG NATURAL)")); });
        benchRow(QStringLiteral("one grouped scan of all lines, natural"), -1, natural,
                 QStringLiteral("%1 item numbers; the item summary's measure").arg(groups));
        benchRow(QStringLiteral("one grouped scan of all lines, index order"), -1,
                 warmMs([&] { engine.select(grouped); }), QStringLiteral("the optimizer's own plan"));
        engine.commit();
    }

    // The batch range list over the first item's three-letter group, the card range list over a tenth of
    // the item numbers, and the item summary: the statements the forms run, as in bench_stockreports.
    const QString group =
        first(engine, QStringLiteral("SELECT FIRST 1 cbizonylat FROM cikk ORDER BY cszam")).left(3);
    const QString firstItem = first(engine, QStringLiteral("SELECT MIN(cszam) FROM cikk"));
    const QString tenthItem =
        first(engine, QStringLiteral("SELECT cszam FROM cikk ORDER BY cszam ROWS 1000 TO 1000"));
    const QString batchCondition = QStringLiteral(
        "WHERE ( SUBSTRING(BTETEL FROM 1 FOR 3) >= ? ) AND ( SUBSTRING(BTETEL FROM 1 FOR 3) <= ? ) AND "
        "( SUBSTRING(BTETEL FROM 4 FOR 1) >= 'A' ) AND ( SUBSTRING(BTETEL FROM 4 FOR 1) <= 'K' ) AND "
        "( SUBSTRING(BTETEL FROM 5 FOR 1) >= 'E' ) AND ( SUBSTRING(BTETEL FROM 5 FOR 1) <= 'V' ) AND "
        "( SUBSTRING(BTETEL FROM 6 FOR 1) >= '1' ) AND ( SUBSTRING(BTETEL FROM 6 FOR 1) <= '9' ) AND "
        "( SUBSTRING(BTETEL FROM 7 FOR 1) >= '0' ) AND ( SUBSTRING(BTETEL FROM 7 FOR 1) <= '9' ) AND ");
    // With the batch-number range the first positions imply, as the form adds it: the plan walks the
    // batch-number index over that range (PLAN (BIZMOZG INDEX (BIZMOZG_TETEL_DATUM))).
    const QString batchRange = QStringLiteral(" AND ( BTETEL > ? ) AND ( BTETEL < ? )");
    BareStatement batchBefore(engine, QStringLiteral("SELECT bgroup, SUM(bmenov), SUM(bmecsok), SUM(bmenov - "
                                                     "bmecsok) FROM bizmozg %1 ( bbizdatum < ? ) %2 "
                                                     "GROUP BY bgroup")
                                          .arg(batchCondition, batchRange));
    BareStatement batchPeriod(engine, QStringLiteral("SELECT bgroup, SUM(bmenov), SUM(bmecsok) FROM bizmozg "
                                                     "%1 ( bbizdatum >= ? ) AND ( bbizdatum <= ? ) %2 "
                                                     "GROUP BY bgroup")
                                          .arg(batchCondition, batchRange));
    BareStatement batchLines(engine, QStringLiteral("SELECT * FROM bizmozg JOIN cikk ON CBIZONYLAT = BTETEL "
                                                    "%1 ( bbizdatum >= ? ) AND ( bbizdatum <= ? ) %2 "
                                                    "ORDER BY bbizdatum, bbszam")
                                         .arg(batchCondition, batchRange));
    QString above = group;
    QString below = group;
    if (!group.isEmpty()) {
        above.back() = QChar(group.back().unicode() - 1);
        below.back() = QChar(group.back().unicode() + 1);
    }
    size_t batchCount = 0;
    const double batch = warmMs([&] {
        batchBefore.run({group, group, from, above, below});
        batchPeriod.run({group, group, from, to, above, below});
        batchCount = batchLines.run({group, group, from, to, above, below}, 200).size();
    });
    benchRow(QStringLiteral("batch range list statements, %1").arg(label), -1, batch,
             QStringLiteral("group %1, first %2 rows").arg(group).arg(batchCount));

    const QString cardCondition = QStringLiteral(
        "WHERE ( bcikkszam >= ? ) AND ( bcikkszam <= ? ) AND ( bmnem >= '1' ) AND ( bmnem <= 'ZZZ' ) AND "
        "( bbizdatum >= ? ) AND ( bbizdatum <= ? )");
    BareStatement cardTotals(
        engine,
        QStringLiteral(
            "SELECT bgroup, SUM(bmenov), SUM(bmecsok), SUM(bertnov-bertcsok) FROM bizmozg %1 GROUP BY bgroup")
            .arg(cardCondition));
    BareStatement cardRows(
        engine, QStringLiteral("SELECT bcikkszam, cmegn, cbizonylat, bmnem, mnev, SUM(bmenov), SUM(bmecsok), "
                               "SUM(bertnov-bertcsok) "
                               "FROM bizmozg JOIN cikk ON cszam = bcikkszam JOIN mnem ON mnem = bmnem %1 "
                               "GROUP BY bcikkszam, cmegn, cbizonylat, bmnem, mnev ORDER BY bcikkszam, "
                               "cmegn, cbizonylat, bmnem, mnev")
                    .arg(cardCondition));
    size_t cardCount = 0;
    const double card = warmMs([&] {
        cardTotals.run({firstItem, tenthItem, from, to});
        cardCount = cardRows.run({firstItem, tenthItem, from, to}, 200).size();
    });
    benchRow(
        QStringLiteral("card range list statements, %1").arg(label), -1, card,
        QStringLiteral("items %1-%2, every type, first %3 rows").arg(firstItem, tenthItem).arg(cardCount));

    BareStatement summary(
        engine, QStringLiteral(
                    "SELECT bcikkszam, cmegn, SUM(bmenov) AS sum_nov, SUM(bmecsok) AS sum_csok FROM bizmozg "
                    "JOIN cikk ON cszam = bcikkszam WHERE ( bbizdatum >= ? ) AND ( bbizdatum <= ? ) "
                    "GROUP BY bcikkszam, cmegn ORDER BY bcikkszam"));
    size_t summaryCount = 0;
    const double summaryMs = warmMs([&] { summaryCount = summary.run({from, to}, 200).size(); });
    benchRow(QStringLiteral("item summary statement, %1").arg(label), -1, summaryMs,
             QStringLiteral("first %1 rows").arg(summaryCount));

    // The report's per-item statements: the opening and the period figures of every item in the list.
    BareStatement opening(
        engine,
        QStringLiteral("SELECT bcikkszam, SUM(bmenov), SUM(bmecsok), SUM(bmenov - bmecsok) FROM bizmozg "
                       "WHERE  ( bcikkszam = ? ) AND ( bbizdatum < ? ) GROUP BY bcikkszam"));
    BareStatement period(
        engine,
        QStringLiteral(
            "SELECT bcikkszam, SUM(bmenov), SUM(bmecsok), SUM(bmenov - bmecsok) FROM bizmozg "
            "WHERE  ( bcikkszam = ? ) AND ( bbizdatum >= ? ) AND ( bbizdatum <= ? ) GROUP BY bcikkszam"));
    const auto items = summary.run({from, to});
    const double perItem = warmMs([&] {
        for (const QStringList& item : items) {
            opening.run({item[0], from});
            period.run({item[0], from, to});
        }
    });
    benchRow(QStringLiteral("item summary per-item statements, %1").arg(label), -1, perItem,
             QStringLiteral("%1 items, two statements each; %2 MB resident")
                 .arg(items.size())
                 .arg(residentMb(), 0, 'f', 0));

    // What the report runs instead for a long list: every item's figures in one grouped pass.
    BareStatement onePass(
        engine, QStringLiteral("SELECT bcikkszam, SUM(CASE WHEN bbizdatum < ? THEN bmenov - bmecsok END), "
                               "SUM(CASE WHEN bbizdatum >= ? THEN bmenov END), "
                               "SUM(CASE WHEN bbizdatum >= ? THEN bmecsok END) FROM bizmozg "
                               "WHERE bbizdatum <= ? GROUP BY bcikkszam PLAN SORT (BIZMOZG NATURAL)"));
    size_t onePassCount = 0;
    const double onePassMs = warmMs([&] { onePassCount = onePass.run({from, from, from, to}).size(); });
    benchRow(QStringLiteral("item summary one-pass statement, %1").arg(label), -1, onePassMs,
             QStringLiteral("%1 items").arg(onePassCount));
    engine.commit();
    return 0;
}
