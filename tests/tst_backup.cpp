// The database backup: the proposed names, the dialogs, the copy that never overwrites, the reasons of
// a failed copy, and a copy of the open database that is a valid database of the committed rows.
#include "backup.h"
#include "backupcopy.h"
#include "data.h"
#include "fixedfolders.h"
#include "scriptedplatform.h"
#include "testdatabase.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Copied = QStringLiteral("Az adatbázis átmásolva a \"Hová\" könyvtárba. Kérem ellenőrizze le.");
const QString NotCopied = QStringLiteral("Hiba! Az adatbázis nem lett átmásolva a \"Hová\" könyvtárba.\r");
const QString MissingSource = QStringLiteral("Hiba! A \"Honnan\" -ban megadott fálj nem létezik.");

QByteArray digest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result().toHex();
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// A Firebird command-line tool on a database file; its exit code and what it printed.
std::pair<int, QString> runTool(const QString& tool, const QStringList& arguments,
                                const QByteArray& input = {})
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(tool, arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(120000);
    return {process.exitCode(), QString::fromLocal8Bit(process.readAll())};
}

// The backup state of the program's database: 0 normal, 1 locked for a backup.
int backupState()
{
    Query state(Data->IBTrans1);
    state.setSql(QStringLiteral("SELECT MON$BACKUP_STATE AS S FROM MON$DATABASE"));
    state.open();
    const int value = int(state.fieldByName(QStringLiteral("S")).asInteger());
    state.close();
    return value;
}

}

class TestBackup : public QObject {
    Q_OBJECT

    ScriptedPlatform* platform = nullptr;
    std::unique_ptr<QTemporaryDir> work;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<TForm34> form;
    QString startFolder;

    // The form as the menu shows it; the test then works its boxes and buttons.
    TForm34& showForm()
    {
        form = std::make_unique<TForm34>();
        form->show();
        return *form;
    }

    QString target(const QString& name) const { return work->filePath(name); }

    void press(const QString& source, const QString& targetPath)
    {
        form->Edit1->setText(source);
        form->Edit2->setText(targetPath);
        platform->clearMessages();
        form->Button1->click();
    }

    void connectData()
    {
        db = std::make_unique<TestDatabase>();
        Data = new TData(db->path());
        Data->connectAndOpenTables();
    }

private slots:
    void initTestCase()
    {
        initTestLocale();
        startFolder = QDir::currentPath();
    }

    void init()
    {
        platform = &ScriptedPlatform::install();
        work = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(work->path());
    }

    void cleanup()
    {
        verifyScriptUsed(*platform);
        form.reset();
        delete Data;
        Data = nullptr;
        db.reset();
        QDir::setCurrent(startFolder);
        work.reset();
    }

    void backupFileNameHasMinuteResolution_data()
    {
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QString>("name");
        QTest::newRow("afternoon") << QDateTime(QDate(2013, 5, 12), QTime(14, 5, 59))
                                   << "2013_05_12_14_05.FDB";
        QTest::newRow("small hours") << QDateTime(QDate(2014, 1, 2), QTime(3, 4)) << "2014_01_02_03_04.FDB";
        QTest::newRow("last minute") << QDateTime(QDate(2013, 12, 31), QTime(23, 59, 1))
                                     << "2013_12_31_23_59.FDB";
    }

    void backupFileNameHasMinuteResolution()
    {
        QFETCH(QDateTime, moment);
        QFETCH(QString, name);
        QCOMPARE(backupFileName(moment), name);
    }

    void defaultsOnShow()
    {
        QVERIFY(writeFile(work->filePath("VARNEL2013.FDB"), "adat"));
        const QDateTime before = QDateTime::currentDateTime();
        TForm34& f = showForm();
        const QDateTime after = QDateTime::currentDateTime();
        QCOMPARE(f.windowTitle(), QStringLiteral("Adatok mentése"));
        // The database in the working folder, in the letter case the file system holds it.
        QCOMPARE(f.Edit1->text(), work->filePath("VARNEL2013.FDB"));
        const QString folder = localFolder(QStringLiteral("c:\\varnel2013\\"));
        QVERIFY2(f.Edit2->text() == folder + backupFileName(before) ||
                     f.Edit2->text() == folder + backupFileName(after),
                 qPrintable(f.Edit2->text()));
        QCOMPARE(f.Button2->toolTip(), QStringLiteral("Az adatbázis elérésiútvonala"));
        QCOMPARE(f.Button3->toolTip(), QStringLiteral("Kérem adja meg a mentés helyét"));
        QCOMPARE(f.Label1->text(), QStringLiteral("A kiválasztott útvonalaknak létezni kell."));
    }

    void dialogsFillTheBoxes()
    {
        TForm34& f = showForm();
        const QString proposed = f.Edit2->text();
        // "Honnan": a cancel before any choice keeps the box; a choice fills it.
        f.Button2->click();
        QCOMPARE(f.Edit1->text(), work->filePath("varnel2013.fdb"));
        platform->fileAnswers = {QStringLiteral("/adat/varnel2013.fdb")};
        f.Button2->click();
        QCOMPARE(f.Edit1->text(), QStringLiteral("/adat/varnel2013.fdb"));
        // "Hová": only the chosen folder counts; the name is a new backup file name.
        platform->fileAnswers = {QStringLiteral("/mentes/sajat nev.fdb")};
        f.Button3->click();
        QVERIFY2(f.Edit2->text().startsWith(QStringLiteral("/mentes/")) &&
                     f.Edit2->text().endsWith(QStringLiteral(".FDB")) &&
                     !f.Edit2->text().contains(QStringLiteral("sajat")),
                 qPrintable(f.Edit2->text()));
        QCOMPARE(QDir::currentPath(), work->path());

        QCOMPARE(int(platform->fileDialogs.size()), 3);
        const auto& source = platform->fileDialogs[0];
        QCOMPARE(source.kind, ScriptedPlatform::FileDialogCall::Open);
        QCOMPARE(source.caption, QStringLiteral("Varnel 2013. évi adatok mentése innen"));
        QCOMPARE(source.folder, work->path());
        QVERIFY(source.filter.startsWith(QStringLiteral("*.fdb (varnel2013.fdb")));
        const auto& targetDialog = platform->fileDialogs[2];
        QCOMPARE(targetDialog.kind, ScriptedPlatform::FileDialogCall::Save);
        QCOMPARE(targetDialog.caption, QStringLiteral("Varnel 2013. évi adatok mentése ide"));
        QCOMPARE(targetDialog.folder, proposed);
        QVERIFY(targetDialog.filter.startsWith(QStringLiteral("*.fdb (*.fdb")));
    }

    // A plain file: copied byte for byte once, readable by its owner only; a second copy within the
    // same minute leaves the first untouched and says why.
    void copyNeverOverwrites()
    {
        const QString source = work->filePath("varnel2013.fdb");
        QVERIFY(writeFile(source, QByteArray(3 * 1024 * 1024 + 17, 'x') + "vége"));
        showForm();
        const QString copy = target("2013_05_12_14_05.FDB");
        press(source, copy);
        QCOMPARE(platform->messageTexts(), QStringList{Copied});
        const QByteArray first = digest(source);
        QCOMPARE(digest(copy), first);
        QCOMPARE(QFile::permissions(copy) & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner);

        QVERIFY(writeFile(source, "másik tartalom"));
        press(source, copy);
        QCOMPARE(platform->messages.size(), size_t(1));
        QVERIFY2(platform->messages[0].text.startsWith(NotCopied) &&
                     platform->messages[0].text.contains(QStringLiteral("már létezik")),
                 qPrintable(platform->messages[0].text));
        QCOMPARE(digest(copy), first);
    }

    void failedCopyNamesItsReason_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing source") << "nincs.fdb"
                                        << "mentes.FDB" << MissingSource;
        QTest::newRow("source is a folder") << "."
                                            << "mentes.FDB" << MissingSource;
        QTest::newRow("missing folder")
            << "varnel2013.fdb"
            << "nincs/mentes.FDB" << NotCopied + QStringLiteral("A(z) %1 könyvtár nem létezik.");
    }

    void failedCopyNamesItsReason()
    {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QString, message);
        QVERIFY(writeFile(work->filePath("varnel2013.fdb"), "adat"));
        showForm();
        press(work->filePath(source), work->filePath(target));
        if (message.contains(QStringLiteral("%1")))
            message = message.arg(QFileInfo(work->filePath(target)).absolutePath());
        QCOMPARE(platform->messageTexts(), QStringList{message});
        QVERIFY(!QFileInfo::exists(work->filePath(target)));
    }

    // On a new installation nothing has made the proposed folder: the backup makes it, for its owner only.
    // A folder the user chose that does not exist is refused with its reason, and nothing is made.
    void missingTargetFolder_data()
    {
        QTest::addColumn<QString>(
            "home");   // under the temporary home folder; "nincs": a home that is missing
        QTest::addColumn<QString>(
            "chosen");   // the file chosen with "Hová", under the home; empty: the proposal
        QTest::addColumn<QString>("reason");   // %1: the home folder; empty: copied
        QTest::newRow("proposed folder is made") << ""
                                                 << ""
                                                 << "";
        QTest::newRow("chosen folder is refused") << ""
                                                  << "mentes/sajat.fdb"
                                                  << "A(z) %1/mentes könyvtár nem létezik.";
        QTest::newRow("proposed folder cannot be made") << "nincs"
                                                        << ""
                                                        << "A(z) %1/varnel2013 könyvtár nem hozható létre: "
                                                           "Nincs ilyen fájl vagy könyvtár";
    }

    void missingTargetFolder()
    {
        QFETCH(QString, home);
        QFETCH(QString, chosen);
        QFETCH(QString, reason);
        QTemporaryDir homes;
        const QString homeFolder = home.isEmpty() ? homes.path() : homes.filePath(home);
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(homeFolder));
        const QString source = work->filePath("varnel2013.fdb");
        QVERIFY(writeFile(source, "adat"));
        TForm34& f = showForm();
        const QString proposedFolder = homeFolder + QStringLiteral("/varnel2013");
        QCOMPARE(QFileInfo(f.Edit2->text()).absolutePath(), proposedFolder);
        if (!chosen.isEmpty()) {
            platform->fileAnswers = {homeFolder + QLatin1Char('/') + chosen};
            f.Button3->click();
        }
        const QString target = f.Edit2->text();
        platform->clearMessages();
        f.Button1->click();
        qputenv("HOME", oldHome);

        QCOMPARE(platform->messageTexts(),
                 QStringList{reason.isEmpty() ? Copied : NotCopied + reason.arg(homeFolder)});
        QCOMPARE(QFileInfo::exists(target), reason.isEmpty());
        QCOMPARE(QFileInfo(proposedFolder).isDir(), reason.isEmpty());
        if (reason.isEmpty()) {
            QCOMPARE(digest(target), digest(source));
            QCOMPARE(QFileInfo(proposedFolder).permissions() &
                         ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                     QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }

    // The copy of the database the program holds open, with uncommitted work in its transaction: a valid
    // database of exactly the committed rows; the program's own work stays pending.
    void copyOfTheOpenDatabaseHoldsTheCommittedRows()
    {
        connectData();
        db->exec({QStringLiteral("INSERT INTO dolgozo (dkod, dnev) VALUES ('1', 'Mentett Anna')")});
        Data->ZQ61->setSql(QStringLiteral("INSERT INTO dolgozo (dkod, dnev) VALUES ('2', 'Függő Béla')"));
        Data->ZQ61->execute();
        QVERIFY(Data->IBTrans1.isActive());

        showForm();
        const QString copy = target("mentes.FDB");
        press(db->path(), copy);
        QCOMPARE(platform->messageTexts(), QStringList{Copied});
        QVERIFY(Data->IBTrans1.isActive());
        QCOMPARE(backupState(), 0);
        QCOMPARE(QFile::permissions(copy) & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner);

        const auto [gfixCode, gfixOutput] =
            runTool(QStringLiteral("gfix"), {QStringLiteral("-v"), QStringLiteral("-full"),
                                             QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                                             QStringLiteral("-password"), QStringLiteral("quarzline"), copy});
        QVERIFY2(gfixCode == 0 && gfixOutput.trimmed().isEmpty(), qPrintable(gfixOutput));
        const auto [isqlCode, rows] = runTool(
            QStringLiteral("isql-fb"),
            {QStringLiteral("-q"), QStringLiteral("-ch"), QStringLiteral("UTF8"), QStringLiteral("-user"),
             QStringLiteral("SYSDBA"), QStringLiteral("-password"), QStringLiteral("quarzline"), copy},
            "SELECT 'sor:' || dnev FROM dolgozo;\n");
        QVERIFY2(isqlCode == 0, qPrintable(rows));
        QVERIFY2(rows.contains(QStringLiteral("sor:Mentett Anna")), qPrintable(rows));
        QCOMPARE(rows.count(QStringLiteral("sor:")), 1);

        // The program goes on with its pending row, and its next commit keeps it in its own database.
        Data->IBTrans1.commit();
        Data->ZQ61->setSql(QStringLiteral("SELECT COUNT(*) AS N FROM dolgozo"));
        Data->ZQ61->open();
        QCOMPARE(Data->ZQ61->fieldByName(QStringLiteral("N")).asInteger(), 2);
    }

    // A failure after the backup lock was taken leaves the database unlocked and no copy behind.
    void lockedOrUnfixableCopyFails_data()
    {
        QTest::addColumn<bool>("lockedElsewhere");
        QTest::addColumn<QByteArray>("nbackup");   // a stand-in on an otherwise empty PATH; empty: none
        QTest::addColumn<QString>("reason");
        QTest::newRow("lock refused")
            << true << QByteArray() << QStringLiteral("Az adatbázis nem zárolható a mentéshez: ");
        QTest::newRow("no nbackup") << false << QByteArray()
                                    << QStringLiteral("az nbackup program nem található");
        QTest::newRow("fix-up fails") << false << QByteArray("#!/bin/sh\necho 'nem javítható'\nexit 1\n")
                                      << QStringLiteral("Az nbackup -F nem sikerült: nem javítható");
    }

    void lockedOrUnfixableCopyFails()
    {
        QFETCH(bool, lockedElsewhere);
        QFETCH(QByteArray, nbackup);
        QFETCH(QString, reason);
        connectData();
        const QByteArray path = qgetenv("PATH");
        if (lockedElsewhere) {
            db->exec({QStringLiteral("ALTER DATABASE BEGIN BACKUP")});
        } else {
            QVERIFY(QDir(work->path()).mkpath("bin"));
            if (!nbackup.isEmpty()) {
                QVERIFY(writeFile(work->filePath("bin/nbackup"), nbackup));
                QFile::setPermissions(work->filePath("bin/nbackup"), QFile::ReadOwner | QFile::ExeOwner);
            }
            qputenv("PATH", QFile::encodeName(work->filePath("bin")));
        }
        showForm();
        const QString copy = target("mentes.FDB");
        press(db->path(), copy);
        qputenv("PATH", path);
        if (lockedElsewhere)
            db->exec({QStringLiteral("ALTER DATABASE END BACKUP")});
        QCOMPARE(platform->messages.size(), size_t(1));
        QVERIFY2(platform->messages[0].text.startsWith(NotCopied) &&
                     platform->messages[0].text.contains(reason),
                 qPrintable(platform->messages[0].text));
        QVERIFY(!QFileInfo::exists(copy));
        QCOMPARE(backupState(), 0);
    }
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
