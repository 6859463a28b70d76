// The report events of the data module: the running stock of the cards and the item summary figures,
// prepared from real statements over a real database.
#include "data.h"
#include "query.h"
#include "report.h"
#include "reportevents.h"
#include "reportvariables.h"
#include "sharedstate.h"
#include "testdatabase.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString ItemCardLines = QStringLiteral(
    "SELECT * FROM bizmozg WHERE ( bcikkszam = :p1 ) AND ( bbizdatum >= :p2 ) AND ( bbizdatum <= :p3 )");
const QString ItemCardLinesJoined =
    QStringLiteral("SELECT * FROM bizmozg JOIN cikk ON cszam = bcikkszam "
                   "WHERE ( bcikkszam = :p1 ) AND ( bbizdatum >= :p2 ) AND ( bbizdatum <= :p3 )");
const QString SummaryList =
    QStringLiteral("SELECT bcikkszam, cmegn, SUM(bmenov) AS sum_nov, SUM(bmecsok) AS sum_csok FROM bizmozg "
                   "JOIN cikk ON cszam = bcikkszam WHERE ( bbizdatum >= :p1 ) AND ( bbizdatum <= :p2 ) "
                   "GROUP BY bcikkszam, cmegn ORDER BY bcikkszam");

QDate day(const char* text)
{
    return QDate::fromString(QString::fromLatin1(text), Qt::ISODate);
}

}

class TestReportEvents : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void runningStock_data();
    void runningStock();
    void cardPrintedTwiceShowsTheSameStock();
    void cardWithoutLinesShowsTheOpening();
    void itemSummary_data();
    void itemSummary();
    void preparationErrors_data();
    void preparationErrors();
    void itemSummaryOfAShortList();

private:
    Report& reportFor(const QString& dataset, const QString& objectText);
    void fillLines(const QString& statement, const QString& item, const char* from, const char* to);
    void fillSummary(const char* from, const char* to);

    TestDatabase db_;
    std::unique_ptr<TData> data_;
    QTemporaryDir dir_;
};

void TestReportEvents::initTestCase()
{
    initTestLocale();
    // A1 has a line before the January range, one on each of its bounds' sides, one carrying both an
    // increase and a decrease (1 February) and one after it; B2 has none before January.
    db_.exec({
        QStringLiteral("INSERT INTO cikk (ckod, cszam, cmegn) VALUES ('1', 'A1', 'Alma')"),
        QStringLiteral("INSERT INTO cikk (ckod, cszam, cmegn) VALUES ('2', 'B2', 'Körte')"),
        QStringLiteral("INSERT INTO bizmozg (bbszam, bcikkszam, btetel, bbizdatum, bmenov, bmecsok) "
                       "VALUES ('1', 'A1', 'T1', '2023-12-31', 100, 0)"),
        QStringLiteral("INSERT INTO bizmozg (bbszam, bcikkszam, btetel, bbizdatum, bmenov, bmecsok) "
                       "VALUES ('2', 'A1', 'T1', '2024-01-01', 5, 0)"),
        QStringLiteral("INSERT INTO bizmozg (bbszam, bcikkszam, btetel, bbizdatum, bmenov, bmecsok) "
                       "VALUES ('3', 'A1', 'T1', '2024-01-15', 0, 30)"),
        QStringLiteral("INSERT INTO bizmozg (bbszam, bcikkszam, btetel, bbizdatum, bmenov, bmecsok) "
                       "VALUES ('4', 'A1', 'T1', '2024-02-01', 7.5, 2.5)"),
        QStringLiteral("INSERT INTO bizmozg (bbszam, bcikkszam, btetel, bbizdatum, bmenov, bmecsok) "
                       "VALUES ('5', 'A1', 'T1', '2024-03-01', 1, NULL)"),
        QStringLiteral("INSERT INTO bizmozg (bbszam, bcikkszam, btetel, bbizdatum, bmenov, bmecsok) "
                       "VALUES ('6', 'B2', 'T2', '2024-01-20', 8, 0)"),
        QStringLiteral("INSERT INTO bizmozg (bbszam, bcikkszam, btetel, bbizdatum, bmenov, bmecsok) "
                       "VALUES ('7', 'B2', 'T2', '2024-01-31', 0, 3)"),
    });
    data_ = std::make_unique<TData>(db_.path());
    Data = data_.get();
    data_->connectAndOpenTables();
    installReportEvents(*data_);
    QVERIFY(dir_.isValid());
}

void TestReportEvents::cleanupTestCase()
{
    data_.reset();
}

void TestReportEvents::init()
{
    setCardOpeningStock(0);
    shared().SummaryDateFrom.clear();
    shared().SummaryDateTo.clear();
}

Report& TestReportEvents::reportFor(const QString& dataset, const QString& objectText)
{
    const QString path = dir_.filePath(dataset + QStringLiteral(".frf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(QStringLiteral("<report><band kind=\"masterdata\" dataset=\"%1\" height=\"5\">"
                              "<text width=\"200\" format=\"number\">%2</text></band></report>")
                   .arg(dataset, objectText)
                   .toUtf8());
    file.close();
    data_->frNyomtat->loadFromFile(path);
    return *data_->frNyomtat;
}

void TestReportEvents::fillLines(const QString& statement, const QString& item, const char* from,
                                 const char* to)
{
    Query& lines = *data_->ZQ11;
    lines.close();
    lines.clearSql();
    lines.addSql(statement);
    lines.paramByName(QStringLiteral("p1")).setText(item);
    lines.paramByName(QStringLiteral("p2")).setDate(day(from));
    lines.paramByName(QStringLiteral("p3")).setDate(day(to));
    lines.open();
}

void TestReportEvents::fillSummary(const char* from, const char* to)
{
    Query& items = *data_->ZQ11;
    items.close();
    items.clearSql();
    items.addSql(SummaryList);
    items.paramByName(QStringLiteral("p1")).setDate(day(from));
    items.paramByName(QStringLiteral("p2")).setDate(day(to));
    items.open();
}

void TestReportEvents::runningStock_data()
{
    QTest::addColumn<QString>("dataset");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("expected");

    // The stock starts from the collection's opening balance (100) and follows the query's order: a
    // re-sort by increase gives other figures on the way to the same end.
    const QString byDate = ItemCardLines + QStringLiteral(" ORDER BY bbizdatum, bbszam");
    const QString byIncrease = ItemCardLinesJoined + QStringLiteral(" ORDER BY BMENOV");
    QTest::newRow("item card by date") << "frDBDataSet1" << byDate << QStringList{"2: 105", "3: 75", "4: 80"};
    QTest::newRow("item card by increase")
        << "frDBDataSet1" << byIncrease << QStringList{"3: 70", "2: 75", "4: 80"};
    QTest::newRow("batch card by date")
        << "frDBTetelszam" << byDate << QStringList{"2: 105", "3: 75", "4: 80"};
    QTest::newRow("batch card by increase")
        << "frDBTetelszam" << byIncrease << QStringList{"3: 70", "2: 75", "4: 80"};
    // A join that lists every line once for each of two items: each line changes the stock once.
    QTest::newRow("each line twice")
        << "frDBTetelszam"
        << "SELECT * FROM bizmozg JOIN cikk ON ( cszam = bcikkszam OR cszam = 'B2' ) "
           "WHERE ( bcikkszam = :p1 ) AND ( bbizdatum >= :p2 ) AND ( bbizdatum <= :p3 ) "
           "ORDER BY bbizdatum, bbszam, cszam"
        << QStringList{"2: 105", "2: 105", "3: 75", "3: 75", "4: 80", "4: 80"};
    // Without the line's key every row counts.
    QTest::newRow("lines without their key")
        << "frDBDataSet1"
        << "SELECT bbszam, bmenov, bmecsok FROM bizmozg WHERE ( bcikkszam = :p1 ) "
           "AND ( bbizdatum >= :p2 ) AND ( bbizdatum <= :p3 ) ORDER BY bbszam"
        << QStringList{"2: 105", "3: 75", "4: 80"};
}

void TestReportEvents::runningStock()
{
    QFETCH(QString, dataset);
    QFETCH(QString, statement);
    QFETCH(QStringList, expected);
    fillLines(statement, QStringLiteral("A1"), "2024-01-01", "2024-02-29");
    setCardOpeningStock(100);
    shared().RunningStock = 12;   // what an earlier report left

    const QList<QStringList> rows =
        reportFor(dataset, QStringLiteral("[bbszam]: [vvarnel]")).prepare().rows();
    QStringList texts;
    for (const QStringList& row : rows)
        texts += row;
    QCOMPARE(texts, expected);
    QCOMPARE(shared().RunningStock, 80.0);
    QCOMPARE(reportVariables().value(QStringLiteral("vvarnel")), QVariant(80.0));
}

void TestReportEvents::cardPrintedTwiceShowsTheSameStock()
{
    fillLines(ItemCardLines + QStringLiteral(" ORDER BY bbizdatum, bbszam"), QStringLiteral("A1"),
              "2023-01-01", "2024-12-31");
    Report& report = reportFor(QStringLiteral("frDBDataSet1"), QStringLiteral("[bbszam]: [vvarnel]"));
    const QList<QStringList> first = report.prepare().rows();
    QCOMPARE(first.last(), QStringList{"5: 81"});
    QCOMPARE(report.prepare().rows(), first);
}

void TestReportEvents::cardWithoutLinesShowsTheOpening()
{
    reportVariables().set(QStringLiteral("vvarnel"), 12.0);
    setCardOpeningStock(81);
    fillLines(ItemCardLines, QStringLiteral("A1"), "2025-01-01", "2025-12-31");
    const ReportPages pages =
        reportFor(QStringLiteral("frDBDataSet1"), QStringLiteral("[vvarnel]")).prepare();
    QVERIFY(pages.rows().isEmpty());
    QCOMPARE(reportVariables().value(QStringLiteral("vvarnel")), QVariant(81.0));
}

void TestReportEvents::itemSummary_data()
{
    QTest::addColumn<QString>("listFrom");
    QTest::addColumn<QString>("listTo");
    QTest::addColumn<QStringList>("expected");

    // Opening stock, period increase and decrease, closing stock. A1's line on the from-date counts in
    // the period; B2 has nothing before it and its line on the to-date counts.
    QTest::newRow("collected range") << "2024-01-01"
                                     << "2024-01-31" << QStringList{"A1: 100 5 30 75", "B2: 0 8 3 5"};
    // A title click after changing the dates lists February, but the figures keep the collected range.
    QTest::newRow("list of another range") << "2024-02-01"
                                           << "2024-02-29" << QStringList{"A1: 100 5 30 75"};
}

void TestReportEvents::itemSummary()
{
    QFETCH(QString, listFrom);
    QFETCH(QString, listTo);
    QFETCH(QStringList, expected);
    fillSummary(qPrintable(listFrom), qPrintable(listTo));
    const QString listStatement = data_->ZQ11->sql();
    shared().SummaryDateFrom = QStringLiteral("2024.01.01");
    shared().SummaryDateTo = QStringLiteral("2024.01.31");

    const QList<QStringList> rows =
        reportFor(QStringLiteral("frDBDataSet2"),
                  QStringLiteral("[bcikkszam]: [vathozat] [vsum_nov] [vsum_csok] [vvarnel]"))
            .prepare()
            .rows();
    QStringList texts;
    for (const QStringList& row : rows)
        texts += row;
    QCOMPARE(texts, expected);
    QCOMPARE(shared().RunningValue, expected.size() == 2 ? 5.0 : 75.0);
    QCOMPARE(reportVariables().value(QStringLiteral("vathozat")).typeId(), int(QMetaType::Double));
    QVERIFY(data_->ZQ11->isOpen());
    QCOMPARE(data_->ZQ11->sql(), listStatement);
}

void TestReportEvents::preparationErrors_data()
{
    QTest::addColumn<QString>("dataset");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("dateFrom");
    QTest::addColumn<QString>("dateTo");
    QTest::addColumn<QString>("message");

    const QString cardLines = ItemCardLines + QStringLiteral(" ORDER BY bbizdatum, bbszam");
    // Printing the summary before any collection in this run: the card's lines are still in ZQ11.
    QTest::newRow("summary never collected") << "frDBDataSet2" << cardLines << ""
                                             << ""
                                             << "Az összesítő időszakának dátuma nem érvényes: \"\".";
    QTest::newRow("summary over an empty list") << "frDBDataSet2" << ItemCardLines + " AND 1 = 0"
                                                << ""
                                                << ""
                                                << "Az összesítő időszakának dátuma nem érvényes: \"\".";
    QTest::newRow("to-date not a date") << "frDBDataSet2" << cardLines << "2024.01.01"
                                        << "2024.13.45"
                                        << "Az összesítő időszakának dátuma nem érvényes: \"2024.13.45\".";
    QTest::newRow("card without bmenov") << "frDBDataSet1"
                                         << "SELECT bbszam, bmecsok FROM bizmozg WHERE bcikkszam = :p1 "
                                            "AND bbizdatum >= :p2 AND bbizdatum <= :p3"
                                         << ""
                                         << ""
                                         << "bmenov: nincs ilyen mező.";
    QTest::newRow("summary without bcikkszam") << "frDBDataSet2"
                                               << "SELECT bbszam FROM bizmozg WHERE bcikkszam = :p1 "
                                                  "AND bbizdatum >= :p2 AND bbizdatum <= :p3"
                                               << "2024.01.01"
                                               << "2024.01.31"
                                               << "bcikkszam: nincs ilyen mező.";
}

void TestReportEvents::preparationErrors()
{
    QFETCH(QString, dataset);
    QFETCH(QString, statement);
    QFETCH(QString, dateFrom);
    QFETCH(QString, dateTo);
    QFETCH(QString, message);
    fillLines(statement, QStringLiteral("A1"), "2024-01-01", "2024-01-31");
    shared().SummaryDateFrom = dateFrom;
    shared().SummaryDateTo = dateTo;
    Report& report = reportFor(dataset, QStringLiteral("[bbszam]"));
    try {
        report.prepare();
        QFAIL("the preparation did not fail");
    } catch (const std::exception& error) {
        QCOMPARE(QString::fromUtf8(error.what()), message);
    }
}

// A list of few items among many is summed item by item, a long one in one pass over all lines; both
// give the figures of the "collected range" row above. Runs last: it adds items the others do not expect.
void TestReportEvents::itemSummaryOfAShortList()
{
    Query add(data_->IBTrans1);
    for (int i = 0; i < 20; ++i) {
        add.setSql(QStringLiteral("INSERT INTO cikk (ckod, cszam, cmegn) VALUES ('%1', 'X%1', 'Szilva')")
                       .arg(10 + i));
        add.execute();
    }
    data_->IBTrans1.commit();
    fillSummary("2024-01-01", "2024-01-31");
    shared().SummaryDateFrom = QStringLiteral("2024.01.01");
    shared().SummaryDateTo = QStringLiteral("2024.01.31");
    const QList<QStringList> rows =
        reportFor(QStringLiteral("frDBDataSet2"),
                  QStringLiteral("[bcikkszam]: [vathozat] [vsum_nov] [vsum_csok] [vvarnel]"))
            .prepare()
            .rows();
    QStringList texts;
    for (const QStringList& row : rows)
        texts += row;
    QCOMPARE(texts, (QStringList{"A1: 100 5 30 75", "B2: 0 8 3 5"}));
    QCOMPARE(data_->ZQ12->sql().contains(QStringLiteral("bcikkszam = :p1")), true);
}

QTEST_MAIN(TestReportEvents)
#include "tst_reportevents.moc"
