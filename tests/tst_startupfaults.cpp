// Start-up with a broken database or lock folder: each ends with the start-up message, the file and the
// reason in Hungarian beneath it, no main window and the file untouched, never with a crash or a window
// half started. Each start runs in a process of its own (the engine reads its lock folder once per
// process), as an ordinary user when the tests run as root.
#include "databasefile.h"
#include "dberror.h"
#include "failurereason.h"
#include "testdatabase.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <ibase.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;
const QString DatabaseFailure =
    QStringLiteral("message: Az adatbáziskezelöt nem találja.\\rA program müködéséhez szükséges.");

}

class TestStartupFaults : public QObject {
    Q_OBJECT

    // The probe's output lines: its messages, "window: ..." and "data: ...".
    QStringList probe(const QStringList& args, const QProcessEnvironment& environment)
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(VARNEL_PROBE_PATH),
                      QStringList{"--uid", QString::number(Nobody)} + args);
        if (!process.waitForFinished(120000))
            return {"hung"};
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return {QStringLiteral("crashed or failed: %1").arg(process.exitCode()),
                    QString::fromLocal8Bit(process.readAllStandardError())};
        return QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

    // The file's SHA-256 (read as root, whatever its mode); empty when there is none.
    static QByteArray fileDigest(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly)
                   ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                   : QByteArray();
    }

    // A folder of the probe's user, holding a good database.
    static void handOver(const QString& path)
    {
        if (::geteuid() == 0 && ::chown(QFile::encodeName(path).constData(), Nobody, Nobody) != 0)
            qFatal("chown");
    }

private slots:
    void initTestCase() { initTestLocale(); }

    void startUpFault_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("expected");
        // The start-up message unchanged, then the file and why it cannot be opened.
        const auto refused = [](const QString& reason) {
            return QStringList{DatabaseFailure + "\\rAdatbázis: WORK/VARNEL2013.FDB\\r" + reason,
                               "window: no", "data: no"};
        };
        const QString notADatabase =
            "A fájl nem érvényes adatbázis: sérült, vagy nem ennek a programnak az adatbázisa.";
        const QString tooShort = "A fájl rövidebb a vártnál: csonka vagy sérült adatbázis.";
        QTest::newRow("database missing") << "missing" << refused("A fájl nem található.");
        QTest::newRow("database unreadable")
            << "unreadable" << refused("Nincs jogosultság a fájl megnyitásához.");
        QTest::newRow("database read-only")
            << "read-only" << refused("Nincs írási jogosultság a fájlhoz (a programnak írnia is kell bele).");
        QTest::newRow("not a database") << "garbage" << refused(notADatabase);
        QTest::newRow("random bytes") << "random" << refused(notADatabase);
        QTest::newRow("first page damaged") << "first page" << refused(notADatabase);
        QTest::newRow("truncated") << "truncated" << refused(tooShort);
        QTest::newRow("empty file") << "empty" << refused(tooShort);
        QTest::newRow("older on-disk structure")
            << "older structure"
            << refused(
                   "A fájl más adatbázis-kezelő változat formátumában van (ODS 10.0; ez a gép az ODS 12.2 "
                   "formátumot kezeli).");
        QTest::newRow("opened by another process")
            << "held" << refused("Az adatbázist egy másik program már megnyitotta.");
        QTest::newRow("engine lock folder not writable")
            << "lock folder" << refused("Az adatbázis-kezelő zárolási mappája (WORK/lock) nem használható.");
        QTest::newRow("no private folder for the engine's locks")
            << "no private folder"
            << QStringList{
                   "message: Az adatbázis-kezelő zárolási mappája nem használható: TMP/varnel-65534 - "
                   "nem hozható létre (Nincs jogosultság a művelethez).",
                   "window: no", "data: no"};
        QTest::newRow("good database") << "none" << QStringList{"window: yes", "data: yes"};
    }

    void startUpFault()
    {
        QFETCH(QString, fault);
        QFETCH(QStringList, expected);
        TestDatabase db;
        QTemporaryDir work;
        const QString lockFolder = work.filePath("lock");
        const QString tmp = work.filePath("tmp");
        QVERIFY(QDir().mkpath(lockFolder) && QDir().mkpath(tmp));
        ::chmod(QFile::encodeName(work.path()).constData(), 0755);
        ::chmod(QFile::encodeName(lockFolder).constData(), 0700);
        ::chmod(QFile::encodeName(tmp).constData(), 0755);
        handOver(lockFolder);
        const QString database = work.filePath("VARNEL2013.FDB");
        QVERIFY(QFile::copy(db.path(), database));
        ::chmod(QFile::encodeName(database).constData(), 0600);
        handOver(database);
        handOver(work.path());

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("FIREBIRD_LOCK", lockFolder);
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("HOME", work.path());
        std::unique_ptr<QProcess> holder;
        QRandomGenerator random(23);
        const auto overwrite = [&database](qint64 offset, const QByteArray& bytes) {
            QFile file(database);
            return file.open(QIODevice::ReadWrite) && file.seek(offset) && file.write(bytes) == bytes.size();
        };
        const auto randomBytes = [&random](int size) {
            QByteArray bytes(size, Qt::Uninitialized);
            for (char& byte : bytes)
                byte = char(random.bounded(256));
            return bytes;
        };
        if (fault == "missing") {
            QFile::remove(database);
        } else if (fault == "unreadable") {
            ::chmod(QFile::encodeName(database).constData(), 0);
        } else if (fault == "read-only") {
            ::chmod(QFile::encodeName(database).constData(), 0400);
        } else if (fault == "garbage" || fault == "empty") {
            QFile file(database);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            if (fault == "garbage")
                for (int i = 0; i < 4096; ++i)
                    file.write(QByteArray("not a database ").repeated(2));
        } else if (fault == "random") {
            QVERIFY(QFile::resize(database, 0));
            QVERIFY(overwrite(0, randomBytes(256 * 1024)));
        } else if (fault == "first page") {
            QVERIFY(overwrite(0, randomBytes(4096)));
        } else if (fault == "truncated") {
            QVERIFY(QFile::resize(database, QFileInfo(database).size() / 3));
        } else if (fault == "older structure") {
            QVERIFY(overwrite(0x12,
                              QByteArray("\x0A\x80", 2)));   // the header's ODS 10, as an older engine wrote
        } else if (fault == "held") {
            holder = std::make_unique<QProcess>();
            holder->setProcessEnvironment(environment);
            holder->start(QStringLiteral(VARNEL_PROBE_PATH),
                          {"--uid", QString::number(Nobody), "--hold", database});
            QVERIFY(holder->waitForReadyRead(60000));
            QCOMPARE(holder->readLine().trimmed(), QByteArray("holding"));
        } else if (fault == "lock folder") {
            ::chmod(QFile::encodeName(lockFolder).constData(), 0500);
        } else if (fault == "no private folder") {
            environment.remove("FIREBIRD_LOCK");
            environment.remove("XDG_RUNTIME_DIR");
            environment.insert("TMPDIR", tmp);
            ::chmod(QFile::encodeName(tmp).constData(), 0555);
        }
        const QByteArray before = fileDigest(database);

        QStringList lines = probe({"--start", database}, environment);
        lines.replaceInStrings(tmp, "TMP");
        lines.replaceInStrings(work.path(), "WORK");
        if (holder) {
            holder->closeWriteChannel();
            QVERIFY(holder->waitForFinished(60000));
        }
        QCOMPARE(lines, expected);
        // A start that failed leaves the file as it found it, byte for byte (the holder writes to its own).
        if (fault != "none" && fault != "held")
            QCOMPARE(fileDigest(database), before);
    }

    // What the engine says of a file it cannot open that the start-up cases above do not meet.
    void openFailureReasons_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<long>("code");
        QTest::addColumn<QString>("reason");
        QTest::newRow("newer on-disk structure")
            << "unsupported on-disk structure for file /a/B.FDB; found 13.0, support 12.2"
            << long(isc_wrong_ods)
            << "A fájl más adatbázis-kezelő változat formátumában van (ODS 13.0; ez a gép az ODS 12.2 "
               "formátumot kezeli).";
        QTest::newRow("system error without a reason of its own: the engine's words")
            << "I/O error during \"open\" operation for file \"/a/B.FDB\"\n-Error while trying to open "
               "file\n-" +
                   QString::fromLocal8Bit(std::strerror(EMFILE))
            << long(isc_io_error)
            << "Az adatbázis-kezelő üzenete: I/O error during \"open\" operation for file \"/a/B.FDB\"\r"
               "Error while trying to open file\r" +
                   QString::fromLocal8Bit(std::strerror(EMFILE));
        QTest::newRow("the data layer's own, already Hungarian")
            << "Nincs megadva adatbázis." << 0L << "Nincs megadva adatbázis.";
    }

    void openFailureReasons()
    {
        QFETCH(QString, text);
        QFETCH(long, code);
        QFETCH(QString, reason);
        QCOMPARE(openFailureReason(DbError(text, code)), reason);
    }

    // A new database is readable and writable by its owner only, from the moment the engine made it.
    void newDatabaseIsItsOwnersAlone()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("UJ.FDB");
        std::unique_ptr<Connection> connection = createDatabaseFromSchema(path);
        QCOMPARE(QFileInfo(path).permissions() & ~(QFile::ReadUser | QFile::WriteUser),
                 QFile::ReadOwner | QFile::WriteOwner);
        connection->close();
    }
};

QTEST_MAIN(TestStartupFaults)
#include "tst_startupfaults.moc"
