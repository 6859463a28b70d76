// The save path every form shares: one unit of work with the failing step's message and reason, the
// document counter, column widths, failure reasons and new master codes, against a real database.
#include "columnwidths.h"
#include "data.h"
#include "dberror.h"
#include "documentcounter.h"
#include "failurereason.h"
#include "newcode.h"
#include "saveunit.h"
#include "scriptedplatform.h"
#include "testdatabase.h"
#include "testsupport.h"

#include <QTest>

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
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("reason");
        QTest::newRow("too long") << "INSERT INTO cikk (cszam) VALUES ('" + QString(26, '1') + "')"
                                  << "A szöveg túl hosszú: a mező legfeljebb 25 karaktert fogad el.";
        QTest::newRow("not a number") << "INSERT INTO cikk (cear) VALUES ('2,5x')"
                                      << "Nem érvényes szám vagy dátum: \"2,5x\".";
        QTest::newRow("not a date") << "INSERT INTO bizmozg (bbizdatum) VALUES ('2025.02.30')"
                                    << "Nem érvényes szám vagy dátum: \"2025.02.30\".";
        QTest::newRow("outside the code page") << QString::fromUtf8("INSERT INTO cikk (cmegn) VALUES ('\u6F22')")
                                               << QString::fromUtf8("A(z) \"\u6F22\" karakter nem írható a WIN1250 kódlapú adatbázisba.");
    }

    void failureReasons()
    {
        QFETCH(QString, sql);
        QFETCH(QString, reason);
        QCOMPARE(reasonOf(sql), reason);
    }

    void lockConflictReason()
    {
        std::unique_ptr<Connection> first = db->connect();
        Query pending(first->transaction());
        pending.setSql(QStringLiteral("UPDATE bizszam SET zbizszam = '1'"));
        pending.execute();
        QVERIFY(reasonOf(QStringLiteral("UPDATE bizszam SET zbizszam = '2'")).startsWith(QStringLiteral("Zárolási ütközés")));
        first->transaction().rollback();
    }

    void columnWidths_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("width");
        QTest::newRow("name with collation") << "cikk" << "cmegn" << 75;
        QTest::newRow("document number") << "BIZMOZG" << "BBSZAM" << 8;
        QTest::newRow("memo") << "bizmozg" << "bmemo" << 1000;
        QTest::newRow("number") << "bizmozg" << "bear" << 0;
        QTest::newRow("unknown") << "cikk" << "nincs" << 0;
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

    void counterHeldByAnotherDeskFailsAtOnce()
    {
        std::unique_ptr<Connection> other = db->connect();
        Query pending(other->transaction());
        pending.setSql(QStringLiteral("UPDATE bizszam SET zbizszam = '7'"));
        pending.execute();
        const auto outcome = saveInOneUnit({{"Hiba188", [] { DocumentCounter::take(); }}}, "HibaG");
        QCOMPARE(outcome, SaveOutcome::StepFailed);
        QVERIFY(platform->messageTexts().value(0).startsWith(QStringLiteral("Hiba188\rZárolási ütközés")));
        other->transaction().rollback();
        QCOMPARE(scalar("SELECT zbizszam FROM bizszam"), QStringLiteral("0"));
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
};

QTEST_MAIN(TestSaving)
#include "tst_saving.moc"
