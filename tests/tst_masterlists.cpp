// The five master-data lists: layout, positioning by lookup flag, searching, title-click orders, usage
// refusals, the last row, deletion inside the open transaction, the lookup hand-back and printing.
#include "dbgrid.h"
#include "dbnavigator.h"
#include "dbtext.h"
#include "masterentry.h"
#include "masterfixture.h"
#include "picklistkeys.h"
#include "report.h"
#include "scriptedplatform.h"
#include "sharedstate.h"
#include "windowedquery.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using Kind = ScriptedPlatform::MessageKind;

class TestMasterLists : public MasterTest {
    Q_OBJECT

    // Opens the list as the menu does; `act` plays the person while it is shown.
    void work(const ListMember& member, const std::function<void(MasterList&)>& act)
    {
        bool ran = false;
        platform->addRun<MasterList>([&](MasterList& list) {
            ran = true;
            act(list);
        });
        member.open();
        QVERIFY(ran);
    }

    QString current(const ListMember& member) { return currentValue(listQuery(member), member.codeField); }

    QStringList codesInDatabase(const ListMember& member)
    {
        auto connection = db->connect();
        Query q(connection->transaction());
        q.setSql(QStringLiteral("SELECT %1 FROM %2 ORDER BY 1").arg(member.codeField, member.table));
        q.open();
        return columnValues(q, member.codeField);
    }

private slots:
    void initTestCase() { initTestLocale(); }

    void init() { startTest(); }
    void cleanup() { endTest(); }

    void layout_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("detailTitle");
        QTest::addColumn<QString>("firstLabel");
        const QString clickTitle = QStringLiteral("Sorrend: klikk az oszlop fejlécre");
        const QString markTitle = QStringLiteral("Sorrend: Oszlop megjelölés és klikk az oszlop fejlécre");
        QTest::newRow("warehouses") << "warehouses"
                                    << "Raktár" << QSize(649, 364)
                                    << QStringList{"Kód", "Név", "Telephely", "ID"} << "Adata" << clickTitle;
        QTest::newRow("items") << "items"
                               << "Cikk" << QSize(648, 446)
                               << QStringList{"Cikkszám", "Tételszám", "Megnevezés", "Méret", "VTSZ",
                                              "M.egység", "Raktárkód", "ID",         "Kód",   "IDC"}
                               << "Adata" << markTitle;
        QTest::newRow("partners") << "partners"
                                  << "Partner" << QSize(645, 376)
                                  << QStringList{"Kód",  "Név",       "Irszám", "Helységnév",
                                                 "Utca", "Bank szla", "ID"}
                                  << "Adata:" << markTitle;
        QTest::newRow("movement types")
            << "movement types"
            << "Mozgásnem" << QSize(575, 385)
            << QStringList{"Mozgásnemkód", "Megnevezés", "+/-", "IDM", "MKOD"} << "Adata" << clickTitle;
        QTest::newRow("employees") << "employees"
                                   << "Dolgozó" << QSize(620, 347) << QStringList{"Kód", "Név", "ID"}
                                   << "Adata" << clickTitle;
    }

    // The label is read before the show step rewrites it.
    void layout()
    {
        QFETCH(QString, member);
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        QFETCH(QStringList, titles);
        QFETCH(QString, detailTitle);
        QFETCH(QString, firstLabel);
        connectData();
        const ListMember& m = listMember(member);
        // The creation step leaves the member's first label until the list is shown.
        std::unique_ptr<MasterList> created;
        if (member == "warehouses")
            created.reset(new TForm11);
        if (member == "items")
            created.reset(new TForm7);
        if (member == "partners")
            created.reset(new TForm9);
        if (member == "movement types")
            created.reset(new TForm13);
        if (member == "employees")
            created.reset(new TForm15);
        QCOMPARE(created->Label18->text(), firstLabel);
        created.reset();
        work(m, [&](MasterList& list) {
            QCOMPARE(list.windowTitle(), caption);
            QCOMPARE(list.size(), size);
            QStringList shown;
            for (int i = 0; i < list.DBGrid1->model()->columnCount(); ++i)
                shown << list.DBGrid1->columnTitle(i);
            QCOMPARE(shown, titles);
            QCOMPARE(list.GroupBox1->title(), detailTitle);
            QCOMPARE(list.Label19->text(), QStringLiteral("Megnevezés"));
            QCOMPARE(list.Label19->buddy(), list.Edit1);
            QCOMPARE(list.Edit1->toolTip(), QStringLiteral("Kezdö betükre rákeres"));
            const QStringList buttons{"Button1", "Button2", "Button3", "Button4",
                                      "Button7", "Button5", "Button6"};
            const QStringList texts{"Kiválaszt", "Új", "Módosít", "Töröl", "Nyomtat", "Mégsem", "Keres"};
            for (int i = 0; i < buttons.size(); ++i)
                QCOMPARE(list.findChild<QPushButton*>(buttons[i])->text(), texts[i]);
            for (const char* name : {"Panel1", "DBNavigator1", "DBGrid1", "GroupBox1", "Label18"})
                QVERIFY2(list.findChild<QWidget*>(name), name);
            QVERIFY(list.DBNavigator1->button(DBNavigator::Next)->isVisibleTo(&list));
            QVERIFY(!list.DBNavigator1->button(DBNavigator::Insert)->isVisibleTo(&list));
        });
        QCOMPARE(platform->shownDialogs, QStringList{m.listName});
    }

    // "Cim:" reads as one address: the town follows the postal code after a blank's width, however long
    // the names above it are.
    void partnerAddressReadsAsOneLine()
    {
        db->exec({QStringLiteral(
            "INSERT INTO partner (pkod, pnev, pirszam, phelyseg, putca) VALUES "
            "('50', 'Dél-dunántúli Mezőgazdasági Szövetkezet', '7600', 'Pécs', 'Fő u. 1.')")});
        connectData();
        work(listMember("partners"), [&](MasterList& list) {
            QVERIFY(listQuery(listMember("partners")).locate(QStringLiteral("PKOD"), QStringLiteral("50")));
            QCoreApplication::processEvents();   // the labels' new texts are laid out
            QMap<QString, DBText*> texts;
            for (DBText* text : list.GroupBox1->findChildren<DBText*>())
                texts[text->fieldName()] = text;
            QCOMPARE(texts["PIRSZAM"]->text(), QStringLiteral("7600"));
            QCOMPARE(texts["PHELYSEG"]->text(), QStringLiteral("Pécs"));
            const int blank = list.fontMetrics().horizontalAdvance(QLatin1Char(' '));
            for (const auto& [left, right] :
                 {std::pair{"PIRSZAM", "PHELYSEG"}, std::pair{"PHELYSEG", "PUTCA"}}) {
                // From the end of the text shown, not of the label: a label may be wider than its text.
                const int textEnd = texts[left]->geometry().left() + texts[left]->contentsMargins().left() +
                                    texts[left]->fontMetrics().horizontalAdvance(texts[left]->text());
                const int gap =
                    texts[right]->geometry().left() + texts[right]->contentsMargins().left() - textEnd;
                QVERIFY2(gap >= 0 && gap <= 2 * blank, qPrintable(QStringLiteral("%1 px").arg(gap)));
            }
            QVERIFY(texts["PNEV"]->geometry().right() > texts["PHELYSEG"]->geometry().left());
        });
    }

    void showPositions_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("flag");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("flagAfter");
        const QString name = QStringLiteral("A lista, \"Név\" szerint");
        const QString key = QStringLiteral("A lista, \"Mozgásnem\" szerint");
        QTest::newRow("warehouse by code") << "warehouses"
                                           << ""
                                           << "3"
                                           << "3" << name << "";
        QTest::newRow("warehouse, no match: first") << "warehouses"
                                                    << ""
                                                    << "99"
                                                    << "3" << name << "";
        QTest::newRow("warehouse by name") << "warehouses"
                                           << "x"
                                           << "ALM"
                                           << "2" << name << "";
        QTest::newRow("warehouse, any flag is a name") << "warehouses"
                                                       << "1"
                                                       << "zab"
                                                       << "10" << name << "";
        QTest::newRow("item by code") << "items"
                                      << ""
                                      << "10"
                                      << "10"
                                      << "A lista, \"Kód\" szerint"
                                      << "";
        QTest::newRow("item by number") << "items"
                                        << "1"
                                        << "2"
                                        << "3"
                                        << "A lista, \"Cikkszám\" szerint"
                                        << "";
        QTest::newRow("item by name") << "items"
                                      << "x"
                                      << "ba"
                                      << "1"
                                      << "A lista, \"Megnevezés\" szerint"
                                      << "";
        QTest::newRow("item by batch") << "items"
                                       << "T"
                                       << "t-b"
                                       << "2"
                                       << "A lista, \"Tételszám\" szerint"
                                       << "";
        QTest::newRow("item, unknown flag") << "items"
                                            << "?"
                                            << "10"
                                            << "3"
                                            << "A lista, \"Megnevezés\" szerint"
                                            << "?";
        QTest::newRow("partner by code") << "partners"
                                         << ""
                                         << "2"
                                         << "2" << name << "";
        QTest::newRow("partner by name") << "partners"
                                         << "x"
                                         << "Ab"
                                         << "3" << name << "";
        QTest::newRow("movement type by code") << "movement types"
                                               << ""
                                               << "2"
                                               << "2" << key << "";
        QTest::newRow("movement type by key") << "movement types"
                                              << "1"
                                              << "ki"
                                              << "2" << key << "";
        QTest::newRow("movement type by name") << "movement types"
                                               << "x"
                                               << "zab"
                                               << "10" << key << "";
        QTest::newRow("movement type, unknown flag") << "movement types"
                                                     << "Q"
                                                     << "2"
                                                     << "1" << key << "Q";
        QTest::newRow("employee, flag not read") << "employees"
                                                 << "x"
                                                 << "3"
                                                 << "3" << name << "x";
    }

    void showPositions()
    {
        QFETCH(QString, member);
        QFETCH(QString, flag);
        QFETCH(QString, search);
        QFETCH(QString, code);
        QFETCH(QString, label);
        QFETCH(QString, flagAfter);
        connectData();
        const ListMember& m = listMember(member);
        shared().*m.searchValue = search;
        shared().LookupFlag = flag;
        work(m, [&](MasterList& list) {
            QCOMPARE(current(m), code);
            QCOMPARE(list.Label18->text(), label);
        });
        QCOMPARE(shared().LookupFlag, flagAfter);
        QCOMPARE(current(m), code);
    }

    void search_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("afterTyping");
        QTest::addColumn<QString>("afterKeres");
        QTest::addColumn<QString>("label");
        // "AL": typing on key press still searches "A" (Abroncs), on key release "AL" (alma). The
        // movement-type list searches the short key: "K" is KB, "KI" is KI.
        QTest::newRow("warehouses lag") << "warehouses"
                                        << "AL"
                                        << "3"
                                        << "2"
                                        << "A lista, \"Név\" szerint";
        QTest::newRow("items at once") << "items"
                                       << "AL"
                                       << "2"
                                       << "2"
                                       << "A lista, \"Megnevezés\" szerint";
        QTest::newRow("partners at once") << "partners"
                                          << "AL"
                                          << "2"
                                          << "2"
                                          << "A lista, \"Név\" szerint";
        QTest::newRow("movement types lag") << "movement types"
                                            << "KI"
                                            << "3"
                                            << "2"
                                            << "A lista, \"Mozgásnem\" szerint";
        QTest::newRow("employees lag") << "employees"
                                       << "AL"
                                       << "3"
                                       << "2"
                                       << "A lista, \"Név\" szerint";
        QTest::newRow("empty box: first row") << "movement types"
                                              << ""
                                              << "1"
                                              << "1"
                                              << "A lista, \"Mozgásnem\" szerint";
    }

    void search()
    {
        QFETCH(QString, member);
        QFETCH(QString, typed);
        QFETCH(QString, afterTyping);
        QFETCH(QString, afterKeres);
        QFETCH(QString, label);
        connectData();
        const ListMember& m = listMember(member);
        shared().*m.searchValue = QStringLiteral("10");
        work(m, [&](MasterList& list) {
            list.Label18->clear();
            QTest::keyClicks(list.Edit1, typed);
            if (!typed.isEmpty()) {
                QCOMPARE(current(m), afterTyping);
                QCOMPARE(list.Label18->text(), label);
            }
            QTest::mouseClick(list.Button6, Qt::LeftButton);
            QCOMPARE(current(m), afterKeres);
            QCOMPARE(list.Label18->text(), label);
        });
    }

    // The item list is read by window in the name's own (Hungarian) order, where case, accents and
    // the double letters do not follow the bytes: a search finds, for every prefix in any case, the row
    // the whole list finds, and a window of three rows walks the list in the order the engine gives
    // it, both ways.
    void itemSearchFollowsTheNameOrder()
    {
        const QStringList names{"alma", "Alma",  "ALMÁS", "álom",    "Álmos",    "cukor", "Csoki",
                                "cz",   "csiga", "zab",   "Zab (1)", "Zabos",    "őz",    "Őzike",
                                "Ab",   "aB",    "A b",   "dzsem",   "Dzsungel", "ccs"};
        QStringList rows;
        for (int i = 0; i < names.size(); ++i)
            rows << QStringLiteral("INSERT INTO cikk (ckod, cszam, cmegn) VALUES ('N%1', 'X%1', '%2')")
                        .arg(i)
                        .arg(names[i]);
        rows << QStringLiteral("INSERT INTO cikk (ckod, cszam, cmegn) VALUES ('NN', 'XN', NULL)");
        for (int i = 0; i < 60; ++i)
            rows << QStringLiteral("INSERT INTO cikk (ckod, cszam, cmegn) VALUES ('F%1', 'F%1', 'Fa %1')")
                        .arg(i);
        db->exec(rows);
        const QString sql = QStringLiteral("SELECT * FROM cikk ORDER BY cMegn, IDC");
        auto connection = db->connect();
        Query whole(connection->transaction());
        whole.setSql(sql);
        whole.open();
        const QStringList order = columnValues(whole, QStringLiteral("IDC"));

        connectData();
        auto* window = qobject_cast<WindowedQuery*>(Data->ZQ20);
        QVERIFY(window);
        window->setWindowSize(3);
        const ListMember& m = listMember(QStringLiteral("items"));
        work(m, [&](MasterList& list) {
            // Announced in blocks, as a long list is: a found row far from the block is still shown.
            DBGrid& grid = *list.DBGrid1;
            grid.rowModel()->setBlockSize(30);
            const QStringList prefixes{"a",  "A",  "al", "ALM", "á",     "Á", "ab",  "a b", "c",       "cs",
                                       "CZ", "dz", "z",  "ZAB", "zab (", "ő", "ŐZI", "q",   "Zabosabc"};
            for (const QString& prefix : prefixes) {
                const bool expectedFound = whole.locate(QStringLiteral("CMEGN"), prefix);
                const QString expected = currentValue(whole, QStringLiteral("IDC"));
                list.Edit1->setText(prefix);
                QTest::mouseClick(list.Button6, Qt::LeftButton);
                QVERIFY2(window->isWindowed(), qPrintable(prefix));
                QCOMPARE(currentValue(*window, QStringLiteral("IDC")), expected);
                QCoreApplication::processEvents();
                QVERIFY(grid.rowModel()->inBlocks());
                QCOMPARE(grid.rowModel()->datasetRow(grid.currentIndex().row()), window->currentRow());
                QVERIFY2(grid.viewport()->rect().contains(grid.visualRect(grid.currentIndex())),
                         qPrintable(prefix));
                QCOMPARE(window->locate(QStringLiteral("CMEGN"), prefix), expectedFound);
            }
            QStringList walked;
            for (window->first(); !window->eof(); window->next())
                walked << currentValue(*window, QStringLiteral("IDC"));
            QCOMPARE(walked, order);
            QStringList back;
            for (window->last(); !window->bof(); window->prior())
                back.prepend(currentValue(*window, QStringLiteral("IDC")));
            QCOMPARE(back, order);
            QVERIFY(window->heldRows() <= 6);
        });
    }

    void titleClick_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<int>("clicked");
        QTest::addColumn<int>("marked");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QString>("label");   // "-": left as it was
        const QStringList byName{"3", "2", "1", "10"};
        const QStringList byCode{"1", "10", "2", "3"};
        QTest::newRow("warehouses Kód") << "warehouses" << 0 << 1 << byCode << "A lista, \"Kód\" szerint";
        QTest::newRow("warehouses Név") << "warehouses" << 1 << 0 << byName << "A lista, \"Név\" szerint";
        QTest::newRow("warehouses Telephely") << "warehouses" << 2 << 0 << byName << "-";
        QTest::newRow("items by marked number")
            << "items" << 5 << 0 << QStringList{"2", "3", "1", "10"} << "-";
        QTest::newRow("items by marked code") << "items" << 0 << 8 << byCode << "-";
        QTest::newRow("partners by marked code") << "partners" << 1 << 0 << byCode << "-";
        QTest::newRow("partners by marked name") << "partners" << 0 << 1 << byName << "-";
        QTest::newRow("movement types key") << "movement types" << 0 << 1 << QStringList{"1", "3", "2", "10"}
                                            << "A lista, \"mozgásnem\" szerint";
        QTest::newRow("movement types name")
            << "movement types" << 1 << 0 << byName << "A lista, \"név\" szerint";
        QTest::newRow("movement types +/-")
            << "movement types" << 2 << 0 << QStringList{"1", "10", "2", "3"} << "-";
        QTest::newRow("employees Kód orders by name")
            << "employees" << 0 << 2 << byName << "A lista, \"Név\" szerint";
        QTest::newRow("employees Név") << "employees" << 1 << 0 << byName << "-";
    }

    // The lists start in code order here (empty flag), except the name-ordered ones.
    void titleClick()
    {
        QFETCH(QString, member);
        QFETCH(int, clicked);
        QFETCH(int, marked);
        QFETCH(QStringList, order);
        QFETCH(QString, label);
        connectData();
        const ListMember& m = listMember(member);
        work(m, [&](MasterList& list) {
            list.Label18->setText(QStringLiteral("-"));
            list.DBGrid1->setMarkedColumn(marked);
            emit list.DBGrid1->horizontalHeader()->sectionClicked(clicked);
            QCOMPARE(columnValues(listQuery(m), m.codeField), order);
            QCOMPARE(list.Label18->text(), label);
            QCOMPARE(listQuery(m).currentRow(), 0);
        });
    }

    void usage_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("usedCode");
        QTest::addColumn<QString>("freeCode");
        QTest::addColumn<QString>("modifyRefused");
        QTest::addColumn<QString>("deleteRefused");
        QTest::addColumn<QString>("deleted");
        QTest::addColumn<QString>("afterDelete");
        const QString line = QStringLiteral("INSERT INTO bizmozg (bbszam, %1) VALUES ('1', '%2')");
        QTest::newRow("warehouses") << "warehouses" << line.arg("brkod", "2") << "2"
                                    << "3"
                                    << "A rktárra már van könyvelés !"
                                    << "A raktár már szerepel a könyvelésben !"
                                    << "A raktár sor törlölve!"
                                    << "2";
        // An item is protected by its code, not by its item number ("200" is item 3's number).
        QTest::newRow("items by code") << "items"
                                       << "INSERT INTO bizmozg (bckod, bcikkszam) VALUES ('2', '200')"
                                       << "2"
                                       << "3"
                                       << "A cikkre már van könyvelés !"
                                       << "A cikk már szerepel a könyvelésben !"
                                       << "A cikk sor törlölve!"
                                       << "2";
        QTest::newRow("partners") << "partners" << line.arg("bpkod", "2") << "2"
                                  << "3"
                                  << "A partnerre már van könyvelés !"
                                  << "A partner már szerepel a könyvelésben !"
                                  << "A partner sor törlölve!"
                                  << "2";
        // A movement type is protected by its short key ("KI" is type 2), not by its code. After a delete
        // the list locates its short key by the search value, a code here, so it stands on its first row.
        QTest::newRow("movement types by key") << "movement types"
                                               << "INSERT INTO bizmozg (bmkod, bmnem) VALUES ('3', 'KI')"
                                               << "2"
                                               << "3"
                                               << "A mozgásnemre már van könyvelés !"
                                               << "A menm már szerepel a könyvelésben !"
                                               << "A mozgásnem sor törlölve!"
                                               << "1";
        QTest::newRow("employees") << "employees" << line.arg("bdkod", "2") << "2"
                                   << "3"
                                   << "A dolgozóra már van könyvelés !"
                                   << "A dolgozó már szerepel a könyvelésben !"
                                   << "A dolgozó sor törlölve!"
                                   << "2";
    }

    // Refusals change nothing and come before any question; the J/M keys on "Módosít" open the entry
    // form all the same; a free row is modified at once and deleted after "Igen".
    void usage()
    {
        QFETCH(QString, member);
        QFETCH(QString, line);
        QFETCH(QString, usedCode);
        QFETCH(QString, freeCode);
        QFETCH(QString, modifyRefused);
        QFETCH(QString, deleteRefused);
        QFETCH(QString, deleted);
        QFETCH(QString, afterDelete);
        db->exec({line});
        connectData();
        const ListMember& m = listMember(member);
        shared().*m.searchValue = usedCode;
        work(m, [&](MasterList& list) {
            QCOMPARE(current(m), usedCode);
            QTest::mouseClick(list.Button3, Qt::LeftButton);
            QTest::mouseClick(list.Button4, Qt::LeftButton);
            QCOMPARE(platform->messageTexts(), (QStringList{modifyRefused, deleteRefused}));
            QVERIFY(platform->messages[0].kind == Kind::ConfirmYesOnly);
            QVERIFY(platform->messages[1].kind == Kind::ConfirmYesOnly);
            QCOMPARE(platform->shownDialogs.size(), 1);
            QCOMPARE(columnValues(listQuery(m), m.codeField).size(), 4);

            listQuery(m).locate(m.codeField, usedCode);
            QString loadedCode;
            platform->addRun<MasterEntry>([&](MasterEntry& entry) { loadedCode = entry.Edit2->text(); });
            QTest::keyClick(list.Button3, Qt::Key_X, Qt::NoModifier);
            QCOMPARE(platform->shownDialogs.size(), 1);
            QTest::keyClick(list.Button3, 'm');
            QCOMPARE(platform->shownDialogs.last(), m.entryName);
            QCOMPARE(loadedCode, usedCode);

            platform->clearMessages();
            listQuery(m).locate(m.codeField, freeCode);
            QTest::mouseClick(list.Button3, Qt::LeftButton);
            QCOMPARE(platform->shownDialogs.size(), 3);
            QVERIFY(platform->messages.empty());
            listQuery(m).locate(m.codeField, freeCode);
            platform->questionAnswers = {true};
            QTest::mouseClick(list.Button4, Qt::LeftButton);
            QCOMPARE(platform->messageTexts().value(1), deleted);
            QVERIFY(platform->questionAnswers.empty());
            QVERIFY(!columnValues(listQuery(m), m.codeField).contains(freeCode));
            // Re-read and positioned by the search value.
            QCOMPARE(current(m), afterDelete);
        });
    }

    void lastRow_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("message");
        QTest::newRow("warehouses") << "warehouses"
                                    << "Az utolsó raktársor nem törölhető ki.";
        QTest::newRow("items") << "items"
                               << "Az utolsó cikksor nem törölhető ki.";
        QTest::newRow("partners") << "partners"
                                  << "Az utolsó partnersor nem törölhető ki.";
        QTest::newRow("movement types") << "movement types"
                                        << "Az utolsó mnem sor nem törölhető ki.";
        QTest::newRow("employees") << "employees"
                                   << "Az utolsó dolgozó sor nem törölhető ki.";
    }

    void lastRow()
    {
        QFETCH(QString, member);
        QFETCH(QString, message);
        const ListMember& m = listMember(member);
        db->exec({QStringLiteral("DELETE FROM %1 WHERE %2 <> '10'").arg(m.table, m.codeField)});
        connectData();
        work(m, [&](MasterList& list) { QTest::mouseClick(list.Button4, Qt::LeftButton); });
        QCOMPARE(platform->messageTexts(), QStringList{message});
        QVERIFY(platform->messages[0].kind == Kind::ConfirmYesOnly);
        QCOMPARE(columnValues(listQuery(m), m.codeField), QStringList{"10"});
    }

    void deleteFailure_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("message");
        QTest::newRow("warehouses") << "warehouses"
                                    << "Hiba111: raktar DELETE törlésekor";
        QTest::newRow("items") << "items"
                               << "Hiba71: cikk DELETE törlésekor";
        QTest::newRow("partners") << "partners"
                                  << "Hiba91: partner DELETE törlésekor";
        QTest::newRow("movement types") << "movement types"
                                        << "Hiba131: mnem DELETE törlésekor";
        QTest::newRow("employees") << "employees"
                                   << "Hiba151: dolgozo DELETE törlésekor";
    }

    // The database refuses the delete: the numbered message with the trigger's own text beneath, and the
    // list re-read all the same.
    void deleteFailure()
    {
        QFETCH(QString, member);
        QFETCH(QString, message);
        const ListMember& m = listMember(member);
        db->exec(
            {QStringLiteral("CREATE EXCEPTION no_delete 'A sor nem törölhető.'"),
             QStringLiteral("CREATE TRIGGER keep_rows FOR %1 BEFORE DELETE AS BEGIN EXCEPTION no_delete; END")
                 .arg(m.table)});
        connectData();
        shared().*m.searchValue = QStringLiteral("3");
        work(m, [&](MasterList& list) {
            listQuery(m).locate(m.codeField, QStringLiteral("10"));
            platform->questionAnswers = {true};
            QTest::mouseClick(list.Button4, Qt::LeftButton);
            QCOMPARE(platform->messageTexts(),
                     (QStringList{"Biztosan törli: Zab?",
                                  message + "\rAz adatbázis elutasította: A sor nem törölhető."}));
            QCOMPARE(columnValues(listQuery(m), m.codeField).size(), 4);
        });
    }

    void deletionBelongsToTheTransaction_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<bool>("failingSave");
        for (const ListMember& m : listMembers()) {
            QTest::addRow("%s, failing save", qPrintable(m.name)) << m.name << true;
            QTest::addRow("%s, clean end", qPrintable(m.name)) << m.name << false;
        }
    }

    // A failing save rolls back the deletion before it; the end of the run commits it.
    void deletionBelongsToTheTransaction()
    {
        QFETCH(QString, member);
        QFETCH(bool, failingSave);
        connectData();
        const ListMember& m = listMember(member);
        shared().*m.searchValue = QStringLiteral("3");
        work(m, [&](MasterList& list) {
            platform->questionAnswers = {true};
            QTest::mouseClick(list.Button4, Qt::LeftButton);
            QVERIFY(!columnValues(listQuery(m), m.codeField).contains("3"));
            if (!failingSave)
                return;
            platform->addRun<MasterEntry>([](MasterEntry& entry) {
                for (QLineEdit* box : entry.findChildren<QLineEdit*>())
                    box->setText(QStringLiteral("x"));
                // Six digits do not fit the code column: the insert fails.
                entry.Edit2->setText(QStringLiteral("123456"));
                QTest::mouseClick(entry.Button2, Qt::LeftButton);
            });
            QTest::mouseClick(list.Button2, Qt::LeftButton);
            QCOMPARE(platform->messages.size(), size_t(3));   // the question, the deletion, the failed save
            QVERIFY(columnValues(listQuery(m), m.codeField).contains("3"));
        });
        delete Data;
        Data = nullptr;
        QCOMPARE(codesInDatabase(m).contains("3"), failingSave);
    }

    void deleteAsksFirst_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<bool>("answer");
        for (const ListMember& m : listMembers()) {
            QTest::addRow("%s, Nem", qPrintable(m.name)) << m.name << false;
            QTest::addRow("%s, Igen", qPrintable(m.name)) << m.name << true;
        }
    }

    // The row's name is asked about (row 3 is "Abroncs" in every table); only "Igen" deletes ("Nem" and
    // Esc answer no alike here; the box itself is the platform's), and after "Nem" the list stays put.
    void deleteAsksFirst()
    {
        QFETCH(QString, member);
        QFETCH(bool, answer);
        connectData();
        const ListMember& m = listMember(member);
        work(m, [&](MasterList& list) {
            listQuery(m).locate(m.codeField, QStringLiteral("3"));
            platform->questionAnswers = {answer};
            QTest::mouseClick(list.Button4, Qt::LeftButton);
            QVERIFY(platform->questionAnswers.empty());
            QCOMPARE(platform->messages.front().kind, Kind::Question);
            QCOMPARE(platform->messageTexts().value(0), QStringLiteral("Biztosan törli: Abroncs?"));
            QCOMPARE(platform->messageTexts().size(), answer ? 2 : 1);
            if (!answer)
                QCOMPARE(current(m), QStringLiteral("3"));
        });
        delete Data;   // the end of the run commits what is open
        Data = nullptr;
        QCOMPARE(codesInDatabase(m).contains("3"), !answer);
        QCOMPARE(codesInDatabase(m).size(), answer ? 3 : 4);
    }

    void lookupTakesTheRowLeftCurrent_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("flag");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QString>("handedBack");
        QTest::newRow("warehouses") << "warehouses"
                                    << "x"
                                    << "alma"
                                    << "1";
        QTest::newRow("items") << "items"
                               << "1"
                               << "1"
                               << "3";
        QTest::newRow("partners") << "partners"
                                  << "x"
                                  << "alma"
                                  << "1";
        QTest::newRow("movement types") << "movement types"
                                        << "1"
                                        << "KB"
                                        << "2";
        QTest::newRow("employees") << "employees"
                                   << ""
                                   << "2"
                                   << "1";
    }

    void lookupTakesTheRowLeftCurrent()
    {
        QFETCH(QString, member);
        QFETCH(QString, flag);
        QFETCH(QString, search);
        QFETCH(QString, handedBack);
        connectData();
        const ListMember& m = listMember(member);
        shared().*m.searchValue = search;
        shared().LookupFlag = flag;
        platform->addRun<MasterList>([&](MasterList& list) {
            list.DBNavigator1->press(DBNavigator::Next);
            QTest::mouseClick(list.Button5, Qt::LeftButton);
            return int(QDialog::Accepted);
        });
        m.open();
        QVERIFY(listQuery(m).isOpen());
        QCOMPARE(current(m), handedBack);
    }

    // A list opened for a pick: a prefix typed in the search box, a move down in the grid, then Tab and
    // Shift+Tab around the search box, the grid and the buttons; the row reached is what the list hands
    // back, whichever way it is closed, and a double click on a row picks that row.
    void pickListKeepsTheRowReached_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("flag");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("found");     // the code the typing reaches
        QTest::addColumn<QString>("reached");   // one row down
        QTest::addColumn<QString>("close");
        QTest::addColumn<QString>("picked");
        const QList<std::tuple<const char*, const char*, const char*, const char*, const char*>> lists{
            {"warehouses", "x", "alm", "2", "1"}, {"items", "x", "alm", "2", "1"},
            {"partners", "x", "alm", "2", "1"},   {"movement types", "1", "KB", "3", "2"},
            {"employees", "", "alm", "2", "1"},
        };
        for (const auto& [member, flag, typed, found, reached] : lists) {
            for (const char* close : {"Kiválaszt", "Mégsem", "close box"})
                QTest::addRow("%s, %s", member, close)
                    << member << flag << typed << found << reached << close << reached;
            // The employee list is no pick list: a double click leaves it open.
            QTest::addRow("%s, double click", member)
                << member << flag << typed << found << reached << "double click" << found;
        }
    }

    void pickListKeepsTheRowReached()
    {
        QFETCH(QString, member);
        QFETCH(QString, flag);
        QFETCH(QString, typed);
        QFETCH(QString, found);
        QFETCH(QString, reached);
        QFETCH(QString, close);
        QFETCH(QString, picked);
        connectData();
        const ListMember& m = listMember(member);
        shared().*m.searchValue = QString();
        shared().LookupFlag = flag;
        const bool pickList = member != QLatin1String("employees");
        work(m, [&](MasterList& list) {
            browsePickList(
                list, typed, [&] { return current(m); }, found, reached);
            closePickList(list, close, listQuery(m));
            QCOMPARE(list.isVisible(), !pickList && close == QLatin1String("double click"));
        });
        QCOMPARE(current(m), picked);
    }

    void printing_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("clicked");
        QTest::addColumn<int>("marked");
        QTest::addColumn<QStringList>("firstColumn");
        QTest::newRow("warehouses as shown")
            << "warehouses"
            << "VarnelRaktar.frf" << 0 << 0 << QStringList{"1", "10", "2", "3"};
        QTest::newRow("items as shown")
            << "items"
            << "VarnelCikk.frf" << 0 << 0 << QStringList{"100", "200", "300", "400"};
        QTest::newRow("partners as shown")
            << "partners"
            << "VarnelPartner.frf" << 0 << 1 << QStringList{"3", "2", "1", "10"};
        QTest::newRow("movement types by key")
            << "movement types"
            << "VarnelMnem.frf" << 1 << 0 << QStringList{"BE", "KB", "KI", "ZZ"};
        QTest::newRow("employees by name")
            << "employees"
            << "VarnelDolgozo.frf" << -1 << 0 << QStringList{"3", "2", "1", "10"};
    }

    // The list is sorted by a title click first; the report shows the rows in the order printed.
    void printing()
    {
        QFETCH(QString, member);
        QFETCH(QString, file);
        QFETCH(int, clicked);
        QFETCH(int, marked);
        QFETCH(QStringList, firstColumn);
        QTemporaryDir folder;
        QVERIFY(QFile::copy(QStringLiteral(VARNEL_TEMPLATES_DIR "/") + file, folder.filePath(file)));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(folder.path());
        connectData();
        const ListMember& m = listMember(member);
        QList<QStringList> printed;
        work(m, [&](MasterList& list) {
            if (clicked >= 0) {
                list.DBGrid1->setMarkedColumn(marked);
                emit list.DBGrid1->horizontalHeader()->sectionClicked(clicked);
            }
            platform->modalRuns.push_back([&](QDialog*) {
                printed = Data->frNyomtat->prepare().rows();
                return int(QDialog::Rejected);
            });
            QTest::mouseClick(list.Button7, Qt::LeftButton);
        });
        QDir::setCurrent(previous);
        QCOMPARE(Data->frNyomtat->fileName().section('/', -1), file);
        QStringList first;
        for (const QStringList& row : printed)
            first << row.value(0);
        QCOMPARE(first, firstColumn);
    }
};

QTEST_MAIN(TestMasterLists)
#include "tst_masterlists.moc"
