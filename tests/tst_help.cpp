// Help, remote support and about: the help document covers every menu command and opens on its table
// of topics, the three forms and the splash show their texts and start what they should, and the main
// menu opens every form of the maintenance commands.
#include "about.h"
#include "data.h"
#include "helpform.h"
#include "helpwindow.h"
#include "mainwindow.h"
#include "modalform.h"
#include "remote.h"
#include "scriptedplatform.h"
#include "testsupport.h"
#include "sharedstate.h"
#include "splash.h"
#include "startup.h"
#include "testdatabase.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTextBrowser>
#include <QTextBlock>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>

namespace {

const QString HelpFile = QStringLiteral(VARNEL_TEMPLATES_DIR "/VARNEL.HLP");

// Every command the menu shows, by name, with its caption.
QList<std::pair<QString, QString>> menuCommands(QWidget* menu)
{
    QList<std::pair<QString, QString>> commands;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || !action->isVisible())
            continue;
        if (action->menu())
            commands += menuCommands(action->menu());
        else
            commands << std::pair{action->objectName(), TForm1::caption(action)};
    }
    return commands;
}

// The help document and each of its topics (by id) as HTML.
QString helpDocument()
{
    QFile file(HelpFile);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString topic(const QString& html, const QString& id)
{
    const qsizetype start = html.indexOf(QStringLiteral("<h2 id=\"%1\">").arg(id));
    if (start < 0)
        return {};
    return html.mid(start, html.indexOf(QStringLiteral("<h2"), start + 1) - start);
}

QString plainText(QString html)
{
    html.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    return html.simplified();
}

// Every name a person reads on the form: captions of buttons, labels, boxes, tabs, the title.
QStringList formTexts(const QWidget* form)
{
    QStringList texts{form->windowTitle()};
    for (const QAbstractButton* button : form->findChildren<QAbstractButton*>())
        texts << button->text().remove(QLatin1Char('&')).trimmed() << button->accessibleName();
    // A label shows its text without the access letter's "&"; the help names a box by its label, without
    // the colon.
    for (const QLabel* label : form->findChildren<QLabel*>()) {
        QString text = label->text().remove(QLatin1Char('&')).trimmed();
        if (text.endsWith(QLatin1Char(':')))
            text.chop(1);
        texts << text << label->text().trimmed();
    }
    for (const QGroupBox* box : form->findChildren<QGroupBox*>())
        texts << box->title();
    for (const QTabWidget* tabs : form->findChildren<QTabWidget*>())
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i);
    return texts;
}

}

class TestHelp : public QObject {
    Q_OBJECT

    ScriptedPlatform* platform = nullptr;
    QTemporaryDir settingsFolder;

    template <class Form>
    void openForm(Form*& global, std::function<void(Form&)> act)
    {
        platform->addRun<Form>(act);
        runForm(global, nullptr);
    }

private slots:
    void initTestCase()
    {
        initTestLocale();
        // The help window keeps its place: never in the settings of the person running the tests.
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    }
    void init() { platform = &ScriptedPlatform::install(); }
    void cleanup() { verifyScriptUsed(*platform); }

    // One topic per menu command, reached from the table of topics under the command's caption; no link
    // of the document leads nowhere.
    void helpDocumentCoversEveryMenuCommand()
    {
        QFile file(HelpFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        QStringList ids;
        static const QRegularExpression idPattern(QStringLiteral("id=\"([^\"]+)\""));
        for (const auto& match : idPattern.globalMatch(html))
            ids << match.captured(1);
        QVERIFY(ids.contains("topics"));

        TForm1 form;
        const auto commands = menuCommands(form.MainMenu1);
        QCOMPARE(commands.size(), 23);
        for (const auto& [name, caption] : commands) {
            QVERIFY2(html.contains(QStringLiteral("<li><a href=\"#%1\">%2</a>").arg(name, caption)),
                     qPrintable(name));
            const QRegularExpression heading(QStringLiteral("<h2 id=\"%1\">([^<]*)</h2>").arg(name));
            const auto match = heading.match(html);
            QVERIFY2(match.hasMatch() && match.captured(1).endsWith(caption), qPrintable(name));
            // What it does and how to use it: more than a line of text before the next topic.
            QString topic =
                html.mid(match.capturedEnd(),
                         html.indexOf(QStringLiteral("<h2"), match.capturedEnd()) - match.capturedEnd());
            topic.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
            topic.remove(QStringLiteral("Vissza a tartalomhoz"));
            QVERIFY2(topic.simplified().size() > 200, qPrintable(name + ": too short"));
        }
        static const QRegularExpression linkPattern(QStringLiteral("href=\"#([^\"]+)\""));
        for (const auto& match : linkPattern.globalMatch(html))
            QVERIFY2(ids.contains(match.captured(1)), qPrintable(match.captured(1)));
    }

    void helpWindowShowsTheDocumentBesideItsForm()
    {
        QDialog form;
        QPointer<HelpWindow> window;
        QTimer::singleShot(0, &form, [&] {
            window = HelpWindow::shared();
            window->showDocument(HelpFile);
            form.reject();
        });
        form.exec();
        QVERIFY(window);
        // Opened from a modal form it belongs to that form, so that it is not blocked behind it.
        QCOMPARE(window->parentWidget(), &form);
        QVERIFY(window->isVisible());
        const QString text = window->browser()->toPlainText();
        QVERIFY(text.contains(QStringLiteral("Első lépések")));
        QVERIFY(text.contains(QStringLiteral("Tételszám tól-ig")));
        QCOMPARE(window->browser()->source(), QUrl::fromLocalFile(HelpFile));
        delete window;
    }

    void helpFormOpensTheHelpFile()
    {
        applicationHelpFile() = QStringLiteral("/varnel/VARNEL.HLP");
        QStringList captions;
        openForm<TForm29>(Form29, [&](TForm29& f) {
            captions << f.windowTitle() << f.Button1->text() << f.Button2->text() << f.Button3->text();
            f.Button1->click();
            f.Button2->click();
            QVERIFY(!f.isVisible());
        });
        QCOMPARE(captions, (QStringList{"Súgó", "Segitség", "Bezárás", "Mégsem"}));
        QCOMPARE(platform->helpFiles, QStringList{"/varnel/VARNEL.HLP"});
    }

    void remoteSupportStartsItsProgram_data()
    {
        QTest::addColumn<bool>("starts");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("started") << true << QStringList{};
        QTest::newRow("missing") << false << QStringList{"A(z) ShowMyPC3000.exe program nem indítható el."};
    }

    void remoteSupportStartsItsProgram()
    {
        QFETCH(bool, starts);
        QFETCH(QStringList, messages);
        platform->startAnswers = {starts};
        QStringList captions;
        openForm<TForm21>(Form21, [&](TForm21& f) {
            captions << f.windowTitle() << f.Button1->text() << f.Button2->text() << f.Button3->text();
            f.Button1->click();
            f.Button3->click();
            QVERIFY(!f.isVisible());
        });
        QCOMPARE(captions, (QStringList{"Távsegítség", "Program indítása", "Bezárás", "Mégsem"}));
        QCOMPARE(platform->startedPrograms.size(), size_t(1));
        QCOMPARE(platform->startedPrograms[0].program, QStringLiteral("ShowMyPC3000.exe"));
        QVERIFY(platform->startedPrograms[0].arguments.isEmpty());
        QCOMPARE(platform->messageTexts(), messages);
    }

    void aboutAndSplashTexts()
    {
        QStringList lines;
        bool readOnly = false;
        Qt::Alignment alignment;
        openForm<TForm23>(Form23, [&](TForm23& f) {
            QCOMPARE(f.windowTitle(), QStringLiteral("Névjegy"));
            QCOMPARE(f.Button1->text(), QStringLiteral("Mégsem"));
            lines = f.Memo1->toPlainText().split('\n');
            readOnly = f.Memo1->isReadOnly();
            alignment = f.Memo1->document()->firstBlock().blockFormat().alignment() |
                        f.Memo1->document()->defaultTextOption().alignment();
        });
        QCOMPARE(lines, (QStringList{"Varnel ", "2011-2013", "", "Kardos és Társa Szoftverház Bt.",
                                     "Programozó: Kardos Péter", "6722 Szeged, Petőfi Sándor sugárút 31.", "",
                                     "Tel./fax/üzenetrögzitö: +36 62 555 0142", "Mobil: +36 30 555 0187", "",
                                     "E-mail: varnel@kardossoft.example"}));
        QVERIFY(readOnly);
        QVERIFY(alignment & Qt::AlignHCenter);

        TAboutBox splash;
        const QList<std::pair<const char*, QString>> labels{
            {"Version", "Varnel nyilvántartó"},
            {"Label2", "2013."},
            {"Label3", "Készítette: Kardos és Társa Szoftverház Bt."},
            {"Label4", "Programozó: Kardos Péter"},
            {"Label5", "6722 Szeged, Petőfi Sándor sugárút 31."},
            {"Label6", "Telefon: +36 62 555 0142"},
            {"Label9", "Mobil: +36 30 555 0187"},
            {"Label7", "E-mail: varnel@kardossoft.example"},
            {"Label10", "www.kardossoft.example"}};
        for (const auto& [name, text] : labels) {
            auto* label = splash.findChild<QLabel*>(name);
            QVERIFY2(label && label->text() == text, name);
        }
    }

    // The first topic leads a first start on an empty database: employees first, then the selection.
    void firstTopicLeadsAFirstStart()
    {
        const QString html = helpDocument();
        static const QRegularExpression heading(QStringLiteral("<h2 id=\"([^\"]+)\""));
        QStringList order;
        for (const auto& match : heading.globalMatch(html))
            order << match.captured(1);
        QCOMPARE(order.mid(0, 2), (QStringList{"topics", "kezdes"}));
        const QString first = plainText(topic(html, QStringLiteral("kezdes")));
        for (const char* words :
             {"üres adatbázis", "a dolgozók listája még üres", "Mégsem",
              "vegye fel a dolgozókat a Dolgozó menüpontban", "Belépés › Dolgozó", "Kiválaszt"})
            QVERIFY2(first.contains(QString::fromUtf8(words)), words);
    }

    // A name the help sets in bold is one the program shows: on the topic's own form (or the form it
    // opens), on the menu, or a key.
    void helpNamesWhatTheProgramShows()
    {
        const QString html = helpDocument();
        TestDatabase db;
        platform->modalRuns.push_back([](QDialog*) { return int(QDialog::Accepted); });   // the splash
        std::unique_ptr<TForm1> form = startUp({db.path()});
        QVERIFY(form);
        form->unlockMenu();
        QStringList menuTexts;
        for (const auto& [name, caption] : menuCommands(form->MainMenu1))
            menuTexts << caption;
        for (QAction* action : form->topLevelItems())
            menuTexts << TForm1::caption(action);
        const QStringList keys{"Enter", "Shift+Enter", "Ctrl+V", "Ctrl+N",        "Alt",
                               "Alt+L", "F2",          "F4",     "VARNEL2013.FDB"};
        QHash<QString, QStringList> shown;   // by topic: what its form shows
        for (const auto& [name, caption] : menuCommands(form->MainMenu1)) {
            QStringList texts;
            std::function<int(QDialog*)> collect = [&](QDialog* d) {
                texts << formTexts(d);
                // The register's topic also tells the line form it opens.
                if (d->objectName() == QStringLiteral("Form17")) {
                    platform->modalRuns.push_front(collect);
                    d->findChild<QPushButton*>("Button2")->click();
                }
                return int(QDialog::Rejected);
            };
            if (name != QStringLiteral("Kilep")) {
                platform->modalRuns.push_back(collect);
                form->item(name)->trigger();
            }
            platform->modalRuns.clear();
            shown[name] = texts;
            // The first steps and the common notes speak of every form.
            shown[QStringLiteral("kezdes")] << texts;
            shown[QStringLiteral("kozos")] << texts;
        }
        static const QRegularExpression bold(QStringLiteral("<b>([^<]*)</b>"));
        for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
            for (const auto& match : bold.globalMatch(topic(html, it.key())))
                for (const QString& word : match.captured(1).split(QStringLiteral(" › ")))
                    QVERIFY2(it.value().contains(word) || menuTexts.contains(word) || keys.contains(word),
                             qPrintable(it.key() + ": " + word));
        }
        form.reset();
        Form1 = nullptr;
        delete Data;
        Data = nullptr;
    }

    // The menu commands of the maintenance forms open their forms.
    void menuOpensTheForms()
    {
        TestDatabase db;
        platform->modalRuns.push_back([](QDialog*) { return int(QDialog::Accepted); });   // the splash
        std::unique_ptr<TForm1> form = startUp({db.path()});
        QVERIFY(form);
        platform->shownDialogs.clear();
        for (const char* name :
             {"Adatbzis1", "Sug1", "Nvjegy1", "Tvsegitsg1", "Adatokkldse1", "Adatokmentse1"})
            form->item(name)->trigger();
        QCOMPARE(platform->shownDialogs,
                 (QStringList{"Form19", "Form29", "Form23", "Form21", "Form22", "Form34"}));
        form.reset();
        Form1 = nullptr;
        delete Data;
        Data = nullptr;
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
