// The card family: the item card, the batch-number card and the batch-number range list over the
// shared movement-line fixture: figures, lists, running stock in print, orders, lookups and pickers.
#include "decimal.h"
#include "reportforms.h"
#include "reportvariables.h"
#include "stockfixture.h"

#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>

namespace {

using Figures = QStringList;   // increases, decreases, balance

struct CardBoxes {
    QList<QLineEdit*> opening;
    QList<QLineEdit*> period;
};

CardBoxes boxesOf(StockCard& card)
{
    return {card.openingBoxes, card.periodBoxes};
}

QStringList texts(const QList<QLineEdit*>& boxes)
{
    QStringList result;
    for (QLineEdit* box : boxes)
        result << box->text();
    return result;
}

double amount(const QString& text)
{
    return Formats::parseNumber(text).value_or(qQNaN());
}

QStringList variableTexts(const QStringList& names)
{
    QStringList result;
    for (const QString& name : names)
        result << reportVariables().value(name).toString();
    return result;
}

// The card of the key text over the period: an item card for "item", a batch card for "batch".
std::unique_ptr<StockCard> collectedCard(const QString& kind, const QString& key, const QString& from,
                                         const QString& to)
{
    std::unique_ptr<StockCard> card;
    if (kind == QLatin1String("item")) {
        auto* form = new TForm27;
        form->Edit1->setText(key);
        card.reset(form);
    } else {
        auto* form = new TForm30;
        form->Edit1->setText(key);
        card.reset(form);
    }
    setPeriod(*card, from, to);
    QTest::mouseClick(card->Button5, Qt::LeftButton);
    return card;
}

}

class TestCards : public StockReportTest {
    Q_OBJECT

private slots:
    void initTestCase() { startCase(); }
    void cleanupTestCase() { endCase(); }
    void init() { startTest(); }
    void cleanup() { endTest(); }

    void cardFigures_data();
    void cardFigures();
    void printedStockRunsFromTheOpeningBalance_data();
    void printedStockRunsFromTheOpeningBalance();
    void collectingWithoutAKey_data();
    void collectingWithoutAKey();
    void titleClickResorts_data();
    void titleClickResorts();
    void batchRanges_data();
    void batchRanges();
    void batchRangeIndexBounds_data();
    void batchRangeIndexBounds();
    void itemLookup_data();
    void itemLookup();
    void batchPickers_data();
    void batchPickers();
    void openingTheForms();
    void enterMovesTheFocusInTheItemCard();
};

void TestCards::cardFigures_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<Figures>("opening");
    QTest::addColumn<Figures>("period");
    QTest::addColumn<QStringList>("printed");   // document number: running stock, in the list's order

    // The running stock starts from the opening balance and ends at the closing balance; a line with
    // both an increase and a decrease counts both; lines on either bound belong to the period.
    QTest::newRow("item with history")
        << "item"
        << "1"
        << "2024-01-01"
        << "2024-12-31" << Figures{"100,000", "30,000", "70,000"} << Figures{"60,500", "22,500", "108,000"}
        << QStringList{"3: 120", "4: 125", "5: 105", "14: 107", "6: 108"};
    QTest::newRow("item without earlier lines")
        << "item"
        << "10"
        << "2024-01-01"
        << "2024-12-31" << Figures{"0,000", "0,000", "0,000"} << Figures{"40,000", "15,000", "25,000"}
        << QStringList{"7: 40", "8: 25"};
    QTest::newRow("item with only earlier lines") << "item"
                                                  << "199"
                                                  << "2024-06-01"
                                                  << "2024-12-31" << Figures{"10,000", "4,000", "6,000"}
                                                  << Figures{"0,000", "0,000", "6,000"} << QStringList{};
    QTest::newRow("from after to") << "item"
                                   << "1"
                                   << "2024-12-31"
                                   << "2024-01-01" << Figures{"159,500", "52,500", "107,000"}
                                   << Figures{"0,000", "0,000", "107,000"} << QStringList{};
    QTest::newRow("item number of no item") << "item"
                                            << "15"
                                            << "2024-01-01"
                                            << "2024-12-31" << Figures{"0,000", "0,000", "0,000"}
                                            << Figures{"5,000", "0,000", "5,000"} << QStringList{"13: 5"};
    // The batch number shared by two items gathers both items' lines.
    QTest::newRow("shared batch") << "batch"
                                  << "ABCDE10"
                                  << "2024-01-01"
                                  << "2024-12-31" << Figures{"100,000", "30,000", "70,000"}
                                  << Figures{"100,500", "37,500", "133,000"}
                                  << QStringList{"3: 120", "4: 125",  "7: 165", "8: 150",
                                                 "5: 130", "14: 132", "6: 133"};
    QTest::newRow("short batch") << "batch"
                                 << "ABC"
                                 << "2024-01-01"
                                 << "2024-12-31" << Figures{"0,000", "0,000", "0,000"}
                                 << Figures{"3,000", "0,000", "3,000"} << QStringList{"12: 3"};
}

void TestCards::cardFigures()
{
    QFETCH(QString, kind);
    QFETCH(QString, key);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(Figures, opening);
    QFETCH(Figures, period);
    QFETCH(QStringList, printed);
    const auto card = collectedCard(kind, key, from, to);

    const CardBoxes boxes = boxesOf(*card);
    QCOMPARE(texts(boxes.opening), opening);
    QCOMPARE(texts(boxes.period), period);
    QCOMPARE(variableTexts({"vathoznov", "vathozcsok", "vathozat"}), opening);
    QCOMPARE(variableTexts({"vsum_nov", "vsum_csok", "vsum_egyenleg"}), period);
    QCOMPARE(reportVariables().value("vathozat").typeId(), int(QMetaType::QString));
    QCOMPARE(variableTexts({"vcikk", "vkelttol", "vkeltig"}),
             (QStringList{key, Formats::formatDate(isoDate(from)), Formats::formatDate(isoDate(to))}));
    QCOMPARE(card->Label18->text(), QStringLiteral("A lista \"Dátum\" szerint"));
    // The collected list does not join the items: their columns stay empty.
    Dataset& lines = *Data->ZQ11;
    if (!printed.isEmpty())
        QVERIFY(lines.columnIndex("CMEGN") < 0);

    QCOMPARE(printedRows(card->Button7), printed);
    QCOMPARE(Data->frNyomtat->fileName(),
             kind == "item" ? QStringLiteral("VarnelKarton.frf") : QStringLiteral("VarnelTetel.frf"));
    QCOMPARE(printedRows(card->Button7), printed);   // printed twice, the same running stock
}

void TestCards::printedStockRunsFromTheOpeningBalance_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QStringList>("keys");   // Edit1 of the cards; the ten position boxes of the list
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("title");    // empty: the collection's own order
    QTest::addColumn<double>("opening");   // the fixture's stock before the from-date
    QTest::addColumn<double>("closing");   // and at the end of 2024

    QTest::newRow("item card") << "Form27" << QStringList{"1"} << "2024-01-01"
                               << "" << 70.0 << 108.0;
    QTest::newRow("item card from June") << "Form27" << QStringList{"1"} << "2024-06-01"
                                         << "" << 125.0 << 108.0;
    QTest::newRow("item card by increase") << "Form27" << QStringList{"1"} << "2024-01-01"
                                           << "Növekedés" << 70.0 << 108.0;
    QTest::newRow("item card by partner") << "Form27" << QStringList{"1"} << "2024-01-01"
                                          << "Partnerkód" << 70.0 << 108.0;
    QTest::newRow("batch card") << "Form30" << QStringList{"ABCDE10"} << "2024-01-01"
                                << "" << 70.0 << 133.0;
    // Each line of the batch is listed once for each of its two items.
    QTest::newRow("batch card by decrease") << "Form30" << QStringList{"ABCDE10"} << "2024-01-01"
                                            << "Csökkenés" << 70.0 << 133.0;
    QTest::newRow("batch card, a decrease only") << "Form30" << QStringList{"XYZAV99"} << "2024-01-01"
                                                 << "" << 10.0 << 6.0;
    QTest::newRow("batch list") << "Form31" << QStringList{"ABC", "ABC", "", "K", "", "V", "", "9", "", "9"}
                                << "2024-01-01"
                                << "" << 70.0 << 136.0;
    QTest::newRow("batch list by document number")
        << "Form31" << QStringList{"A", "PZZ", "A", "K", "E", "V", "1", "9", "0", "9"} << "2024-01-01"
        << "Biz.szám" << 70.0 << 133.0;
}

// Each printed line shows the stock after it: the opening balance changed by that line and the lines
// printed before it, in the printed order; the last line shows the closing balance.
void TestCards::printedStockRunsFromTheOpeningBalance()
{
    QFETCH(QString, form);
    QFETCH(QStringList, keys);
    QFETCH(QString, from);
    QFETCH(QString, title);
    QFETCH(double, opening);
    QFETCH(double, closing);
    std::unique_ptr<StockCard> card;
    if (form == "Form27")
        card.reset(new TForm27);
    else if (form == "Form30")
        card.reset(new TForm30);
    else
        card.reset(new TForm31);
    const QStringList names = form == "Form31" ? QStringList{"Edit1", "Edit2",  "Edit3",  "Edit4",  "Edit8",
                                                             "Edit9", "Edit10", "Edit11", "Edit12", "Edit13"}
                                               : QStringList{"Edit1"};
    QCOMPARE(names.size(), keys.size());
    for (int i = 0; i < names.size(); ++i)
        card->findChild<QLineEdit*>(names[i])->setText(keys[i]);
    setPeriod(*card, from, "2024-12-31");
    QTest::mouseClick(card->Button5, Qt::LeftButton);
    if (!title.isEmpty())
        QVERIFY(clickTitle(card->DBGrid1, title));
    QCOMPARE(amount(card->openingBoxes[2]->text()), opening);
    QCOMPARE(amount(card->periodBoxes[2]->text()), closing);

    const QStringList rows = printedRows(card->Button7);
    QCOMPARE(platform->messageTexts(), QStringList{});
    Dataset& lines = *Data->ZQ11;
    QVERIFY(!rows.isEmpty());
    QCOMPARE(lines.recordCount(), rows.size());
    const auto stockOf = [](const QString& row) { return amount(row.section(QLatin1String(": "), 1)); };
    const auto change = [&lines](int row) {
        return lines.fieldAt(row, lines.columnIndex("BMENOV")).asFloat() -
               lines.fieldAt(row, lines.columnIndex("BMECSOK")).asFloat();
    };
    QCOMPARE(stockOf(rows.first()), opening + change(0));
    QSet<QString> printedLines;
    double stock = opening;
    for (int row = 0; row < rows.size(); ++row) {
        const QString line = lines.fieldAt(row, lines.columnIndex("BKOD")).asString();
        if (!printedLines.contains(line))
            stock += change(row);
        printedLines.insert(line);
        QVERIFY2(qFuzzyCompare(stockOf(rows[row]), stock), qPrintable(rows[row]));
    }
    QCOMPARE(stockOf(rows.last()), closing);
}

void TestCards::collectingWithoutAKey_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");

    const QString noItem = QStringLiteral("Nincs megadva cikkszám! Adja meg a cikk számát vagy megnevezését, "
                                          "vagy válassza ki a „Cikk” gombbal.");
    const QString noBatch =
        QStringLiteral("Nincs megadva tételszám! Adja meg a tételszámot, vagy válassza ki a "
                       "„Tételszám” gombbal.");
    QTest::newRow("item card, empty") << "Form27"
                                      << "" << noItem;
    QTest::newRow("item card, blanks") << "Form27"
                                       << "   " << noItem;
    QTest::newRow("batch card, empty") << "Form30"
                                       << "" << noBatch;
}

// The card says what is missing and collects nothing: no zeros in its boxes, the shared query and the
// report variables as they were, and nothing to print.
void TestCards::collectingWithoutAKey()
{
    QFETCH(QString, form);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    const auto earlier = collectedCard("item", "10", "2024-01-01", "2024-12-31");
    const QString statement = Data->ZQ11->sql();
    const QStringList variables = variableTexts({"vcikk", "vathozat", "vsum_egyenleg"});
    std::unique_ptr<SingleKeyCard> card(form == "Form27" ? static_cast<SingleKeyCard*>(new TForm27)
                                                         : new TForm30);
    card->Edit1->setText(typed);

    QTest::mouseClick(card->Button5, Qt::LeftButton);
    QCOMPARE(platform->messageTexts(), QStringList{message});
    QCOMPARE(texts(card->openingBoxes) + texts(card->periodBoxes), QStringList(6, QString()));
    QCOMPARE(Data->ZQ11->sql(), statement);
    QCOMPARE(variableTexts({"vcikk", "vathozat", "vsum_egyenleg"}), variables);
    QCOMPARE(printedRows(card->Button7), QStringList{});
    QCOMPARE(platform->messageTexts(), (QStringList{message, StockReportForm::collectFirstText()}));
    QCOMPARE(platform->shownDialogs, QStringList{});
}

void TestCards::titleClickResorts_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("printed");
    QTest::addColumn<QString>("sortText");
    QTest::addColumn<bool>("reread");

    QTest::newRow("item by increase")
        << "item"
        << "1"
        << "Növekedés" << QStringList{"5: 50", "6: 51", "14: 53", "4: 58", "3: 108"}
        << "A lista \"Növekedés\" szerint" << true;
    // Document numbers are texts: 14 comes before 3.
    QTest::newRow("item by document number")
        << "item"
        << "1"
        << "Biz.szám" << QStringList{"14: 72", "3: 122", "4: 127", "5: 107", "6: 108"}
        << "A lista \"Bizonylatszám\" szerint" << true;
    QTest::newRow("item by unit price")
        << "item"
        << "10"
        << "E.ár" << QStringList{"7: 40", "8: 25"} << "A lista \"Egységár\" szerint" << true;
    QTest::newRow("item: other title")
        << "item"
        << "10"
        << "Szöveg" << QStringList{"7: 40", "8: 25"} << "A lista \"Dátum\" szerint" << false;
    // The batch orders sort by date first; each line is listed once per item carrying the batch, and
    // changes the stock once.
    QTest::newRow("batch by decrease")
        << "batch"
        << "ABCDE10"
        << "Csökkenés" << QStringList{"3: 120", "3: 120", "4: 125", "4: 125",  "7: 165",  "7: 165", "8: 150",
                                      "8: 150", "5: 130", "5: 130", "14: 132", "14: 132", "6: 133", "6: 133"}
        << "A lista \"Csökkenés\" szerint" << true;
    QTest::newRow("batch: Bizonylat does nothing")
        << "batch"
        << "XYZAV99"
        << "Bizonylat" << QStringList{"10: 6"} << "A lista \"Dátum\" szerint" << false;
}

void TestCards::titleClickResorts()
{
    QFETCH(QString, kind);
    QFETCH(QString, key);
    QFETCH(QString, title);
    QFETCH(QStringList, printed);
    QFETCH(QString, sortText);
    QFETCH(bool, reread);
    const auto card = collectedCard(kind, key, "2024-01-01", "2024-12-31");
    const QStringList figures = texts(card->openingBoxes) + texts(card->periodBoxes);
    const QStringList variables = variableTexts({"vcikk", "vathozat", "vsum_nov", "vsum_egyenleg"});

    QVERIFY(clickTitle(card->DBGrid1, title));

    QCOMPARE(card->Label18->text(), sortText);
    QCOMPARE(texts(card->openingBoxes) + texts(card->periodBoxes), figures);
    QCOMPARE(variableTexts({"vcikk", "vathozat", "vsum_nov", "vsum_egyenleg"}), variables);
    // The title-click statements join the items, so their columns are filled.
    QCOMPARE(Data->ZQ11->columnIndex("CMEGN") >= 0, reread);
    QCOMPARE(printedRows(card->Button7), printed);
}

void TestCards::batchRanges_data()
{
    QTest::addColumn<QStringList>("ranges");   // Edit1, Edit2, Edit3, Edit4, Edit8 ... Edit13
    QTest::addColumn<Figures>("opening");
    QTest::addColumn<Figures>("period");
    QTest::addColumn<QStringList>("printed");   // document number, joined item: running stock

    const QStringList initial = {"A", "K", "E", "V", "1", "9", "0", "9"};
    QTest::newRow("empty first positions")
        << QStringList{"", ""} + initial << Figures{"0,000", "0,000", "0,000"}
        << Figures{"0,000", "0,000", "0,000"} << QStringList{};
    // ABCLE10 has L beyond K, ABC is too short for position 4; QQQBF55 belongs to no item, so it is
    // counted but not listed (the printed stock ends 5 below the closing balance); ABCDE10 is listed
    // once per item.
    QTest::newRow("initial positions")
        << QStringList{"A", "ZZZ"} + initial << Figures{"110,000", "30,000", "80,000"}
        << Figures{"105,500", "41,500", "144,000"}
        << QStringList{"3 1: 130",  "3 10: 130", "4 1: 135",   "4 10: 135",   "7 1: 175",
                       "7 10: 175", "8 1: 160",  "8 10: 160",  "10 199: 156", "5 1: 136",
                       "5 10: 136", "14 1: 138", "14 10: 138", "6 1: 139",    "6 10: 139"};
    QTest::newRow("from after to") << QStringList{"A", "ZZZ", "K", "A", "E", "V", "1", "9", "0", "9"}
                                   << Figures{"0,000", "0,000", "0,000"} << Figures{"0,000", "0,000", "0,000"}
                                   << QStringList{};
    QTest::newRow("first group after its to text")
        << QStringList{"K", "A"} + initial << Figures{"0,000", "0,000", "0,000"}
        << Figures{"0,000", "0,000", "0,000"} << QStringList{};
    QTest::newRow("position 7 from 1") << QStringList{"A", "ZZZ", "A", "K", "E", "V", "1", "9", "1", "9"}
                                       << Figures{"10,000", "0,000", "10,000"}
                                       << Figures{"5,000", "4,000", "11,000"} << QStringList{"10 199: 6"};
    // Empty from texts let the short batch number in: its missing positions are empty texts.
    QTest::newRow("short batch numbers")
        << QStringList{"ABC", "ABC", "", "K", "", "V", "", "9", "", "9"}
        << Figures{"100,000", "30,000", "70,000"} << Figures{"103,500", "37,500", "136,000"}
        << QStringList{"3 1: 120",   "3 10: 120", "4 1: 125",   "4 10: 125", "7 1: 165",
                       "7 10: 165",  "8 1: 150",  "8 10: 150",  "5 1: 130",  "5 10: 130",
                       "12 2A: 133", "14 1: 135", "14 10: 135", "6 1: 136",  "6 10: 136"};
}

void TestCards::batchRanges()
{
    QFETCH(QStringList, ranges);
    QFETCH(Figures, opening);
    QFETCH(Figures, period);
    QFETCH(QStringList, printed);
    TForm31 form;
    const QList<QLineEdit*> boxes = {form.Edit1, form.Edit2,  form.Edit3,  form.Edit4,  form.Edit8,
                                     form.Edit9, form.Edit10, form.Edit11, form.Edit12, form.Edit13};
    QCOMPARE(texts(boxes), (QStringList{"", "", "A", "K", "E", "V", "1", "9", "0", "9"}));
    for (int i = 0; i < boxes.size(); ++i) {
        // Each box takes as many characters as its positions: longer texts cannot be compared.
        boxes[i]->clear();
        QTest::keyClicks(boxes[i], ranges[i] + QStringLiteral("XY"));
        QCOMPARE(boxes[i]->text(), (ranges[i] + QStringLiteral("XY")).left(i < 2 ? 3 : 1));
        boxes[i]->setText(ranges[i]);
    }
    setPeriod(form, "2024-01-01", "2024-12-31");
    QTest::mouseClick(form.Button5, Qt::LeftButton);

    QCOMPARE(texts({form.Edit14, form.Edit15, form.Edit16}), opening);
    QCOMPARE(texts({form.Edit5, form.Edit6, form.Edit7}), period);
    QCOMPARE(variableTexts({"vathoznov", "vathozcsok", "vathozat", "vsum_nov", "vsum_csok", "vsum_egyenleg"}),
             opening + period);
    QCOMPARE(variableTexts({"vtetel123tol", "vtetel123ig", "vtetel4tol", "vtetel4ig", "vtetel5tol",
                            "vtetel5ig", "vtetel6tol", "vtetel6ig", "vtetel7tol", "vtetel7ig"}),
             ranges);
    // Lines of one date come in document-number order; the two items of a shared batch in the order the
    // engine joins them, which the statement leaves open: compare them as sets. Both rows of a line
    // show the same stock, so the sets hold the stock too.
    QStringList rows = printedRows(form.Button7);
    QCOMPARE(rows.size(), printed.size());
    QCOMPARE(Data->frNyomtat->fileName(), QStringLiteral("VarnelTeteltolig.frf"));
    const auto sorted = [](QStringList list) {
        std::sort(list.begin(), list.end());
        return list;
    };
    QCOMPARE(sorted(rows), sorted(printed));
    if (!printed.isEmpty())
        QCOMPARE(rows.last().section(QLatin1String(": "), 1), printed.last().section(QLatin1String(": "), 1));
}

void TestCards::batchRangeIndexBounds_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("one group") << "ABC"
                               << "ABC";
    QTest::newRow("shorter texts") << "AB"
                                   << "AB";
    QTest::newRow("two groups") << "ABB"
                                << "ABD";
    QTest::newRow("edge characters") << "!!!"
                                     << "~~~";
    QTest::newRow("beyond ASCII") << "ABÉ"
                                  << "ABÉ";
}

// The batch-number range the first three positions imply narrows what the engine reads and nothing
// else: batch numbers just inside and just outside each bound give the figures of the positions alone.
void TestCards::batchRangeIndexBounds()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    Query query(Data->IBTrans1);
    const QStringList batches = {"ABB~", "ABB",   "ABC",  "ABCA",  "ABC~~~~", "ABD",   "AB",
                                 "AB!",  "AB~~~", "A",    "ABD!",  "!!!",     "!!! A", "~~~",
                                 "~~~~", "ABÉ",   "ABÉA", "ABČ~~", "ABĘ",     " AB",   "AB C"};
    int number = 900;
    for (const QString& batch : batches) {
        query.setSql(
            QStringLiteral("INSERT INTO bizmozg (bbszam, bcikkszam, btetel, bbizdatum, bmenov, bmecsok) "
                           "VALUES (:p1, '1', :p2, :p3, :p4, 0)"));
        query.paramByName(QStringLiteral("p1")).setText(QString::number(++number));
        query.paramByName(QStringLiteral("p2")).setText(batch);
        query.paramByName(QStringLiteral("p3")).setDate(isoDate(number % 2 ? "2023-06-01" : "2024-06-01"));
        query.paramByName(QStringLiteral("p4"))
            .setDecimal(Decimal::fromScaled(qint64(number) * Decimal::Unit));
        query.execute();
    }
    const auto sums = [&](const QString& dates) {
        query.setSql(
            QStringLiteral("SELECT SUM(bmenov) FROM bizmozg WHERE SUBSTRING(btetel FROM 1 FOR 3) >= :p1 "
                           "AND SUBSTRING(btetel FROM 1 FOR 3) <= :p2 AND ") +
            dates);
        query.paramByName(QStringLiteral("p1")).setText(from);
        query.paramByName(QStringLiteral("p2")).setText(to);
        query.open();
        return Formats::formatAmount(query.field(0).asFloat(), 3);
    };
    const QString opening = sums(QStringLiteral("bbizdatum < '2024-01-01'"));
    const QString period = sums(QStringLiteral("bbizdatum >= '2024-01-01' AND bbizdatum <= '2024-12-31'"));
    query.close();

    TForm31 form;
    const QList<QLineEdit*> positions = {form.Edit3,  form.Edit4,  form.Edit8,  form.Edit9,
                                         form.Edit10, form.Edit11, form.Edit12, form.Edit13};
    // Positions 4 to 7 take every batch number above.
    for (int i = 0; i < positions.size(); ++i)
        positions[i]->setText(i % 2 ? QStringLiteral("~") : QString());
    form.Edit1->setText(from);
    form.Edit2->setText(to);
    setPeriod(form, "2024-01-01", "2024-12-31");
    QTest::mouseClick(form.Button5, Qt::LeftButton);
    const QString openingShown = form.Edit14->text();
    const QString periodShown = form.Edit5->text();
    Data->ZQ11->close();
    Data->IBTrans1.rollback();
    QCOMPARE(openingShown, opening);
    QCOMPARE(periodShown, period);
}

void TestCards::itemLookup_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("listFlag");   // empty: the list does not open
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("description");

    QTest::newRow("existing number") << "199"
                                     << ""
                                     << "199"
                                     << "Szilva közepes XYZAV99";
    QTest::newRow("number of no item") << "19"
                                       << "1"
                                       << "199"
                                       << "Szilva közepes XYZAV99";
    QTest::newRow("empty text") << ""
                                << "1"
                                << "1"
                                << "Alma nagy ABCDE10";
    QTest::newRow("existing name") << "Körte"
                                   << ""
                                   << "10"
                                   << "Körte kicsi ABCDE10";
    QTest::newRow("beginning of a name") << "kör"
                                         << "x"
                                         << "10"
                                         << "Körte kicsi ABCDE10";
    // Longer than any item number can be: the list opens instead of an error of the engine.
    QTest::newRow("number longer than the column") << QString(26, '1') << "1"
                                                   << "1"
                                                   << "Alma nagy ABCDE10";
}

void TestCards::itemLookup()
{
    QFETCH(QString, typed);
    QFETCH(QString, listFlag);
    QFETCH(QString, number);
    QFETCH(QString, description);
    TForm27 form;
    QString flagSeen;
    platform->modalRuns.push_back([&flagSeen](QDialog*) {
        flagSeen = shared().LookupFlag.isEmpty() ? QStringLiteral("cleared") : shared().LookupFlag;
        return int(QDialog::Accepted);
    });
    shared().LookupFlag = QStringLiteral("before");
    form.Edit1->setText(typed);
    leave(form.Edit1);

    QCOMPARE(platform->shownDialogs, listFlag.isEmpty() ? QStringList{} : QStringList{"Form7"});
    if (!listFlag.isEmpty()) {
        QCOMPARE(flagSeen, QStringLiteral("cleared"));   // the list has used the flag
        QCOMPARE(shared().SelectedItemNumber, typed);
    }
    QCOMPARE(form.Edit1->text(), number);
    QCOMPARE(form.Label4->text(), description);

    // Picking with "Cikk" opens the list by name on the text and takes its row, whichever button closed it.
    platform->modalRuns.clear();
    pickRowWhere(*Data->ZQ20, "CSZAM", "2A");
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QCOMPARE(shared().SelectedItemNumber, number);
    QCOMPARE(form.Edit1->text(), QStringLiteral("2A"));
    QCOMPARE(form.Label4->text(), QStringLiteral("Dió dobozos ABC"));
}

void TestCards::batchPickers_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("edit1");
    QTest::addColumn<QString>("second");   // Label4 of the card, Edit2 of the range list

    // The list stands on the first batch number that begins with the text, in batch-number order.
    QTest::newRow("card") << "Form30"
                          << "xyz"
                          << "XYZAV99"
                          << "199 Szilva közepes";
    QTest::newRow("card, short batch") << "Form30"
                                       << "AB"
                                       << "ABC"
                                       << "2A Dió dobozos";
    QTest::newRow("range list, short batch") << "Form31"
                                             << "AB"
                                             << "ABC"
                                             << "ABC";
    QTest::newRow("range list, other batch") << "Form31"
                                             << "X"
                                             << "XYZ"
                                             << "XYZ";
}

void TestCards::batchPickers()
{
    QFETCH(QString, form);
    QFETCH(QString, typed);
    QFETCH(QString, edit1);
    QFETCH(QString, second);
    std::unique_ptr<StockCard> card(form == "Form30" ? static_cast<StockCard*>(new TForm30) : new TForm31);
    auto* box = card->findChild<QLineEdit*>("Edit1");
    box->setText(typed);
    QString flagSeen;
    platform->modalRuns.push_back([&flagSeen](QDialog*) {
        flagSeen = shared().SelectedItemNumber;
        return int(QDialog::Rejected);
    });
    leave(box);   // no lookup when leaving the batch box
    QVERIFY(platform->shownDialogs.isEmpty());
    QTest::mouseClick(card->findChild<QPushButton*>("Button1"), Qt::LeftButton);

    QCOMPARE(platform->shownDialogs, QStringList{"Form7"});
    QCOMPARE(flagSeen, typed);
    QCOMPARE(shared().LookupFlag, QString());
    QCOMPARE(box->text(), edit1);
    if (form == "Form30")
        QCOMPARE(card->findChild<QLabel*>("Label4")->text(), second);
    else
        QCOMPARE(card->findChild<QLineEdit*>("Edit2")->text(), second);
}

void TestCards::openingTheForms()
{
    const auto itemCard = collectedCard("item", "10", "2024-01-01", "2024-12-31");
    const QStringList lines = columnValues(*Data->ZQ11, "BBSZAM");
    QCOMPARE(lines, (QStringList{"7", "8"}));

    // The batch forms show what the item card left; the item card starts empty.
    TForm30 batchCard;
    QCOMPARE(columnValues(*Data->ZQ11, "BBSZAM"), lines);
    TForm31 rangeList;
    QCOMPARE(columnValues(*Data->ZQ11, "BBSZAM"), lines);
    TForm27 again;
    QVERIFY(!Data->ZQ11->isOpen());

    const int year = QDate::currentDate().year();
    for (StockReportForm* form : std::initializer_list<StockReportForm*>{&batchCard, &rangeList, &again}) {
        QCOMPARE(form->DateTimePicker1->date(), QDate(year, 1, 1));
        QCOMPARE(form->DateTimePicker2->date(), QDate(year, 12, 31));
        QVERIFY(form->DateTimePicker1->calendarPopup());
        QCOMPARE(form->DateTimePicker1->displayFormat(), QStringLiteral("yyyy.MM.dd"));
        QCOMPARE(form->DateTimePicker2->text(), QStringLiteral("%1.12.31").arg(year));
    }
    // The item card's boxes after a collection are read-only, and the variables of the last
    // collection stay: the batch card's collection replaces vcikk.
    QVERIFY(itemCard->openingBoxes[0]->isReadOnly());
    batchCard.Edit1->setText("ABC");
    QTest::mouseClick(batchCard.Button5, Qt::LeftButton);
    QCOMPARE(reportVariables().value("vcikk").toString(), QStringLiteral("ABC"));
}

void TestCards::enterMovesTheFocusInTheItemCard()
{
    TForm27 form;
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.Edit1->setText("1");   // found without the list
    form.Edit1->setFocus();
    QTest::keyClick(form.Edit1, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), form.DateTimePicker1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), form.Edit1);
    QCOMPARE(form.Label4->text(), QStringLiteral("Alma nagy ABCDE10"));
    QVERIFY(platform->shownDialogs.isEmpty());
}

STOCK_TEST_MAIN(TestCards)
#include "tst_cards.moc"
