// Faults injected into the data layer during every save path: the n-th statement, fetch or commit fails;
// the numbered message with the reason, everything of the unit rolled back, and the next save works.
#include "dbgrid.h"
#include "documentfixture.h"
#include "faultinjection.h"
#include "itemnumberchange.h"
#include "lazyrowmodel.h"
#include "masterentry.h"
#include "masterlist.h"
#include "passworddialog.h"
#include "purchaseticketimport.h"
#include "rawtables.h"

#include <QListWidget>

using FaultInjection::Point;

namespace {

const QString Injected = QStringLiteral("Szimulált adatbázis-hiba.");
const QString PostingDone = QStringLiteral("Adatátvétel  -feladás- befejezödött ");
const QString Replaced = QStringLiteral("A csere végrehajtva. ");

}

class TestFaults : public DocumentTest {
    Q_OBJECT

    // The line form, new or changing line "11", with a whole line typed; `save` clicks "OK".
    void lineForm(bool change, const std::function<void(TForm18&)>& save)
    {
        if (!change) {
            newLine([&](TForm18& form) {
                typeLine(form, "101", "100", "3", "2", "6");
                save(form);
            });
            return;
        }
        inRegister([&](TForm17& form) {
            Data->ZQ10->locate(QStringLiteral("BBSZAM"), QStringLiteral("11"));
            inLineForm(form, true, [&](TForm18& line) {
                line.Edit7->setText(QStringLiteral("javítva"));
                save(line);
            });
        });
    }

    // The member's entry form, new or changing a row that no line uses, every box filled; `save` clicks
    // "OK".
    void entryForm(const ListMember& m, bool change, const std::function<void(MasterEntry&)>& save)
    {
        const QString code = !change ? QString() : m.table == QLatin1String("cikk") ? "1" : "3";
        inEntryForm<MasterEntry, MasterList>(m, code, [&](MasterEntry& form) {
            for (const EntryBox& box : form.member().boxes)
                form.box(box.name)->setText(QStringLiteral("Hibás mentés"));
            save(form);
        });
    }

    // The import's posting run over one work row of a new item and a new producer; `save` clicks
    // "Feladás".
    void importForm(const std::function<void(TForm25&)>& save)
    {
        db->exec(
            {"DELETE FROM munka2",
             "INSERT INTO munka2 VALUES ('2012-09-14', 'F1', '601', 'Búza', 'T-601', 12.5, 'kg', 62, 775, "
             "'1001', '501', 'Kiss Anna', 'Szeged', 'Fő u. 1.', '6720')"});
        TForm25 form;
        form.Edit10->setText(QStringLiteral("101"));
        form.Edit2->setText(QStringLiteral("101"));
        save(form);
    }

    // The item number change moving the one line of item 400 to item 300; `save` clicks "Csere".
    void itemChangeForm(const std::function<void(TForm32&)>& save)
    {
        TForm32 form;
        form.Edit1->setText(QStringLiteral("400"));
        form.Button6->click();
        form.Edit2->setText(QStringLiteral("3"));
        platform->modalRuns.push_back([](QDialog*) { return int(QDialog::Accepted); });
        form.Button5->click();
        form.Button8->click();
        QCOMPARE(form.CheckListBox1->count(), 1);
        save(form);
    }

    // Plays the save path `path` with `save` clicking its save button in the form.
    template <class Save>
    void savePath(const QString& path, bool change, const Save& save)
    {
        if (path == QLatin1String("line"))
            lineForm(change, save);
        else if (path == QLatin1String("import"))
            importForm(save);
        else if (path == QLatin1String("item number change"))
            itemChangeForm(save);
        else
            entryForm(listMember(path), change, save);
    }

    // Everything the save paths write, as one comparable picture: the lines, the counter, then each
    // master table in the order of listMembers().
    QList<Rows> stored()
    {
        QList<Rows> all{
            committed(QStringLiteral(
                "SELECT bbszam, bcikkszam, bmenov, bmecsok, bmegjegy, brkelt FROM bizmozg ORDER BY idb")),
            committed(QStringLiteral("SELECT zbizszam FROM bizszam"))};
        for (const ListMember& m : listMembers())
            all << committed(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(m.table, m.codeField));
        return all;
    }

private slots:
    void initTestCase() { initTestLocale(); }
    void init() { startDocuments(); }
    void cleanup()
    {
        FaultInjection::disarm();
        endTest();
    }

    void faultDuringSave_data()
    {
        QTest::addColumn<QString>("path");   // "line" or a master-data list member
        QTest::addColumn<bool>("change");
        QTest::addColumn<int>("point");
        QTest::addColumn<int>("nth");
        QTest::addColumn<QString>("message");
        const auto statement = int(Point::Statement), fetch = int(Point::Fetch), commit = int(Point::Commit);
        const QString counter = QStringLiteral("Hiba188:  UPDATE Bizszam -ba ");
        const QString insert = QStringLiteral("Hiba182: Újban, INSERT a bizmozg-ban ");
        QTest::newRow("new line: counter read") << "line" << false << statement << 1 << counter;
        QTest::newRow("new line: counter row fetched") << "line" << false << fetch << 1 << counter;
        QTest::newRow("new line: counter advance") << "line" << false << statement << 2 << counter;
        QTest::newRow("new line: insert") << "line" << false << statement << 3 << insert;
        QTest::newRow("new line: commit") << "line" << false << commit << 1 << insert;
        const QString update = QStringLiteral("Hiba183: Módositás, Update a bizmozg-ban ");
        QTest::newRow("changed line: update") << "line" << true << statement << 1 << update;
        QTest::newRow("changed line: commit") << "line" << true << commit << 1 << update;
        const struct {
            const char *member, *insert, *update;
        } members[] = {
            {"warehouses", "Hiba122: Újban, INSERT a raktárban ", "Hiba123: Módositás, Update a raktárban "},
            {"items", "Hiba82: Újban, INSERT a cikkben ", "Hiba83: Módositás, Update a cikkben "},
            {"partners", "Hiba102: Újban, INSERT a partnerben ", "Hiba13: Módositás, Update a partnerben "},
            {"movement types", "Hiba142: Újban, INSERT a mnemben ", "Hiba143: Módositás, Update a menmben "},
            {"employees", "Hiba162: Újban, INSERT a dolgozoban ", "Hiba163: Módositás, Update a dolgozóban "},
        };
        // One work row: its item, producer, number and line are one unit of work.
        QTest::newRow("import: item number read")
            << "import" << false << statement << 5 << "Hiba251: Import a XML -böl, INSERT a cikkben ";
        QTest::newRow("import: new item")
            << "import" << false << statement << 6 << "Hiba251: Import a XML -böl, INSERT a cikkben ";
        QTest::newRow("import: new producer")
            << "import" << false << statement << 7 << "Hiba252: Import a XML -böl, INSERT a partnerbe ";
        const QString ticketCounter = QStringLiteral("Hiba254:  UPDATE Sorszam -ba ");
        QTest::newRow("import: counter read") << "import" << false << statement << 8 << ticketCounter;
        QTest::newRow("import: counter advance") << "import" << false << statement << 9 << ticketCounter;
        const QString ticketLine = QStringLiteral("Hiba253: Feladás XML -böl INSERT a bizmozg ");
        QTest::newRow("import: line") << "import" << false << statement << 10 << ticketLine;
        QTest::newRow("import: commit") << "import" << false << commit << 1 << ticketLine;
        const QString replace = QStringLiteral("Hiba: Csere, Update a bizmozg-ban ");
        QTest::newRow("item number change: update")
            << "item number change" << false << statement << 1 << replace;
        QTest::newRow("item number change: commit")
            << "item number change" << false << commit << 1 << replace;
        for (const auto& m : members) {
            for (const bool change : {false, true}) {
                const QString message = QString::fromUtf8(change ? m.update : m.insert);
                const QString name = QStringLiteral("%1 %2: ").arg(m.member, change ? "change" : "new");
                QTest::newRow(qPrintable(name + "statement"))
                    << m.member << change << statement << 1 << message;
                QTest::newRow(qPrintable(name + "commit")) << m.member << change << commit << 1 << message;
            }
        }
    }

    void faultDuringSave()
    {
        QFETCH(QString, path);
        QFETCH(bool, change);
        QFETCH(int, point);
        QFETCH(int, nth);
        QFETCH(QString, message);
        const QList<Rows> before = stored();
        const bool import = path == QLatin1String("import");
        const bool itemChange = path == QLatin1String("item number change");
        const char* ok = path == QLatin1String("line") ? "Button3"
                         : import || itemChange        ? "Button1"
                                                       : "Button2";
        // What the form says once its run is over, whether a unit failed or not.
        const QStringList closing = import       ? QStringList{PostingDone}
                                    : itemChange ? QStringList{Replaced}
                                                 : QStringList();
        auto failingSave = [&](auto& form) {
            platform->clearMessages();
            FaultInjection::failAt(Point(point), nth, Injected);
            form.template findChild<QPushButton*>(ok)->click();
            FaultInjection::disarm();
            // The failure table: the line and entry forms close as after a save, the list is read again;
            // the import ends its run, the item number change empties its list.
            if constexpr (std::is_same_v<std::decay_t<decltype(form)>, TForm25>)
                QCOMPARE(form.result(), int(QDialog::Accepted));
            else if constexpr (std::is_same_v<std::decay_t<decltype(form)>, TForm32>)
                QCOMPARE(form.CheckListBox1->count(), 0);
            else
                QVERIFY(!form.isVisible());
        };
        savePath(path, change, failingSave);

        QCOMPARE(platform->messageTexts(), QStringList{message + QLatin1Char('\r') + Injected} + closing);
        QCOMPARE(stored(), before);

        // Nothing of the failed unit is left pending: the same save now goes through, once.
        platform->clearMessages();
        // An entry form's saved row, as its boxes showed it: select, code and values.
        QString savedRow;
        QStringList savedValues;
        auto save = [&](auto& form) {
            if constexpr (std::is_same_v<std::decay_t<decltype(form)>, MasterEntry>) {
                QStringList columns;
                for (const EntryBox& box : form.member().boxes) {
                    if (box.column.isEmpty())
                        continue;
                    columns << box.column;
                    savedValues << form.box(box.name)->text();
                }
                savedRow = QStringLiteral("SELECT %1 FROM %2 WHERE %3 = '%4'")
                               .arg(columns.join(QLatin1Char(',')), form.member().table,
                                    form.member().codeColumn, form.Edit2->text());
            }
            form.template findChild<QPushButton*>(ok)->click();
        };
        savePath(path, change, save);
        QCOMPARE(platform->messageTexts(), closing);
        const QList<Rows> after = stored();
        QVERIFY(after != before);
        QCOMPARE(savedRow.isEmpty(), import || itemChange || path == QLatin1String("line"));
        if (!savedRow.isEmpty()) {
            // The entry's row holds what its boxes showed; its table has one row more for a new one,
            // and nothing else changed.
            QCOMPARE(committed(savedRow), Rows{savedValues});
            const int table = 2 + int(std::find_if(listMembers().begin(), listMembers().end(),
                                                   [&](const ListMember& m) { return m.name == path; }) -
                                      listMembers().begin());
            QCOMPARE(after[table].size(), before[table].size() + (change ? 0 : 1));
            for (int i = 0; i < after.size(); ++i)
                if (i != table)
                    QCOMPARE(after[i], before[i]);
        }
        if (path == QLatin1String("line") && change)
            QCOMPARE(committed("SELECT bmegjegy, bmenov FROM bizmozg WHERE bbszam = '11'"),
                     (Rows{{"javítva", "1"}}));
        if ((path == QLatin1String("line") && !change) || import) {
            QCOMPARE(lineCount(), 5);
            QCOMPARE(counter(), QStringLiteral("42"));
        }
        if (import) {
            QCOMPARE(committed("SELECT bbszam, bcikkszam, bckod FROM bizmozg WHERE bbszam = '42'"),
                     (QList<QStringList>{{"42", "601", "11"}}));
            QCOMPARE(committed("SELECT count(*) FROM partner WHERE pnev = 'Kiss Anna'"),
                     QList<QStringList>{{"1"}});
        }
        if (itemChange)
            QCOMPARE(committed("SELECT bcikkszam, bckod FROM bizmozg WHERE bbszam = '12'"),
                     (QList<QStringList>{{"300", "1"}}));
    }

    // A cell of the raw-table maintenance whose write fails: the database's reason is shown, the cell
    // keeps its stored value and nothing of the edit reaches the next commit.
    void faultDuringRawTableEdit()
    {
        const QList<Rows> before = stored();
        bool accepted = true;
        QString shownBefore, shownAfter;
        platform->addRun<TForm19>([&](TForm19& form) {
            platform->addRun<TPasswordDlg>([](TPasswordDlg& dialog) {
                dialog.Password->setText(QStringLiteral("718260495"));
                dialog.OKBtn->click();
            });
            form.Button6->click();
            DBGrid* grid = form.findChild<DBGrid*>(QStringLiteral("DBGrid2"));
            int column = 0;
            const int columns = grid->rowModel()->columnCount();
            while (column < columns && grid->fieldName(column) != QLatin1String("CMEGN"))
                ++column;
            QVERIFY2(column < columns, "no CMEGN column in the raw item table");
            const QModelIndex cell = grid->rowModel()->index(1, column);
            shownBefore = cell.data().toString();
            FaultInjection::failAt(Point::Statement, 1, Injected);
            accepted = grid->rowModel()->setData(cell, QStringLiteral("Őszibarack"));
            FaultInjection::disarm();
            shownAfter = cell.data().toString();
        });
        runForm(Form19, nullptr);
        QVERIFY(!accepted);
        QVERIFY(!shownBefore.isEmpty());
        QCOMPARE(shownAfter, shownBefore);
        QCOMPARE(platform->messageTexts(), QStringList{Injected});
        Data->IBTrans1.commit();
        QCOMPARE(stored(), before);
    }
};

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
