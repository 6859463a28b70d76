// Sending data by e-mail: the form's texts, the starting folder and the file lookup, "Küldés1" with its
// three outcomes, the clipboard and the prepared mailto: message; and the hand-over to a stand-in
// sendmail or xdg-email, checked byte for byte.
#include "aboutmaker.h"
#include "email.h"
#include "fixedfolders.h"
#include "maildelivery.h"
#include "scriptedplatform.h"
#include "testdatabase.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace {

bool writeFile(const QString& path, const QByteArray& content, QFile::Permissions permissions = {})
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return false;
    file.close();
    return !permissions || file.setPermissions(permissions);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A stand-in program that records its arguments (one a line) and its input beside itself.
QString standIn(const QString& folder, const QString& name, const QByteArray& exitLine = "exit 0\n")
{
    const QString path = QDir(folder).filePath(name);
    writeFile(
        path,
        "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.args\"\ncat > \"$0.input\"\n" +
            exitLine,
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// One part of a multipart MIME text: its headers and its decoded body.
struct MimePart {
    QByteArray headers;
    QByteArray body;
};

QList<MimePart> mimeParts(const QByteArray& mime, QByteArray* headers)
{
    const qsizetype at = mime.indexOf("boundary=\"") + 10;
    const QByteArray boundary = "--" + mime.mid(at, mime.indexOf('"', at) - at);
    QList<MimePart> parts;
    *headers = mime.left(mime.indexOf("\n\n"));
    for (qsizetype start = mime.indexOf(boundary + "\n"); start >= 0;) {
        const qsizetype from = start + boundary.size() + 1;
        const qsizetype next = mime.indexOf("\n" + boundary, from);
        if (next < 0)
            break;
        const QByteArray part = mime.mid(from, next - from);
        const qsizetype split = part.indexOf("\n\n");
        parts << MimePart{part.left(split), QByteArray::fromBase64(part.mid(split + 2))};
        start = mime.indexOf(boundary + "\n", next + 1);
    }
    return parts;
}

}

class TestEmail : public QObject {
    Q_OBJECT

    ScriptedPlatform* platform = nullptr;
    std::unique_ptr<QTemporaryDir> home;
    QByteArray oldHome;
    QString startFolder;
    std::unique_ptr<TForm22> form;

    TForm22& showForm()
    {
        form = std::make_unique<TForm22>();
        form->show();
        return *form;
    }

private slots:
    void initTestCase()
    {
        initTestLocale();
        oldHome = qgetenv("HOME");
        startFolder = QDir::currentPath();
    }

    void init()
    {
        platform = &ScriptedPlatform::install();
        home = std::make_unique<QTemporaryDir>();
        qputenv("HOME", QFile::encodeName(home->path()));
        QDir::setCurrent(home->path());
    }

    void cleanup()
    {
        verifyScriptUsed(*platform);
        form.reset();
        QDir::setCurrent(startFolder);
        qputenv("HOME", oldHome);
        home.reset();
    }

    void formShowsItsTexts()
    {
        TForm22& f = showForm();
        QCOMPARE(f.windowTitle(), QStringLiteral("Adatok elküldése  emailben"));
        const QList<std::pair<const char*, QString>> labels{
            {"Label4", "A küldendő fálj neve :"},
            {"Label2",
             "A \"Küldés1\" program gomb feltételezi, hogy a számítógépre telepítve van az Outlook program."},
            {"Label1",
             "A program megkisérli a  levelező programmal elküldeni  vagy a postázandókhoz berakni. "},
            {"Label3", "A levélhez csatolt fáljként  mellékeli a felső sorban megjelenitett fáljt."},
            {"Label5", "Ha sikeres volt akkor a levelezései között megtalálható."},
            {"Label6",
             "Vagy: a küldendő fálj  nevét másolja vágólapra és  a \"Küldés2\" levelező programjában "},
            {"Label7", "CTRL +  V  billentyüvel  tegye be a  csatolt fájl nevéhez"}};
        for (const auto& [name, text] : labels) {
            auto* label = f.findChild<QLabel*>(name);
            QVERIFY2(label, name);
            QCOMPARE(label->text(), text);
        }
        QCOMPARE(f.findChild<QLabel*>("Label4")->buddy(), f.Edit1);
        QCOMPARE(f.Button3->text(), QStringLiteral("Küldés1"));
        QCOMPARE(f.Button4->text(), QStringLiteral("Vágólapra másolás"));
        QCOMPARE(f.Button6->text(), QStringLiteral("Küldés2"));
        QCOMPARE(f.Button5->text(), QStringLiteral("Mégsem"));
        QVERIFY(f.FileListBox1->isHidden());
        QVERIFY(f.DriveComboBox1->count() > 0);
    }

    // The old program folder when it exists, else the working folder; the file is looked for on every
    // change of folder, by the program, the drive chooser or the tree.
    void startingFolderAndFileLookup()
    {
        const QString old = localFolder(TForm22::StartingFolder);
        QVERIFY(old.startsWith(home->path()));
        TForm22& f = showForm();
        QCOMPARE(f.folder(), home->path());
        QCOMPARE(f.Edit1->text(), QString());
        form.reset();

        QVERIFY(QDir().mkpath(old));
        QVERIFY(writeFile(QDir(old).filePath("VARNEL2011.FDB"), "adat"));
        QVERIFY(QDir(home->path()).mkpath("ures"));
        showForm();
        QCOMPARE(QDir(form->folder()), QDir(old));
        QCOMPARE(form->Edit1->text(), QDir(old).filePath("VARNEL2011.FDB"));
        QCOMPARE(form->FileListBox1->count(), 1);

        // The user picks another folder in the tree.
        auto* model = static_cast<QFileSystemModel*>(form->DirectoryListBox1->model());
        form->DirectoryListBox1->setCurrentIndex(model->index(home->filePath("ures")));
        QCOMPARE(form->folder(), home->filePath("ures"));
        QCOMPARE(form->Edit1->text(), QString());
        form->DirectoryListBox1->setCurrentIndex(model->index(old.chopped(1)));
        QCOMPARE(form->Edit1->text(), QDir(old).filePath("VARNEL2011.FDB"));
    }

    void sendOne_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("route");   // -1: nothing handed over
        QTest::addColumn<QString>("message");
        const QString opened =
            QStringLiteral("A gépen nincs levelet továbbító sendmail program, ezért a levél a "
                           "levelezőprogramban nyílt meg a csatolt fájllal.\rKérem, onnan küldje el.");
        QTest::newRow("empty path") << "" << -1 << "Nincs kiválasztva! ";
        QTest::newRow("sent") << "/kezzel/irt.fdb" << int(MailResult::Route::Sent) << "";
        QTest::newRow("mail program")
            << "/kezzel/irt.fdb" << int(MailResult::Route::OpenedInMailProgram) << opened;
        QTest::newRow("failed") << "/kezzel/irt.fdb" << int(MailResult::Route::Failed)
                                << "a címzett ismeretlen";
    }

    void sendOne()
    {
        QFETCH(QString, path);
        QFETCH(int, route);
        QFETCH(QString, message);
        TForm22& f = showForm();
        f.Edit1->setText(path);
        if (route >= 0)
            platform->mailResults = {
                {MailResult::Route(route), route == int(MailResult::Route::Failed) ? message : QString()}};
        f.Button3->click();
        QCOMPARE(platform->messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        if (route < 0) {
            QVERIFY(platform->mails.empty());
            return;
        }
        QCOMPARE(platform->mails.size(), size_t(1));
        const MailMessage& mail = platform->mails[0];
        QCOMPARE(mail.to, MakerInfo::supportEmail);
        QCOMPARE(mail.subject, QStringLiteral("Varnel adatok"));
        QCOMPARE(mail.body, QStringLiteral("Varnel adatok elküldése ellenőrzésre"));
        QCOMPARE(mail.attachmentPath, path);
    }

    void clipboardAndPreparedMessage()
    {
        TForm22& f = showForm();
        // "Küldés2" does not look at the path: it opens the message even with none.
        f.Button6->click();
        QCOMPARE(platform->openedUrls.size(), 1);
        QCOMPARE(platform->openedUrls[0].toString(),
                 QStringLiteral("mailto:") + MakerInfo::supportEmail +
                     QStringLiteral(" ?subject=Varnel adatok &body=Varnel adatok elküldése ellenőrzésre. "
                                    "Figyelmeztetés: csatolt fálj mellékelni kell! "));
        QCOMPARE(platform->openedUrls[0].scheme(), QStringLiteral("mailto"));
        f.Edit1->setText(QStringLiteral("/adat/varnel2011.fdb"));
        f.Button4->click();
        QCOMPARE(platform->clipboardText, QStringLiteral("/adat/varnel2011.fdb"));
        QCOMPARE(f.Edit1->selectedText(), QStringLiteral("/adat/varnel2011.fdb"));
        QVERIFY(platform->messages.empty());
        f.Button5->click();
        QVERIFY(!f.isVisible());
    }

    // The hand-over: sendmail gets the MIME text, else xdg-email the four things, else a clear error.
    void deliveryThroughTheSystem_data()
    {
        QTest::addColumn<QStringList>("programs");   // stand-ins on the search path
        QTest::addColumn<int>("route");
        QTest::newRow("sendmail") << QStringList{"sendmail", "xdg-email"} << int(MailResult::Route::Sent);
        QTest::newRow("xdg-email") << QStringList{"xdg-email"} << int(MailResult::Route::OpenedInMailProgram);
        QTest::newRow("neither") << QStringList{} << int(MailResult::Route::Failed);
    }

    void deliveryThroughTheSystem()
    {
        QFETCH(QStringList, programs);
        QFETCH(int, route);
        QTemporaryDir bin;
        for (const QString& program : programs)
            standIn(bin.path(), program);
        QByteArray attachment;
        for (int i = 0; i < 70000; ++i)
            attachment += char(i * 7 % 256);
        const QString file = home->filePath("varnel2011 ő.fdb");
        QVERIFY(writeFile(file, attachment));
        const MailMessage message{MakerInfo::supportEmail, QStringLiteral("Varnel adatok"),
                                  QStringLiteral("Varnel adatok elküldése ellenőrzésre"), file};

        const MailResult result = deliverMail(message, findMailPrograms({bin.path()}, {}));
        QCOMPARE(int(result.route), route);
        if (programs.isEmpty()) {
            QVERIFY2(result.error.contains("sendmail") && result.error.contains("xdg-email"),
                     qPrintable(result.error));
            return;
        }
        const QString used = bin.filePath(programs.first());
        const QStringList args = QString::fromUtf8(readFile(used + ".args")).split('\n', Qt::SkipEmptyParts);
        if (programs.first() == "xdg-email") {
            QCOMPARE(args, (QStringList{"--utf8", "--subject", message.subject, "--body", message.body,
                                        "--attach", file, message.to}));
            return;
        }
        QCOMPARE(args, (QStringList{"-t", "-oi"}));
        QVERIFY(!QFile::exists(bin.filePath("xdg-email.args")));
        QByteArray headers;
        const QList<MimePart> parts = mimeParts(readFile(used + ".input"), &headers);
        QVERIFY(headers.startsWith("To: " + MakerInfo::supportEmail.toUtf8() + "\n"));
        QVERIFY(headers.contains("\nSubject: Varnel adatok\n"));
        QCOMPARE(parts.size(), 2);
        QCOMPARE(QString::fromUtf8(parts[0].body), message.body);
        QVERIFY(parts[1].headers.contains("filename*=UTF-8''varnel2011%20%C5%91.fdb"));
        QCOMPARE(parts[1].body, attachment);
    }

    void refusedDelivery_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("sendmail") << "sendmail";
        QTest::newRow("xdg-email") << "xdg-email";
    }

    void refusedDelivery()
    {
        QFETCH(QString, program);
        QTemporaryDir bin;
        standIn(bin.path(), program, "echo 'nem sikerült' >&2\nexit 3\n");
        const QString file = home->filePath("varnel2011.fdb");
        QVERIFY(writeFile(file, "adat"));
        const MailResult result = deliverMail({MakerInfo::supportEmail, "Varnel adatok", "szöveg", file},
                                              findMailPrograms({bin.path()}, {}));
        QCOMPARE(result.route, MailResult::Route::Failed);
        QCOMPARE(result.error, QStringLiteral("nem sikerült"));
        const MailResult missing =
            deliverMail({MakerInfo::supportEmail, "Varnel adatok", "szöveg", home->filePath("nincs.fdb")},
                        findMailPrograms({bin.path()}, {}));
        QCOMPARE(missing.route, MailResult::Route::Failed);
        QVERIFY2(missing.error.startsWith(home->filePath("nincs.fdb")), qPrintable(missing.error));
    }
};

QTEST_MAIN(TestEmail)
#include "tst_email.moc"
