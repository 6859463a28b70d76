// The stock on hand list over the stock fixture with warehouses, a negative stock, an item number on two
// item rows and a line without value: its figures against the item card's, its search, orders, marks,
// printout and the card it opens.
#include "reportforms.h"
#include "reportvariables.h"
#include "stockfixture.h"

#include <QCheckBox>
#include <QProcess>
#include <QScopeGuard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Beyond the shared fixture: warehouses 01 and 02 (lines before these have none); item 3 goes below
// zero in 02 and in total; item 10 stands on a second item row; item 4's line carries no value.
const QStringList ExtraRows = {
    "INSERT INTO raktar (rkod, rnev) VALUES ('01', 'Főraktár')",
    "INSERT INTO raktar (rkod, rnev) VALUES ('02', 'Kisraktár')",
    "INSERT INTO cikk (ckod, cszam, cmegn, cmeret, cbizonylat, cme) VALUES ('6', '3', 'Őszibarack', 'érett', "
    "'ŐSZ01', 'kg')",
    "INSERT INTO cikk (ckod, cszam, cmegn, cmeret, cbizonylat) VALUES ('7', '10', 'Körte másik', '', "
    "'ABCDE10')",
    "INSERT INTO cikk (ckod, cszam, cmegn, cmeret, cbizonylat, cme) VALUES ('8', '4', 'Zab', '', 'Z100%', "
    "'q')",
    "INSERT INTO bizmozg (bbszam, bcikkszam, bbizdatum, bmnem, btetel, bmenov, bmecsok, bertnov, bertcsok, "
    "brkod) "
    "VALUES ('20', '3', '2024-10-01', 'BE', 'ŐSZ01', 10, 0, 100, 0, '01')",
    "INSERT INTO bizmozg (bbszam, bcikkszam, bbizdatum, bmnem, btetel, bmenov, bmecsok, bertnov, bertcsok, "
    "brkod) "
    "VALUES ('21', '3', '2024-10-02', 'KI', 'ŐSZ01', 0, 15, 0, 150, '02')",
    "INSERT INTO bizmozg (bbszam, bcikkszam, bbizdatum, bmnem, btetel, bmenov, bmecsok, bertnov, bertcsok, "
    "brkod) "
    "VALUES ('22', '2', '2024-11-11', 'BE', 'ABCLE10', 2, 0, 20, 0, '01')",
    "INSERT INTO bizmozg (bbszam, bcikkszam, bbizdatum, bmnem, btetel, bmenov, bmecsok, brkod) "
    "VALUES ('23', '4', '2024-11-12', 'BE', 'Z100%', 1, 0, '02')",
};

double amount(const QString& text)
{
    return Formats::parseNumber(text).value_or(qQNaN());
}

// "item warehouse: stock value" per listed row.
QStringList listed(Dataset& rows, bool withWarehouse = false)
{
    QStringList result;
    const int count = rows.recordCount();
    for (int row = 0; row < count; ++row) {
        const auto text = [&](const char* column) {
            return rows.fieldAt(row, rows.columnIndex(column)).asString();
        };
        result << (withWarehouse ? text("BCIKKSZAM") + ' ' + text("BRKOD") : text("BCIKKSZAM")) + ": " +
                      text("KESZLET") + ' ' + text("ERTEK");
    }
    return result;
}

// Key by key, also letters beyond Latin-1 that QTest cannot map to keys.
void typeText(QWidget* box, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Each item's stock, summed over its rows.
QHash<QString, double> stockPerItem(Dataset& rows)
{
    QHash<QString, double> stock;
    const int count = rows.recordCount();
    for (int row = 0; row < count; ++row)
        stock[rows.fieldAt(row, rows.columnIndex("BCIKKSZAM")).asString()] +=
            rows.fieldAt(row, rows.columnIndex("KESZLET")).asFloat();
    return stock;
}

void setDate(TStockOnHandForm& form, const QString& date)
{
    form.DateTimePicker2->setDate(isoDate(date));
    QTest::mouseClick(form.Button5, Qt::LeftButton);
}

}

class TestStockOnHand : public StockReportTest {
    Q_OBJECT

    void compareEveryRowWithTheCard(TStockOnHandForm& form);

private slots:
    void initTestCase()
    {
        db.exec(ExtraRows);
        QFile::copy(QStringLiteral(VARNEL_TEMPLATES_DIR "/VarnelKeszlet.frf"),
                    folder.filePath("VarnelKeszlet.frf"));
        startCase();
    }
    void cleanupTestCase() { endCase(); }
    void init() { startTest(); }

    void listsTodayAtOnce();
    void stockOnADate_data();
    void stockOnADate();
    void agreesWithTheItemCard_data();
    void agreesWithTheItemCard();
    void agreesWithTheItemCardOnTheDemo();
    void warehouses();
    void search_data();
    void search();
    void searchOutsideTheCodePage();
    void titleClicks();
    void printout();
    void doubleClickOpensTheCard();
};

void TestStockOnHand::listsTodayAtOnce()
{
    TStockOnHandForm form;
    QCOMPARE(form.DateTimePicker2->date(), QDate::currentDate());
    QVERIFY(Data->ZQ11->isOpen());
    QCOMPARE(columnValues(*Data->ZQ11, "BCIKKSZAM"),
             (QStringList{"1", "10", "15", "199", "2", "2A", "3", "4"}));
    QCOMPARE(form.Label6->text(), QStringLiteral("153,000"));
    QCOMPARE(form.Label18->text(), QStringLiteral("A lista \"Cikkszám\" szerint"));
}

void TestStockOnHand::stockOnADate_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("stock");
    QTest::addColumn<QString>("value");

    // Item 10 once although two item rows carry its number; 15 without an item row; 4 without value.
    QTest::newRow("end of 2024") << "2024-12-31"
                                 << QStringList{"1: 108 1080", "10: 25 250", "15: 5 50",  "199: 6 60",
                                                "2: 10 100",   "2A: 3 30",   "3: -5 -50", "4: 1 "}
                                 << "153,000" << Formats::formatAmount(1520, 2);
    QTest::newRow("a day before the last lines")
        << "2024-12-30" << QStringList{"1: 107 1070", "10: 25 250", "15: 5 50",  "199: 6 60",
                                       "2: 10 100",   "2A: 3 30",   "3: -5 -50", "4: 1 "}
        << "152,000" << Formats::formatAmount(1510, 2);
    QTest::newRow("end of 2023") << "2023-12-31" << QStringList{"1: 70 700", "199: 10 100"} << "80,000"
                                 << "800,00";
    QTest::newRow("before every line") << "2022-12-31" << QStringList{} << "0,000"
                                       << "0,00";
}

void TestStockOnHand::stockOnADate()
{
    QFETCH(QString, date);
    QFETCH(QStringList, rows);
    QFETCH(QString, stock);
    QFETCH(QString, value);
    TStockOnHandForm form;
    setDate(form, date);
    QCOMPARE(listed(*Data->ZQ11), rows);
    QCOMPARE(form.Label6->text(), stock);
    QCOMPARE(form.Label8->text(), value);
    // Only the stock below zero is marked.
    const QStringList items = columnValues(*Data->ZQ11, "BCIKKSZAM");
    const QStringList marks = columnValues(*Data->ZQ11, "NEGATIV");
    for (int i = 0; i < items.size(); ++i)
        QCOMPARE(marks[i].trimmed(), items[i] == "3" ? TStockOnHandForm::negativeMarker() : QString());
}

void TestStockOnHand::agreesWithTheItemCard_data()
{
    QTest::addColumn<QString>("date");
    QTest::newRow("end of 2024") << "2024-12-31";
    QTest::newRow("summer 2024") << "2024-06-30";
    QTest::newRow("end of 2023") << "2023-12-31";
}

// Enter on each row opens the item card on the row's item, whose closing balance is the row's stock;
// the list comes back on the same row.
void TestStockOnHand::agreesWithTheItemCard()
{
    QFETCH(QString, date);
    TStockOnHandForm form;
    setDate(form, date);
    compareEveryRowWithTheCard(form);
}

// varnel-initdb's demo: every item's stock is its card's closing balance, and the warehouses' rows
// add up to it.
void TestStockOnHand::agreesWithTheItemCardOnTheDemo()
{
    QTemporaryDir demo;
    QProcess tool;
    tool.start(QStringLiteral(VARNEL_INITDB_PATH), {demo.path(), QStringLiteral("--demo")});
    QVERIFY(tool.waitForFinished(300000));
    QCOMPARE(tool.exitCode(), 0);
    delete Data;
    Data = new TData(QDir(demo.path()).filePath("VARNEL2013.FDB"));
    const auto backToTheFixture = qScopeGuard([this] {
        delete Data;
        Data = new TData(db.path());
        Data->connectAndOpenTables();
        installReportEvents(*Data);
    });
    Data->connectAndOpenTables();
    installReportEvents(*Data);

    TStockOnHandForm form;
    QVERIFY(Data->ZQ11->recordCount() >= 10);
    compareEveryRowWithTheCard(form);
    const QHash<QString, double> whole = stockPerItem(*Data->ZQ11);
    QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
    QVERIFY(Data->ZQ11->recordCount() >= whole.size());
    const QHash<QString, double> summed = stockPerItem(*Data->ZQ11);
    QCOMPARE(summed.keys().size(), whole.size());
    for (auto it = whole.cbegin(); it != whole.cend(); ++it)
        QVERIFY2(qAbs(summed.value(it.key()) - it.value()) < 1e-6, qPrintable(it.key()));
}

void TestStockOnHand::compareEveryRowWithTheCard(TStockOnHandForm& form)
{
    const QDate date = form.DateTimePicker2->date();
    const int count = Data->ZQ11->recordCount();
    QVERIFY(count > 0);
    for (int row = 0; row < count; ++row) {
        QVERIFY(Data->ZQ11->moveTo(row));
        const QString item = Data->ZQ11->fieldByName("BCIKKSZAM").asString();
        const double stock = Data->ZQ11->fieldByName("KESZLET").asFloat();
        QString cardItem;
        QDate cardDate;
        double closing = qQNaN();
        platform->modalRuns.push_back([&](QDialog* dialog) {
            if (auto* card = qobject_cast<TForm27*>(dialog)) {
                cardItem = card->Edit1->text();
                closing = amount(card->Edit7->text());
                cardDate = card->DateTimePicker2->date();
            }
            return int(QDialog::Rejected);
        });
        QTest::keyClick(form.DBGrid1, Qt::Key_Return);
        QVERIFY(platform->modalRuns.empty());
        QCOMPARE(cardItem, item);
        QVERIFY2(qAbs(closing - stock) < 0.001, qPrintable(item));
        QCOMPARE(cardDate, date);
        QCOMPARE(Data->ZQ11->currentRow(), row);
        QCOMPARE(Data->ZQ11->fieldByName("BCIKKSZAM").asString(), item);
    }
    QCOMPARE(platform->shownDialogs.size(), count);
}

void TestStockOnHand::warehouses()
{
    TStockOnHandForm form;
    setDate(form, "2024-12-31");
    const QHash<QString, double> whole = stockPerItem(*Data->ZQ11);
    const QString total = form.Label6->text();

    QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
    QVERIFY(form.CheckBox1->isChecked());
    QCOMPARE(listed(*Data->ZQ11, true),
             (QStringList{"1 : 108 1080", "10 : 25 250", "15 : 5 50", "199 : 6 60", "2 : 8 80", "2 01: 2 20",
                          "2A : 3 30", "3 01: 10 100", "3 02: -15 -150", "4 02: 1 "}));
    QCOMPARE(stockPerItem(*Data->ZQ11), whole);
    QCOMPARE(form.Label6->text(), total);
    QCOMPARE(columnValues(*Data->ZQ11, "NEGATIV").indexOf(TStockOnHandForm::negativeMarker()), 8);

    // One warehouse, found by its code when the box is left.
    form.Edit2->setText("02");
    leave(form.Edit2);
    QCOMPARE(form.Label4->text(), QStringLiteral("Kisraktár"));
    QCOMPARE(listed(*Data->ZQ11, true), (QStringList{"3 02: -15 -150", "4 02: 1 "}));
    QCOMPARE(form.Label6->text(), QStringLiteral("-14,000"));
    QCOMPARE(reportVariables().value("vraktar").toString(), QStringLiteral("02 Kisraktár"));
    QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
    QCOMPARE(listed(*Data->ZQ11), (QStringList{"3: -15 -150", "4: 1 "}));

    // Emptied: every warehouse again, without opening the list.
    form.Edit2->clear();
    leave(form.Edit2);
    QCOMPARE(form.Label4->text(), QString());
    QCOMPARE(form.Label6->text(), total);
    QCOMPARE(platform->shownDialogs, QStringList{});
}

void TestStockOnHand::search_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("items");

    QTest::newRow("item number") << "19" << QStringList{"199"};
    QTest::newRow("name fragment, other case, accents") << "kÖRt" << QStringList{"10"};
    QTest::newRow("accented capital") << "ősz" << QStringList{"3"};
    QTest::newRow("in two names") << "barack" << QStringList{"2", "3"};
    QTest::newRow("batch number") << "cde1" << QStringList{"1", "10"};
    QTest::newRow("percent sign taken as itself") << "0%" << QStringList{"4"};
    QTest::newRow("quote") << "'" << QStringList{};
    QTest::newRow("no match") << "qwerty" << QStringList{};
}

void TestStockOnHand::search()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, items);
    TStockOnHandForm form;
    setDate(form, "2024-12-31");
    typeText(form.Edit1, typed);
    QTRY_COMPARE(columnValues(*Data->ZQ11, "BCIKKSZAM"), items);
    double total = 0;
    for (const QString& stock : columnValues(*Data->ZQ11, "KESZLET"))
        total += amount(stock);
    QCOMPARE(amount(form.Label6->text()), total);
    QCOMPARE(reportVariables().value("vkereses").toString(), typed);

    form.Edit1->selectAll();
    QTest::keyClick(form.Edit1, Qt::Key_Backspace);
    QTRY_COMPARE(Data->ZQ11->recordCount(), 8);
}

// The database cannot hold the character: the general handler says so, and nothing is printed.
void TestStockOnHand::searchOutsideTheCodePage()
{
    TStockOnHandForm form;
    typeText(form.Edit1, QStringLiteral("中"));
    QTRY_COMPARE(platform->messageTexts().size(), 1);
    QVERIFY2(platform->messageTexts().first().contains(QStringLiteral("WIN1250")),
             qPrintable(platform->messageTexts().first()));
    platform->clearMessages();
    QTest::mouseClick(form.Button7, Qt::LeftButton);
    QCOMPARE(platform->messageTexts(), QStringList{StockReportForm::collectFirstText()});
    QCOMPARE(platform->shownDialogs, QStringList{});
}

void TestStockOnHand::titleClicks()
{
    TStockOnHandForm form;
    setDate(form, "2024-12-31");
    checkTitleClicks(form, "BCIKKSZAM",
                     {{"Készlet", "Készlet", {"3", "4", "2A", "15", "199", "2", "10", "1"}},
                      // Hungarian order, the item without an item row first.
                      {"Megnevezés", "Megnevezés", {"15", "1", "2", "2A", "10", "3", "199", "4"}},
                      {"Negatív", "Negatív", {"3", "1", "10", "15", "199", "2", "2A", "4"}},
                      {"Cikkszám", "Cikkszám", {"1", "10", "15", "199", "2", "2A", "3", "4"}}});
    if (QTest::currentTestFailed())
        return;
    // The order clicked stays while the user searches.
    QVERIFY(clickTitle(form.DBGrid1, "Készlet"));
    form.Edit1->setText("barack");
    QTest::mouseClick(form.Button5, Qt::LeftButton);
    QCOMPARE(columnValues(*Data->ZQ11, "BCIKKSZAM"), (QStringList{"3", "2"}));
}

void TestStockOnHand::printout()
{
    TStockOnHandForm form;
    setDate(form, "2024-12-31");
    form.Edit1->setText("barack");
    QTest::mouseClick(form.Button5, Qt::LeftButton);
    ReportPages pages;
    platform->modalRuns.push_back([&pages](QDialog* dialog) {
        if (auto* preview = qobject_cast<ReportPreview*>(dialog))
            pages = preview->pages();
        return int(QDialog::Rejected);
    });
    QTest::mouseClick(form.Button7, Qt::LeftButton);
    QVERIFY(platform->modalRuns.empty());
    QCOMPARE(Data->frNyomtat->fileName(), QStringLiteral("VarnelKeszlet.frf"));
    QCOMPARE(pages.unresolvedNames, QStringList{});
    QCOMPARE(pages.rows(),
             (QList<QStringList>{{"2", "Barack", "ABCLE10", "", "", "10,000", "100,00", ""},
                                 {"3", "Őszibarack", "ŐSZ01", "kg", "", "-5,000", "-50,00", "!"}}));
    QCOMPARE(pages.bandTexts(BandKind::Summary), (QStringList{"", "Összesen:", "5,000", "50,00"}));
    QVERIFY(pages.bandTexts(BandKind::Title)
                .contains(QStringLiteral("Dátum: 2024.12.31     Raktár: minden raktár     Keresés: barack")));
}

void TestStockOnHand::doubleClickOpensTheCard()
{
    TStockOnHandForm form;
    setDate(form, "2024-12-31");
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QString cardItem;
    platform->modalRuns.push_back([&cardItem](QDialog* dialog) {
        if (auto* card = qobject_cast<TForm27*>(dialog))
            cardItem = card->Edit1->text() + ' ' + card->Edit7->text();
        return int(QDialog::Rejected);
    });
    const QRect cell = form.DBGrid1->visualRect(form.DBGrid1->model()->index(1, 1));
    // As the system delivers a double click: a click, then the second press as a double click.
    QTest::mouseClick(form.DBGrid1->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(form.DBGrid1->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(cardItem, QStringLiteral("10 25,000"));
}

STOCK_TEST_MAIN(TestStockOnHand)
#include "tst_stockonhand.moc"
