// Fixture of the stock report tests: movement lines over 2023 and 2024, the report forms' templates
// reduced to the figures under test, and the scripted person who reads the preview.
#pragma once

#include "application.h"
#include "data.h"
#include "dataset.h"
#include "dbgrid.h"
#include "formats.h"
#include "modalform.h"   // before masterfixture.h, which uses runForm
#include "masterfixture.h"
#include "reportform.h"
#include "report.h"
#include "reportevents.h"
#include "reportpreview.h"
#include "scriptedplatform.h"
#include "sharedstate.h"
#include "testdatabase.h"

#include <QAbstractButton>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Items, by item number (compared as text: 1 < 10 < 15 < 199 < 2 < 2A):
//   1 Alma    batch ABCDE10: 2023 +100 -30; 2024 +50 (on 01.01), +7,5 -2,5 in one line, -20, +2 with the
//             movement type XX that has no master row, +1 (on 12.31)
//   10 Körte  batch ABCDE10 too (shared with 1): 2024 +40 -15
//   199 Szilva batch XYZAV99: 2023 +10; 2024 -4
//   2 Barack  batch ABCLE10 (position 4 beyond K): 2024 +8
//   2A Dió    batch ABC (shorter than seven characters): 2024 +3
//   15        no item row, batch QQQBF55 that no item carries: 2024 +5
// Values are ten times the quantities.
inline void fillStockFixture(const TestDatabase& db)
{
    QStringList statements = {
        "INSERT INTO cikk (ckod, cszam, cmegn, cmeret, cbizonylat) VALUES ('1', '1', 'Alma', 'nagy', "
        "'ABCDE10')",
        "INSERT INTO cikk (ckod, cszam, cmegn, cmeret, cbizonylat) VALUES ('2', '10', 'Körte', 'kicsi', "
        "'ABCDE10')",
        "INSERT INTO cikk (ckod, cszam, cmegn, cmeret, cbizonylat) VALUES ('3', '199', 'Szilva', 'közepes', "
        "'XYZAV99')",
        "INSERT INTO cikk (ckod, cszam, cmegn, cmeret, cbizonylat) VALUES ('4', '2', 'Barack', 'nagy', "
        "'ABCLE10')",
        "INSERT INTO cikk (ckod, cszam, cmegn, cmeret, cbizonylat) VALUES ('5', '2A', 'Dió', 'dobozos', "
        "'ABC')",
        "INSERT INTO mnem (mkod, mnem, mnev, mncs) VALUES ('1', 'BE', 'Bevételezés', '+')",
        "INSERT INTO mnem (mkod, mnem, mnev, mncs) VALUES ('2', 'KI', 'Kiadás', '-')",
    };
    struct Line {
        const char *number, *item, *date, *type, *batch;
        double increase, decrease;
    };
    const Line lines[] = {
        {"1", "1", "2023-03-01", "BE", "ABCDE10", 100, 0},
        {"2", "1", "2023-11-15", "KI", "ABCDE10", 0, 30},
        {"3", "1", "2024-01-01", "BE", "ABCDE10", 50, 0},
        {"4", "1", "2024-02-10", "BE", "ABCDE10", 7.5, 2.5},
        {"5", "1", "2024-06-30", "KI", "ABCDE10", 0, 20},
        {"6", "1", "2024-12-31", "BE", "ABCDE10", 1, 0},
        {"7", "10", "2024-03-01", "BE", "ABCDE10", 40, 0},
        {"8", "10", "2024-03-02", "KI", "ABCDE10", 0, 15},
        {"9", "199", "2023-05-05", "BE", "XYZAV99", 10, 0},
        {"10", "199", "2024-04-04", "KI", "XYZAV99", 0, 4},
        {"11", "2", "2024-05-05", "BE", "ABCLE10", 8, 0},
        {"12", "2A", "2024-07-07", "BE", "ABC", 3, 0},
        {"13", "15", "2024-08-08", "BE", "QQQBF55", 5, 0},
        {"14", "1", "2024-09-09", "XX", "ABCDE10", 2, 0},
    };
    for (const Line& l : lines)
        statements << QStringLiteral(
                          "INSERT INTO bizmozg (bbszam, bcikkszam, bbizdatum, bmnem, btetel, bear, bmenov, "
                          "bmecsok, bertnov, bertcsok, bpkod) VALUES ('%1', '%2', '%3', '%4', '%5', 10, "
                          "%6, %7, %8, %9, '%1')")
                          .arg(l.number, l.item, l.date, l.type, l.batch)
                          .arg(l.increase)
                          .arg(l.decrease)
                          .arg(l.increase * 10)
                          .arg(l.decrease * 10);
    db.exec(statements);
}

inline QDate isoDate(const QString& text)
{
    return QDate::fromString(text, Qt::ISODate);
}

// The form's two dates.
inline void setPeriod(StockReportForm& form, const QString& from, const QString& to)
{
    form.DateTimePicker1->setDate(isoDate(from));
    form.DateTimePicker2->setDate(isoDate(to));
}

// A click on the grid's column title; false when there is no such column.
inline bool clickTitle(DBGrid* grid, const QString& title)
{
    for (int i = 0; i < grid->rowModel()->columnCount(); ++i) {
        if (grid->columnTitle(i) == title) {
            emit grid->horizontalHeader()->sectionClicked(i);
            return true;
        }
    }
    return false;
}

// A title click and what follows it: the word of the sort text and the listed values of one column.
struct TitleClick {
    const char* title;
    const char* word;
    QStringList values;
};

// Clicks the titles in turn, checking the column's values and the sort text after each; the caller
// returns when QTest::currentTestFailed().
inline void checkTitleClicks(StockReportForm& form, const QString& column, const QList<TitleClick>& clicks)
{
    for (const TitleClick& click : clicks) {
        QVERIFY(clickTitle(form.DBGrid1, QString::fromUtf8(click.title)));
        QCOMPARE(columnValues(*Data->ZQ11, column), click.values);
        QCOMPARE(form.Label18->text(),
                 QStringLiteral("A lista \"%1\" szerint").arg(QString::fromUtf8(click.word)));
    }
}

// One database for the test case, filled once; each test starts with a fresh scripted platform, empty
// shared state, and the templates of the test in the working folder.
class StockReportTest : public QObject {
protected:
    TestDatabase db;
    ScriptedPlatform* platform = nullptr;
    QTemporaryDir folder;
    QString startFolder = QDir::currentPath();

    void startCase()
    {
        initTestLocale();
        fillStockFixture(db);
        Data = new TData(db.path());
        Data->connectAndOpenTables();
        installReportEvents(*Data);
        // Each template prints the figures under test, one line of text per row.
        const QList<std::pair<const char*, const char*>> templates = {
            {"VarnelKarton.frf", "frDBDataSet1|[bbszam]: [vvarnel]"},
            {"VarnelTetel.frf", "frDBTetelszam|[bbszam]: [vvarnel]"},
            {"VarnelTeteltolig.frf", "frDBTetelszam|[bbszam] [cszam]: [vvarnel]"},
            {"VarnelKartontolig.frf", "frDBDataSet5|T [bbszam]"},
            {"VarnelKartontolig2.frf",
             "frDBDataSet5|S [bcikkszam] [bmnem] [sum_bmenov] [sum_bmecsok] [sum_ertek]"},
            {"VarnelOsszesito.frf", "frDBDataSet2|[bcikkszam]: [vathozat] [vsum_nov] [vsum_csok] [vvarnel]"},
        };
        for (const auto& [name, content] : templates) {
            const QStringList parts = QString::fromUtf8(content).split(QLatin1Char('|'));
            QFile file(folder.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QStringLiteral("<report><band kind=\"masterdata\" dataset=\"%1\" height=\"5\">"
                                      "<text width=\"250\" format=\"number\">%2</text></band></report>")
                           .arg(parts[0], parts[1].toHtmlEscaped())
                           .toUtf8());
        }
        QDir::setCurrent(folder.path());
    }

    void endCase()
    {
        QDir::setCurrent(startFolder);
        delete Data;
        Data = nullptr;
    }

    void startTest()
    {
        platform = &ScriptedPlatform::install();
        shared() = SharedState();
    }

    // Fails the test when a scripted form run was not used as written.
    void endTest() { verifyScriptUsed(*platform); }

    // Clicks the print button and returns the texts of the previewed rows; an empty list with the
    // general handler's message when the preview was not shown.
    QStringList printedRows(QAbstractButton* print)
    {
        QStringList rows;
        platform->modalRuns.push_back([&rows](QDialog* dialog) {
            if (auto* preview = qobject_cast<ReportPreview*>(dialog))
                for (const QStringList& row : preview->pages().rows())
                    rows << row.join(QLatin1Char(' '));
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(print, Qt::LeftButton);
        platform->modalRuns.clear();
        return rows;
    }

    // A person leaving the box for the next control.
    static void leave(QWidget* box)
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box, &out);
    }

    // The next modal run moves the list's query to the row whose column holds the value, then closes.
    void pickRowWhere(Dataset& list, const QString& column, const QString& value)
    {
        platform->modalRuns.push_back([&list, column, value](QDialog*) {
            list.first();
            while (!list.eof() && list.fieldByName(column).asString() != value)
                list.next();
            return int(QDialog::Accepted);
        });
    }
};

// Tests run under the program's own application object, so that an error escaping a click is shown
// by the general handler as in the program.
#define STOCK_TEST_MAIN(TestClass)                                                                           \
    int main(int argc, char** argv)                                                                          \
    {                                                                                                        \
        Application app(argc, argv);                                                                         \
        TestClass test;                                                                                      \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
