// The platform seam: the desktop's boxes and services, the scripted platform's modal runs, the
// general error handler, Qt's Hungarian texts, the MIME mail handed to sendmail, and the help window.
#include "application.h"
#include "fixedfolders.h"
#include "dberror.h"
#include "helpwindow.h"
#include "mimemessage.h"
#include "scriptedplatform.h"
#include "testsupport.h"
#include "windowplacement.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QTabWidget>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

namespace {

// A form that notes its show step and closes with "OK".
class Form : public QDialog {
public:
    explicit Form(const QString& name)
    {
        setObjectName(name);
        ok = new QPushButton(QStringLiteral("OK"), this);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    }
    QPushButton* ok;
    int shows = 0;

protected:
    void showEvent(QShowEvent* event) override
    {
        ++shows;
        QDialog::showEvent(event);
    }
};

// A widget whose event handler throws, as a form's handler does when a statement fails.
class Thrower : public QObject {
public:
    std::function<void()> action;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User)
            action();
        return QObject::event(event);
    }
};

// The MIME text split into its header block and its parts (each with its own headers and body).
struct MimeParts {
    QByteArray headers;
    QList<QByteArray> parts;
};

MimeParts splitMime(const QByteArray& mime)
{
    MimeParts result;
    const qsizetype end = mime.indexOf("\n\n");
    result.headers = '\n' + mime.left(end) + '\n';   // every header line between line breaks
    const qsizetype at = result.headers.indexOf("boundary=\"") + 10;
    const QByteArray boundary = "--" + result.headers.mid(at, result.headers.indexOf('"', at) - at);
    const QList<QByteArray> pieces = mime.mid(end + 2).split('\n');
    QByteArray current;
    bool inPart = false;
    for (const QByteArray& line : pieces) {
        if (line.startsWith(boundary)) {
            if (inPart)
                result.parts << current;
            current.clear();
            inPart = !line.startsWith(boundary + "--");
            continue;
        }
        if (inPart)
            current += line + '\n';
    }
    return result;
}

QByteArray partBody(const QByteArray& part)
{
    return QByteArray::fromBase64(part.mid(part.indexOf("\n\n") + 2));
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content,
                  QFile::Permissions permissions = {})
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
    file.close();
    if (permissions)
        file.setPermissions(permissions);
    return path;
}

}

// A form that can grow (a layout, no fixed size) and records the geometry it was shown with; it closes
// itself once shown, after `whileShown` has played the person.
class GrowingForm : public QDialog {
public:
    explicit GrowingForm(const QString& name)
    {
        setObjectName(name);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QTextBrowser(this));
        resize(300, 200);
    }
    QRect shownGeometry;
    QRect shownFrame;
    std::function<void(QDialog&)> whileShown;

protected:
    void showEvent(QShowEvent* event) override
    {
        QDialog::showEvent(event);
        QTimer::singleShot(0, this, [this] {
            shownGeometry = geometry();
            shownFrame = frameGeometry();
            if (whileShown)
                whileShown(*this);
            accept();
        });
    }
};

class TestPlatform : public QObject {
    Q_OBJECT

    ScriptedPlatform* platform = nullptr;
    QTemporaryDir settingsFolder;

private slots:
    void initTestCase()
    {
        // The desktop runs keep window places: never in the settings of the person running the tests.
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
    }

    void init() { platform = &ScriptedPlatform::install(); }
    void cleanup() { verifyScriptUsed(*platform); }

    // A form is shown next time where and as large as it was left, on a screen that exists now (with
    // its frame, so that the title bar can be reached); a form that can grow gets a maximise button.
    void desktopModalRunKeepsTheWindowPlace_data()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QTest::addColumn<QRect>("left");    // where the person left the form
        QTest::addColumn<bool>("asLeft");   // it opens just there
        QTest::newRow("moved and resized") << QRect(30, 40, 420, 260) << true;
        QTest::newRow("monitor gone") << QRect(screen.right() + 2000, 100, 420, 260) << false;
        QTest::newRow("partly off the right") << QRect(screen.right() - 100, 40, 420, 260) << false;
        QTest::newRow("partly below") << QRect(40, screen.bottom() - 100, 420, 260) << false;
        QTest::newRow("title bar above the top") << QRect(50, screen.top() - 100, 420, 260) << false;
        QTest::newRow("larger than the screen")
            << QRect(screen.topLeft(), screen.size() + QSize(300, 300)) << false;
    }

    void desktopModalRunKeepsTheWindowPlace()
    {
        QFETCH(QRect, left);
        QFETCH(bool, asLeft);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QString name = QStringLiteral("Form%1").arg(QTest::currentDataTag()).remove(QLatin1Char(' '));
        const auto desktop = makeDesktopPlatform();
        {
            GrowingForm form(name);
            form.whileShown = [&](QDialog& d) { d.setGeometry(left); };
            QCOMPARE(desktop->runModal(&form), int(QDialog::Accepted));
            QVERIFY(form.windowFlags() & Qt::WindowMaximizeButtonHint);
        }
        const GrowingForm named(name);
        QVERIFY(WindowPlacement::settings().contains(WindowPlacement::key(&named)));
        QVERIFY(QFileInfo(WindowPlacement::settings().fileName())
                    .absolutePath()
                    .startsWith(settingsFolder.path()));
        if (!asLeft) {
            // Stored as it was left, whatever the window system made of it during the run.
            GrowingForm stored(name);
            stored.setGeometry(left);
            WindowPlacement::save(&stored);
        }
        GrowingForm again(name);
        QCOMPARE(desktop->runModal(&again), int(QDialog::Accepted));
        if (asLeft)
            QCOMPARE(again.shownGeometry, left);
        QVERIFY2(screen.contains(again.shownFrame), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                   .arg(again.shownFrame.x())
                                                                   .arg(again.shownFrame.y())
                                                                   .arg(again.shownFrame.width())
                                                                   .arg(again.shownFrame.height())));
        if (left.width() < screen.width() / 2)
            QCOMPARE(again.shownGeometry.size(), left.size());
    }

    // Maximised stays maximised; a form of a fixed size gets no maximise button; and the unshown form
    // off screen is moved onto it by the placement alone.
    void desktopModalRunKeepsMaximisedAndFixedForms()
    {
        const auto desktop = makeDesktopPlatform();
        {
            GrowingForm form(QStringLiteral("FormMaximised"));
            form.whileShown = [](QDialog& d) { d.showMaximized(); };
            desktop->runModal(&form);
        }
        bool maximised = false;
        GrowingForm again(QStringLiteral("FormMaximised"));
        again.whileShown = [&](QDialog& d) { maximised = d.isMaximized(); };
        desktop->runModal(&again);
        QVERIFY(maximised);

        GrowingForm fixed(QStringLiteral("FormFixed"));
        fixed.setFixedSize(200, 100);
        desktop->runModal(&fixed);
        QVERIFY(!(fixed.windowFlags() & Qt::WindowMaximizeButtonHint));

        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        GrowingForm lost(QStringLiteral("FormLost"));
        lost.setGeometry(QRect(screen.left() - 5000, screen.bottom() - 50, 300, 200));
        WindowPlacement::keepOnScreen(&lost);
        QVERIFY(screen.contains(lost.frameGeometry()));
        QCOMPARE(lost.frameGeometry().left(), screen.left());
        QCOMPARE(lost.frameGeometry().bottom(), screen.bottom());
        QCOMPARE(lost.size(), QSize(300, 200));
    }

    void fixedFoldersLandInTheHomeFolder_data()
    {
        QTest::addColumn<QString>("windows");
        QTest::addColumn<QString>("local");
        QTest::newRow("backup folder") << "c:\\varnel2013\\"
                                       << "/home/anna/varnel2013/";
        QTest::newRow("upper-case drive") << "C:\\varnel2011\\"
                                          << "/home/anna/varnel2011/";
        QTest::newRow("nested with blank") << "c:\\Program Files\\Zantor\\varnel2011\\"
                                           << "/home/anna/Program Files/Zantor/varnel2011/";
        QTest::newRow("file") << "c:\\varnel2013\\2013_05_12_14_05.FDB"
                              << "/home/anna/varnel2013/2013_05_12_14_05.FDB";
        QTest::newRow("no drive") << "varnel\\VARNEL.HLP"
                                  << "varnel/VARNEL.HLP";
    }

    void fixedFoldersLandInTheHomeFolder()
    {
        QFETCH(QString, windows);
        QFETCH(QString, local);
        QCOMPARE(localFolder(windows, "/home/anna"), local);
    }

    void installedPlatformIsTheInstance()
    {
        QCOMPARE(&Platform::instance(), static_cast<Platform*>(platform));
    }

    // The desktop's boxes: the text with its carriage returns as line breaks, the title and the only
    // buttons of each kind; a question is true only for "Yes".
    void desktopMessageBoxes_data()
    {
        QTest::addColumn<int>("kind");   // 0 information, 1 confirmation, 2 question
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QList<int>>("buttons");
        QTest::addColumn<bool>("yes");
        const int ok = QMessageBox::Ok, yes = QMessageBox::Yes, no = QMessageBox::No;
        QTest::newRow("information") << 0 << ok << "Varnel" << QList<int>{ok} << false;
        QTest::newRow("confirmation") << 1 << yes << "Megerősítés" << QList<int>{yes} << false;
        QTest::newRow("question, yes") << 2 << yes << "Megerősítés" << QList<int>{yes, no} << true;
        QTest::newRow("question, no") << 2 << no << "Megerősítés" << QList<int>{yes, no} << false;
    }

    void desktopMessageBoxes()
    {
        QFETCH(int, kind);
        QFETCH(int, answer);
        QFETCH(QString, title);
        QFETCH(QList<int>, buttons);
        QFETCH(bool, yes);
        // As the program names itself at start.
        const QString testName = QCoreApplication::applicationName();
        QCoreApplication::setApplicationName(QStringLiteral("Varnel"));
        const auto restoreName = qScopeGuard([&] { QCoreApplication::setApplicationName(testName); });
        std::unique_ptr<Platform> desktop = makeDesktopPlatform();
        QString shownTitle, shownText;
        QList<int> shownButtons;
        QTimer answering;
        answering.setInterval(10);
        connect(&answering, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            answering.stop();
            shownTitle = box->windowTitle();
            shownText = box->text();
            for (QAbstractButton* button : box->buttons())
                shownButtons << int(box->standardButton(button));
            std::sort(shownButtons.begin(), shownButtons.end());
            box->button(QMessageBox::StandardButton(answer))->click();
        });
        answering.start();
        const QString text =
            QStringLiteral("Hiba183: Módositás, Update a bizmozg-ban \rA(z) \"x\" nem szám.");
        bool answered = false;
        if (kind == 0)
            desktop->information(text);
        else if (kind == 1)
            desktop->confirmYesOnly(text);
        else
            answered = desktop->question(text);
        QCOMPARE(shownTitle, title);
        QCOMPARE(shownText,
                 QStringLiteral("Hiba183: Módositás, Update a bizmozg-ban \nA(z) \"x\" nem szám."));
        std::sort(buttons.begin(), buttons.end());
        QCOMPARE(shownButtons, buttons);
        QCOMPARE(answered, yes);
    }

    // The desktop's clipboard and program start.
    void desktopClipboardAndProgramStart()
    {
        std::unique_ptr<Platform> desktop = makeDesktopPlatform();
        desktop->setClipboardText(QStringLiteral("/home/varnel/VARNEL2013.FDB"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("/home/varnel/VARNEL2013.FDB"));
        QTemporaryDir folder;
        const QString marker = folder.filePath(QStringLiteral("elindult"));
        QVERIFY(desktop->startProgram(QStringLiteral("touch"), {marker}));
        QTRY_VERIFY(QFile::exists(marker));
        QVERIFY(!desktop->startProgram(QStringLiteral("nincs-ilyen-program-a-gepen")));
    }

    // A scripted run proves it worked the form it was written for: one that met another form, and one
    // never used, are reported.
    void scriptedRunsReportWhatTheyDidNotDo()
    {
        Form form(QStringLiteral("TForm11"));
        bool ran = false;
        platform->addRun<QMessageBox>([&](QMessageBox&) { ran = true; });
        platform->addRun<QDialog>([&](QDialog& dialog) { dialog.accept(); });
        QCOMPARE(Platform::instance().runModal(&form), int(QDialog::Rejected));
        QVERIFY(!ran);
        QCOMPARE(platform->scriptFaults(), (QStringList{"a run for QMessageBox met QDialog (TForm11)",
                                                        "1 scripted form run(s) never used"}));
        QCOMPARE(Platform::instance().runModal(&form), int(QDialog::Accepted));
        QCOMPARE(platform->scriptFaults(), QStringList{"a run for QMessageBox met QDialog (TForm11)"});
        platform = &ScriptedPlatform::install();   // the faults above are this test's own
    }

    void modalRunShowsTheFormAndRunsTheCallback()
    {
        Form form(QStringLiteral("TForm11"));
        platform->modalRuns.push_back([](QDialog* dialog) {
            static_cast<Form*>(dialog)->ok->click();
            return int(QDialog::Rejected);
        });
        QCOMPARE(Platform::instance().runModal(&form), int(QDialog::Accepted));
        QCOMPARE(form.shows, 1);
        QVERIFY(!form.isVisible());
        QCOMPARE(platform->shownDialogs, QStringList{QStringLiteral("TForm11")});
    }

    void modalRunClosesAFormTheCallbackLeftOpen_data()
    {
        QTest::addColumn<bool>("withCallback");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty queue: rejected at once") << false << int(QDialog::Rejected);
        QTest::newRow("callback's code") << true << 7;
    }

    void modalRunClosesAFormTheCallbackLeftOpen()
    {
        QFETCH(bool, withCallback);
        QFETCH(int, expected);
        Form form(QStringLiteral("TForm4"));
        if (withCallback)
            platform->modalRuns.push_back([](QDialog* dialog) { return dialog->isVisible() ? 7 : -1; });
        QCOMPARE(Platform::instance().runModal(&form), expected);
        QCOMPARE(form.shows, 1);
        QVERIFY(!form.isVisible());
    }

    void modalRunsNestInOrder()
    {
        Form outer(QStringLiteral("TForm17")), inner(QStringLiteral("TForm18"));
        QStringList seen;
        platform->modalRuns.push_back([&](QDialog* dialog) {
            seen << dialog->objectName();
            Platform::instance().runModal(&inner);
            return int(QDialog::Accepted);
        });
        platform->modalRuns.push_back([&](QDialog* dialog) {
            seen << dialog->objectName();
            return int(QDialog::Rejected);
        });
        QCOMPARE(Platform::instance().runModal(&outer), int(QDialog::Accepted));
        QCOMPARE(seen, QStringList({QStringLiteral("TForm17"), QStringLiteral("TForm18")}));
        QVERIFY(platform->modalRuns.empty());
    }

    // The desktop run returns when the form closes, also when it closes itself while being shown.
    void desktopModalRunEndsWithTheForm_data()
    {
        QTest::addColumn<bool>("closesWhileShown");
        QTest::addColumn<int>("expected");
        QTest::newRow("closed while shown") << true << int(QDialog::Rejected);
        QTest::newRow("closed by its button") << false << int(QDialog::Accepted);
    }

    void desktopModalRunEndsWithTheForm()
    {
        QFETCH(bool, closesWhileShown);
        QFETCH(int, expected);
        class SelfClosing : public Form {
        public:
            using Form::Form;
            bool closeWhileShown = false;

        protected:
            void showEvent(QShowEvent* event) override
            {
                Form::showEvent(event);
                if (closeWhileShown)
                    reject();
                else
                    QTimer::singleShot(0, ok, &QPushButton::click);
            }
        };
        SelfClosing form(QStringLiteral("TForm12"));
        form.closeWhileShown = closesWhileShown;
        QCOMPARE(makeDesktopPlatform()->runModal(&form), expected);
        QVERIFY(!form.isVisible());
    }

    // The desktop question: "Igen" and "Nem", "Nem" the default, Esc meaning no; only "Igen" says yes.
    void desktopQuestionDefaultsToNo_data()
    {
        QTest::addColumn<QString>("answer");   // a key, or the caption of the button clicked
        QTest::addColumn<bool>("yes");
        QTest::newRow("Enter") << "Enter" << false;
        QTest::newRow("Esc") << "Esc" << false;
        QTest::newRow("Nem") << "Nem" << false;
        QTest::newRow("Igen") << "Igen" << true;
    }

    void desktopQuestionDefaultsToNo()
    {
        QFETCH(QString, answer);
        QFETCH(bool, yes);
        QStringList captions;
        QString text;
        QString defaultCaption;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            text = box->text();
            for (QAbstractButton* button : box->buttons())
                captions << button->text().remove(QLatin1Char('&'));
            defaultCaption =
                box->defaultButton() ? box->defaultButton()->text().remove(QLatin1Char('&')) : QString();
            if (answer == QLatin1String("Enter") || answer == QLatin1String("Esc")) {
                QTest::keyClick(box, answer == QLatin1String("Enter") ? Qt::Key_Return : Qt::Key_Escape);
                return;
            }
            for (QAbstractButton* button : box->buttons())
                if (button->text().remove(QLatin1Char('&')) == answer)
                    return button->click();
            box->done(-1);   // no such button: the comparisons below tell
        });
        QCOMPARE(makeDesktopPlatform()->question(QStringLiteral("Biztosan törli: Zab?\rMásodik sor")), yes);
        QCOMPARE(text, QStringLiteral("Biztosan törli: Zab?\nMásodik sor"));
        captions.sort();
        QCOMPARE(captions, (QStringList{"Igen", "Nem"}));
        QCOMPARE(defaultCaption, QStringLiteral("Nem"));
    }

    void generalHandlerShowsTheErrorsOwnText_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::newRow("data layer") << 0 << QStringLiteral("lock conflict on no wait transaction; ütközés");
        QTest::newRow("standard") << 1 << QStringLiteral("vector::at");
    }

    void generalHandlerShowsTheErrorsOwnText()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        Thrower thrower;
        thrower.action = [&] {
            if (kind == 0)
                throw DbError(text, 335544345);
            throw std::out_of_range(text.toStdString());
        };
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(platform->messageTexts(), QStringList{text});
        QCOMPARE(platform->messages[0].kind, ScriptedPlatform::MessageKind::Information);
    }

    void loadsQtsHungarianTexts()
    {
        QVERIFY(installHungarianTranslations(*qApp));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Mégse"));
        // The print dialog as the user meets it: nothing of it left in English.
        QPrinter printer;
        QPrintDialog dialog(&printer);
        dialog.show();
        QStringList english;
        const QStringList untranslated{"Pages", "Double Sided Printing", "Long side binding",
                                       "Short side binding"};
        for (QWidget* widget : dialog.findChildren<QWidget*>()) {
            QStringList texts;
            if (auto* label = qobject_cast<QLabel*>(widget))
                texts << label->text();
            if (auto* button = qobject_cast<QAbstractButton*>(widget))
                texts << button->text();
            if (auto* group = qobject_cast<QGroupBox*>(widget))
                texts << group->title();
            if (auto* tabs = qobject_cast<QTabWidget*>(widget))
                for (int i = 0; i < tabs->count(); ++i)
                    texts << tabs->tabText(i);
            for (const QString& text : texts)
                if (untranslated.contains(QString(text).remove(QLatin1Char('&'))))
                    english << text;
        }
        QVERIFY2(english.isEmpty(), qPrintable(english.join(", ")));
        QCOMPARE(QCoreApplication::translate("QPrintSettingsOutput", "Pages"), QStringLiteral("Oldalak"));
        QCOMPARE(QCoreApplication::translate("QPrintSettingsOutput", "Double Sided Printing"),
                 QStringLiteral("Kétoldalas nyomtatás"));
    }

    void mimeMessageCarriesTextAndAttachment()
    {
        QTemporaryDir dir;
        QByteArray content;
        for (int i = 0; i < 1000; ++i)
            content += char(i * 7);
        const QString path = writeFile(dir, QStringLiteral("VARNEL2013.FDB"), content);
        QString error;
        const QByteArray mime =
            buildMimeMessage({QStringLiteral("support@example.org"), QStringLiteral("Varnel adatok"),
                              QStringLiteral("Varnel adatok elküldése ellenőrzésre"), path},
                             &error);
        QVERIFY(error.isEmpty());
        const MimeParts parts = splitMime(mime);
        QVERIFY(parts.headers.contains("\nTo: support@example.org\n"));
        QVERIFY(parts.headers.contains("\nSubject: Varnel adatok\n"));
        QCOMPARE(parts.parts.size(), 2);
        QCOMPARE(QString::fromUtf8(partBody(parts.parts[0])),
                 QStringLiteral("Varnel adatok elküldése ellenőrzésre"));
        QVERIFY(parts.parts[1].contains("filename=\"VARNEL2013.FDB\""));
        QCOMPARE(partBody(parts.parts[1]), content);
        for (const QByteArray& line : mime.split('\n'))
            QVERIFY2(line.size() <= 998, line.left(40).constData());
    }

    void mimeHeadersCannotBeInjected()
    {
        QString error;
        const QByteArray mime = buildMimeMessage({QStringLiteral("a@example.org\nBcc: b@example.org"),
                                                  QStringLiteral("Ár\r\nBcc: c@example.org"),
                                                  {},
                                                  {}},
                                                 &error);
        const MimeParts parts = splitMime(mime);
        QVERIFY(!parts.headers.contains("\nBcc:"));
        const qsizetype at = parts.headers.indexOf("Subject: =?UTF-8?B?") + 19;
        const QByteArray encoded = parts.headers.mid(at, parts.headers.indexOf("?=", at) - at);
        QCOMPARE(QString::fromUtf8(QByteArray::fromBase64(encoded)),
                 QStringLiteral("Ár\r\nBcc: c@example.org"));
        QCOMPARE(parts.parts.size(), 1);
    }

    void mimeMessageReportsAMissingAttachment()
    {
        QString error;
        const QString missing = QStringLiteral("/nonexistent/VARNEL2013.FDB");
        QVERIFY(buildMimeMessage({QStringLiteral("a@example.org"), {}, {}, missing}, &error).isEmpty());
        QCOMPARE(error, missing + QStringLiteral(": Nincs ilyen fájl vagy könyvtár"));
    }

    // The desktop sendMail against a stand-in sendmail on PATH.
    void desktopMailGoesToSendmail_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("expectedError");
        QTest::newRow("delivered") << QByteArray("#!/bin/sh\necho \"$@\" > \"$0.args\"\ncat > \"$0.mail\"\n")
                                   << QString();
        QTest::newRow("refused")
            << QByteArray("#!/bin/sh\ncat > /dev/null\necho 'a címzett ismeretlen' >&2\nexit 67\n")
            << QStringLiteral("a címzett ismeretlen");
    }

    void desktopMailGoesToSendmail()
    {
        QFETCH(QByteArray, script);
        QFETCH(QString, expectedError);
        QTemporaryDir dir;
        const QString program = writeFile(dir, QStringLiteral("sendmail"), script,
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", dir.path().toLocal8Bit() + ':' + oldPath);
        const auto desktop = makeDesktopPlatform();
        const QString error = desktop
                                  ->sendMail({QStringLiteral("a@example.org"),
                                              QStringLiteral("Varnel adatok"),
                                              QStringLiteral("szöveg"),
                                              {}})
                                  .error;
        qputenv("PATH", oldPath);
        QCOMPARE(error, expectedError);
        if (expectedError.isEmpty()) {
            QFile args(program + QStringLiteral(".args")), mail(program + QStringLiteral(".mail"));
            QVERIFY(args.open(QIODevice::ReadOnly) && mail.open(QIODevice::ReadOnly));
            QCOMPARE(args.readAll().trimmed(), QByteArray("-t -oi"));
            QVERIFY(mail.readAll().contains("To: a@example.org\n"));
        }
    }

    void helpWindowOpensOnTheTableOfTopics()
    {
        QTemporaryDir dir;
        const QString help =
            writeFile(dir, QStringLiteral("VARNEL.HLP"),
                      "<html><body><h1 id=\"topics\">Tartalom</h1><p>Cikk karton</p></body></html>");
        HelpWindow window;
        window.showDocument(help);
        QVERIFY(window.isVisible());
        QCOMPARE(window.browser()->source(), QUrl::fromLocalFile(help));
        QVERIFY(window.browser()->toPlainText().contains(QStringLiteral("Cikk karton")));

        window.showDocument(dir.filePath(QStringLiteral("NINCS.HLP")));
        QVERIFY(window.browser()->toPlainText().contains(QStringLiteral("NINCS.HLP")));
    }

    // The help window opens next time where it was closed.
    void helpWindowKeepsItsPlace()
    {
        QPointer<HelpWindow> window = HelpWindow::shared();
        window->showDocument(QStringLiteral("/nincs/VARNEL.HLP"));
        const QRect left(60, 50, 500, 400);
        window->setGeometry(left);
        window->close();
        QTRY_VERIFY(!window);   // deleted on close
        window = HelpWindow::shared();
        window->showDocument(QStringLiteral("/nincs/VARNEL.HLP"));
        QCOMPARE(window->geometry(), left);
        delete window;
    }
};

int main(int argc, char** argv)
{
    Application application(argc, argv);
    TestPlatform test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_platform.moc"
