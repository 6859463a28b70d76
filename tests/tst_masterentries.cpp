// The five master-data entry forms: layout, the new code, validation, the save path with its
// statements, hand-back and list re-read, failed saves, loading, and the item form's own boxes.
#include "columnwidths.h"
#include "itementry.h"
#include "masterentry.h"
#include "masterfixture.h"
#include "scriptedplatform.h"
#include "sharedstate.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// "Edit3=text" pairs: the boxes a test fills.
void fill(MasterEntry& form, const QStringList& values)
{
    for (const QString& pair : values)
        form.box(pair.section('=', 0, 0))->setText(pair.section('=', 1));
}

}

class TestMasterEntries : public MasterTest {
    Q_OBJECT

    // Opens the member's list, then its entry form: new, or a modification of the row with `code`;
    // `act` plays the person in the entry form; `afterwards` runs in the list once the entry has closed.
    void entry(const ListMember& m, bool modify, const std::function<void(MasterEntry&)>& act,
               const std::function<void(MasterList&)>& afterwards = {})
    {
        inEntryForm<MasterEntry, MasterList>(m, modify ? QStringLiteral("2") : QString(), act, afterwards);
    }

    QStringList storedRow(const QString& sql)
    {
        Data->IBTrans1.commit();
        Query q(Data->IBTrans1);
        q.setSql(sql);
        q.open();
        QStringList values;
        for (int i = 0; i < q.columnCount(); ++i)
            values << q.field(i).asString();
        return values;
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
        QTest::addColumn<QStringList>("labels");   // "Edit3=Név": the label that is the box's buddy
        QTest::addColumn<QStringList>("tabOrder");
        QTest::newRow("warehouses") << "warehouses"
                                    << "Raktár" << QSize(511, 123)
                                    << QStringList{"Edit1=ID", "Edit3=Név", "Edit4=Telep neve"}
                                    << QStringList{"Button2", "Button3", "Edit1", "Edit2", "Edit3", "Edit4"};
        QTest::newRow("items") << "items"
                               << "Cikk bevitel" << QSize(507, 281)
                               << QStringList{"Edit3=Cikkszám",   "Edit4=Megnevezés", "Edit5=Méret",
                                              "Edit10=Tételszám", "Edit11=Fajta",     "Edit12=Besorolás",
                                              "Edit6=M.egység",   "Edit7=VTSZ"}
                               << QStringList{"Edit3",  "Edit4",   "Edit5",   "Edit10",  "Edit11",
                                              "Edit12", "Edit6",   "Edit7",   "Button1", "Edit8",
                                              "Edit9",  "Button2", "Button3", "Edit1",   "Edit2"};
        QTest::newRow("partners") << "partners"
                                  << "Partner bevitel" << QSize(513, 185)
                                  << QStringList{"Edit3=Név", "Edit4=Ir.szám", "Edit5=Helységnév",
                                                 "Edit6=Utca", "Edit7=Bank"}
                                  << QStringList{"Button2", "Button3", "Edit1", "Edit2", "Edit3",
                                                 "Edit4",   "Edit5",   "Edit6", "Edit7"};
        QTest::newRow("movement types")
            << "movement types"
            << "Mozgásnem bevitel" << QSize(513, 146)
            << QStringList{"Edit3=Mozgásnem kódja", "Edit4=Megnevezése", "Edit5=+ /- "}
            << QStringList{"Button2", "Button3", "Edit1", "Edit2", "Edit3", "Edit4"};
        QTest::newRow("employees") << "employees"
                                   << "Dolgozó bevitel" << QSize(513, 106) << QStringList{"Edit3=Név"}
                                   << QStringList{"Button2", "Button3", "Edit1", "Edit2", "Edit3"};
    }

    void layout()
    {
        QFETCH(QString, member);
        QFETCH(QString, caption);
        QFETCH(QSize, size);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, tabOrder);
        connectData();
        entry(listMember(member), false, [&](MasterEntry& form) {
            QCOMPARE(form.windowTitle(), caption);
            QCOMPARE(form.size(), size);
            QCOMPARE(form.Button2->text(), QStringLiteral("OK"));
            QCOMPARE(form.Button3->text(), QStringLiteral("Mégsem"));
            QVERIFY(form.Edit1->isReadOnly() && form.Edit2->isReadOnly());
            auto* codeLabel = form.findChild<QLabel*>(QStringLiteral("Label2"));
            QCOMPARE(codeLabel->text(), QStringLiteral("Kód"));
            QVERIFY(!codeLabel->isVisible());
            for (const QString& pair : labels) {
                QWidget* box = form.box(pair.section('=', 0, 0));
                const auto found = form.findChildren<QLabel*>();
                const auto label =
                    std::find_if(found.begin(), found.end(), [&](QLabel* l) { return l->buddy() == box; });
                QVERIFY2(label != found.end(), qPrintable(pair));
                QCOMPARE((*label)->text(), pair.section('=', 1));
            }
            QStringList chain;
            QWidget* widget = form.findChild<QWidget*>(tabOrder.first());
            do {
                if (tabOrder.contains(widget->objectName()))
                    chain << widget->objectName();
                widget = widget->nextInFocusChain();
            } while (widget->objectName() != tabOrder.first());
            QCOMPARE(chain, tabOrder);
            // Enter moves on along that order, Shift+Enter back.
            QLineEdit* edit3 = form.box(QStringLiteral("Edit3"));
            edit3->setFocus();
            QTest::keyClick(edit3, Qt::Key_Return);
            const QString after = tabOrder.value((tabOrder.indexOf("Edit3") + 1) % tabOrder.size());
            QCOMPARE(form.focusWidget()->objectName(), after);
            QTest::keyClick(form.focusWidget(), Qt::Key_Return, Qt::ShiftModifier);
            QCOMPARE(form.focusWidget(), edit3);
            QCOMPARE(edit3->text(), QString());
        });
    }

    void newCode_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QStringList>("codes");   // empty: the fixture's 1, 2, 3, 10
        QTest::addColumn<QString>("code");
        for (const ListMember& m : listMembers())
            QTest::addRow("%s: after 1, 2, 3, 10", qPrintable(m.name)) << m.name << QStringList() << "11";
        QTest::newRow("after 9 and 10") << "warehouses" << QStringList{"9", "10"} << "11";
        QTest::newRow("empty table") << "partners" << QStringList{""} << "1";
        QTest::newRow("not whole numbers passed over")
            << "employees" << QStringList{"A7", "12", "1 3", "-5", "9X"} << "13";
        QTest::newRow("leading zeros") << "items" << QStringList{"00009", "7"} << "10";
        QTest::newRow("six digits after the largest")
            << "movement types" << QStringList{"99999", "5"} << "100000";
    }

    // Codes of another order ("9" after "10" in text order) must not hand out a code that exists.
    void newCode()
    {
        QFETCH(QString, member);
        QFETCH(QStringList, codes);
        QFETCH(QString, code);
        const ListMember& m = listMember(member);
        if (!codes.isEmpty()) {
            QStringList statements{QStringLiteral("DELETE FROM %1").arg(m.table)};
            for (const QString& c : codes)
                if (!c.isEmpty())
                    statements
                        << QStringLiteral("INSERT INTO %1 (%2) VALUES ('%3')").arg(m.table, m.codeField, c);
            db->exec(statements);
        }
        connectData();
        entry(m, false, [&](MasterEntry& form) { QCOMPARE(form.Edit2->text(), code); });
    }

    void insert_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("select");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("label");
        QTest::newRow("warehouses") << "warehouses" << QStringList{"Edit3=Déli raktár", "Edit4=Telep 9"}
                                    << "SELECT rkod, rnev, rtelep FROM raktar WHERE rkod = '11'"
                                    << QStringList{"11", "Déli raktár", "Telep 9"}
                                    << "A lista, \"Név\" szerint";
        QTest::newRow("items")
            << "items" << QStringList{"Edit3=123", "Edit4=Körte", "Edit5=XL",     "Edit6=kg",    "Edit7=0808",
                                      "Edit9=3",   "Edit10=T-9",  "Edit11=fajta", "Edit12=besor"}
            << "SELECT ckod, cszam, cmegn, cmeret, cme, cvtsz, crkod, cbizonylat, cfajta, cbesor "
               "FROM cikk WHERE ckod = '11'"
            << QStringList{"11", "123", "Körte", "XL", "kg", "0808", "3", "T-9", "fajta", "besor"}
            << "A lista, \"Megnevezés\" szerint";
        QTest::newRow("partners")
            << "partners"
            << QStringList{"Edit3=Őz Kft.", "Edit4=7600", "Edit5=Pécs", "Edit6=Fő u. 1.", "Edit7=1170"}
            << "SELECT pkod, pnev, pirszam, phelyseg, putca, pbank FROM partner WHERE pkod = '11'"
            << QStringList{"11", "Őz Kft.", "7600", "Pécs", "Fő u. 1.", "1170"} << "A lista, \"Név\" szerint";
        QTest::newRow("movement types")
            << "movement types" << QStringList{"Edit3=EL", "Edit4=Eladás", "Edit5=-"}
            << "SELECT mkod, mnem, mnev, mncs FROM mnem WHERE mkod = '11'"
            << QStringList{"11", "EL", "Eladás", "-"} << "A lista, \"Mnem\" szerint";
        QTest::newRow("employees") << "employees" << QStringList{"Edit3=Kovács Éva"}
                                   << "SELECT dkod, dnev FROM dolgozo WHERE dkod = '11'"
                                   << QStringList{"11", "Kovács Éva"} << "A lista, \"Név\" szerint";
    }

    // The saved code comes back as the list's search value; the list is re-read and stands on the row.
    void insert()
    {
        QFETCH(QString, member);
        QFETCH(QStringList, values);
        QFETCH(QString, select);
        QFETCH(QStringList, stored);
        QFETCH(QString, label);
        connectData();
        const ListMember& m = listMember(member);
        entry(
            m, false,
            [&](MasterEntry& form) {
                fill(form, values);
                QTest::mouseClick(form.Button2, Qt::LeftButton);
                QVERIFY(!form.isVisible());
                QCOMPARE(form.result(), int(QDialog::Accepted));
            },
            [&](MasterList& list) {
                QCOMPARE(list.Label18->text(), label);
                QCOMPARE(currentValue(listQuery(m), m.codeField), QStringLiteral("11"));
            });
        QVERIFY(platform->messages.empty());
        QCOMPARE(shared().*m.searchValue, QStringLiteral("11"));
        // The save's commit closed every dataset; the list query was read again and stays on the new row
        // for whoever looks it up next.
        QVERIFY(listQuery(m).isOpen());
        QCOMPARE(currentValue(listQuery(m), m.codeField), QStringLiteral("11"));
        QCOMPARE(storedRow(select), stored);
    }

    void update_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("loaded");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("select");
        QTest::addColumn<QStringList>("stored");
        // Each form's code box is changed behind its back: only the employee form writes it.
        QTest::newRow("warehouses keep their code")
            << "warehouses"
            << "Raktár módositás" << QStringList{"Edit3=alma", "Edit4=Telep 2"}
            << QStringList{"Edit3=Új név", "Edit4=Új telep"}
            << "SELECT rkod, rnev, rtelep FROM raktar WHERE rnev = 'Új név'"
            << QStringList{"2", "Új név", "Új telep"};
        QTest::newRow("items keep their code")
            << "items"
            << "Cikk módositás"
            << QStringList{"Edit3=100", "Edit4=alma", "Edit10=T-B", "Edit9=2", "Edit8=alma"}
            << QStringList{"Edit3=555", "Edit4=Szilva", "Edit5=M",  "Edit6=db", "Edit7=1",
                           "Edit9=10",  "Edit10=T",     "Edit11=F", "Edit12=B"}
            << "SELECT ckod, cszam, cmegn, cmeret, cme, cvtsz, crkod, cbizonylat, cfajta, cbesor FROM cikk "
               "WHERE cmegn = 'Szilva'"
            << QStringList{"2", "555", "Szilva", "M", "db", "1", "10", "T", "F", "B"};
        QTest::newRow("partners keep their code")
            << "partners"
            << "Partner módositás" << QStringList{"Edit3=alma", "Edit5=Város 2"}
            << QStringList{"Edit3=Új", "Edit4=1", "Edit5=2", "Edit6=3", "Edit7=4"}
            << "SELECT pkod, pnev, pirszam, phelyseg, putca, pbank FROM partner WHERE pnev = 'Új'"
            << QStringList{"2", "Új", "1", "2", "3", "4"};
        QTest::newRow("movement types keep their code")
            << "movement types"
            << "Mozgásnem módositás" << QStringList{"Edit3=KI", "Edit4=alma", "Edit5=+"}
            << QStringList{"Edit3=VV", "Edit4=Új", "Edit5=-"}
            << "SELECT mkod, mnem, mnev, mncs FROM mnem WHERE mnev = 'Új'"
            << QStringList{"2", "VV", "Új", "-"};
        QTest::newRow("employees write their code back")
            << "employees"
            << "Dolgozó módositás" << QStringList{"Edit3=alma"} << QStringList{"Edit3=Új"}
            << "SELECT dkod, dnev FROM dolgozo WHERE dnev = 'Új'" << QStringList{"777", "Új"};
    }

    void update()
    {
        QFETCH(QString, member);
        QFETCH(QString, mode);
        QFETCH(QStringList, loaded);
        QFETCH(QStringList, values);
        QFETCH(QString, select);
        QFETCH(QStringList, stored);
        connectData();
        const ListMember& m = listMember(member);
        entry(m, true, [&](MasterEntry& form) {
            QCOMPARE(form.windowTitle(), mode);
            QCOMPARE(form.Edit2->text(), QStringLiteral("2"));
            QVERIFY(!form.Edit1->text().isEmpty());
            for (const QString& pair : loaded)
                QCOMPARE(form.box(pair.section('=', 0, 0))->text(), pair.section('=', 1));
            fill(form, values);
            form.Edit2->setText(QStringLiteral("777"));
            QTest::mouseClick(form.Button2, Qt::LeftButton);
            QVERIFY(!form.isVisible());
        });
        QVERIFY(platform->messages.empty());
        QCOMPARE(shared().*m.searchValue, QStringLiteral("777"));
        QCOMPARE(storedRow(select), stored);
    }

    void required_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("warehouses") << "warehouses" << QStringList{"Edit3"}
                                    << QStringList{"Nincs megadva a raktár név!"};
        QTest::newRow("items") << "items" << QStringList{"Edit3"} << QStringList{"Nincs megadva a cikkszám!"};
        QTest::newRow("partners") << "partners" << QStringList{"Edit3"}
                                  << QStringList{"Nincs megadva a név!"};
        QTest::newRow("movement types")
            << "movement types" << QStringList{"Edit3", "Edit4", "Edit5"}
            << QStringList{"Nincs megadva a mnem!", "Nincs megadva a megnevezés!", "Nincs megadva a +/-!"};
        QTest::newRow("employees") << "employees" << QStringList{"Edit3"}
                                   << QStringList{"Nincs megadva a dolgozó!"};
    }

    // Blanks alone count as empty; each refusal puts the focus into its box and keeps the form open.
    void required()
    {
        QFETCH(QString, member);
        QFETCH(QStringList, boxes);
        QFETCH(QStringList, messages);
        connectData();
        const ListMember& m = listMember(member);
        entry(m, false, [&](MasterEntry& form) {
            for (const QString& name : boxes)
                form.box(name)->setText(QStringLiteral("  "));
            for (int i = 0; i < boxes.size(); ++i) {
                QTest::mouseClick(form.Button2, Qt::LeftButton);
                QVERIFY(form.isVisible());
                QCOMPARE(platform->messageTexts(), messages.mid(0, i + 1));
                QCOMPARE(form.focusWidget(), form.box(boxes[i]));
                form.box(boxes[i])->setText(QStringLiteral(" x"));
            }
            QTest::mouseClick(form.Button2, Qt::LeftButton);
            QVERIFY(!form.isVisible());
        });
        QCOMPARE(platform->messageTexts(), messages);
        QCOMPARE(shared().*m.searchValue, QStringLiteral("11"));
    }

    void failedSave_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<bool>("modify");
        QTest::addColumn<QString>("message");
        QTest::newRow("warehouse insert") << "warehouses" << false << "Hiba122: Újban, INSERT a raktárban ";
        QTest::newRow("item insert") << "items" << false << "Hiba82: Újban, INSERT a cikkben ";
        QTest::newRow("partner insert") << "partners" << false << "Hiba102: Újban, INSERT a partnerben ";
        QTest::newRow("movement type insert")
            << "movement types" << false << "Hiba142: Újban, INSERT a mnemben ";
        QTest::newRow("employee insert") << "employees" << false << "Hiba162: Újban, INSERT a dolgozoban ";
        QTest::newRow("warehouse update")
            << "warehouses" << true << "Hiba123: Módositás, Update a raktárban ";
        QTest::newRow("item update") << "items" << true << "Hiba83: Módositás, Update a cikkben ";
        QTest::newRow("partner update") << "partners" << true << "Hiba13: Módositás, Update a partnerben ";
        QTest::newRow("movement type update")
            << "movement types" << true << "Hiba143: Módositás, Update a menmben ";
        QTest::newRow("employee update") << "employees" << true << "Hiba163: Módositás, Update a dolgozóban ";
    }

    // After the largest five-digit code the new code does not fit; an update with a character that the
    // database's code page cannot hold fails as well. The numbered message with its reason on the second
    // line, a rollback, the list re-read, the form closed.
    void failedSave()
    {
        QFETCH(QString, member);
        QFETCH(bool, modify);
        QFETCH(QString, message);
        const ListMember& m = listMember(member);
        db->exec({QStringLiteral("INSERT INTO %1 (%2) VALUES ('99999')").arg(m.table, m.codeField)});
        connectData();
        shared().*m.searchValue = QStringLiteral("3");
        entry(
            m, modify,
            [&](MasterEntry& form) {
                if (!modify)
                    QCOMPARE(form.Edit2->text(), QStringLiteral("100000"));
                for (QLineEdit* box : form.findChildren<QLineEdit*>())
                    if (!box->isReadOnly())
                        box->setText(modify ? QStringLiteral("7\u6F22") : QStringLiteral("7"));
                QTest::mouseClick(form.Button2, Qt::LeftButton);
                QVERIFY(!form.isVisible());
            },
            [&](MasterList&) {
                QVERIFY(listQuery(m).isOpen());
                QCOMPARE(currentValue(listQuery(m), m.codeField), QStringLiteral("3"));
            });
        const QString reason =
            modify
                ? QStringLiteral("A(z) \"\u6F22\" karakter nem írható a WIN1250 kódlapú adatbázisba.")
                : QStringLiteral("A(z) %1 mező legfeljebb 5 karaktert fogad el, a beírt szöveg 6 karakteres.")
                      .arg(m.codeField);
        QCOMPARE(platform->messageTexts(), QStringList{message + QLatin1Char('\r') + reason});
        QCOMPARE(shared().*m.searchValue, QStringLiteral("3"));
        QCOMPARE(columnValues(listQuery(m), m.codeField).size(), 5);
    }

    // Every box takes at most what its column holds: typing the 76th character of a name, or pasting a
    // longer text, leaves the first 75, so a save never loses what was typed for being too long.
    void boxesHoldWhatTheirColumnsHold()
    {
        connectData();
        for (const ListMember& m : listMembers()) {
            entry(m, false, [&](MasterEntry& form) {
                for (const EntryBox& box : form.member().boxes) {
                    QLineEdit* edit = form.box(box.name);
                    const int width = columnWidth(m.table, box.column);
                    QVERIFY2(width > 0, qPrintable(m.name + QLatin1Char(' ') + box.name));
                    QCOMPARE(edit->maxLength(), width);
                }
            });
        }
        entry(listMember(QStringLiteral("partners")), false, [&](MasterEntry& form) {
            QLineEdit* name = form.box(QStringLiteral("Edit3"));
            name->setFocus();
            QTest::keyClicks(name, QString(76, QLatin1Char('n')));
            QCOMPARE(name->text(), QString(75, QLatin1Char('n')));
            name->clear();
            name->insert(QString(80, QLatin1Char('p')));
            QCOMPARE(name->text().size(), 75);
        });
    }

    // A row that another desk is changing and does not finish: the update waits out the lock timeout and
    // says so on the second line; the row keeps the other desk's pending value out and its own stored
    // value.
    void lockConflictSaysWhy()
    {
        const ListMember& m = listMember(QStringLiteral("warehouses"));
        connectData();
        std::unique_ptr<Connection> other = db->connect();
        other->transaction().start();
        Query pending(other->transaction());
        pending.setSql(QStringLiteral("UPDATE raktar SET rnev = 'Másik' WHERE rkod = '2'"));
        pending.execute();
        entry(m, true, [&](MasterEntry& form) {
            form.box(QStringLiteral("Edit3"))->setText(QStringLiteral("Új név"));
            QTest::mouseClick(form.Button2, Qt::LeftButton);
        });
        const QStringList lines = platform->messageTexts().value(0).split(QLatin1Char('\r'));
        QCOMPARE(lines.value(0), QStringLiteral("Hiba123: Módositás, Update a raktárban "));
        QVERIFY2(lines.value(1).startsWith(QStringLiteral("Zárolási ütközés")), qPrintable(lines.value(1)));
        other->transaction().rollback();
        QCOMPARE(storedRow(QStringLiteral("SELECT rnev FROM raktar WHERE rkod = '2'")), QStringList{"alma"});
    }

    // When the transaction cannot be started the entry form stays open with what was typed, after the
    // member's transaction message; nothing is re-read.
    void transactionStartFailure_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("message");
        QTest::newRow("warehouses") << "warehouses"
                                    << "Hiba124: az append vagy edit közben a raktárban!";
        QTest::newRow("items") << "items"
                               << "Hiba84: az append vagy edit közben a cikkben!";
    }

    void transactionStartFailure()
    {
        QFETCH(QString, member);
        QFETCH(QString, message);
        const ListMember& m = listMember(member);
        connectData();
        entry(m, false, [&](MasterEntry& form) {
            fill(form, {QStringLiteral("Edit3=Megmarad")});
            Data->ZCon1.close();
            platform->clearMessages();
            QTest::mouseClick(form.Button2, Qt::LeftButton);
            QVERIFY(form.isVisible());
            QCOMPARE(form.box(QStringLiteral("Edit3"))->text(), QStringLiteral("Megmarad"));
            QCOMPARE(platform->messageTexts().value(0).section(QLatin1Char('\r'), 0, 0), message);
            QCOMPARE(platform->messageTexts().size(), 1);
            Data->ZCon1.open();
        });
    }

    void loadFailure_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("message");
        QTest::newRow("warehouses") << "warehouses"
                                    << "Hiba121 a raktar módosítás Edit-ben való megjelenitésekor!";
        QTest::newRow("items") << "items"
                               << "Hiba81 a cikk módosítás Edit-ben való megjelenitésekor!";
        QTest::newRow("partners") << "partners"
                                  << "Hiba101 a partner módosítás Edit-ben való megjelenitésekor!";
        QTest::newRow("movement types") << "movement types"
                                        << "Hiba141 a mnem módosítás Edit-ben való megjelenitésekor!";
        QTest::newRow("employees") << "employees"
                                   << "Hiba161 a dolgozo módosítás Edit-ben való megjelenitésekor!";
    }

    // A list query closed by a commit elsewhere has no row to load: the form is not shown.
    void loadFailure()
    {
        QFETCH(QString, member);
        QFETCH(QString, message);
        connectData();
        const ListMember& m = listMember(member);
        platform->addRun<MasterList>([&](MasterList& list) {
            Data->IBTrans1.commit();
            QTest::keyClick(list.Button3, 'J');
        });
        m.open();
        QCOMPARE(platform->messageTexts(),
                 QStringList{message + QStringLiteral("\rNincs kiválasztott sor.")});
        QCOMPARE(platform->shownDialogs, QStringList{m.listName});
    }

    void itemNumberTakesDigitsOnly()
    {
        connectData();
        entry(listMember("items"), false, [&](MasterEntry& form) {
            QTest::keyClicks(form.box("Edit3"), QStringLiteral("a1b2,3 x4"));
            QCOMPARE(form.box("Edit3")->text(), QStringLiteral("1234"));
            QTest::keyClicks(form.box("Edit4"), QStringLiteral("a1"));
            QCOMPARE(form.box("Edit4")->text(), QStringLiteral("a1"));
        });
    }

    // The typed warehouse name is the search text; the row left current in the list is taken, and its
    // code is what the item saves.
    void warehouseLookup()
    {
        connectData();
        entry(listMember("items"), true, [&](MasterEntry& entryForm) {
            auto& form = dynamic_cast<TForm8&>(entryForm);
            QCOMPARE(form.Edit9->text(), QStringLiteral("2"));
            QCOMPARE(form.Edit8->text(), QStringLiteral("alma"));
            // The name is read through the warehouse work query; the item's own is left alone.
            QCOMPARE(Data->ZQ41->sql(), QStringLiteral("SELECT * FROM raktar WHERE rkod = :p1"));
            QVERIFY(!Data->ZQ21->sql().contains(QStringLiteral("raktar"), Qt::CaseInsensitive));
            form.Edit8->setText(QStringLiteral("BAR"));
            QString shownOn;
            platform->addRun<MasterList>([&](MasterList& list) {
                shownOn = Data->ZQ40->fieldByName("RNEV").asString();
                QTest::mouseClick(list.Button5, Qt::LeftButton);
            });
            QTest::mouseClick(form.Button1, Qt::LeftButton);
            QCOMPARE(platform->shownDialogs.last(), QStringLiteral("Form11"));
            QCOMPARE(shownOn, QStringLiteral("Barack"));
            QVERIFY(shared().LookupFlag.isEmpty());
            QCOMPARE(form.Edit8->text(), QStringLiteral("Barack"));
            QCOMPARE(form.Edit9->text(), QStringLiteral("1"));
            QTest::mouseClick(form.Button2, Qt::LeftButton);
        });
        QCOMPARE(storedRow("SELECT crkod FROM cikk WHERE ckod = '2'"), QStringList{"1"});
    }
};

QTEST_MAIN(TestMasterEntries)
#include "tst_masterentries.moc"
