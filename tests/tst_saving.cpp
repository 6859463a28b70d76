// The save path every form shares: one unit of work with the failing step's message and reason, the
// document counter, column widths, failure reasons and new master codes, against a real database.
#include "columnwidths.h"
#include "data.h"
#include "databasefile.h"
#include "dberror.h"
#include "documentcounter.h"
#include "failurereason.h"
#include "newcode.h"
#include "saveunit.h"
#include "scriptedplatform.h"
#include "testdatabase.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTranslator>
#include <cerrno>
#include <thread>

class TestSaving : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    ScriptedPlatform* platform = nullptr;

    QString scalar(const QString& sql)
    {
        std::unique_ptr<Connection> reader = db->connect();
        Query q(reader->transaction());
        q.setSql(sql);
        q.open();
        return q.fieldAt(0, 0).asString();
    }

    SaveStep execStep(const QString& message, const QString& sql)
    {
        return {message, [sql] {
                    Query q(Data->IBTrans1);
                    q.setSql(sql);
                    q.execute();
                }};
    }

    // The error a statement meets on a fresh attachment.
    QString reasonOf(const QString& sql)
    {
        std::unique_ptr<Connection> conn = db->connect();
        Query q(conn->transaction());
        q.setSql(sql);
        try {
            q.execute();
        } catch (const std::exception& error) {
            return failureReason(error);
        }
        return QStringLiteral("(no error)");
    }

private slots:
    void initTestCase() { initTestLocale(); }

    void init()
    {
        platform = &ScriptedPlatform::install();
        db = std::make_unique<TestDatabase>();
        Data = new TData(db->path());
        Data->connectAndOpenTables();
    }

    void cleanup()
    {
        verifyScriptUsed(*platform);
        delete Data;
        Data = nullptr;
        db.reset();
    }

    void unitCommitsEveryStep()
    {
        const auto outcome = saveInOneUnit({execStep("HibaA", "INSERT INTO raktar (rkod) VALUES ('1')"),
                                            execStep("HibaB", "INSERT INTO raktar (rkod) VALUES ('2')")},
                                           "HibaG");
        QCOMPARE(outcome, SaveOutcome::Saved);
        QVERIFY(!Data->IBTrans1.isActive());
        QVERIFY(platform->messageTexts().isEmpty());
        QCOMPARE(scalar("SELECT count(*) FROM raktar"), QStringLiteral("2"));
    }

    // A later step's failure undoes the earlier steps and names itself, with the reason beneath.
    void failingStepUndoesTheWholeUnit()
    {
        const auto outcome = saveInOneUnit({execStep("HibaA", "INSERT INTO raktar (rkod) VALUES ('1')"),
                                            execStep("HibaB", "INSERT INTO raktar (rkod) VALUES ('123456')")},
                                           "HibaG");
        QCOMPARE(outcome, SaveOutcome::StepFailed);
        QVERIFY(!Data->IBTrans1.isActive());
        QCOMPARE(platform->messageTexts(),
                 QStringList{"HibaB\rA szöveg túl hosszú: a mező legfeljebb 5 karaktert fogad el."});
        QCOMPARE(scalar("SELECT count(*) FROM raktar"), QStringLiteral("0"));
    }

    void transactionThatCannotStartShowsTheGuardMessage()
    {
        Data->ZCon1.close();
        bool ran = false;
        const auto outcome = saveInOneUnit({{"HibaA", [&] { ran = true; }}}, "HibaG");
        QCOMPARE(outcome, SaveOutcome::GuardFailed);
        QVERIFY(!ran);
        QCOMPARE(platform->messageTexts(), QStringList{"HibaG\rNincs adatbázis kapcsolat."});
    }

    void failureReasons_data()
    {
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("reason");
        QTest::newRow("too long") << QStringList()
                                  << "INSERT INTO cikk (cszam) VALUES ('" + QString(26, '1') + "')"
                                  << "A szöveg túl hosszú: a mező legfeljebb 25 karaktert fogad el.";
        QTest::newRow("not a number") << QStringList() << "INSERT INTO cikk (cear) VALUES ('2,5x')"
                                      << "Nem érvényes szám vagy dátum: \"2,5x\".";
        QTest::newRow("not a date") << QStringList()
                                    << "INSERT INTO bizmozg (bbizdatum) VALUES ('2025.02.30')"
                                    << "Nem érvényes szám vagy dátum: \"2025.02.30\".";
        QTest::newRow("outside the code page")
            << QStringList() << QString::fromUtf8("INSERT INTO cikk (cmegn) VALUES ('\u6F22')")
            << QString::fromUtf8("A(z) \"\u6F22\" karakter nem írható a WIN1250 kódlapú adatbázisba.");
        // Refusals raised inside the database give their own text, not "exception 1".
        const QString trigger =
            QStringLiteral("CREATE TRIGGER guard FOR raktar BEFORE INSERT AS BEGIN %1 END");
        QTest::newRow("exception's message")
            << QStringList{"CREATE EXCEPTION no_store 'A raktár le van zárva.'",
                           trigger.arg("EXCEPTION no_store;")}
            << "INSERT INTO raktar (rkod) VALUES ('1')"
            << "Az adatbázis elutasította: A raktár le van zárva.";
        QTest::newRow("message given where raised")
            << QStringList{"CREATE EXCEPTION no_store 'x'",
                           trigger.arg("EXCEPTION no_store 'Csak ' || NEW.rkod || ' nem.';")}
            << "INSERT INTO raktar (rkod) VALUES ('7')"
            << "Az adatbázis elutasította: Csak 7 nem.";
        QTest::newRow("exception with parameters")
            << QStringList{"CREATE EXCEPTION no_code 'Tiltott kód: @1'",
                           trigger.arg("EXCEPTION no_code USING (NEW.rkod);")}
            << "INSERT INTO raktar (rkod) VALUES ('9')"
            << "Az adatbázis elutasította: Tiltott kód: 9";
        QTest::newRow("exception without text")
            << QStringList{"CREATE EXCEPTION no_store ''", trigger.arg("EXCEPTION no_store;")}
            << "INSERT INTO raktar (rkod) VALUES ('1')"
            << "Az adatbázis elutasította a műveletet (NO_STORE).";
        QTest::newRow("check constraint")
            << QStringList{"ALTER TABLE raktar ADD CONSTRAINT short_code CHECK (rkod <> '0')"}
            << "INSERT INTO raktar (rkod) VALUES ('0')"
            << "Az adatbázis elutasította: a(z) RAKTAR tábla SHORT_CODE ellenőrző feltétele "
               "nem teljesül.";
        QTest::newRow("empty column") << QStringList{"ALTER TABLE raktar ADD needed INTEGER NOT NULL"}
                                      << "INSERT INTO raktar (rkod) VALUES ('1')"
                                      << "Az adatbázis elutasította: a(z) RAKTAR.NEEDED mező nem lehet üres.";
    }

    void failureReasons()
    {
        QFETCH(QStringList, setup);
        QFETCH(QString, sql);
        QFETCH(QString, reason);
        if (!setup.isEmpty())
            db->exec(setup);
        QCOMPARE(reasonOf(sql), reason);
    }

    // The system's reasons in failure messages are Hungarian, from an errno value or from a file that
    // failed (whose device keeps only the system's text).
    void systemReasons_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reason");
        QTest::newRow("read-only") << int(EROFS) << "A fájlrendszer csak olvasható";
        QTest::newRow("disk full") << int(ENOSPC) << "Nincs több szabad hely az eszközön";
        QTest::newRow("permission") << int(EACCES) << "Nincs jogosultság a művelethez";
        QTest::newRow("not permitted") << int(EPERM) << "Nincs jogosultság a művelethez";
        QTest::newRow("missing") << int(ENOENT) << "Nincs ilyen fájl vagy könyvtár";
        QTest::newRow("quota") << int(EDQUOT) << "Elfogyott a felhasználó lemezkvótája";
        QTest::newRow("unknown code") << 4242 << "Rendszerhiba (hibakód: 4242)";
    }

    void systemReasons()
    {
        QFETCH(int, code);
        QFETCH(QString, reason);
        QCOMPARE(systemReason(code), reason);
    }

    void fileReasons_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("translated");   // with Qt's Hungarian texts installed
        QTest::addColumn<QString>("reason");
        const int write = int(QIODevice::WriteOnly);
        const int read = int(QIODevice::ReadOnly);
        QTest::newRow("missing file") << "nincs/itt.txt" << read << false << "Nincs ilyen fájl vagy könyvtár";
        QTest::newRow("missing, Qt in Hungarian")
            << "nincs/itt.txt" << read << true << "Nincs ilyen fájl vagy könyvtár";
        QTest::newRow("missing folder for a new file")
            << "nincs/uj.txt" << write << false << "Nincs ilyen fájl vagy könyvtár";
        QTest::newRow("a folder to write") << "." << write << false << "Ez egy könyvtár, nem fájl";
        // Qt's own text, no system code behind it: the kind of operation that failed.
        QTest::newRow("a folder to read") << "." << read << false << "A fájl nem nyitható meg";
    }

    void fileReasons()
    {
        QFETCH(QString, path);
        QFETCH(int, mode);
        QFETCH(bool, translated);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QTranslator hungarian;
        if (translated) {
            QVERIFY(hungarian.load(QStringLiteral("qtbase_hu"),
                                   QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
            QCoreApplication::installTranslator(&hungarian);
        }
        QFile file(path.startsWith('/') ? path : dir.filePath(path));
        QVERIFY(!file.open(QIODevice::OpenMode(mode)));
        const QString shown = fileReason(file);
        QCoreApplication::removeTranslator(&hungarian);
        QCOMPARE(shown, reason);
    }

    void lockConflictReason()
    {
        std::unique_ptr<Connection> first = db->connect();
        Query pending(first->transaction());
        pending.setSql(QStringLiteral("UPDATE bizszam SET zbizszam = '1'"));
        pending.execute();
        QVERIFY(reasonOf(QStringLiteral("UPDATE bizszam SET zbizszam = '2'"))
                    .startsWith(QStringLiteral("Zárolási ütközés")));
        first->transaction().rollback();
    }

    void columnWidths_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("width");
        QTest::newRow("name with collation") << "cikk"
                                             << "cmegn" << 75;
        QTest::newRow("document number") << "BIZMOZG"
                                         << "BBSZAM" << 8;
        QTest::newRow("memo") << "bizmozg"
                              << "bmemo" << 1000;
        QTest::newRow("number") << "bizmozg"
                                << "bear" << 0;
        QTest::newRow("unknown") << "cikk"
                                 << "nincs" << 0;
    }

    void columnWidths()
    {
        QFETCH(QString, table);
        QFETCH(QString, column);
        QFETCH(int, width);
        QCOMPARE(columnWidth(table, column), width);
        QVERIFY_THROWS_EXCEPTION(DbError, requireFits("cikk", "ckod", "123456"));
        requireFits("cikk", "ckod", "12345");
    }

    void documentCounter()
    {
        db->exec({"UPDATE bizszam SET zbizszam = '41'"});
        QCOMPARE(DocumentCounter::next(), 42);
        QCOMPARE(saveInOneUnit({{"Hiba188", [] { QCOMPARE(DocumentCounter::take(), 42); }}}, "HibaG"),
                 SaveOutcome::Saved);
        QCOMPARE(scalar("SELECT zbizszam FROM bizszam"), QStringLiteral("42"));
        QCOMPARE(DocumentCounter::next(), 43);
    }

    // Another desk took 43 and 44 after this form read 42: the line gets 45, never a number in use.
    void counterTakesTheNextFreeNumber()
    {
        db->exec({"UPDATE bizszam SET zbizszam = '42'"});
        QCOMPARE(DocumentCounter::next(), 43);
        db->exec({"UPDATE bizszam SET zbizszam = '44'"});
        qint64 taken = 0;
        saveInOneUnit({{"Hiba188", [&] { taken = DocumentCounter::take(); }}}, "HibaG");
        QCOMPARE(taken, 45);
        QCOMPARE(scalar("SELECT zbizszam FROM bizszam"), QStringLiteral("45"));
    }

    // Another desk's save holds the counter while this desk saves a unit of a row and a number. The save
    // waits for it: when that save ends within the lock timeout, this one is stored without a message,
    // with the number after the other's when it committed one; a counter held longer is refused with the
    // lock message after the wait, and nothing of the unit is stored.
    void counterHeldByAnotherDesk_data()
    {
        QTest::addColumn<int>("holdMs");
        QTest::addColumn<bool>("commits");   // the other desk's save commits, else it is rolled back
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("counter");
        QTest::newRow("released by a commit within the timeout") << 300 << true << true << "8";
        QTest::newRow("released by a rollback within the timeout") << 300 << false << true << "1";
        QTest::newRow("held longer than the timeout")
            << (Transaction::LockTimeoutSeconds + 1) * 1000 << false << false << "0";
    }

    void counterHeldByAnotherDesk()
    {
        QFETCH(int, holdMs);
        QFETCH(bool, commits);
        QFETCH(bool, saved);
        QFETCH(QString, counter);
        std::unique_ptr<Connection> other = db->connect();
        Query pending(other->transaction());
        pending.setSql(QStringLiteral("UPDATE bizszam SET zbizszam = '7'"));
        pending.execute();
        // The other desk ends its save on a thread of its own while this one waits in the server.
        std::thread otherDesk([&] {
            QThread::msleep(ulong(holdMs));
            if (commits)
                other->transaction().commit();
            else
                other->transaction().rollback();
        });
        QElapsedTimer waited;
        waited.start();
        qint64 taken = 0;
        const auto outcome = saveInOneUnit({execStep("HibaA", "INSERT INTO raktar (rkod) VALUES ('1')"),
                                            {"Hiba188", [&] { taken = DocumentCounter::take(); }}},
                                           "HibaG");
        const qint64 elapsed = waited.elapsed();
        otherDesk.join();
        QCOMPARE(scalar("SELECT zbizszam FROM bizszam"), counter);
        if (saved) {
            QCOMPARE(outcome, SaveOutcome::Saved);
            QCOMPARE(platform->messageTexts(), QStringList());
            QCOMPARE(QString::number(taken), counter);
            QCOMPARE(scalar("SELECT count(*) FROM raktar"), QStringLiteral("1"));
        } else {
            QCOMPARE(outcome, SaveOutcome::StepFailed);
            QCOMPARE(platform->messageTexts(),
                     QStringList{QStringLiteral("Hiba188\rZárolási ütközés: egy másik munkahely éppen "
                                                "ugyanezt az adatot módosítja. Próbálja újra később.")});
            // The server counts the timeout in whole seconds of its clock.
            QVERIFY2(elapsed >= (Transaction::LockTimeoutSeconds - 1) * 1000,
                     qPrintable(QString::number(elapsed)));
            QCOMPARE(scalar("SELECT count(*) FROM raktar"), QStringLiteral("0"));
        }
    }

    void brokenCounter_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("message");
        QTest::newRow("no row") << "DELETE FROM bizszam"
                                << "A bizonylatszámláló (BIZSZAM tábla) üres, nincs honnan számozni.";
        QTest::newRow("not whole") << "UPDATE bizszam SET zbizszam = '4a'"
                                   << "A bizonylatszámláló értéke nem egész szám: \"4a\".";
    }

    void brokenCounter()
    {
        QFETCH(QString, sql);
        QFETCH(QString, message);
        db->exec({sql});
        try {
            DocumentCounter::next();
            QFAIL("no error");
        } catch (const DbError& error) {
            QCOMPARE(error.message(), message);
        }
    }

    void newCodes_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("next");
        QTest::newRow("empty table") << QStringList{} << "1";
        QTest::newRow("numeric, not text order") << QStringList{"9", "10", "2"} << "11";
        QTest::newRow("codes that are not numbers") << QStringList{"A7", "3", "12b"} << "4";
    }

    void newCodes()
    {
        QFETCH(QStringList, codes);
        QFETCH(QString, next);
        QStringList inserts;
        for (const QString& code : codes)
            inserts << QStringLiteral("INSERT INTO partner (pkod) VALUES ('%1')").arg(code);
        if (!inserts.isEmpty())
            db->exec(inserts);
        QCOMPARE(nextCode("partner", "pkod"), next);
    }

    // A database of an earlier version is given this version's indexes when the program opens it, and
    // ends up with the same set as a database made now; an up-to-date one is only read.
    void oldIndexesAreBroughtUpToDate_data()
    {
        QTest::addColumn<QList<QStringList>>("alterations");
        QTest::addColumn<QStringList>("changes");
        QTest::newRow("up to date") << QList<QStringList>{} << QStringList{};
        QTest::newRow("register index of one column, date index")
            << QList<QStringList>{{"DROP INDEX BIZMOZG_BSZAM_DESC"},
                                  {"DROP INDEX BIZMOZG_BSZAM"},
                                  {"CREATE INDEX BIZMOZG_BSZAM ON BIZMOZG (BBSZAM)"},
                                  {"CREATE INDEX BIZMOZG_DATUM ON BIZMOZG (BBIZDATUM)"}}
            << QStringList{"DROP INDEX BIZMOZG_DATUM", "DROP INDEX BIZMOZG_BSZAM",
                           "CREATE INDEX BIZMOZG_BSZAM ON BIZMOZG (BBSZAM, IDB)",
                           "CREATE DESCENDING INDEX BIZMOZG_BSZAM_DESC ON BIZMOZG (BBSZAM, IDB)"};
        QTest::newRow("inactive, other direction")
            << QList<QStringList>{{"ALTER INDEX CIKK_SZAM INACTIVE"},
                                  {"DROP INDEX PARTNER_NEV"},
                                  {"CREATE DESCENDING INDEX PARTNER_NEV ON PARTNER (PNEV)"}}
            << QStringList{"ALTER INDEX CIKK_SZAM ACTIVE", "DROP INDEX PARTNER_NEV",
                           "CREATE INDEX PARTNER_NEV ON PARTNER (PNEV)"};
    }

    void oldIndexesAreBroughtUpToDate()
    {
        QFETCH(QList<QStringList>, alterations);
        QFETCH(QStringList, changes);
        const auto indexes = [](const TestDatabase& database) {
            std::unique_ptr<Connection> reader = database.connect();
            Query q(reader->transaction());
            q.setSql(
                QStringLiteral("SELECT TRIM(i.RDB$INDEX_NAME) || ' ' || TRIM(i.RDB$RELATION_NAME) || ' ' || "
                               "COALESCE(i.RDB$INDEX_TYPE, 0) || COALESCE(i.RDB$INDEX_INACTIVE, 0) || ' ' || "
                               "TRIM(s.RDB$FIELD_NAME) FROM RDB$INDICES i "
                               "JOIN RDB$INDEX_SEGMENTS s ON s.RDB$INDEX_NAME = i.RDB$INDEX_NAME "
                               "WHERE COALESCE(i.RDB$SYSTEM_FLAG, 0) = 0 ORDER BY 1"));
            QStringList rows;
            for (q.open(); !q.eof(); q.next())
                rows << q.field(0).asString();
            return rows;
        };
        const QStringList madeNow = indexes(*db);
        delete Data;
        Data = nullptr;
        db->exec({"INSERT INTO BIZMOZG (BBSZAM, BCIKKSZAM, BBIZDATUM) VALUES ('1', '1', '2026-01-02')"});
        const auto alter = [&] {
            for (const QStringList& statement : alterations)
                db->exec(statement);
        };

        alter();
        Data = new TData(db->path());
        Data->connectAndOpenTables();
        delete Data;
        Data = nullptr;
        QCOMPARE(indexes(*db), madeNow);

        alter();
        std::unique_ptr<Connection> connection = db->connect();
        QCOMPARE(bringIndexesUpToDate(*connection), changes);
        QCOMPARE(bringIndexesUpToDate(*connection), QStringList{});
        connection.reset();
        QCOMPARE(indexes(*db), madeNow);

        Data = new TData(db->path());
        Data->connectAndOpenTables();
        QCOMPARE(scalar("SELECT COUNT(*) FROM BIZMOZG WHERE BBSZAM = '1'"), QStringLiteral("1"));
    }
};

QTEST_MAIN(TestSaving)
#include "tst_saving.moc"
