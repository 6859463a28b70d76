// The card range list and the item summary over the shared movement-line fixture, and the agreement
// of their figures with the item card's.
#include "reportforms.h"
#include "reportvariables.h"
#include "stockfixture.h"

#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

void collectRange(TForm24& form, const QStringList& ranges, const QString& from, const QString& to,
                  bool summed)
{
    const QList<QLineEdit*> boxes = {form.Edit1, form.Edit2, form.Edit3, form.Edit4};
    for (int i = 0; i < boxes.size(); ++i)
        boxes[i]->setText(ranges[i]);
    setPeriod(form, from, to);
    QTest::mouseClick(summed ? form.RadioButton2 : form.RadioButton1, Qt::LeftButton);
    QTest::mouseClick(form.Button5, Qt::LeftButton);
}

QStringList summaryRows(Dataset& data)
{
    QStringList rows;
    const int count = data.recordCount();
    for (int row = 0; row < count; ++row) {
        QStringList values;
        for (const char* column : {"BCIKKSZAM", "BMNEM", "SUM_BMENOV", "SUM_BMECSOK", "SUM_ERTEK"})
            values << data.fieldAt(row, data.columnIndex(column)).asString();
        rows << values.join(' ');
    }
    return rows;
}

double amount(const QString& text)
{
    return Formats::parseNumber(text).value_or(qQNaN());
}

}

class TestStockReports : public StockReportTest {
    Q_OBJECT

private slots:
    void initTestCase() { startCase(); }
    void cleanupTestCase() { endCase(); }
    void init() { startTest(); }
    void cleanup() { endTest(); }

    void cardRangeList_data();
    void cardRangeList();
    void cardRangeListTitleClicks();
    void cardRangeListPrintsTheTemplateOfTheRadioButton();
    void cardRangeLookups_data();
    void cardRangeLookups();
    void itemSummary_data();
    void itemSummary();
    void itemSummaryKeepsTheCollectedRangeForPrinting();
    void itemSummaryPrintedBeforeAnyCollection();
    void printingBeforeCollecting_data();
    void printingBeforeCollecting();
    void reportsAgree_data();
    void reportsAgree();
};

void TestStockReports::cardRangeList_data()
{
    QTest::addColumn<QStringList>("ranges");   // items from, to; movement types from, to
    QTest::addColumn<QStringList>("totals");   // Edit5, Edit6, Edit7, vsum_ertek
    QTest::addColumn<QStringList>("lines");    // document numbers of the line-by-line list
    QTest::addColumn<QStringList>("summed");   // rows of the summarised list

    // 1 to 2 takes 10, 15 and 199 but not 2A. Item 15 has no item row and type XX no master row: both
    // count in the totals and are missing from the lists.
    QTest::newRow("1 to 2, every type")
        << QStringList{"1", "2", "A", "ZZ"} << QStringList{"113,50", "41,50", "72,00", "720,00"}
        << QStringList{"3", "4", "5", "6", "7", "8", "10", "11"}
        << QStringList{"1 BE 58,5 2,5 560", "1 KI 0 20 -200", "10 BE 40 0 400",
                       "10 KI 0 15 -150",   "199 KI 0 4 -40", "2 BE 8 0 80"};
    QTest::newRow("decreases only") << QStringList{"1", "2A", "KI", "KI"}
                                    << QStringList{"0,00", "39,00", "-39,00", "-390,00"}
                                    << QStringList{"5", "8", "10"}
                                    << QStringList{"1 KI 0 20 -200", "10 KI 0 15 -150", "199 KI 0 4 -40"};
    QTest::newRow("9 to 10 selects nothing")
        << QStringList{"9", "10", "A", "ZZ"} << QStringList{"0,00", "0,00", "0,00", "0,00"} << QStringList{}
        << QStringList{};
    QTest::newRow("empty ranges") << QStringList{"", "", "", ""}
                                  << QStringList{"0,00", "0,00", "0,00", "0,00"} << QStringList{}
                                  << QStringList{};
}

void TestStockReports::cardRangeList()
{
    QFETCH(QStringList, ranges);
    QFETCH(QStringList, totals);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, summed);
    TForm24 form;
    QVERIFY(form.RadioButton1->isChecked());
    for (const bool summarised : {false, true}) {
        collectRange(form, ranges, "2024-01-01", "2024-12-31", summarised);
        QCOMPARE((QStringList{form.Edit5->text(), form.Edit6->text(), form.Edit7->text(),
                              reportVariables().value("vsum_ertek").toString()}),
                 totals);
        QCOMPARE((QStringList{reportVariables().value("vsum_nov").toString(),
                              reportVariables().value("vsum_csok").toString(),
                              reportVariables().value("vsum_egyenleg").toString()}),
                 totals.mid(0, 3));
        QCOMPARE((QStringList{reportVariables().value("vcikktol").toString(),
                              reportVariables().value("vcikkig").toString(),
                              reportVariables().value("vmnemtol").toString(),
                              reportVariables().value("vmnemig").toString()}),
                 ranges);
        QCOMPARE(form.Label18->text(), QStringLiteral("A lista \"Cikkszám\" szerint"));
        if (summarised)
            QCOMPARE(summaryRows(*Data->ZQ11), summed);
        else
            QCOMPARE(columnValues(*Data->ZQ11, "BBSZAM"), lines);
    }
}

void TestStockReports::cardRangeListTitleClicks()
{
    TForm24 form;
    collectRange(form, {"1", "2", "A", "ZZ"}, "2024-01-01", "2024-12-31", true);
    const QStringList totals = {form.Edit5->text(), form.Edit6->text(), form.Edit7->text()};

    // Every order lists single lines, also while "Összesitett" is selected.
    checkTitleClicks(form, "BBSZAM",
                     {{"Biz.szám", "Bizonylatszám", {"10", "11", "3", "4", "5", "6", "7", "8"}},
                      {"Dátum", "Dátum", {"3", "4", "7", "8", "10", "11", "5", "6"}},
                      {"Megnevezés", "Megnevezés", {"3", "4", "5", "6", "11", "7", "8", "10"}},
                      {"Mnem", "M.nem", {"3", "4", "7", "11", "6", "8", "10", "5"}},
                      {"Cikkszám", "Cikkszám", {"3", "4", "5", "6", "7", "8", "10", "11"}}});
    if (QTest::currentTestFailed())
        return;
    form.Label18->setText("unchanged");
    QVERIFY(clickTitle(form.DBGrid1, "Tétel"));
    QCOMPARE(form.Label18->text(), QStringLiteral("unchanged"));
    QCOMPARE((QStringList{form.Edit5->text(), form.Edit6->text(), form.Edit7->text()}), totals);
}

void TestStockReports::cardRangeListPrintsTheTemplateOfTheRadioButton()
{
    TForm24 form;
    collectRange(form, {"1", "10", "BE", "BE"}, "2024-01-01", "2024-12-31", false);
    const QString totals = form.Edit7->text();
    QCOMPARE(printedRows(form.Button7), (QStringList{"T 3", "T 4", "T 6", "T 7"}));
    QCOMPARE(Data->frNyomtat->fileName(), QStringLiteral("VarnelKartontolig.frf"));

    // Switching empties the grid and keeps the totals; the print opens the line-by-line statement
    // again, with the summarised template, whose sums stay empty.
    QTest::mouseClick(form.RadioButton2, Qt::LeftButton);
    QVERIFY(!Data->ZQ11->isOpen());
    QCOMPARE(form.Edit7->text(), totals);
    QCOMPARE(printedRows(form.Button7), (QStringList{"S 1 BE   ", "S 1 BE   ", "S 1 BE   ", "S 10 BE   "}));
    QCOMPARE(Data->frNyomtat->fileName(), QStringLiteral("VarnelKartontolig2.frf"));

    collectRange(form, {"1", "10", "BE", "BE"}, "2024-01-01", "2024-12-31", true);
    QCOMPARE(printedRows(form.Button7), (QStringList{"S 1 BE 58,5 2,5 560", "S 10 BE 40 0 400"}));
    QTest::mouseClick(form.RadioButton1, Qt::LeftButton);
    QVERIFY(!Data->ZQ11->isOpen());
}

void TestStockReports::cardRangeLookups_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("listFlag");   // empty: the list does not open
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("description");

    QTest::newRow("item number") << "Edit1"
                                 << "10"
                                 << ""
                                 << "10"
                                 << "Körte kicsi ABCDE10";
    QTest::newRow("item name, to box") << "Edit2"
                                       << "Dió"
                                       << ""
                                       << "2A"
                                       << "Dió dobozos ABC";
    QTest::newRow("item number of no item") << "Edit2"
                                            << "19"
                                            << "1"
                                            << "199"
                                            << "Szilva közepes XYZAV99";
    QTest::newRow("empty item") << "Edit1"
                                << ""
                                << "1"
                                << "1"
                                << "Alma nagy ABCDE10";
    // A movement type's code begins with a letter, so it is looked up as a name and found in the list.
    QTest::newRow("movement type code") << "Edit3"
                                        << "KI"
                                        << "x"
                                        << "KI"
                                        << "Kiadás -";
    QTest::newRow("movement type name") << "Edit4"
                                        << "Bevételezés"
                                        << ""
                                        << "BE"
                                        << "Bevételezés +";
    QTest::newRow("beginning of a name") << "Edit4"
                                         << "kiad"
                                         << "x"
                                         << "KI"
                                         << "Kiadás -";
    QTest::newRow("empty movement type") << "Edit3"
                                         << ""
                                         << "1"
                                         << "BE"
                                         << "Bevételezés +";
    QTest::newRow("code longer than the column") << "Edit4"
                                                 << "1234"
                                                 << "1"
                                                 << "BE"
                                                 << "Bevételezés +";
}

void TestStockReports::cardRangeLookups()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, listFlag);
    QFETCH(QString, value);
    QFETCH(QString, description);
    TForm24 form;
    const bool item = box == "Edit1" || box == "Edit2";
    const QString label = QStringLiteral("Label%1").arg(box.mid(4).toInt() + 3);
    QString flagSeen;
    platform->modalRuns.push_back([&flagSeen](QDialog*) {
        flagSeen = shared().LookupFlag;
        return int(QDialog::Accepted);
    });
    auto* edit = form.findChild<QLineEdit*>(box);
    edit->setText(typed);
    leave(edit);

    const QString list = item ? QStringLiteral("Form7") : QStringLiteral("Form13");
    QCOMPARE(platform->shownDialogs, listFlag.isEmpty() ? QStringList{} : QStringList{list});
    QCOMPARE(flagSeen, QString());   // the list has used its flag
    if (!listFlag.isEmpty())
        QCOMPARE(item ? shared().SelectedItemNumber : shared().SelectedMovementType, typed);
    QCOMPARE(edit->text(), value);
    QCOMPARE(form.findChild<QLabel*>(label)->text(), description);

    // The picker of the same box opens the list by name and writes the shorter item description.
    const QString button = QStringLiteral("Button%1").arg(box.mid(4).toInt());
    platform->modalRuns.clear();
    if (item)
        pickRowWhere(*Data->ZQ20, "CSZAM", "2");
    else
        pickRowWhere(*Data->ZQ50, "MNEM", "KI");
    QTest::mouseClick(form.findChild<QPushButton*>(button), Qt::LeftButton);
    QCOMPARE(edit->text(), item ? QStringLiteral("2") : QStringLiteral("KI"));
    QCOMPARE(form.findChild<QLabel*>(label)->text(),
             item ? QStringLiteral("Barack nagy") : QStringLiteral("Kiadás -"));
}

void TestStockReports::itemSummary_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("title");         // empty: as collected
    QTest::addColumn<QStringList>("listed");    // item: increases decreases
    QTest::addColumn<QStringList>("printed");   // item: opening, increases, decreases, closing

    // Item 15 has no item row; 199 has stock but no line from June on.
    const QStringList year = {"1: 70 60,5 22,5 108", "10: 0 40 15 25", "199: 10 0 4 6", "2: 0 8 0 8",
                              "2A: 0 3 0 3"};
    QTest::newRow("2024") << "2024-01-01"
                          << "2024-12-31"
                          << "" << QStringList{"1 60,5 22,5", "10 40 15", "199 0 4", "2 8 0", "2A 3 0"}
                          << year;
    QTest::newRow("second half") << "2024-06-01"
                                 << "2024-12-31"
                                 << "" << QStringList{"1 3 20", "2A 3 0"}
                                 << QStringList{"1: 125 3 20 108", "2A: 0 3 0 3"};
    QTest::newRow("by increase") << "2024-01-01"
                                 << "2024-12-31"
                                 << "Növekedés"
                                 << QStringList{"199 0 4", "2A 3 0", "2 8 0", "10 40 15", "1 60,5 22,5"}
                                 << QStringList{year[2], year[4], year[3], year[1], year[0]};
    QTest::newRow("by name") << "2024-01-01"
                             << "2024-12-31"
                             << "Megnevezés"
                             << QStringList{"1 60,5 22,5", "2 8 0", "2A 3 0", "10 40 15", "199 0 4"}
                             << QStringList{year[0], year[3], year[4], year[1], year[2]};
}

void TestStockReports::itemSummary()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, title);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, printed);
    TForm26 form;
    QVERIFY(!Data->ZQ11->isOpen());
    setPeriod(form, from, to);
    QTest::mouseClick(form.Button5, Qt::LeftButton);
    QCOMPARE(form.Label18->text(), QStringLiteral("A lista \"Cikkszám\" szerint"));
    QCOMPARE(shared().SummaryDateFrom, Formats::formatDate(isoDate(from)));
    QCOMPARE(shared().SummaryDateTo, Formats::formatDate(isoDate(to)));
    QCOMPARE(reportVariables().value("vkelttol").toString(), Formats::formatDate(isoDate(from)));
    if (!title.isEmpty()) {
        QVERIFY(clickTitle(form.DBGrid1, title));
        QCOMPARE(form.Label18->text(), QStringLiteral("A lista \"%1\" szerint").arg(title));
    }
    QStringList rows;
    const QStringList numbers = columnValues(*Data->ZQ11, "BCIKKSZAM");
    const QStringList increases = columnValues(*Data->ZQ11, "SUM_NOV");
    const QStringList decreases = columnValues(*Data->ZQ11, "SUM_CSOK");
    for (int i = 0; i < numbers.size(); ++i)
        rows << numbers[i] + ' ' + increases[i] + ' ' + decreases[i];
    QCOMPARE(rows, listed);
    QCOMPARE(printedRows(form.Button7), printed);
    QCOMPARE(Data->frNyomtat->fileName(), QStringLiteral("VarnelOsszesito.frf"));
}

void TestStockReports::itemSummaryKeepsTheCollectedRangeForPrinting()
{
    TForm26 form;
    setPeriod(form, "2024-06-01", "2024-12-31");
    QTest::mouseClick(form.Button5, Qt::LeftButton);
    // The whole year listed by a title click, without collecting: the printed figures and the period
    // variables still belong to the collected range.
    setPeriod(form, "2024-01-01", "2024-12-31");
    QVERIFY(clickTitle(form.DBGrid1, "Cikkszám"));
    QCOMPARE(Data->ZQ11->recordCount(), 5);
    QCOMPARE(printedRows(form.Button7).first(), QStringLiteral("1: 125 3 20 108"));
    QCOMPARE(reportVariables().value("vkelttol").toString(), QStringLiteral("2024.06.01"));
}

void TestStockReports::itemSummaryPrintedBeforeAnyCollection()
{
    TForm26 form;
    QVERIFY(clickTitle(form.DBGrid1, "Cikkszám"));
    QCOMPARE(printedRows(form.Button7), QStringList{});
    QCOMPARE(platform->shownDialogs, QStringList{});
    QCOMPARE(platform->messageTexts(), QStringList{StockReportForm::collectFirstText()});
}

void TestStockReports::printingBeforeCollecting_data()
{
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("dialog");   // what the button shows once the form has collected

    for (const char* form : {"Form27", "Form30", "Form31", "Form24", "Form26"})
        QTest::addRow("%s prints", form) << form << "Button7"
                                         << "ReportPreview";
    for (const char* form : {"Form27", "Form30", "Form26"})
        QTest::addRow("%s draws", form) << form << "chartButton"
                                        << "StockChart";
}

// The item card has collected before: its lines stand in the shared query, and the next form, which
// has collected nothing, says what to do first instead of showing them.
void TestStockReports::printingBeforeCollecting()
{
    QFETCH(QString, form);
    QFETCH(QString, button);
    QFETCH(QString, dialog);
    {
        TForm27 card;
        card.Edit1->setText("1");
        setPeriod(card, "2024-01-01", "2024-12-31");
        QTest::mouseClick(card.Button5, Qt::LeftButton);
    }
    std::unique_ptr<StockReportForm> report;
    if (form == "Form27")
        report.reset(new TForm27);
    else if (form == "Form30")
        report.reset(new TForm30);
    else if (form == "Form31")
        report.reset(new TForm31);
    else if (form == "Form24")
        report.reset(new TForm24);
    else
        report.reset(new TForm26);
    auto* pressed = report->findChild<QPushButton*>(button);
    QVERIFY(pressed);
    QTest::mouseClick(pressed, Qt::LeftButton);
    QCOMPARE(platform->messageTexts(), QStringList{StockReportForm::collectFirstText()});
    QCOMPARE(platform->shownDialogs, QStringList{});

    // Its own collection opens the way.
    if (auto* key = report->findChild<QLineEdit*>("Edit1"); key && form != "Form24")
        key->setText(form == "Form27" ? "10" : "ABC");
    setPeriod(*report, "2024-01-01", "2024-12-31");
    QTest::mouseClick(report->Button5, Qt::LeftButton);
    platform->clearMessages();
    QTest::mouseClick(pressed, Qt::LeftButton);
    QCOMPARE(platform->messageTexts(), QStringList{});
    QCOMPARE(platform->shownDialogs, QStringList{dialog});
}

void TestStockReports::reportsAgree_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("2024") << "2024-01-01"
                          << "2024-12-31";
    QTest::newRow("spring") << "2024-02-01"
                            << "2024-06-30";
    QTest::newRow("both years") << "2023-01-01"
                                << "2024-12-31";
}

// For every item: the item card's closing balance is the item summary's printed closing stock, and the
// card range list over the item alone has the card's period figures.
void TestStockReports::reportsAgree()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    TForm26 summary;
    setPeriod(summary, from, to);
    QTest::mouseClick(summary.Button5, Qt::LeftButton);
    QHash<QString, double> closing;
    for (const QString& row : printedRows(summary.Button7))
        closing.insert(row.section(QLatin1Char(':'), 0, 0), amount(row.section(QLatin1Char(' '), -1)));

    for (const char* number : {"1", "10", "199", "2", "2A"}) {
        const QString item = QString::fromLatin1(number);
        TForm27 card;
        card.Edit1->setText(item);
        setPeriod(card, from, to);
        QTest::mouseClick(card.Button5, Qt::LeftButton);
        TForm24 range;
        collectRange(range, {item, item, "", "ZZZ"}, from, to, true);

        QCOMPARE(amount(range.Edit5->text()), amount(card.Edit5->text()));
        QCOMPARE(amount(range.Edit6->text()), amount(card.Edit6->text()));
        if (closing.contains(item))
            QCOMPARE(amount(card.Edit7->text()), closing.value(item));
        else   // not listed: no lines in the period
            QCOMPARE(card.Edit7->text(), card.Edit2->text());
    }
}

STOCK_TEST_MAIN(TestStockReports)
#include "tst_stockreports.moc"
