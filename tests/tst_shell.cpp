// The application shell: start-up order, caption, database failure, menu lock, employee selection.
#include "data.h"
#include "dblookupcombobox.h"
#include "employeeselection.h"
#include "formats.h"
#include "mainwindow.h"
#include "scriptedplatform.h"
#include "sharedstate.h"
#include "splash.h"
#include "startup.h"
#include "termination.h"
#include "testdatabase.h"
#include "testsupport.h"
#include "version.h"
#include "yearopening.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTemporaryFile>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <unistd.h>

namespace {

const char* const topLevel[] = {"Belepes", "Adatbevitel", "Lista", "Cikk", "Partner", "Raktar",
                                "Mozgasnem", "Dolgozo", "Segedlet", "Kilep"};

// Chooses an entry the way a person does: opens the popup and takes the row with Enter or a click, so
// that Qt sends its signals in its own order (the popup hides before the choice is reported).
void pickFromPopup(QComboBox& combo, int row, bool byMouse)
{
    combo.setFocus();
    combo.showPopup();
    QAbstractItemView* view = combo.view();
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    const QModelIndex index = combo.model()->index(row, 0);
    view->setCurrentIndex(index);
    if (byMouse) {
        // A release that follows the opening too closely is taken as the end of the opening click.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
    } else {
        QTest::keyClick(view, Qt::Key_Return);
    }
    QVERIFY(!view->isVisible());
}

QStringList enabledTopLevel(const TForm1& form)
{
    QStringList names;
    for (QAction* a : form.topLevelItems())
        if (a->isEnabled())
            names << a->objectName();
    return names;
}

}

class TestShell : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    ScriptedPlatform* platform = nullptr;
    std::unique_ptr<TForm1> form;

    // Start-up over the test database; the splash's modal run is answered at once.
    void start()
    {
        platform->modalRuns.push_back([](QDialog*) { return int(QDialog::Accepted); });
        form = startUp({db->path()});
        QVERIFY(form);
    }

    // Opens the employee selection from the menu; `act` plays the person.
    void selectEmployee(std::function<void(TForm4&)> act)
    {
        platform->addRun<TForm4>(act);
        form->item("Vlaszts1")->trigger();
    }

private slots:
    void initTestCase() { initTestLocale(); }

    void init()
    {
        platform = &ScriptedPlatform::install();
        db = std::make_unique<TestDatabase>();
        shared() = SharedState();
    }

    void cleanup()
    {
        verifyScriptUsed(*platform);
        form.reset();
        Form1 = nullptr;
        delete Data;
        Data = nullptr;
        db.reset();
    }

    void versionTextOfTheCaption_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("caption");
        QTest::newRow("3.0.0.0") << "3.0.0.0" << "3.0.0.0" << "Varnel -  Verzió: 3.00 2011-2013";
        QTest::newRow("file minor ignored") << "3.1.0.0" << "3.0.0.0" << "Varnel -  Verzió: 3.00 2011-2013";
        QTest::newRow("product minor") << "3.0.0.0" << "3.2.0.0" << "Varnel -  Verzió: 3.02 2011-2013";
        QTest::newRow("no version") << "" << "" << "Varnel -  Verzió:  2011-2013";
    }

    void versionTextOfTheCaption()
    {
        QFETCH(QString, file);
        QFETCH(QString, product);
        QFETCH(QString, caption);
        QCOMPARE(mainCaption(versionText(file, product)), caption);
    }

    void startUpShowsSplashBeforeConnecting()
    {
        bool splashFirst = false;
        platform->modalRuns.push_back([&](QDialog* d) {
            // Nothing else has happened yet: no data module, no main window on screen.
            splashFirst = d->objectName() == "AboutBox" && Data == nullptr && Form1 && !Form1->isVisible()
                && d->windowTitle() == QStringLiteral("Betöltés...");
            return int(QDialog::Accepted);
        });
        form = startUp({db->path()});
        QVERIFY(form);
        QVERIFY(splashFirst);
        QCOMPARE(platform->shownDialogs, QStringList{"AboutBox"});
        QVERIFY(Data && Data->ZCon1.isConnected());
        for (Table* t : Data->tables())
            QVERIFY(t->isOpen());
        QCOMPARE(form->windowTitle(), mainCaption(versionText(builtFileVersion(), builtProductVersion())));
        QCOMPARE(form->windowTitle(), QStringLiteral("Varnel -  Verzió: 3.00 2011-2013"));
        QCOMPARE(form->size(), QSize(634, 211));
        QVERIFY(platform->messages.empty());
    }

    void splashClosesItselfAfterThreeSeconds()
    {
        // Start-up's own splash, left alone: it must close by itself before anything else happens.
        bool closedByItself = false;
        platform->addRun<TAboutBox>([&](TAboutBox& shown) {
            TAboutBox* splash = &shown;
            [&] {
                QCOMPARE(splash->Timer1->interval(), 3000);
                QVERIFY(splash->Timer1->isSingleShot());
                QCOMPARE(splash->size(), QSize(431, 305));
                QVERIFY(splash->isVisible());
                QVERIFY(!Data);
                QTRY_VERIFY_WITH_TIMEOUT(!splash->isVisible(), 10000);
                closedByItself = splash->result() == QDialog::Accepted;
            }();
        });
        form = startUp({db->path()});
        QVERIFY(closedByItself);
        QVERIFY(form);
        QVERIFY(!AboutBox);
    }

    void startUpSetsTheSeparatorsFromTheSystem()
    {
        Formats::initialise(QLocale::system());
        const QString systemDates = Formats::shortDateFormat();
        const QChar systemThousands = Formats::thousandsSeparator();
        // Anything else beforehand, so that only start-up can bring the system's settings back.
        const QLocale other = systemDates == QStringLiteral("MM.dd.yyyy") ? QLocale(QLocale::Hungarian, QLocale::Hungary)
                                                                          : QLocale(QLocale::English, QLocale::UnitedStates);
        Formats::initialise(other);
        QVERIFY(Formats::shortDateFormat() != systemDates);
        start();
        QCOMPARE(Formats::shortDateFormat(), systemDates);
        QCOMPARE(Formats::thousandsSeparator(), systemThousands);
        QCOMPARE(Formats::formatAmount(1234.5, 2), QStringLiteral("1") + systemThousands + QStringLiteral("234,50"));
        initTestLocale();
    }

    void databaseFailureReasonGoesToStandardError()
    {
        // Standard error into a file for the length of the start-up.
        QTemporaryFile capture;
        QVERIFY(capture.open());
        std::fflush(stderr);
        const int saved = ::dup(STDERR_FILENO);
        ::dup2(capture.handle(), STDERR_FILENO);
        platform->modalRuns.push_back([](QDialog*) { return int(QDialog::Accepted); });
        form = startUp({db->folder() + "/NINCS.FDB"});
        std::fflush(stderr);
        ::dup2(saved, STDERR_FILENO);
        ::close(saved);
        QVERIFY(!form);
        QCOMPARE(platform->messages.size(), size_t(1));
        QCOMPARE(platform->messages[0].text,
                 QStringLiteral("Az adatbáziskezelöt nem találja.\rA program müködéséhez szükséges."));
        capture.seek(0);
        const QString written = QString::fromUtf8(capture.readAll());
        QVERIFY2(written.startsWith(QStringLiteral("Varnel: ")), qPrintable(written));
        QVERIFY2(written.contains(QStringLiteral("NINCS.FDB")), qPrintable(written));
    }

    void missingDatabaseEndsTheProgram()
    {
        platform->modalRuns.push_back([](QDialog*) { return int(QDialog::Accepted); });
        form = startUp({db->folder() + "/NINCS.FDB"});
        QVERIFY(!form);
        QVERIFY(!Data);
        QVERIFY(!Form1);
        QCOMPARE(platform->messages.size(), size_t(1));
        QCOMPARE(platform->messages[0].kind, ScriptedPlatform::MessageKind::ConfirmYesOnly);
        QCOMPARE(platform->messages[0].text,
                 QStringLiteral("Az adatbáziskezelöt nem találja.\rA program müködéséhez szükséges."));
    }

    void menuIsLockedUntilAnEmployeeIsChosen()
    {
        db->exec({"INSERT INTO dolgozo (dkod, dnev) VALUES ('1', 'Kiss Anna')"});
        start();
        QCOMPARE(enabledTopLevel(*form), (QStringList{"Belepes", "Kilep"}));
        QStringList order;
        for (QAction* a : form->topLevelItems())
            order << a->objectName();
        QCOMPARE(order, QStringList(std::begin(topLevel), std::end(topLevel)));
        selectEmployee([](TForm4& f) { f.Button2->click(); });
        QCOMPARE(enabledTopLevel(*form), QStringList(std::begin(topLevel), std::end(topLevel)));
        for (const char* hidden : {"Adatokexceltblba1", "Nyits1", "N1"})
            QVERIFY2(!form->item(hidden)->isVisible(), hidden);
        QVERIFY(!form->item("Adatokexceltblba1")->isEnabled());
        QVERIFY(form->item("N2")->isVisible() && form->item("N2")->isSeparator());
    }

    void employeeSelection_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("pick");          // -1: "Mégsem" at once
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("byMouse");
        QTest::newRow("cancel takes the last")
            << QStringList{"Kiss Anna", "Nagy Béla"} << -1 << "2" << "Varnel - Nagy Béla  2011-2013" << false;
        QTest::newRow("chosen with Enter") << QStringList{"Kiss Anna", "Nagy Béla"} << 0 << "1"
                                           << "Varnel - Kiss Anna  2011-2013" << false;
        QTest::newRow("chosen with the mouse") << QStringList{"Kiss Anna", "Nagy Béla", "Tóth Csaba"} << 1 << "2"
                                               << "Varnel - Nagy Béla  2011-2013" << true;
        QTest::newRow("long name cut to 25")
            << QStringList{"Szentgyörgyvölgyi-Kőhalmi Erzsébet", "Kiss Anna"} << 0 << "1"
            << "Varnel - Szentgyörgyvölgyi-Kőhalmi  2011-2013" << false;
        QTest::newRow("empty table") << QStringList{} << -1 << "" << "Varnel -   2011-2013" << false;
    }

    void employeeSelection()
    {
        QFETCH(QStringList, names);
        QFETCH(int, pick);
        QFETCH(QString, code);
        QFETCH(QString, caption);
        QFETCH(bool, byMouse);
        QStringList inserts;
        for (int i = 0; i < names.size(); ++i)
            inserts << QStringLiteral("INSERT INTO dolgozo (dkod, dnev) VALUES ('%1', '%2')").arg(i + 1).arg(names[i]);
        if (!inserts.isEmpty())
            db->exec(inserts);
        start();
        QString titleWhileOpen;
        selectEmployee([&](TForm4& f) {
            if (pick >= 0) {
                pickFromPopup(*f.DBLookupComboBox1, pick, byMouse);
                titleWhileOpen = f.windowTitle();
                f.Button2->click();
            } else {
                f.Button3->click();
            }
        });
        QCOMPARE(shared().CurrentEmployeeCode, code);
        QCOMPARE(shared().CurrentCaption, caption);
        QCOMPARE(form->windowTitle(), caption);
        if (pick >= 0)
            QCOMPARE(titleWhileOpen, caption);
        QVERIFY(form->item("Adatbevitel")->isEnabled());
    }

    void employeeTableIsReadAgainAfterACommit()
    {
        db->exec({"INSERT INTO dolgozo (dkod, dnev) VALUES ('1', 'Kiss Anna')"});
        start();
        Data->IBTrans1.commit();   // closes every dataset, as any save does
        selectEmployee([](TForm4& f) { f.Button2->click(); });
        QCOMPARE(shared().CurrentEmployeeCode, QStringLiteral("1"));
    }

    void yearOpeningNotesAreOnlyShown()
    {
        start();
        QString text;
        platform->modalRuns.push_back([&](QDialog* d) {
            auto* memo = d->findChild<QPlainTextEdit*>("Memo1");
            memo->appendPlainText("-- saját megjegyzés");
            text = memo->toPlainText();
            return int(QDialog::Accepted);
        });
        form->item("Nyits1")->trigger();
        QVERIFY(text.contains("DELETE FROM bizmozg"));
        QVERIFY(text.contains("Nyitó tétel egyenlege"));
        QVERIFY(text.contains("20129000"));
        QCOMPARE(platform->shownDialogs.last(), QStringLiteral("Form33"));
        TForm33 again;
        QCOMPARE(again.Memo1->toPlainText(), TForm33::notes());
        QCOMPARE(again.windowTitle(), QStringLiteral("Év nyitás"));
    }

    // Every name start-up gives a command to is on the menu; a misspelt one is refused rather than left
    // as an item that does nothing.
    void unknownMenuCommandIsRefused()
    {
        start();
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, form->setCommand(QStringLiteral("Cikkarton1"), [] {}));
        bool ran = false;
        form->setCommand(QStringLiteral("Cikkkarton1"), [&ran] { ran = true; });
        form->item("Cikkkarton1")->trigger();
        QVERIFY(ran);
    }

    // A SIGTERM (logout, kill) closes the main window as "Kilépés" does, and the end of the run then
    // commits the work still open: here a deletion waiting in the unit of work, as the register leaves it.
    void terminationSignalClosesTheWindowAndKeepsTheWork()
    {
        db->exec({"INSERT INTO partner (pkod, pnev) VALUES ('1', 'Barack')"});
        start();
        closeOnTerminationSignals(form.get());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        Query remove(Data->IBTrans1);
        remove.setSql(QStringLiteral("DELETE FROM partner WHERE pkod = '1'"));
        remove.execute();
        const QString count = QStringLiteral("SELECT count(*) FROM partner");
        QCOMPARE(storedRows(*db, count), Rows{{"1"}});

        QCOMPARE(::kill(::getpid(), SIGTERM), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!form->isVisible(), 5000);
        QVERIFY(Data->IBTrans1.isActive());
        // What the program does once its window has closed.
        form.reset();
        Form1 = nullptr;
        delete Data;
        Data = nullptr;
        QCOMPARE(storedRows(*db, count), Rows{{"0"}});
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
