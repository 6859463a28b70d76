// The document line form and its posting: numbering in one unit with the line, the stored columns,
// a change, the checks, failed saves, the lookups with their pickers, stock figures, the value by
// double-click, and a line typed by keyboard alone.
#include "documentfixture.h"
#include "documentposting.h"
#include "picklistkeys.h"
#include "formats.h"

#include <QApplication>

namespace {

const QString Today = QDate::currentDate().toString(QStringLiteral("yyyy.MM.dd"));

}

class TestDocumentLine : public DocumentTest {
    Q_OBJECT

    // Holds BIZSZAM locked, as another desk's unfinished save does, until the object goes.
    struct OtherDesk {
        std::unique_ptr<Connection> connection;
        Query update;
        OtherDesk(const TestDatabase& db, const QString& value)
            : connection(db.connect()), update(connection->transaction())
        {
            update.setSql(QStringLiteral("UPDATE bizszam SET zbizszam = :p1"));
            update.paramByName(QStringLiteral("p1")).setText(value);
            update.execute();
        }
        ~OtherDesk() { connection->transaction().rollback(); }
    };

private slots:
    void initTestCase() { initTestLocale(); }
    void init() { startDocuments(); }
    void cleanup() { endTest(); }

    void newLineTakesTheNextNumber()
    {
        newLine([&](TForm18& form) {
            QCOMPARE(form.windowTitle(), QStringLiteral("Bizonylat bevitel"));
            QCOMPARE(form.Edit32->text(), QStringLiteral("42"));
            QCOMPARE(form.Edit1->text(), Today);
            QVERIFY(form.Button3->isHidden());
            typeLine(form, "101", "100", "3", "2,5", "7,5");
            QVERIFY(form.Button3->isVisibleTo(&form));
            form.Button3->click();
            QVERIFY(!form.isVisible());
        });
        QCOMPARE(platform->messageTexts(), QStringList());
        QCOMPARE(counter(), QStringLiteral("42"));
        const QList<QStringList> rows = committed(
            QStringLiteral("SELECT bbszam, bcikkszam, bckod, bbizdatum, bmnem, bmkod, bmenov, bmecsok, bear, "
                           "bertnov, bertcsok, bdkod, "
                           "brkod, brkelt, bpkod, btetel, bszoveg FROM bizmozg WHERE bbszam = '42'"));
        QCOMPARE(rows, (QList<QStringList>{{"42", "100", "2", Today, "101", "101", "3", "0", "2,5", "7,5",
                                            "0", "3", "1", Today, "10", "T-B", "BES"}}));
        // The register stands on its first row; the next form shows the next number, and a cancelled
        // form uses none.
        QCOMPARE(shared().CurrentDocumentKey, QString());
        QCOMPARE(Data->ZQ10->currentRow(), 0);
        newLine([&](TForm18& form) { QCOMPARE(form.Edit32->text(), QStringLiteral("43")); });
        QCOMPARE(counter(), QStringLiteral("42"));
    }

    void figuresGoToTheSignsColumns_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("typed");    // quantity, price, value of the visible column
        QTest::addColumn<QStringList>("stored");   // bmenov, bmecsok, bear, bertnov, bertcsok
        QTest::newRow("increase") << "101" << QStringList{"3", "2,5", "7,5"}
                                  << QStringList{"3", "0", "2,5", "7,5", "0"};
        QTest::newRow("decrease") << "201" << QStringList{"5", "4", "20"}
                                  << QStringList{"0", "5", "4", "0", "20"};
        QTest::newRow("zero quantity")
            << "101" << QStringList{"0", "1", "0"} << QStringList{"0", "0", "1", "0", "0"};
    }

    void figuresGoToTheSignsColumns()
    {
        QFETCH(QString, type);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, stored);
        newLine([&](TForm18& form) {
            // Figures left in the other column are zeroed when the sign picks its column.
            for (QLineEdit* box :
                 {form.Edit21, form.Edit22, form.Edit23, form.Edit25, form.Edit26, form.Edit27})
                box->setText(QStringLiteral("9"));
            typeLine(form, type, "100", typed[0], typed[1], typed[2]);
            const bool increase = type == QLatin1String("101");
            QCOMPARE(form.Edit21->isVisibleTo(&form), increase);
            QCOMPARE(form.Edit25->isVisibleTo(&form), !increase);
            form.Button3->click();
        });
        const QList<QStringList> rows = committed(QStringLiteral(
            "SELECT bmenov, bmecsok, bear, bertnov, bertcsok FROM bizmozg WHERE bbszam = '42'"));
        QCOMPARE(rows.value(0), stored);
    }

    void switchingTheSignZeroesTheOtherColumnAndTextCollectsNames()
    {
        newLine([&](TForm18& form) {
            typeLine(form, "101", "100", "3", "2", "6");
            form.Edit2->setText(QStringLiteral("ELA"));
            leave(form.Edit2);
            QCOMPARE(form.Edit2->text(), QStringLiteral("201"));
            QCOMPARE((QStringList{form.Edit21->text(), form.Edit22->text(), form.Edit23->text()}),
                     (QStringList{"0", "2", "0"}));
            QVERIFY(form.Edit25->isVisibleTo(&form));
            QVERIFY(!form.Edit21->isVisibleTo(&form));
            QCOMPARE(form.Edit5->text(), QStringLiteral("BES ELA"));
        });
    }

    void changeKeepsNumberAndKeyAndRestamps()
    {
        const QStringList before =
            committed(QStringLiteral("SELECT bkod, idb FROM bizmozg WHERE bbszam = '11'")).value(0);
        inRegister([&](TForm17& form) {
            Data->ZQ10->locate(QStringLiteral("BBSZAM"), QStringLiteral("11"));
            inLineForm(form, true, [&](TForm18& line) {
                QCOMPARE(line.windowTitle(), QStringLiteral("Bizonylat módositás"));
                QCOMPARE((QStringList{line.Edit32->text(), line.Edit36->text(), line.Edit37->text()}),
                         (QStringList{"11", before[0], before[1]}));
                QCOMPARE(line.Edit22->text(), QStringLiteral("2,5"));
                QVERIFY(line.Button3->isHidden());
                line.Edit7->setText(QStringLiteral("javítva"));
                leave(line.Edit2);
                line.Button3->click();
            });
            QCOMPARE(form.Label18->text(), QStringLiteral("A lista, \"Bizonylat\" szerint"));
            QCOMPARE(currentValue(*Data->ZQ10, "BBSZAM"), QStringLiteral("11"));
        });
        QCOMPARE(platform->messageTexts(), QStringList());
        const QList<QStringList> rows =
            committed(QStringLiteral("SELECT bbszam, bkod, idb, bdkod, brkelt, bear, bmenov, bmegjegy, bpkod "
                                     "FROM bizmozg WHERE idb = ") +
                      before[1]);
        QCOMPARE(rows,
                 (QList<QStringList>{{"11", before[0], before[1], "3", Today, "2,5", "1", "javítva", "99"}}));
        QCOMPARE(counter(), QStringLiteral("41"));
        QCOMPARE(shared().CurrentDocumentKey, before[0]);
    }

    void checksKeepTheFormOpen_data()
    {
        QTest::addColumn<QString>("broken");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("date") << "Edit1"
                              << "Hibás dátum!"
                              << "Edit1";
        QTest::newRow("movement type") << "Edit10"
                                       << "Nincs megadva mozgásnem!"
                                       << "Edit2";
        QTest::newRow("item") << "Edit34"
                              << "Nincs megadva cikkszám!"
                              << "Edit3";
        QTest::newRow("quantity") << "Edit21"
                                  << "Nincs megadva mennyiség!"
                                  << "Edit9";
        QTest::newRow("hidden quantity") << "Edit25"
                                         << "Nincs megadva mennyiség!"
                                         << "Edit9";
    }

    void checksKeepTheFormOpen()
    {
        QFETCH(QString, broken);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        newLine([&](TForm18& form) {
            typeLine(form, "101", "100", "3", "2", "6");
            form.findChild<QLineEdit*>(broken)->setText(broken == QLatin1String("Edit1") ? "2026.13.45"
                                                                                         : " ");
            platform->clearMessages();
            form.Button3->click();
            QCOMPARE(platform->messageTexts(), QStringList{message});
            QVERIFY(form.isVisible());
            QCOMPARE(form.focusWidget()->objectName(), focus);
        });
        QCOMPARE(lineCount(), 4);
        QCOMPARE(counter(), QStringLiteral("41"));
    }

    // Whichever step fails, the line and the counter go back together and the form closes.
    void failingStepStoresNeither_data()
    {
        QTest::addColumn<bool>("lockCounter");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QStringList>("refusal");   // statements that make the database refuse the line
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("reason");   // the second line; empty: any reason
        QTest::newRow("counter locked") << true << "2" << QStringList() << "Hiba188:  UPDATE Bizszam -ba "
                                        << "";
        QTest::newRow("price not a number")
            << false << "1,2,3" << QStringList() << "Hiba182: Újban, INSERT a bizmozg-ban "
            << "A(z) \"1,2,3\" nem szám.";
        QTest::newRow("trigger's exception")
            << false << "2"
            << QStringList{"CREATE EXCEPTION closed_period 'Lezárt időszakba nem könyvelhet.'",
                           "CREATE TRIGGER closed FOR bizmozg BEFORE INSERT AS BEGIN "
                           "EXCEPTION closed_period; END"}
            << "Hiba182: Újban, INSERT a bizmozg-ban "
            << "Az adatbázis elutasította: Lezárt időszakba nem könyvelhet.";
        QTest::newRow("trigger's own message")
            << false << "2"
            << QStringList{"CREATE EXCEPTION closed_period 'x'",
                           "CREATE TRIGGER closed FOR bizmozg BEFORE INSERT AS BEGIN "
                           "IF (NEW.bmenov > 2) THEN EXCEPTION closed_period "
                           "'Legfeljebb ' || 2 || ' darab vehető be.'; END"}
            << "Hiba182: Újban, INSERT a bizmozg-ban "
            << "Az adatbázis elutasította: Legfeljebb 2 darab vehető be.";
        QTest::newRow("check constraint")
            << false << "2"
            << QStringList{"ALTER TABLE bizmozg ADD CONSTRAINT small_lines CHECK (bmenov < 2)"}
            << "Hiba182: Újban, INSERT a bizmozg-ban "
            << "Az adatbázis elutasította: a(z) BIZMOZG tábla SMALL_LINES ellenőrző "
               "feltétele nem teljesül.";
    }

    void failingStepStoresNeither()
    {
        QFETCH(bool, lockCounter);
        QFETCH(QString, price);
        QFETCH(QStringList, refusal);
        QFETCH(QString, message);
        QFETCH(QString, reason);
        if (!refusal.isEmpty())
            db->exec(refusal);
        newLine([&](TForm18& form) {
            typeLine(form, "101", "100", "3", price, "6");
            std::unique_ptr<OtherDesk> other;
            if (lockCounter)
                other = std::make_unique<OtherDesk>(*db, QStringLiteral("77"));
            form.Button3->click();
            QVERIFY(!form.isVisible());
        });
        const QStringList messages = platform->messageTexts();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages[0].section('\r', 0, 0), message);
        QVERIFY2(!messages[0].section('\r', 1).isEmpty(), qPrintable(messages[0]));
        if (!reason.isEmpty())
            QCOMPARE(messages[0].section('\r', 1), reason);
        QCOMPARE(lineCount(), 4);
        QCOMPARE(counter(), QStringLiteral("41"));
        QVERIFY(Data->ZQ10->isOpen());
        QCOMPARE(Data->ZQ10->recordCount(), 4);
    }

    void numberTakenElsewhereIsReported()
    {
        newLine([&](TForm18& form) {
            QCOMPARE(form.Edit32->text(), QStringLiteral("42"));
            db->exec({"UPDATE bizszam SET zbizszam = '45'"});
            typeLine(form, "101", "100", "1", "1", "1");
            form.Button3->click();
        });
        QCOMPARE(platform->messageTexts(),
                 QStringList{
                     "A bizonylat a(z) 46 számot kapta, mert a(z) 42 számot közben más már felhasználta."});
        QCOMPARE(
            committed(QStringLiteral("SELECT count(*) FROM bizmozg WHERE bbszam = '46'")).value(0).value(0),
            QStringLiteral("1"));
        QCOMPARE(counter(), QStringLiteral("46"));
    }

    void unreadableCounterStoresNothing_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::newRow("no row") << "DELETE FROM bizszam";
        QTest::newRow("not a whole number") << "UPDATE bizszam SET zbizszam = '4x'";
    }

    void unreadableCounterStoresNothing()
    {
        QFETCH(QString, statement);
        db->exec({statement});
        newLine([&](TForm18& form) {
            QCOMPARE(form.Edit32->text(), QString());
            QCOMPARE(platform->messageTexts().size(), 1);
            typeLine(form, "101", "100", "1", "1", "1");
            form.Button3->click();
            QCOMPARE(platform->messageTexts().size(), 2);
            QVERIFY(form.isVisible());
        });
        QCOMPARE(lineCount(), 4);
    }

    void movementTypeLookup_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("picked");   // the row the person picks in the list; empty: no list
        QTest::addColumn<QString>("key");      // Edit2 afterwards
        QTest::addColumn<QString>("code");     // Edit10 afterwards
        QTest::newRow("code of digits") << "101"
                                        << ""
                                        << ""
                                        << "101"
                                        << "101";
        QTest::newRow("three letters name") << "ELA"
                                            << ""
                                            << ""
                                            << "201"
                                            << "201";
        QTest::newRow("four characters") << "ELAD"
                                         << "A mozgásnem hossza több mint három karakter!"
                                         << ""
                                         << "ELAD"
                                         << "";
        QTest::newRow("empty") << "  "
                               << "Nincs megadva a mozgásnem!"
                               << ""
                               << "  "
                               << "";
        QTest::newRow("unknown code opens the list") << "999"
                                                     << ""
                                                     << "KB"
                                                     << "KB"
                                                     << "3";
        QTest::newRow("unknown name opens the list") << "Zzz"
                                                     << ""
                                                     << "ZZ"
                                                     << "ZZ"
                                                     << "10";
    }

    void movementTypeLookup()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, picked);
        QFETCH(QString, key);
        QFETCH(QString, code);
        newLine([&](TForm18& form) {
            if (!picked.isEmpty())
                nextRun<QDialog>([&](QDialog&) {
                    QCOMPARE(shared().SelectedMovementType, typed);
                    QCOMPARE(shared().LookupFlag, QString());   // used up by the list
                    Data->ZQ50->locate(QStringLiteral("MNEM"), picked);
                });
            form.Edit2->setText(typed);
            leave(form.Edit2);
            QCOMPARE(platform->messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
            QCOMPARE(platform->shownDialogs.contains("Form13"), !picked.isEmpty());
            QCOMPARE(form.Edit2->text(), key);
            QCOMPARE(form.Edit10->text(), code);
            QCOMPARE(form.Edit3->isVisibleTo(&form), message.isEmpty());
            QCOMPARE(form.focusWidget(), message.isEmpty() ? form.Edit3 : form.Edit2);
        });
    }

    // The four pick lists of the line form, worked with keys: a prefix typed, a row down, Tab and
    // Shift+Tab around, then closed by a button, the close box or a double click on the row above.
    void pickListsHandBackTheRowReached_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("close");
        QTest::addColumn<QString>("landed");   // the code on the line form
        struct Pick {
            const char* list;
            const char* reached;
            const char* above;
        };
        // Movement types by key: 101, 201, BE, KB, KI, ZZ; the others by name: Abroncs, alma, Barack, Zab.
        const Pick picks[] = {{"movement type", "KI", "KB"},
                              {"item", "300", "100"},
                              {"warehouse", "1", "2"},
                              {"partner", "1", "2"}};
        for (const Pick& pick : picks) {
            for (const char* close : {"Kiválaszt", "Mégsem", "close box"})
                QTest::addRow("%s, %s", pick.list, close) << pick.list << close << pick.reached;
            QTest::addRow("%s, double click", pick.list) << pick.list << "double click" << pick.above;
        }
    }

    void pickListsHandBackTheRowReached()
    {
        QFETCH(QString, list);
        QFETCH(QString, close);
        QFETCH(QString, landed);
        struct Picker {
            QPushButton* TForm18::*button;
            QString listName;
            Query* TData::*rows;
            QString column;
            QString typed, found, reached;
            QLineEdit* TForm18::*box;
        };
        const QMap<QString, Picker> pickers{
            {"movement type",
             {&TForm18::Button1, "Form13", &TData::ZQ50, "MNEM", "KB", "KB", "KI", &TForm18::Edit2}},
            {"item",
             {&TForm18::Button2, "Form7", &TData::ZQ20, "CSZAM", "alm", "100", "300", &TForm18::Edit3}},
            {"warehouse",
             {&TForm18::Button4, "Form11", &TData::ZQ40, "RKOD", "alm", "2", "1", &TForm18::Edit13}},
            {"partner",
             {&TForm18::Button5, "Form9", &TData::ZQ30, "PKOD", "alm", "2", "1", &TForm18::Edit15}},
        };
        const Picker picker = pickers.value(list);
        Dataset& rows = *(Data->*picker.rows);
        newLine([&](TForm18& form) {
            form.Edit2->setText(QStringLiteral("201"));
            leave(form.Edit2);
            bool ran = false;
            nextRun<MasterList>([&](MasterList& pickList) {
                ran = true;
                browsePickList(
                    pickList, picker.typed, [&] { return rows.fieldByName(picker.column).asString(); },
                    picker.found, picker.reached);
                closePickList(pickList, close, rows);
                QVERIFY(!pickList.isVisible());
            });
            QTest::mouseClick(form.*picker.button, Qt::LeftButton);
            QVERIFY(ran);
            QCOMPARE(platform->shownDialogs.last(), picker.listName);
            QCOMPARE((form.*picker.box)->text(), landed);
        });
    }

    void itemLookupFillsBatchAndStock_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("filled");   // Edit3, Edit34, Edit12, Edit4, Edit16
        QTest::addColumn<QStringList>("stock");    // Edit17, Edit18, Edit19
        QTest::newRow("number") << "100" << QStringList{"100", "2", "alma", "T-B", "kg"}
                                << QStringList{"6", "1,33", "8"};
        QTest::newRow("name") << "alma" << QStringList{"100", "2", "alma", "T-B", "kg"}
                              << QStringList{"6", "1,33", "8"};
        QTest::newRow("no lines") << "300" << QStringList{"300", "1", "Barack", "T-C", ""}
                                  << QStringList{"", "before", ""};
        QTest::newRow("negative stock")
            << "400" << QStringList{"400", "10", "Zab", "T-D", ""} << QStringList{"-2", "before", "-10"};
    }

    void itemLookupFillsBatchAndStock()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, filled);
        QFETCH(QStringList, stock);
        newLine([&](TForm18& form) {
            form.Edit18->setText(QStringLiteral("before"));
            form.Edit2->setText(QStringLiteral("101"));
            leave(form.Edit2);
            form.Edit3->setText(typed);
            leave(form.Edit3);
            QCOMPARE((QStringList{form.Edit3->text(), form.Edit34->text(), form.Edit12->text(),
                                  form.Edit4->text(), form.Edit16->text()}),
                     filled);
            QCOMPARE((QStringList{form.Edit17->text(), form.Edit18->text(), form.Edit19->text()}), stock);
            QCOMPARE(platform->shownDialogs, QStringList({"Form17", "Form18"}));
        });
    }

    void movementTypeNameAppendedOnce_data()
    {
        QTest::addColumn<QString>("text");         // Szöveg before the first pass
        QTest::addColumn<QStringList>("passes");   // typed into the movement type, each box left once
        QTest::addColumn<QString>("expected");
        QTest::newRow("one pass") << "" << QStringList{"101"} << "BES";
        QTest::newRow("the same type again") << "" << QStringList{"101", "101", "BES"} << "BES";
        QTest::newRow("another type") << "" << QStringList{"101", "201"} << "BES ELA";
        QTest::newRow("back to the first") << "" << QStringList{"101", "201", "101"} << "BES ELA BES";
        QTest::newRow("the text ends with it") << "Vétel: BES" << QStringList{"101"} << "Vétel: BES";
        QTest::newRow("a word that only ends alike") << "TÖBBES" << QStringList{"101"} << "TÖBBES BES";
    }

    void movementTypeNameAppendedOnce()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, passes);
        QFETCH(QString, expected);
        newLine([&](TForm18& form) {
            form.Edit5->setText(text);
            for (const QString& type : passes) {
                form.Edit2->setText(type);
                leave(form.Edit2);
            }
            QCOMPARE(form.Edit5->text(), expected);
            QVERIFY(platform->messageTexts().isEmpty());
        });
    }

    void partnerNameAppendedOnlyAfterAPick()
    {
        newLine([&](TForm18& form) {
            typeLine(form, "101", "100", "1", "1", "1");
            QCOMPARE((QStringList{form.Edit15->text(), form.Edit9->text(), form.Edit5->text()}),
                     (QStringList{"10", "Zab", "BES"}));
            nextRun<QDialog>(
                [](QDialog&) { Data->ZQ30->locate(QStringLiteral("PNEV"), QStringLiteral("Barack")); });
            form.Edit9->setText(QStringLiteral("Q"));
            leave(form.Edit9);
            QCOMPARE(shared().SelectedPartnerCode, QStringLiteral("Q"));
            QCOMPARE((QStringList{form.Edit15->text(), form.Edit9->text(), form.Edit14->text(),
                                  form.Edit5->text()}),
                     (QStringList{"1", "Barack", "Város 1 Fő utca 1.", "BES Barack"}));
            QCOMPARE(form.focusWidget(), form.Edit4);
        });
    }

    void valueByDoubleClick_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("messages");
        QTest::newRow("3 x 2,5") << "3"
                                 << "2,5"
                                 << "7,5" << 0;
        QTest::newRow("fractions") << "0,1"
                                   << "3"
                                   << "0,3" << 0;
        QTest::newRow("not a number") << "1,2,3"
                                      << "2"
                                      << "keep" << 1;
    }

    void valueByDoubleClick()
    {
        QFETCH(QString, quantity);
        QFETCH(QString, price);
        QFETCH(QString, value);
        QFETCH(int, messages);
        newLine([&](TForm18& form) {
            typeLine(form, "201", "100", quantity, price, "keep");
            QTest::mouseDClick(form.Edit27, Qt::LeftButton);
            QCOMPARE(form.Edit27->text(), value);
            QCOMPARE(platform->messageTexts().size(), messages);
        });
    }

    void boxesTakeWhatTheirColumnsHold_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("length");
        QTest::newRow("item number or name") << "Edit3" << 75;
        QTest::newRow("source document") << "Edit6" << 45;
        QTest::newRow("note") << "Edit7" << 75;
    }

    void boxesTakeWhatTheirColumnsHold()
    {
        QFETCH(QString, box);
        QFETCH(int, length);
        newLine([&](TForm18& form) {
            auto* edit = form.findChild<QLineEdit*>(box);
            edit->setText(QString(length + 10, QLatin1Char('x')));
            QCOMPARE(edit->text().size(), length);
        });
    }

    // Date, Enter, movement type, Enter, item, Enter, ... quantity, price, value, Enter and Space on "OK".
    void wholeLineByKeyboard()
    {
        newLine([&](TForm18& form) {
            QApplication::setActiveWindow(&form);
            QVERIFY(QTest::qWaitForWindowActive(&form));
            QCOMPARE(QApplication::focusWidget(), form.Edit1);
            form.Edit1->clear();
            auto type = [](const QString& text) {
                QTest::keyClicks(QApplication::focusWidget(), text);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            };
            type("2026.03.01");
            type("201");
            QCOMPARE(QApplication::focusWidget(), form.Edit3);
            type("100");
            QCOMPARE(QApplication::focusWidget(), form.Edit8);
            type("Barack");
            type("Zab");
            QCOMPARE(QApplication::focusWidget(), form.Edit4);
            type("");
            type("kezi");
            type("SZ-1");
            type("");
            QCOMPARE(QApplication::focusWidget(), form.Edit25);
            type("2");
            type("3,5");
            type("7");
            QCOMPARE(QApplication::focusWidget(), form.Button3);
            QTest::keyClick(form.Button3, Qt::Key_Space);
            QVERIFY(!form.isVisible());
        });
        QCOMPARE(platform->messageTexts(), QStringList());
        QCOMPARE(committed(QStringLiteral(
                     "SELECT bbszam, bbizdatum, bmnem, bmecsok, bear, bertcsok, bszoveg, beredeti, "
                     "btetel FROM bizmozg WHERE bbszam = '42'")),
                 (QList<QStringList>{{"42", "2026.03.01", "201", "2", "3,5", "7", "kezi", "SZ-1", "T-B"}}));
    }
    // An issue that takes the stock on its date below zero, of all warehouses or of its own (Barack,
    // code 1), is stored only after "Igen"; "Nem" stores nothing and goes back to the quantity. Item
    // 100 (alma) stands at 6 kg in warehouse 1: +10 on 2026.01.05, -4 on 2026.02.01 (line 10).
    void issueBelowZeroAsksFirst_data()
    {
        QTest::addColumn<QString>("setup");   // a line added to the fixture
        QTest::addColumn<bool>("change");     // line 10 changed instead of a new line
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("date");   // empty: as the form has it
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QStringList>("question");   // its lines; empty: no question
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("stored");

        const QString first =
            QStringLiteral("A(z) 100 alma cikk készlete a bizonylat keltekor (%1) nulla alá "
                           "csökkenne.");
        const QString total = QStringLiteral("Összes raktár: a tétel előtt %1 kg, utána %2 kg.");
        const QString warehouse = QStringLiteral("Barack (1): a tétel előtt %1 kg, utána %2 kg.");
        const QString last = QStringLiteral("Mégis rögzíti a tételt?");
        // One more line of item 100 on 2026.01.06: increase, decrease, warehouse.
        const QString extraLine =
            QStringLiteral("INSERT INTO bizmozg (bbszam, bcikkszam, bbizdatum, bmenov, bmecsok, brkod) "
                           "VALUES ('13', '100', '2026-01-06', %1, %2, '%3')");
        const QStringList everywhere{first.arg(Today), total.arg("6", "-4"), warehouse.arg("6", "-4"), last};

        QTest::newRow("below zero everywhere, Nem") << "" << false << "201"
                                                    << "100"
                                                    << ""
                                                    << "10" << everywhere << false << false;
        QTest::newRow("below zero everywhere, Igen") << "" << false << "201"
                                                     << "100"
                                                     << ""
                                                     << "10" << everywhere << true << true;
        QTest::newRow("only in its warehouse")
            << extraLine.arg("20", "0", "2") << false << "201"
            << "100"
            << ""
            << "10" << QStringList{first.arg(Today), warehouse.arg("6", "-4"), last} << true << true;
        QTest::newRow("only all warehouses, already below zero")
            << extraLine.arg("0", "20", "2") << false << "201"
            << "100"
            << ""
            << "1" << QStringList{first.arg(Today), total.arg("-14", "-15"), last} << false << false;
        QTest::newRow("exactly zero") << "" << false << "201"
                                      << "100"
                                      << ""
                                      << "6" << QStringList() << false << true;
        QTest::newRow("receipt on a negative stock") << "" << false << "101"
                                                     << "400"
                                                     << ""
                                                     << "1" << QStringList() << false << true;
        QTest::newRow("the day's own lines count")
            << "" << false << "201"
            << "100"
            << "2026.02.01"
            << "8"
            << QStringList{first.arg("2026.02.01"), total.arg("6", "-2"), warehouse.arg("6", "-2"), last}
            << false << false;
        QTest::newRow("later lines do not count") << "" << false << "201"
                                                  << "100"
                                                  << "2026.01.20"
                                                  << "8" << QStringList() << false << true;
        QTest::newRow("changed line not counted twice") << "" << true << "201"
                                                        << "100"
                                                        << ""
                                                        << "8" << QStringList() << false << true;
        QTest::newRow("changed line already below zero, quantity kept")
            << extraLine.arg("0", "20", "1") << true << "201"
            << "100"
            << ""
            << "4" << QStringList() << false << true;
        QTest::newRow("changed line already below zero, more")
            << extraLine.arg("0", "20", "1") << true << "201"
            << "100"
            << ""
            << "5"
            << QStringList{first.arg("2026.02.01"), total.arg("-10", "-15"), warehouse.arg("-10", "-15"),
                           last}
            << true << true;
        QTest::newRow("changed line below zero")
            << "" << true << "201"
            << "100"
            << ""
            << "12"
            << QStringList{first.arg("2026.02.01"), total.arg("10", "-2"), warehouse.arg("10", "-2"), last}
            << false << false;
    }

    void issueBelowZeroAsksFirst()
    {
        QFETCH(QString, setup);
        QFETCH(bool, change);
        QFETCH(QString, type);
        QFETCH(QString, item);
        QFETCH(QString, date);
        QFETCH(QString, quantity);
        QFETCH(QStringList, question);
        QFETCH(bool, yes);
        QFETCH(bool, stored);
        if (!setup.isEmpty())
            db->exec({setup});
        if (!question.isEmpty())
            platform->questionAnswers.push_back(yes);
        const auto work = [&](TForm18& form) {
            if (change) {
                leave(form.Edit2);
                form.Edit25->setText(quantity);
            } else {
                typeLine(form, type, item, quantity, "1", "0");
            }
            if (!date.isEmpty())
                form.Edit1->setText(date);
            platform->clearMessages();
            form.Button3->click();
            QCOMPARE(form.isVisible(), !stored);
            if (!stored)
                QCOMPARE(form.focusWidget(), form.Edit25);
        };
        if (change) {
            inRegister([&](TForm17& form) {
                Data->ZQ10->locate(QStringLiteral("BBSZAM"), QStringLiteral("10"));
                inLineForm(form, true, work);
            });
        } else {
            newLine(work);
        }
        QCOMPARE(platform->messageTexts(),
                 question.isEmpty() ? QStringList() : QStringList{question.join(QLatin1Char('\r'))});
        if (!question.isEmpty())
            QCOMPARE(platform->messages[0].kind, ScriptedPlatform::MessageKind::Question);
        QVERIFY(platform->questionAnswers.empty());
        const QString quantityColumn = type == QLatin1String("101") ? "bmenov" : "bmecsok";
        const Rows rows = committed(QStringLiteral("SELECT %1 FROM bizmozg WHERE bbszam = '%2'")
                                        .arg(quantityColumn, change ? "10" : "42"));
        const Rows expected = stored ? Rows{{quantity}} : change ? Rows{{"4"}} : Rows{};
        QCOMPARE(rows, expected);
        QCOMPARE(counter(), stored && !change ? QStringLiteral("42") : QStringLiteral("41"));
    }

    // The posting alone, with no form open: a new line with its number, a change by its key, a figure
    // that is no number, and a number another desk took meanwhile.
    void postingWithoutAForm_data()
    {
        QTest::addColumn<QString>("line");   // "new", "change" of line 12, "bad figure", "number taken"
        QTest::addColumn<QStringList>(
            "stored");   // bbszam, bcikkszam, bckod, bmnem, bmkod, bmenov, bmecsok, bear,
                         // bertnov, bertcsok, bdkod, brkod, bpkod, btetel, bszoveg,
                         // beredeti, bmegjegy, bbizdatum, brkelt of the posted line
        QTest::addColumn<QStringList>("messages");
        const QStringList posted{"42", "300", "1", "101", "101", "3",    "0",    "2,5",        "7,5", "0",
                                 "3",  "10",  "2", "T-C", "BES", "sz-1", "kézi", "2026.03.01", Today};
        QTest::newRow("new") << "new" << posted << QStringList();
        QStringList changed = posted;
        changed[0] = "12";
        QTest::newRow("change") << "change" << changed << QStringList();
        QTest::newRow("bad figure") << "bad figure" << QStringList()
                                    << QStringList{
                                           "Hiba182: Újban, INSERT a bizmozg-ban \rA(z) \"3 db\" nem szám."};
        QStringList renumbered = posted;
        renumbered[0] = "45";
        QTest::newRow("number taken")
            << "number taken" << renumbered
            << QStringList{"A bizonylat a(z) 45 számot kapta, mert a(z) 42 számot közben "
                           "más már felhasználta."};
    }

    void postingWithoutAForm()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, stored);
        QFETCH(QStringList, messages);
        const QStringList twelve =
            committed(QStringLiteral("SELECT idb, bkod FROM bizmozg WHERE bbszam = '12'")).value(0);
        DocumentPosting::Line posted;
        posted.isNew = line != QLatin1String("change");
        posted.proposedNumber = 42;
        if (!posted.isNew) {
            posted.id = twelve[0];
            posted.key = twelve[1];
        }
        posted.date = QDate(2026, 3, 1);
        posted.movementKey = posted.movementCode = QStringLiteral("101");
        posted.itemNumber = QStringLiteral("300");
        posted.itemCode = QStringLiteral("1");
        posted.price = QStringLiteral("2,5");
        posted.quantityIn =
            line == QLatin1String("bad figure") ? QStringLiteral("3 db") : QStringLiteral("3");
        posted.quantityOut = QStringLiteral("0");
        posted.valueIn = QStringLiteral("7,5");
        posted.valueOut = QStringLiteral("0");
        posted.employeeCode = QStringLiteral("3");
        posted.warehouseCode = QStringLiteral("10");
        posted.partnerCode = QStringLiteral("2");
        posted.batch = QStringLiteral("T-C");
        posted.text = QStringLiteral("BES");
        posted.original = QStringLiteral("sz-1");
        posted.note = QStringLiteral("kézi");
        if (line == QLatin1String("number taken"))
            db->exec({"UPDATE bizszam SET zbizszam = '44'"});

        const DocumentPosting::Result result = DocumentPosting::post(posted);

        QCOMPARE(platform->messageTexts(), messages);
        QCOMPARE(result.outcome, stored.isEmpty() ? SaveOutcome::StepFailed : SaveOutcome::Saved);
        QCOMPARE(lineCount(), posted.isNew && !stored.isEmpty() ? 5 : 4);
        if (stored.isEmpty()) {
            QCOMPARE(counter(), QStringLiteral("41"));
            return;
        }
        if (posted.isNew)
            QCOMPARE(QString::number(result.number), stored[0]);
        const Rows rows = committed(
            QStringLiteral(
                "SELECT bbszam, bcikkszam, bckod, bmnem, bmkod, bmenov, bmecsok, bear, bertnov, bertcsok, "
                "bdkod, brkod, bpkod, btetel, bszoveg, beredeti, bmegjegy, bbizdatum, brkelt, bkod "
                "FROM bizmozg WHERE bbszam = '%1'")
                .arg(stored[0]));
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].mid(0, stored.size()), stored);
        // The stored line is the one the register is to stand on next.
        QCOMPARE(shared().CurrentDocumentKey, posted.isNew ? QString() : twelve[1]);
        QCOMPARE(counter(), posted.isNew ? stored[0] : QStringLiteral("41"));
    }
};

QTEST_MAIN(TestDocumentLine)
#include "tst_documentline.moc"
