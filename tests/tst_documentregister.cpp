// The document register and the line viewer: list order and positioning, the bar and focus order, the
// check before a modification, sorting by the marked column, deletion inside the open unit of work,
// and what the viewer shows.
#include "documentfixture.h"
#include "dbgrid.h"
#include "registerlist.h"

#include <QHeaderView>
#include <QSignalSpy>
#include <QTabWidget>

class TestDocumentRegister : public DocumentTest {
    Q_OBJECT

    QString keyOf(const QString& number)
    {
        return committed(QStringLiteral("SELECT bkod FROM bizmozg WHERE bbszam = '%1'").arg(number))
            .value(0)
            .value(0);
    }

private slots:
    void initTestCase() { initTestLocale(); }
    void init() { startDocuments(); }
    void cleanup() { endTest(); }

    void opensInTextOrderOnTheLastSavedLine_data()
    {
        QTest::addColumn<QString>("keyOfNumber");   // CurrentDocumentKey is this line's BKOD; empty: none
        QTest::addColumn<QString>("current");
        QTest::newRow("no key") << ""
                                << "10";
        QTest::newRow("key of line 12") << "12"
                                        << "12";
    }

    void opensInTextOrderOnTheLastSavedLine()
    {
        QFETCH(QString, keyOfNumber);
        QFETCH(QString, current);
        shared().CurrentDocumentKey = keyOfNumber.isEmpty() ? QString() : keyOf(keyOfNumber);
        inRegister([&](TForm17& form) {
            QCOMPARE(form.windowTitle(), QStringLiteral("Bizonylat"));
            QCOMPARE(form.PageControl1->tabText(0), QStringLiteral("Bizonylat"));
            QCOMPARE(columnValues(*Data->ZQ10, "BBSZAM"), (QStringList{"10", "11", "12", "9"}));
            QCOMPARE(currentValue(*Data->ZQ10, "BBSZAM"), current);
            // The joined item and partner columns are there for the grid's neighbours.
            QCOMPARE(currentValue(*Data->ZQ10, "CMEGN"),
                     current == "10" ? QStringLiteral("alma") : QStringLiteral("Zab"));
        });
    }

    void buttonsInBarOrderAndFocusOrder()
    {
        inRegister([&](TForm17& form) {
            QStringList bar;
            for (QPushButton* b : {form.Button2, form.Button3, form.Button4, form.Button1, form.Button5})
                bar << b->text();
            QCOMPARE(bar, (QStringList{"Új", "Módosít", "Töröl", "Megtekint", "Mégsem"}));
            QVERIFY(form.Button2->x() < form.Button3->x() && form.Button3->x() < form.Button4->x() &&
                    form.Button4->x() < form.Button1->x() && form.Button1->x() < form.Button5->x());
            QStringList focus;
            QWidget* w = form.Button2;
            for (int i = 0; i < 5; ++i) {
                focus << static_cast<QPushButton*>(w)->text();
                do
                    w = w->nextInFocusChain();
                while (!qobject_cast<QPushButton*>(w) || w->parentWidget() != &form);
            }
            QCOMPARE(focus, (QStringList{"Új", "Módosít", "Mégsem", "Megtekint", "Töröl"}));
        });
    }

    void checkBeforeModificationOnlyWarns_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<bool>("warned");
        QTest::newRow("earlier line of the item") << "9" << false << true;
        QTest::newRow("last line of the item") << "10" << false << false;
        QTest::newRow("M on the button skips the check") << "9" << true << false;
    }

    void checkBeforeModificationOnlyWarns()
    {
        QFETCH(QString, number);
        QFETCH(bool, byKey);
        QFETCH(bool, warned);
        inRegister([&](TForm17& form) {
            Data->ZQ10->locate(QStringLiteral("BBSZAM"), number);
            QString loaded;
            nextRun<TForm18>([&](TForm18& line) { loaded = line.Edit32->text(); });
            if (byKey)
                QTest::keyClick(form.Button3, 'm');
            else
                QTest::mouseClick(form.Button3, Qt::LeftButton);
            QCOMPARE(loaded, number);
        });
        QCOMPARE(platform->messageTexts(),
                 warned ? QStringList{"A cikkre ezen biz.dátum után már van könyvelve!"} : QStringList());
        if (warned)
            QCOMPARE(platform->messages[0].kind, ScriptedPlatform::MessageKind::ConfirmYesOnly);
    }

    // Marking "Dátum" and clicking the "Szöveg" title sorts by date; the viewer and the loader still
    // find every field they show.
    void sortByMarkedColumnKeepsEveryColumn()
    {
        inRegister([&](TForm17& form) {
            form.DBGrid1->setMarkedColumn(3);
            emit form.DBGrid1->horizontalHeader()->sectionClicked(8);
            QCOMPARE(columnValues(*Data->ZQ10, "BBSZAM"), (QStringList{"9", "11", "12", "10"}));
            QCOMPARE(form.Label18->text(),
                     QStringLiteral("Sorrend: Oszlop megjelölés és klikk az oszlop fejlécre"));
            Data->ZQ10->first();
            nextRun<TForm28>([](TForm28& viewer) {
                QCOMPARE((QStringList{viewer.Edit32->text(), viewer.Edit4->text(), viewer.Edit7->text(),
                                      viewer.Edit22->text(), viewer.Edit23->text(), viewer.Edit9->text()}),
                         (QStringList{"9", "T-B", "", "2", "20", "Barack"}));
            });
            QTest::mouseClick(form.Button1, Qt::LeftButton);
            nextRun<TForm18>([](TForm18& line) {
                QCOMPARE((QStringList{line.Edit32->text(), line.Edit10->text(), line.Edit13->text(),
                                      line.Edit22->text()}),
                         (QStringList{"9", "101", "1", "2"}));
            });
            QTest::keyClick(form.Button3, 'J');
        });
        QCOMPARE(platform->messageTexts(), QStringList());
        QCOMPARE(platform->shownDialogs, (QStringList{"Form17", "Form28", "Form18"}));
    }

    // A saved change shows the line's new values where it stands, read again by its key, when it cannot
    // have moved in the list's order; a change of the sorted column reads the list again in number
    // order, on the changed line.
    void savedChangeStaysInPlace_data()
    {
        QTest::addColumn<int>("markedColumn");   // sorted by this grid column first; -1: as opened
        QTest::addColumn<QString>("date");       // the changed line's new date; empty: kept
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("as opened") << -1 << "" << true << QStringList{"10", "11", "12", "9"};
        QTest::newRow("sorted by date") << 3 << "" << true << QStringList{"9", "11", "12", "10"};
        QTest::newRow("sorted by date, other date")
            << 3 << "2026.03.01" << false << QStringList{"10", "11", "12", "9"};
        QTest::newRow("sorted by number, other date")
            << 0 << "2026.03.01" << true << QStringList{"10", "11", "12", "9"};
    }

    void savedChangeStaysInPlace()
    {
        QFETCH(int, markedColumn);
        QFETCH(QString, date);
        QFETCH(bool, inPlace);
        QFETCH(QStringList, order);
        inRegister([&](TForm17& form) {
            if (markedColumn >= 0) {
                form.DBGrid1->setMarkedColumn(markedColumn);
                emit form.DBGrid1->horizontalHeader()->sectionClicked(8);
            }
            const QString sql = Data->ZQ10->sql();
            Data->ZQ10->locate(QStringLiteral("BBSZAM"), QStringLiteral("12"));
            QSignalSpy closed(Data->ZQ10, &Dataset::closed);
            inLineForm(form, true, [&](TForm18& line) {
                leave(line.Edit2);
                line.Edit7->setText(QStringLiteral("javítva"));
                if (!date.isEmpty())
                    line.Edit1->setText(date);
                line.Button3->click();
            });
            QCOMPARE(closed.count(), inPlace ? 0 : 1);
            QCOMPARE(Data->ZQ10->sql(), inPlace ? sql : RegisterList::plainListSql());
            QCOMPARE(currentValue(*Data->ZQ10, "BBSZAM"), QStringLiteral("12"));
            QCOMPARE(currentValue(*Data->ZQ10, "BMEGJEGY"), QStringLiteral("javítva"));
            QCOMPARE(currentValue(*Data->ZQ10, "BBIZDATUM"),
                     date.isEmpty() ? QStringLiteral("2026.01.12") : date);
            QCOMPARE(columnValues(*Data->ZQ10, "BBSZAM"), order);
            QCOMPARE(form.Label18->text(),
                     markedColumn == 3 && inPlace
                         ? QStringLiteral("Sorrend: Oszlop megjelölés és klikk az oszlop fejlécre")
                         : QStringLiteral("A lista, \"Bizonylat\" szerint"));
        });
        QCOMPARE(platform->messageTexts(), QStringList());
        QCOMPARE(committed(QStringLiteral("SELECT bmegjegy FROM bizmozg WHERE bbszam = '12'")),
                 (QList<QStringList>{{"javítva"}}));
    }

    void deleteAsksFirst_data()
    {
        QTest::addColumn<bool>("emptyList");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("numbers");   // committed at the end of the run
        const QString question = QStringLiteral("Biztosan törli a(z) 12 számú bizonylatot?");
        QTest::newRow("Nem") << false << false << QStringList{question} << QStringList{"10", "11", "12", "9"};
        QTest::newRow("Igen") << false << true << QStringList{question, "A bizonylat törlölve!"}
                              << QStringList{"10", "11", "9"};
        QTest::newRow("empty list")
            << true << false
            << QStringList{"Hiba: bizonylat DELETE törlésekor\rA lista üres: nincs törölhető bizonylat."}
            << QStringList();
    }

    // Only "Igen" deletes ("Nem" and Esc answer no alike here; the box itself is the platform's); after
    // "Nem" the list stays as it was, otherwise it is read again in number order.
    void deleteAsksFirst()
    {
        QFETCH(bool, emptyList);
        QFETCH(bool, answer);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, numbers);
        if (emptyList)
            db->exec({"DELETE FROM bizmozg"});
        inRegister([&](TForm17& form) {
            Data->ZQ10->locate(QStringLiteral("BBSZAM"), QStringLiteral("12"));
            if (!emptyList)
                platform->questionAnswers = {answer};
            QTest::mouseClick(form.Button4, Qt::LeftButton);
            QVERIFY(platform->questionAnswers.empty());
            QCOMPARE(platform->messageTexts(), messages);
            if (!emptyList)
                QCOMPARE(platform->messages.front().kind, ScriptedPlatform::MessageKind::Question);
            if (!emptyList && !answer) {
                QCOMPARE(Data->ZQ10->sql(), RegisterList::listSql());
                QCOMPARE(currentValue(*Data->ZQ10, "BBSZAM"), QStringLiteral("12"));
                return;
            }
            QCOMPARE(Data->ZQ10->sql(), QStringLiteral("SELECT * FROM bizmozg ORDER BY bbszam"));
            QCOMPARE(columnValues(*Data->ZQ10, "BBSZAM"), numbers);
            QCOMPARE(Data->ZQ10->currentRow(), emptyList ? -1 : 0);
        });
        delete Data;   // the end of the run commits what is open
        Data = nullptr;
        QStringList stored;
        for (const QStringList& row : committed(QStringLiteral("SELECT bbszam FROM bizmozg ORDER BY bbszam")))
            stored << row.value(0);
        QCOMPARE(stored, numbers);
    }

    // The deletion waits in the open unit of work: a failing save rolls it back, the end of the run
    // keeps it.
    void deletionFollowsTheUnitOfWork_data()
    {
        QTest::addColumn<bool>("failingSave");
        QTest::addColumn<int>("lines");
        QTest::newRow("rolled back by a failing save") << true << 4;
        QTest::newRow("kept by a clean exit") << false << 3;
    }

    void deletionFollowsTheUnitOfWork()
    {
        QFETCH(bool, failingSave);
        QFETCH(int, lines);
        inRegister([&](TForm17& form) {
            Data->ZQ10->locate(QStringLiteral("BBSZAM"), QStringLiteral("12"));
            platform->questionAnswers = {true};
            QTest::mouseClick(form.Button4, Qt::LeftButton);
            if (failingSave) {
                inLineForm(form, true, [](TForm18& line) {
                    leave(line.Edit2);
                    line.Edit26->setText(QStringLiteral("1,2,3"));
                    line.Button3->click();
                });
                QCOMPARE(platform->messageTexts().last().section('\r', 0, 0),
                         QStringLiteral("Hiba183: Módositás, Update a bizmozg-ban "));
                QCOMPARE(Data->ZQ10->recordCount(), 4);
            }
        });
        delete Data;   // the end of the run commits what is open
        Data = nullptr;
        QCOMPARE(lineCount(), lines);
    }

    void viewerShowsTheLineReadOnly_data()
    {
        QTest::addColumn<QString>("before");   // a statement run on the fixture first
        QTest::addColumn<QString>("number");
        QTest::addColumn<bool>("increase");
        QTest::addColumn<QStringList>(
            "shown");   // Edit2, Edit11, Edit3, Edit12, Edit8, Edit15, Edit9, Edit14, Edit21, Edit25
        QTest::newRow("increase") << ""
                                  << "9" << true
                                  << QStringList{"101",    "BES", "100",    "alma",
                                                 "Barack", "1",   "Barack", "Város 1 Fő utca 1.",
                                                 "10",     "0"};
        QTest::newRow("decrease") << ""
                                  << "10" << false << QStringList{"201", "ELA",  "100",      "alma", "Barack",
                                                                  "2",   "alma", "Város 2 ", "0",    "4"};
        QTest::newRow("partner removed")
            << ""
            << "11" << true << QStringList{"101", "BES", "200", "Abroncs", "alma", "99", "", "", "1", "0"};
        QTest::newRow("item removed")
            << "DELETE FROM cikk WHERE cszam = '200'"
            << "11" << true << QStringList{"101", "BES", "", "", "alma", "99", "", "", "1", "0"};
        QTest::newRow("empty list") << "DELETE FROM bizmozg"
                                    << "" << false << QStringList{"", "", "", "", "", "", "", "", "", ""};
    }

    void viewerShowsTheLineReadOnly()
    {
        QFETCH(QString, before);
        QFETCH(QString, number);
        QFETCH(bool, increase);
        QFETCH(QStringList, shown);
        if (!before.isEmpty())
            db->exec({before});
        inRegister([&](TForm17& form) {
            Data->ZQ10->locate(QStringLiteral("BBSZAM"), number);
            const int before = Data->ZQ10->currentRow();
            nextRun<TForm28>([&](TForm28& viewer) {
                QCOMPARE(viewer.windowTitle(), QStringLiteral("Bizonylat megtekintés"));
                QStringList values;
                for (QLineEdit* box :
                     {viewer.Edit2, viewer.Edit11, viewer.Edit3, viewer.Edit12, viewer.Edit8, viewer.Edit15,
                      viewer.Edit9, viewer.Edit14, viewer.Edit21, viewer.Edit25})
                    values << box->text();
                QCOMPARE(values, shown);
                QCOMPARE(viewer.Edit21->isVisibleTo(&viewer), increase);
                QCOMPARE(viewer.Edit25->isVisibleTo(&viewer), !increase);
                QVERIFY(!viewer.Edit17->isVisibleTo(&viewer));
                for (QLineEdit* box : viewer.allBoxes())
                    QVERIFY(box->isReadOnly() && box->isEnabled() && box->focusPolicy() != Qt::NoFocus);
                for (QPushButton* button : {viewer.Button1, viewer.Button2, viewer.Button4, viewer.Button5})
                    QVERIFY(!button->isEnabled());
                QTest::mouseClick(viewer.Button6, Qt::LeftButton);
                QVERIFY(!viewer.isVisible());
            });
            QTest::mouseClick(form.Button1, Qt::LeftButton);
            QCOMPARE(Data->ZQ10->currentRow(), before);
        });
        QCOMPARE(platform->messageTexts(), QStringList());
    }
};

QTEST_MAIN(TestDocumentRegister)
#include "tst_documentregister.moc"
