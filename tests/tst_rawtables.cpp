// The raw-table maintenance: tabs and columns, the access codes and the M key with what each unlocks,
// unlocking that outlives the form, and grid edits that the next commit keeps.
#include "modalform.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "masterfixture.h"
#include "passworddialog.h"
#include "rawtables.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTest>

namespace {

// In tab order.
const char* const tableNames[] = {"BIZMOZG", "CIKK",    "PARTNER", "RAKTAR", "MNEM",
                                  "DOLGOZO", "BIZSZAM", "MUNKA",   "FELH",   "MUNKA2"};

// The names of the tables that are editable now, in data-module order.
QStringList editableTables()
{
    QStringList names;
    for (Table* t : Data->tables())
        if (!t->isReadOnly())
            names << t->tableName();
    return names;
}

const QStringList AtStart{"DOLGOZO", "BIZSZAM", "MUNKA", "MUNKA2"};
const QStringList FirstSet{"BIZMOZG", "CIKK",    "PARTNER", "RAKTAR", "MNEM",
                           "DOLGOZO", "BIZSZAM", "MUNKA",   "MUNKA2"};
const QStringList SecondSet{"BIZMOZG", "CIKK",    "PARTNER", "RAKTAR", "MNEM",
                            "DOLGOZO", "BIZSZAM", "FELH",    "MUNKA",  "MUNKA2"};

}

class TestRawTables : public MasterTest {
    Q_OBJECT

    // Opens the form as the menu does; `act` works it.
    void openForm(std::function<void(TForm19&)> act)
    {
        platform->addRun<TForm19>(act);
        runForm(Form19, nullptr);
    }

    // The next password dialog: types `text` and closes it by `button` ("OK", "Cancel" or "Esc").
    void answerPassword(const QString& text, const QString& button)
    {
        platform->addRun<TPasswordDlg>([text, button](TPasswordDlg& dialog) {
            QTest::keyClicks(dialog.Password, text);
            if (button == "OK")
                dialog.OKBtn->click();
            else if (button == "Cancel")
                dialog.CancelBtn->click();
            else
                QTest::keyClick(&dialog, Qt::Key_Escape);
        });
    }

private slots:
    void initTestCase() { initTestLocale(); }
    void init()
    {
        startTest();
        connectData();
    }
    void cleanup() { endTest(); }

    void tabsShowTheirColumnsInOrder()
    {
        QStringList captions, firstColumns, lastColumns, raktar;
        QList<int> counts;
        openForm([&](TForm19& f) {
            QCOMPARE(f.windowTitle(), QStringLiteral("Adatok"));
            QCOMPARE(f.PageControl1->count(), 10);
            for (int i = 0; i < 10; ++i) {
                captions << f.PageControl1->tabText(i);
                DBGrid* grid = f.findChild<DBGrid*>(QStringLiteral("DBGrid%1").arg(i + 1));
                QVERIFY(grid);
                QCOMPARE(static_cast<Table*>(grid->dataset())->tableName(), QString(tableNames[i]));
                counts << grid->rowModel()->columnCount();
                firstColumns << grid->fieldName(0);
                lastColumns << grid->fieldName(grid->rowModel()->columnCount() - 1);
                auto* navigator = f.findChild<DBNavigator*>(QStringLiteral("DBNavigator%1").arg(i + 1));
                QVERIFY(navigator && navigator->dataset() == grid->dataset());
                for (DBNavigator::Button b : DBNavigator::allButtons())
                    QVERIFY(!navigator->button(b)->isHidden());
            }
            DBGrid* grid4 = f.findChild<DBGrid*>(QStringLiteral("DBGrid4"));
            for (int c = 0; c < grid4->rowModel()->columnCount(); ++c)
                raktar << grid4->fieldName(c);
            QCOMPARE(f.Button6->text(), QStringLiteral("Szerkeszt"));
            QCOMPARE(f.Button1->text(), QStringLiteral("Mégsem"));
        });
        QCOMPARE(captions, (QStringList{"Bizmozg", "Cikk", "Partner", "Raktar", "Mnem", "Dolgozo", "Bizszam",
                                        "Munka", "Felh", "Munka2"}));
        QCOMPARE(counts, (QList<int>{31, 12, 7, 4, 9, 3, 4, 27, 12, 15}));
        QCOMPARE(firstColumns,
                 (QStringList{"IDB", "IDC", "IDP", "IDR", "IDM", "IDD", "IDZ", "IDU", "IDF", "F_FELVKELT"}));
        QCOMPARE(lastColumns, (QStringList{"BMEMO", "CMEMO", "PBANK", "RTELEP", "MVK", "DNEV", "ZFELADAS",
                                           "UERTCSOK", "FVERZIO", "O_IRSZAM"}));
        QCOMPARE(raktar, (QStringList{"IDR", "RKOD", "RNEV", "RTELEP"}));
    }

    void wayInUnlocks_data()
    {
        QTest::addColumn<QString>("way");   // "OK", "Cancel", "Esc" after typing; "key" for a key press
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("editable");
        QTest::addColumn<QString>("passwordAfter");
        QTest::newRow("first code, OK") << "OK"
                                        << "718260495" << FirstSet << "";
        QTest::newRow("first code, Cancel") << "Cancel"
                                            << "718260495" << FirstSet << "";
        QTest::newRow("second code, Esc") << "Esc"
                                          << "kvb" << SecondSet << "";
        QTest::newRow("second code, OK") << "OK"
                                         << "kvb" << SecondSet << "";
        QTest::newRow("other case") << "OK"
                                    << "KVB" << AtStart << "KVB";
        QTest::newRow("surrounding blank") << "OK"
                                           << " kvb" << AtStart << " kvb";
        QTest::newRow("empty") << "OK"
                               << "" << AtStart << "";
        QTest::newRow("M key") << "key"
                               << "M" << FirstSet << "";
        QTest::newRow("m key") << "key"
                               << "m" << FirstSet << "";
        QTest::newRow("other key") << "key"
                                   << "k" << AtStart << "";
    }

    void wayInUnlocks()
    {
        QFETCH(QString, way);
        QFETCH(QString, typed);
        QFETCH(QStringList, editable);
        QFETCH(QString, passwordAfter);
        QCOMPARE(editableTables(), AtStart);
        bool cikkCellEditable = false;
        openForm([&](TForm19& f) {
            if (way == "key") {
                f.Button6->setFocus();
                QTest::keyClicks(f.Button6, typed);
            } else {
                answerPassword(typed, way);
                f.Button6->click();
            }
            DBGrid* cikk = f.findChild<DBGrid*>(QStringLiteral("DBGrid2"));
            cikkCellEditable = cikk->rowModel()->flags(cikk->rowModel()->index(0, 3)) & Qt::ItemIsEditable;
        });
        QCOMPARE(platform->shownDialogs.size(), way == "key" ? 1 : 2);
        QCOMPARE(editableTables(), editable);
        QCOMPARE(cikkCellEditable, editable.contains("CIKK"));
        QCOMPARE(shared().MaintenancePassword, passwordAfter);
        QVERIFY(platform->messages.empty());
    }

    void unlockingLastsAndGridsStartAtTheFirstRow()
    {
        QList<int> rowsAfterUnlock;
        openForm([&](TForm19& f) {
            // A failed attempt, then the code: each click shows the dialog again.
            answerPassword("rossz", "OK");
            f.Button6->click();
            Data->IBTable2->moveTo(2);
            Data->IBTable6->moveTo(3);
            answerPassword("718260495", "OK");
            f.Button6->click();
            for (Table* t : Data->tables())
                rowsAfterUnlock << t->currentRow();
            for (int i = 0; i < 10; ++i) {
                DBGrid* grid = f.findChild<DBGrid*>(QStringLiteral("DBGrid%1").arg(i + 1));
                if (grid->dataset()->currentRow() == 0)
                    QCOMPARE(grid->currentIndex().row(), 0);
            }
        });
        QCOMPARE(platform->shownDialogs, (QStringList{"Form19", "PasswordDlg", "PasswordDlg"}));
        // Tables with rows are on their first; the empty ones have none.
        QCOMPARE(rowsAfterUnlock, (QList<int>{-1, 0, 0, 0, 0, 0, 0, -1, -1, -1}));
        openForm([](TForm19&) {});
        QCOMPARE(editableTables(), FirstSet);
        openForm([&](TForm19& f) {
            answerPassword("kvb", "OK");
            f.Button6->click();
        });
        QCOMPARE(editableTables(), SecondSet);
    }

    // A cell typed into a grid goes into the shared transaction; the next commit keeps it. MUNKA2 has no
    // identifier: its rows are addressed by their database key, so only the edited row changes.
    void gridEditIsKeptByTheNextCommit_data()
    {
        QTest::addColumn<int>("grid");
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("check");
        QTest::newRow("item name") << 2 << "CMEGN"
                                   << "SELECT cmegn AS V FROM cikk ORDER BY idc";
        QTest::newRow("imported line") << 10 << "S_MEGNEVEZES"
                                       << "SELECT s_megnevezes AS V FROM munka2 ORDER BY s_bszam";
    }

    void gridEditIsKeptByTheNextCommit()
    {
        QFETCH(int, grid);
        QFETCH(QString, column);
        QFETCH(QString, check);
        db->exec({"INSERT INTO munka2 (s_bszam, s_megnevezes) VALUES ('1', 'Barack')",
                  "INSERT INTO munka2 (s_bszam, s_megnevezes) VALUES ('2', 'Barack')"});
        Data->IBTable10->close();
        Data->IBTable10->open();
        openForm([&](TForm19& f) {
            answerPassword("718260495", "OK");
            f.Button6->click();
            DBGrid* g = f.findChild<DBGrid*>(QStringLiteral("DBGrid%1").arg(grid));
            int c = 0;
            while (g->fieldName(c) != column)
                ++c;
            QVERIFY(g->rowModel()->setData(g->rowModel()->index(1, c), QStringLiteral("Őszibarack")));
        });
        QVERIFY(platform->messages.empty());
        Data->IBTrans1.commit();
        auto check_ = db->connect();
        Query q(check_->transaction());
        q.setSql(check);
        q.open();
        const QStringList values = columnValues(q, QStringLiteral("V"));
        QCOMPARE(values.value(1), QStringLiteral("Őszibarack"));
        QCOMPARE(values.count(QStringLiteral("Őszibarack")), 1);
    }
};

QTEST_MAIN(TestRawTables)
#include "tst_rawtables.moc"
