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
#include <QLabel>
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

const char* const topLevel[] = {"Belepes", "Adatbevitel", "Lista",   "Cikk",     "Partner",
                                "Raktar",  "Mozgasnem",   "Dolgozo", "Segedlet", "Kilep"};

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

// Shortcuts and access letters answer only in the active window.
void showActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
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
        QTest::newRow("3.0.0.0") << "3.0.0.0"
                                 << "3.0.0.0"
                                 << "Varnel -  Verzió: 3.00 2011-2013";
        QTest::newRow("file minor ignored") << "3.1.0.0"
                                            << "3.0.0.0"
                                            << "Varnel -  Verzió: 3.00 2011-2013";
        QTest::newRow("product minor") << "3.0.0.0"
                                       << "3.2.0.0"
                                       << "Varnel -  Verzió: 3.02 2011-2013";
        QTest::newRow("no version") << ""
                                    << ""
                                    << "Varnel -  Verzió:  2011-2013";
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
            splashFirst = d->objectName() == "AboutBox" && Data == nullptr && Form1 && !Form1->isVisible() &&
                          d->windowTitle() == QStringLiteral("Betöltés...");
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
        const QLocale other = systemDates == QStringLiteral("MM.dd.yyyy")
                                  ? QLocale(QLocale::Hungarian, QLocale::Hungary)
                                  : QLocale(QLocale::English, QLocale::UnitedStates);
        Formats::initialise(other);
        QVERIFY(Formats::shortDateFormat() != systemDates);
        start();
        QCOMPARE(Formats::shortDateFormat(), systemDates);
        QCOMPARE(Formats::thousandsSeparator(), systemThousands);
        QCOMPARE(Formats::formatAmount(1234.5, 2),
                 QStringLiteral("1") + systemThousands + QStringLiteral("234,50"));
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
                 QStringLiteral("Az adatbáziskezelöt nem találja.\rA program müködéséhez szükséges.\r"
                                "Adatbázis: %1\rA fájl nem található.")
                     .arg(QDir::toNativeSeparators(db->folder() + "/NINCS.FDB")));
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
                 QStringLiteral("Az adatbáziskezelöt nem találja.\rA program müködéséhez szükséges.\r"
                                "Adatbázis: %1\rA fájl nem található.")
                     .arg(QDir::toNativeSeparators(db->folder() + "/NINCS.FDB")));
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
        QTest::addColumn<int>("pick");   // -1: "Mégsem" at once
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("byMouse");
        QTest::newRow("cancel takes the last") << QStringList{"Kiss Anna", "Nagy Béla"} << -1 << "2"
                                               << "Varnel - Nagy Béla  2011-2013" << false;
        QTest::newRow("chosen with Enter") << QStringList{"Kiss Anna", "Nagy Béla"} << 0 << "1"
                                           << "Varnel - Kiss Anna  2011-2013" << false;
        QTest::newRow("chosen with the mouse")
            << QStringList{"Kiss Anna", "Nagy Béla", "Tóth Csaba"} << 1 << "2"
            << "Varnel - Nagy Béla  2011-2013" << true;
        QTest::newRow("long name cut to 25")
            << QStringList{"Szentgyörgyvölgyi-Kőhalmi Erzsébet", "Kiss Anna"} << 0 << "1"
            << "Varnel - Szentgyörgyvölgyi-Kőhalmi  2011-2013" << false;
        QTest::newRow("empty table") << QStringList{} << -1 << ""
                                     << "Varnel -   2011-2013" << false;
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
            inserts << QStringLiteral("INSERT INTO dolgozo (dkod, dnev) VALUES ('%1', '%2')")
                           .arg(i + 1)
                           .arg(names[i]);
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

    // Each menu's access letters: one per item, none twice in the same menu, and the keys reach every
    // command (Alt and the bar item's letter, then the command's letter in the open menu).
    void menuAccessLetters_data()
    {
        QTest::addColumn<QString>("menu");   // empty: the menu bar
        QTest::newRow("menu bar") << QString();
        QTest::newRow("Belépés") << "Belepes";
        QTest::newRow("Listák") << "Lista";
        QTest::newRow("Segédlet") << "Segedlet";
    }

    void menuAccessLetters()
    {
        QFETCH(QString, menu);
        start();
        form->unlockMenu();
        showActive(*form);
        QAction* menuItem = menu.isEmpty() ? nullptr : form->item(menu);
        const QList<QAction*> actions = menuItem ? menuItem->menu()->actions() : form->topLevelItems();
        QStringList letters;
        QStringList commands;
        for (QAction* action : actions) {
            if (action->isSeparator())
                continue;
            const QKeySequence mnemonic = QKeySequence::mnemonic(action->text());
            QVERIFY2(!mnemonic.isEmpty(), qPrintable(action->objectName()));
            const QString letter = mnemonic.toString().section(QLatin1Char('+'), -1).toUpper();
            QVERIFY2(!letters.contains(letter), qPrintable(action->objectName() + " " + letter));
            letters << letter;
            // The caption itself reads as before.
            QVERIFY(!TForm1::caption(action).contains(QLatin1Char('&')));
            if (!action->menu() && action->isVisible())
                commands << action->objectName();
        }
        QStringList ran;
        for (const QString& name : commands)
            form->setCommand(name, [&ran, name] { ran << name; });
        for (const QString& name : commands) {
            QAction* action = form->item(name);
            if (menuItem) {
                QTest::keySequence(form.get(), QKeySequence::mnemonic(menuItem->text()));
                QMenu* opened = menuItem->menu();
                QTRY_VERIFY(opened->isVisible());
                const QKeySequence key = QKeySequence::mnemonic(action->text());
                QTest::keyClick(opened, key[0].key());
                QTRY_VERIFY(!opened->isVisible());
            } else {
                QTest::keySequence(form.get(), QKeySequence::mnemonic(action->text()));
            }
        }
        QCOMPARE(ran, commands);
    }

    // The keys of every working day open the register and the item card from the main window, and a new
    // line from the register; none of them is a key Qt gives another meaning.
    void shortcutsOpenTheirForms_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("formName");
        QTest::newRow("register") << "Adatbevitel"
                                  << "Form17";
        QTest::newRow("item card") << "Cikkkarton1"
                                   << "Form27";
    }

    void shortcutsOpenTheirForms()
    {
        QFETCH(QString, command);
        QFETCH(QString, formName);
        db->exec({"INSERT INTO dolgozo (dkod, dnev) VALUES ('1', 'Kiss Anna')"});
        start();
        showActive(*form);
        const QKeySequence key = form->item(command)->statusTip().section(QLatin1Char('('), -1).chopped(1);
        // The menu is locked until the employee is chosen, and so are its keys.
        QTest::keySequence(form.get(), key);
        QVERIFY(platform->shownDialogs.isEmpty() || platform->shownDialogs.last() != formName);
        selectEmployee([](TForm4& f) { f.Button2->click(); });
        showActive(*form);
        QAction* action = form->item(command);
        QCOMPARE(action->shortcut(), key);
        QVERIFY(!key.isEmpty());
        QVERIFY(key[0].key() != Qt::Key_Return && key[0].key() != Qt::Key_Enter &&
                key[0].key() != Qt::Key_Tab);
        for (int standard = QKeySequence::HelpContents; standard <= QKeySequence::Cancel; ++standard)
            QVERIFY2(!QKeySequence::keyBindings(QKeySequence::StandardKey(standard)).contains(key),
                     qPrintable(key.toString()));
        // Shown where the item is: beside it in a menu, in the hint on the menu bar.
        if (form->topLevelItems().contains(action))
            QVERIFY(action->statusTip().contains(key.toString(QKeySequence::NativeText)));
        QString newLineHint;
        platform->shownDialogs.clear();
        platform->modalRuns.push_back([&](QDialog* d) {
            if (d->objectName() == QStringLiteral("Form17")) {
                newLineHint = d->findChild<QPushButton*>("Button2")->toolTip();
                d->activateWindow();
                if (QTest::qWaitForWindowActive(d)) {
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
                    // A button's key presses it as a click does, after the pressed look has shown.
                    (void)QTest::qWaitFor([&] { return platform->shownDialogs.size() > 1; }, 2000);
                }
            }
            return int(QDialog::Rejected);
        });
        QTest::keySequence(form.get(), key);
        QCOMPARE(platform->shownDialogs.value(0), formName);
        if (formName == QStringLiteral("Form17")) {
            // Ctrl+N in the register, shown in its button's hint, opens the line form for a new line.
            QCOMPARE(platform->shownDialogs.value(1), QStringLiteral("Form18"));
            QVERIFY2(newLineHint.contains(QKeySequence(QKeySequence::New).toString(QKeySequence::NativeText)),
                     qPrintable(newLineHint));
        } else {
            QCOMPARE(platform->shownDialogs.size(), 1);
        }
    }

    // Enter in the selection answers "Kiválaszt" (after the drop-down has taken its own Enter).
    void enterPicksInTheEmployeeSelection()
    {
        db->exec({"INSERT INTO dolgozo (dkod, dnev) VALUES ('1', 'Kiss Anna')",
                  "INSERT INTO dolgozo (dkod, dnev) VALUES ('2', 'Nagy Béla')"});
        start();
        int result = -1;
        bool closedByEnter = false;
        selectEmployee([&](TForm4& f) {
            pickFromPopup(*f.DBLookupComboBox1, 0, false);
            QVERIFY(f.isVisible());
            QTest::keyClick(f.DBLookupComboBox1, Qt::Key_Return);
            closedByEnter = !f.isVisible();
            result = f.result();
        });
        QVERIFY(closedByEnter);
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(shared().CurrentEmployeeCode, QStringLiteral("1"));
    }

    // A first start on an empty database says how to go on; with employees the selection says nothing more.
    void emptyEmployeeListLeadsTheUser_data()
    {
        QTest::addColumn<bool>("withEmployee");
        QTest::newRow("empty") << false;
        QTest::newRow("with an employee") << true;
    }

    void emptyEmployeeListLeadsTheUser()
    {
        QFETCH(bool, withEmployee);
        if (withEmployee)
            db->exec({"INSERT INTO dolgozo (dkod, dnev) VALUES ('1', 'Kiss Anna')"});
        start();
        bool shown = false;
        QString text;
        selectEmployee([&](TForm4& f) {
            shown = f.Label1->isVisible();
            text = f.Label1->text();
        });
        QCOMPARE(shown, !withEmployee);
        for (const char* name : {"„Dolgozó”", "„Belépés”", "„Kiválaszt”", "„Mégsem”"})
            QVERIFY2(text.contains(QString::fromUtf8(name)), name);
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
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument,
                                 form->setCommand(QStringLiteral("Cikkarton1"), [] {}));
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
