// The item number change: picking items by number or name, collecting the lines of the old item, and
// moving only the checked ones with their memo.
#include "itemnumberchange.h"
#include "modalform.h"
#include "masterfixture.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

class TestItemNumberChange : public MasterTest {
    Q_OBJECT

    Rows stored(const QString& sql) { return storedRows(*db, sql); }

    static QStringList entries(const QListWidget& list)
    {
        QStringList texts;
        for (int i = 0; i < list.count(); ++i)
            texts << list.item(i)->text();
        return texts;
    }

    // Picks through the item list as the person leaves it: standing where the lookup put it.
    void pick(TForm32& form, QPushButton* button)
    {
        platform->modalRuns.push_back([](QDialog*) { return int(QDialog::Accepted); });
        QTest::mouseClick(button, Qt::LeftButton);
    }

    void collect(TForm32& form, const QString& oldNumber)
    {
        form.Edit1->setText(oldNumber);
        QTest::mouseClick(form.Button6, Qt::LeftButton);
    }

private slots:
    void initTestCase() { initTestLocale(); }

    void init()
    {
        startTest();
        // Item 100 (code 2, batch T-B) is on lines 10, 9 and 11; item 200 on line 12.
        db->exec({"INSERT INTO bizmozg (bbszam, bcikkszam, bckod, btetel, bmemo) VALUES ('10', '100', '2', "
                  "'T-B', 'régi')",
                  "INSERT INTO bizmozg (bbszam, bcikkszam, bckod, btetel) VALUES ('9', '100', '2', 'T-B')",
                  "INSERT INTO bizmozg (bbszam, bcikkszam, bckod, btetel) VALUES ('11', '100', '2', 'T-X')",
                  "INSERT INTO bizmozg (bbszam, bcikkszam, bckod, btetel) VALUES ('12', '200', '3', 'T-A')"});
        connectData();
    }
    void cleanup() { endTest(); }

    // A typed text beginning below "A" looks the item up by number, anything else by name.
    void picking_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("number") << "3" << QStringList{"300", "Barack", "1", "T-C"};
        QTest::newRow("name") << "za" << QStringList{"400", "Zab", "10", "T-D"};
        QTest::newRow("punctuation counts as a number") << "-" << QStringList{"100", "alma", "2", "T-B"};
    }

    void picking()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, boxes);
        TForm32 form;
        form.Edit1->setText(typed);
        pick(form, form.Button4);
        QCOMPARE(
            (QStringList{form.Edit1->text(), form.Edit3->text(), form.Edit4->text(), form.Edit5->text()}),
            boxes);
        form.Edit2->setText(typed);
        pick(form, form.Button5);
        QCOMPARE(
            (QStringList{form.Edit2->text(), form.Edit6->text(), form.Edit7->text(), form.Edit8->text()}),
            boxes);
        QCOMPARE(platform->shownDialogs, (QStringList{"Form7", "Form7"}));
    }

    void onlyCheckedLinesMove()
    {
        TForm32 form;
        collect(form, "100");
        const QStringList collected{"10    Régi cikkszám: 100    Tételszám: T-B",
                                    "11    Régi cikkszám: 100    Tételszám: T-X",
                                    "9    Régi cikkszám: 100    Tételszám: T-B"};
        QCOMPARE(entries(*form.CheckListBox1), collected);

        form.Edit2->setText("4");
        pick(form, form.Button5);
        QTest::mouseClick(form.Button8, Qt::LeftButton);
        form.CheckListBox1->item(1)->setCheckState(Qt::Unchecked);
        QTest::mouseClick(form.Button1, Qt::LeftButton);

        QCOMPARE(platform->messageTexts(), QStringList{"A csere végrehajtva. "});
        QCOMPARE(form.CheckListBox1->count(), 0);
        QCOMPARE(stored("SELECT bbszam, bcikkszam, bckod, btetel, bmemo FROM bizmozg ORDER BY bbszam"),
                 (Rows{{"10", "400", "10", "T-D", "Csere elött:  " + collected[0]},
                       {"11", "100", "2", "T-X", ""},
                       {"12", "200", "3", "T-A", ""},
                       {"9", "400", "10", "T-D", "Csere elött:  " + collected[2]}}));

        // Collecting again shows only what was left behind.
        collect(form, "100");
        QCOMPARE(entries(*form.CheckListBox1), QStringList{collected[1]});
    }

    void nothingChecked()
    {
        TForm32 form;
        collect(form, "100");
        form.Edit2->setText("4");
        pick(form, form.Button5);
        QTest::mouseClick(form.Button8, Qt::LeftButton);
        QTest::mouseClick(form.Button3, Qt::LeftButton);
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QCOMPARE(platform->messageTexts(), QStringList{"A csere végrehajtva. "});
        QCOMPARE(stored("SELECT count(*) FROM bizmozg WHERE bcikkszam = '100' AND bmemo IS NULL"),
                 Rows{{"2"}});
    }

    void refusals()
    {
        TForm32 form;
        QTest::mouseClick(form.Button6, Qt::LeftButton);
        collect(form, "100");
        QTest::mouseClick(form.Button8, Qt::LeftButton);
        form.Edit2->setText("999");   // typed, and no item has it
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QCOMPARE(platform->messageTexts(), (QStringList{"Hiba ! Régi cikkszám nincs megadva. ",
                                                        "Hiba ! Új cikkszám nincs kiválasztva. "}));
        QCOMPARE(form.CheckListBox1->count(), 3);
        QCOMPARE(stored("SELECT count(*) FROM bizmozg WHERE bcikkszam = '100'"), Rows{{"3"}});
    }

    // The lines always get one item: a number typed over the picked one (or typed alone) is looked up
    // as a pick finds it, and one that no item has refuses the change and changes nothing.
    void newItemIsOneItem_data()
    {
        QTest::addColumn<QString>("picked");      // typed before "Új cikkszám"; empty: no pick
        QTest::addColumn<QString>("typed");       // typed over the box afterwards; empty: left as picked
        QTest::addColumn<QStringList>("line");    // line 10 afterwards: number, code, batch; empty: unchanged
        QTest::addColumn<QStringList>("boxes");   // the new item's boxes afterwards
        const QStringList zab{"400", "10", "T-D"};
        const QStringList barack{"300", "1", "T-C"};
        QTest::newRow("picked") << "4"
                                << "" << zab << QStringList{"400", "Zab", "10", "T-D"};
        QTest::newRow("another number typed over the pick")
            << "4"
            << "300" << barack << QStringList{"300", "Barack", "1", "T-C"};
        QTest::newRow("typed without a pick") << ""
                                              << "300" << barack << QStringList{"300", "Barack", "1", "T-C"};
        QTest::newRow("a name typed over the pick")
            << "4"
            << "Barack" << barack << QStringList{"300", "Barack", "1", "T-C"};
        QTest::newRow("unknown number typed over the pick")
            << "4"
            << "30" << QStringList() << QStringList{"30", "", "", ""};
        QTest::newRow("unknown number typed alone")
            << ""
            << "999" << QStringList() << QStringList{"999", "", "", ""};
    }

    void newItemIsOneItem()
    {
        QFETCH(QString, picked);
        QFETCH(QString, typed);
        QFETCH(QStringList, line);
        QFETCH(QStringList, boxes);
        TForm32 form;
        collect(form, "100");
        form.CheckListBox1->item(0)->setCheckState(Qt::Checked);   // line 10
        if (!picked.isEmpty()) {
            form.Edit2->setText(picked);
            pick(form, form.Button5);
        }
        if (!typed.isEmpty()) {
            form.Edit2->selectAll();
            QTest::keyClicks(form.Edit2, typed);
        }
        QTest::mouseClick(form.Button1, Qt::LeftButton);

        QCOMPARE(
            platform->messageTexts(),
            QStringList{line.isEmpty() ? "Hiba ! Új cikkszám nincs kiválasztva. " : "A csere végrehajtva. "});
        QCOMPARE(
            (QStringList{form.Edit2->text(), form.Edit6->text(), form.Edit7->text(), form.Edit8->text()}),
            boxes);
        const QStringList before{"100", "2", "T-B"};
        QCOMPARE(stored("SELECT bcikkszam, bckod, btetel FROM bizmozg WHERE bbszam = '10'"),
                 Rows{line.isEmpty() ? before : line});
        QCOMPARE(stored("SELECT bbszam FROM bizmozg WHERE bcikkszam = '100' ORDER BY bbszam"),
                 (line.isEmpty() ? Rows{{"10"}, {"11"}, {"9"}} : Rows{{"11"}, {"9"}}));
        QCOMPARE(form.CheckListBox1->count(), line.isEmpty() ? 3 : 0);
    }

    void unknownItemNumberCollectsNothing()
    {
        TForm32 form;
        collect(form, "100");
        collect(form, "999");
        QCOMPARE(form.CheckListBox1->count(), 0);
        QVERIFY(platform->messageTexts().isEmpty());
    }
};

QTEST_MAIN(TestItemNumberChange)
#include "tst_itemnumberchange.moc"
