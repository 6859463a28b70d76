// The working folder's lock: a second copy of the program is told that one already runs; the lock of a
// copy that has ended does not keep the program from starting.
#include "runlock.h"
#include "scriptedplatform.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestRunLock : public QObject {
    Q_OBJECT

private slots:
    void secondCopyIsRefused()
    {
        ScriptedPlatform& platform = ScriptedPlatform::install();
        QTemporaryDir folder;
        {
            RunLock first(folder.path());
            QVERIFY(first.take());
            RunLock second(folder.path());
            QVERIFY(!second.take());
            QCOMPARE(platform.messageTexts(),
                     QStringList{"A program már fut ebben a munkamappában:\r" + folder.path() +
                                 "\rEgyszerre csak egy példánya dolgozhat ugyanazokkal az adatokkal; "
                                 "a már megnyitott ablakot használja."});
        }
        // Once the first copy has ended the folder is free again.
        RunLock later(folder.path());
        QVERIFY(later.take());
        QCOMPARE(platform.messages.size(), size_t(1));
    }

    // A copy that was killed leaves its lock file behind; the next start takes it over silently.
    void lockOfAnEndedCopyIsTakenOver()
    {
        ScriptedPlatform& platform = ScriptedPlatform::install();
        QTemporaryDir folder;
        QProcess ended;
        ended.start(QStringLiteral("true"), {});
        QVERIFY(ended.waitForStarted());
        const qint64 pid = ended.processId();
        QVERIFY(ended.waitForFinished());
        QFile lock(QDir(folder.path()).filePath(QStringLiteral("varnel.lock")));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(pid) + "\nvarnel\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();

        RunLock next(folder.path());
        QVERIFY(next.take());
        QVERIFY(platform.messages.empty());
    }
};

QTEST_MAIN(TestRunLock)
#include "tst_runlock.moc"
