// Help, remote support and about: the help document covers every menu command and opens on its table
// of topics, the three forms and the splash show their texts and start what they should, and the main
// menu opens every form of the maintenance commands.
#include "about.h"
#include "aboutmaker.h"
#include "data.h"
#include "helpform.h"
#include "helpwindow.h"
#include "mainwindow.h"
#include "modalform.h"
#include "remote.h"
#include "scriptedplatform.h"
#include "sharedstate.h"
#include "splash.h"
#include "startup.h"
#include "testdatabase.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTextBlock>
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
            commands << std::pair{action->objectName(), action->text()};
    }
    return commands;
}

}

class TestHelp : public QObject {
    Q_OBJECT

    ScriptedPlatform* platform = nullptr;

    template <class Form>
    void openForm(Form*& global, std::function<void(Form&)> act)
    {
        platform->modalRuns.push_back([act](QDialog* d) {
            act(*static_cast<Form*>(d));
            return int(QDialog::Rejected);
        });
        runForm(global, nullptr);
    }

private slots:
    void initTestCase() { initTestLocale(); }
    void init() { platform = &ScriptedPlatform::install(); }

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
        QCOMPARE(commands.size(), 22);
        for (const auto& [name, caption] : commands) {
            QVERIFY2(html.contains(QStringLiteral("<li><a href=\"#%1\">%2</a>").arg(name, caption)), qPrintable(name));
            const QRegularExpression heading(QStringLiteral("<h2 id=\"%1\">([^<]*)</h2>").arg(name));
            const auto match = heading.match(html);
            QVERIFY2(match.hasMatch() && match.captured(1).endsWith(caption), qPrintable(name));
            // What it does and how to use it: more than a line of text before the next topic.
            QString topic = html.mid(match.capturedEnd(), html.indexOf(QStringLiteral("<h2"), match.capturedEnd()) - match.capturedEnd());
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
            alignment = f.Memo1->document()->firstBlock().blockFormat().alignment()
                | f.Memo1->document()->defaultTextOption().alignment();
        });
        QCOMPARE(lines, (QStringList{"Varnel ", "2011-2013", "", MakerInfo::company,
                                     "Programozó: " + MakerInfo::programmer, MakerInfo::address, "",
                                     "Tel./fax/üzenetrögzitö: " + MakerInfo::phone, "Mobil: " + MakerInfo::mobile, "",
                                     "E-mail: " + MakerInfo::email}));
        QVERIFY(readOnly);
        QVERIFY(alignment & Qt::AlignHCenter);

        TAboutBox splash;
        const QList<std::pair<const char*, QString>> labels{
            {"Version", "Varnel nyilvántartó"}, {"Label2", "2013."},
            {"Label3", "Készítette: " + MakerInfo::company}, {"Label4", "Programozó: " + MakerInfo::programmer},
            {"Label5", MakerInfo::address}, {"Label6", "Telefon: " + MakerInfo::phone},
            {"Label9", "Mobil: " + MakerInfo::mobile}, {"Label7", "E-mail: " + MakerInfo::email},
            {"Label10", MakerInfo::web}};
        for (const auto& [name, text] : labels) {
            auto* label = splash.findChild<QLabel*>(name);
            QVERIFY2(label && label->text() == text, name);
        }
    }

    // The menu commands of the maintenance forms open their forms.
    void menuOpensTheForms()
    {
        TestDatabase db;
        platform->modalRuns.push_back([](QDialog*) { return int(QDialog::Accepted); });   // the splash
        std::unique_ptr<TForm1> form = startUp({db.path()});
        QVERIFY(form);
        platform->shownDialogs.clear();
        for (const char* name : {"Adatbzis1", "Sug1", "Nvjegy1", "Tvsegitsg1", "Adatokkldse1", "Adatokmentse1"})
            form->item(name)->trigger();
        QCOMPARE(platform->shownDialogs, (QStringList{"Form19", "Form29", "Form23", "Form21", "Form22", "Form34"}));
        form.reset();
        Form1 = nullptr;
        delete Data;
        Data = nullptr;
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
