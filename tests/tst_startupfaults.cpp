// Start-up with a broken database or lock folder: each ends with the start-up message and no main window,
// never with a crash or a window half started. Each start runs in a process of its own (the engine reads
// its lock folder once per process), as an ordinary user when the tests run as root.
#include "databasefile.h"
#include "testdatabase.h"

#include <QProcess>
#include <QTest>
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
        process.start(QStringLiteral(VARNEL_PROBE_PATH), QStringList{"--uid", QString::number(Nobody)} + args);
        if (!process.waitForFinished(120000))
            return {"hung"};
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
            return {QStringLiteral("crashed or failed: %1").arg(process.exitCode()),
                    QString::fromLocal8Bit(process.readAllStandardError())};
        return QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
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
        const QStringList refused{DatabaseFailure, "window: no", "data: no"};
        QTest::newRow("database missing") << "missing" << refused;
        QTest::newRow("database read-only") << "read-only" << refused;
        QTest::newRow("not a database") << "garbage" << refused;
        QTest::newRow("empty file") << "empty" << refused;
        QTest::newRow("opened by another process") << "held" << refused;
        QTest::newRow("engine lock folder not writable") << "lock folder" << refused;
        QTest::newRow("no private folder for the engine's locks")
            << "no private folder"
            << QStringList{"message: Az adatbázis-kezelő zárolási mappája nem használható: TMP/varnel-65534 - "
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
        if (fault == "missing") {
            QFile::remove(database);
        } else if (fault == "read-only") {
            ::chmod(QFile::encodeName(database).constData(), 0400);
        } else if (fault == "garbage" || fault == "empty") {
            QFile file(database);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            if (fault == "garbage")
                for (int i = 0; i < 4096; ++i)
                    file.write(QByteArray("not a database ").repeated(2));
        } else if (fault == "held") {
            holder = std::make_unique<QProcess>();
            holder->setProcessEnvironment(environment);
            holder->start(QStringLiteral(VARNEL_PROBE_PATH), {"--uid", QString::number(Nobody), "--hold", database});
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

        QStringList lines = probe({"--start", database}, environment);
        lines.replaceInStrings(tmp, "TMP");
        if (holder) {
            holder->closeWriteChannel();
            QVERIFY(holder->waitForFinished(60000));
        }
        QCOMPARE(lines, expected);
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
