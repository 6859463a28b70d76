// The data layer against a real embedded database: parameters, binding, code page, transaction
// rules, NULLs, exact decimals, locate, lazy fetching and table editing.
#include "connection.h"
#include "dberror.h"
#include "formats.h"
#include "query.h"
#include "table.h"
#include "testdatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>
#include <QTest>

class TestDb : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<Connection> conn;

    std::unique_ptr<Query> query(const QString& sql)
    {
        auto q = std::make_unique<Query>(conn->transaction());
        q->setSql(sql);
        return q;
    }

    int count(const QString& table)
    {
        auto q = query(QStringLiteral("SELECT count(*) AS db FROM ") + table);
        q->open();
        return int(q->fieldByName(QStringLiteral("db")).asInteger());
    }

    static int modeOf(const QString& folder)
    {
        struct stat info {};
        return ::stat(QFile::encodeName(folder).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
    }

private slots:
    void initTestCase() { initTestLocale(); }

    void init()
    {
        db = std::make_unique<TestDatabase>();
        conn = db->connect();
    }

    void cleanup()
    {
        conn.reset();
        db.reset();
    }

    void rewritesParameters_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("rewritten");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("plain") << "SELECT * FROM raktar WHERE rkod = :p1"
                               << "SELECT * FROM raktar WHERE rkod = ?" << QStringList{"p1"};
        QTest::newRow("repeated") << "WHERE a = :p1 OR b = :p2 OR c = :p1"
                                  << "WHERE a = ? OR b = ? OR c = ?" << QStringList{"p1", "p2", "p1"};
        QTest::newRow("in string") << "SELECT ':p1' || x FROM t WHERE y = :p2"
                                   << "SELECT ':p1' || x FROM t WHERE y = ?" << QStringList{"p2"};
        QTest::newRow("doubled quote") << "WHERE a = 'it''s :p9' AND b = :p0"
                                       << "WHERE a = 'it''s :p9' AND b = ?" << QStringList{"p0"};
        QTest::newRow("quoted identifier") << "SELECT \":p1\" FROM t WHERE a=:p3"
                                           << "SELECT \":p1\" FROM t WHERE a=?" << QStringList{"p3"};
        QTest::newRow("line comment") << "SELECT a -- :p1\nFROM t WHERE b=:p2"
                                      << "SELECT a -- :p1\nFROM t WHERE b=?" << QStringList{"p2"};
        QTest::newRow("block comment") << "SELECT /* :p1 */ a FROM t WHERE b=:p2"
                                       << "SELECT /* :p1 */ a FROM t WHERE b=?" << QStringList{"p2"};
        QTest::newRow("no space") << "VALUES (:p1,:p2)"
                                  << "VALUES (?,?)" << QStringList{"p1", "p2"};
    }

    void rewritesParameters()
    {
        QFETCH(QString, sql);
        QFETCH(QString, rewritten);
        QFETCH(QStringList, names);
        QStringList found;
        QCOMPARE(rewriteParameters(sql, &found), rewritten);
        QCOMPARE(found, names);
    }

    void repeatedParameterBindsOnce()
    {
        db->exec({"INSERT INTO raktar (rkod, rnev, rtelep) VALUES ('1', 'Fő', 'Fő')",
                  "INSERT INTO raktar (rkod, rnev, rtelep) VALUES ('2', 'Fő', 'Mellék')"});
        auto q = query("SELECT count(*) AS db FROM raktar WHERE rnev = :p1 AND rtelep = :p1");
        QCOMPARE(q->paramNames(), QStringList{"p1"});
        q->paramByName("P1").setText("Fő");
        q->open();
        QCOMPARE(q->fieldByName("db").asInteger(), 1);
    }

    void bindsTextIntoColumns_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("readBack");   // empty: the server must refuse
        QTest::newRow("integer") << "idb"
                                 << "42"
                                 << "42";
        QTest::newRow("integer with comma") << "idb"
                                            << "2,5"
                                            << "";
        QTest::newRow("numeric point") << "bmenov"
                                       << "2.5"
                                       << "2,5";
        QTest::newRow("numeric comma") << "bmenov"
                                       << "2,5"
                                       << "";
        QTest::newRow("date") << "bbizdatum"
                              << "2025.03.07"
                              << "2025.03.07";
        QTest::newRow("not a date") << "bbizdatum"
                                    << "2025.13.40"
                                    << "";
        QTest::newRow("varchar fits") << "bmnem"
                                      << "BEV"
                                      << "BEV";
        QTest::newRow("varchar too long") << "bmnem"
                                          << "BEVE"
                                          << "";
    }

    void bindsTextIntoColumns()
    {
        QFETCH(QString, column);
        QFETCH(QString, text);
        QFETCH(QString, readBack);
        auto q = query(QStringLiteral("INSERT INTO bizmozg (%1) VALUES (:p1)").arg(column));
        q->paramByName("p1").setText(text);
        if (readBack.isEmpty()) {
            try {
                q->execute();
                QFAIL("the server accepted the value");
            } catch (const DbError& e) {
                QVERIFY(!e.message().isEmpty());
                QVERIFY(e.gdsCode() != 0);
            }
            return;
        }
        QCOMPARE(q->execute(), 1);
        auto r = query(QStringLiteral("SELECT %1 FROM bizmozg").arg(column));
        r->open();
        QCOMPARE(r->field(0).asString(), readBack);
    }

    void hungarianTextRoundTrip()
    {
        const QString text = QStringLiteral("Árvíztűrő tükörfúrógép ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP");
        auto q = query("INSERT INTO cikk (cmegn) VALUES (:p1)");
        q->paramByName("p1").setText(text);
        q->execute();
        auto r = query("SELECT cmegn, char_length(cmegn) AS n FROM cikk WHERE cmegn = :p1");
        r->paramByName("p1").setText(text);
        r->open();
        QCOMPARE(r->fieldByName("cmegn").asString(), text);
        QCOMPARE(r->fieldByName("n").asInteger(), text.size());
    }

    void characterOutsideCodePageIsAnError()
    {
        auto q = query("INSERT INTO cikk (cmegn) VALUES (:p1)");
        q->paramByName("p1").setText(QStringLiteral("Łódź € ☃"));
        QVERIFY_THROWS_EXCEPTION(DbError, q->execute());
        QCOMPARE(count("cikk"), 0);
    }

    void deleteVisibleAtOnceAndUndoneByRollback()
    {
        db->exec({"INSERT INTO raktar (rkod, rnev) VALUES ('1', 'Központi')"});
        query("DELETE FROM raktar")->execute();
        QCOMPARE(count("raktar"), 0);
        conn->transaction().rollback();
        QCOMPARE(count("raktar"), 1);
        query("DELETE FROM raktar")->execute();
        conn->transaction().commit();
        auto other = db->connect();
        Query q(other->transaction());
        q.setSql("SELECT count(*) AS db FROM raktar");
        q.open();
        QCOMPARE(q.fieldByName("db").asInteger(), 0);
    }

    void endOfTransactionClosesEveryDataset()
    {
        for (bool commit : {true, false}) {
            auto a = query("SELECT * FROM raktar");
            auto b = query("SELECT * FROM dolgozo");
            a->open();
            b->open();
            QSignalSpy closed(b.get(), &Dataset::closed);
            if (commit)
                conn->transaction().commit();
            else
                conn->transaction().rollback();
            QVERIFY(!a->isOpen());
            QVERIFY(!b->isOpen());
            QCOMPARE(closed.count(), 1);
            QVERIFY(!conn->transaction().isActive());
        }
    }

    // A list kept over a commit stays where it stood, and the rows it had not fetched follow in order,
    // read in the next transaction past the kept ones; a row read again by its key takes its place.
    // Only the one end keeps: the next closes as ever.
    void keptRowsOutliveOneEndOfTransaction()
    {
        query(
            "INSERT INTO cikk (idc, cszam, cmegn) "
            "WITH RECURSIVE d(n) AS (SELECT 1 FROM rdb$database UNION ALL SELECT n + 1 FROM d WHERE n < 450) "
            "SELECT n, n, 'régi' FROM d")
            ->execute();
        conn->transaction().commit();
        auto list = query("SELECT idc, cszam, cmegn FROM cikk ORDER BY idc");
        auto other = query("SELECT * FROM raktar");
        list->open();
        other->open();
        list->moveTo(250);
        const int fetched = list->fetchedCount();
        QVERIFY(fetched < 450);
        QSignalSpy closed(list.get(), &Dataset::closed);
        list->keepRowsOverNextEnd();
        query("UPDATE cikk SET cmegn = 'új' WHERE idc = 251")->execute();
        conn->transaction().commit();
        QVERIFY(!other->isOpen());
        QVERIFY(list->isOpen() && !list->allFetched());
        QCOMPARE(closed.count(), 0);
        QCOMPARE(list->fetchedCount(), fetched);
        QCOMPARE(list->currentRow(), 250);
        QCOMPARE(list->fieldByName("cmegn").asString(), QStringLiteral("régi"));

        auto again = query("SELECT idc, cszam, cmegn FROM cikk WHERE idc = 251");
        again->open();
        QSignalSpy updated(list.get(), &Dataset::rowUpdated);
        list->replaceRowFrom(list->currentRow(), *again);
        QCOMPARE(updated.count(), 1);
        QCOMPARE(list->fieldByName("cmegn").asString(), QStringLiteral("új"));
        auto narrow = query("SELECT idc FROM cikk");
        narrow->open();
        QVERIFY_THROWS_EXCEPTION(DbError, list->replaceRowFrom(0, *narrow));

        QStringList numbers, expected;
        for (list->first(); !list->eof(); list->next())
            numbers << list->fieldByName("cszam").asString();
        for (int n = 1; n <= 450; ++n)
            expected << QString::number(n);
        QCOMPARE(numbers, expected);
        QCOMPARE(closed.count(), 0);
        conn->transaction().commit();
        QVERIFY(!list->isOpen());
    }

    // The first attachment's change stays unfinished: the second waits out the lock timeout (the server
    // counts whole seconds) and is refused.
    void conflictingUpdateFailsAfterTheLockTimeout()
    {
        db->exec({"INSERT INTO raktar (rkod, rnev) VALUES ('1', 'Központi')"});
        query("UPDATE raktar SET rnev = 'Első'")->execute();
        auto other = db->connect();
        Query q(other->transaction());
        q.setSql("UPDATE raktar SET rnev = 'Második'");
        QElapsedTimer waited;
        waited.start();
        try {
            q.execute();
            QFAIL("the second attachment was not refused");
        } catch (const DbError& e) {
            QVERIFY2(e.message().contains("lock conflict") || e.message().contains("update conflicts"),
                     qPrintable(e.message()));
        }
        QVERIFY(waited.elapsed() >= (Transaction::LockTimeoutSeconds - 1) * 1000);
    }

    void readCommittedSeesOthersCommits()
    {
        QCOMPARE(count("raktar"), 0);
        db->exec({"INSERT INTO raktar (rkod, rnev) VALUES ('1', 'Központi')"});
        QCOMPARE(count("raktar"), 1);
    }

    void nullsReadAsEmptyOrZero()
    {
        db->exec({"INSERT INTO bizmozg (bckod) VALUES (NULL)"});
        auto q = query("SELECT bcikkszam, bmenov, bbizdatum, bgroup FROM bizmozg");
        q->open();
        QVERIFY(q->fieldByName("bcikkszam").isNull());
        QCOMPARE(q->fieldByName("bcikkszam").asString(), QString());
        QCOMPARE(q->fieldByName("bmenov").asFloat(), 0.0);
        QCOMPARE(q->fieldByName("bmenov").asString(), QString());
        QVERIFY(!q->fieldByName("bbizdatum").asDate().isValid());
        QCOMPARE(q->fieldByName("bgroup").asInteger(), 0);
        auto p = query("INSERT INTO bizmozg (bcikkszam) VALUES (:p1)");
        p->paramByName("p1").clear();
        p->execute();
        QCOMPARE(count("bizmozg WHERE bcikkszam IS NULL"), 2);
        auto empty = query("SELECT * FROM raktar");
        empty->open();
        QVERIFY(empty->isEmpty() && empty->eof());
        QCOMPARE(empty->fieldByName("rnev").asString(), QString());
    }

    void numericIsExact()
    {
        auto q = query("INSERT INTO bizmozg (bmenov, bmecsok) VALUES (:p1, :p2)");
        q->paramByName("p1").setDecimal(*Decimal::parse("0,1"));
        q->paramByName("p2").setDecimal(*Decimal::parse("0,2"));
        q->execute();
        auto r = query("SELECT bmenov + bmecsok AS s, bmenov, bmecsok FROM bizmozg");
        r->open();
        QCOMPARE(r->fieldByName("s").asString(), QStringLiteral("0,3"));
        QCOMPARE(r->fieldByName("bmenov").asDecimal() + r->fieldByName("bmecsok").asDecimal(),
                 *Decimal::parse("0,3"));
        auto big = query("INSERT INTO bizmozg (bear) VALUES (:p1)");
        big->paramByName("p1").setDecimal(*Decimal::parse("12345678901234,5678"));
        big->execute();
        auto rb = query("SELECT bear FROM bizmozg WHERE bear IS NOT NULL");
        rb->open();
        QCOMPARE(rb->fieldByName("bear").asString(), QStringLiteral("12345678901234,5678"));
    }

    void decimalText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("comma") << "0,1"
                               << "0,1";
        QTest::newRow("point") << "2.50"
                               << "2,5";
        QTest::newRow("negative") << "-1234,0001"
                                  << "-1234,0001";
        QTest::newRow("rounded") << "1,00005"
                                 << "1,0001";
        QTest::newRow("whole") << "17"
                               << "17";
        QTest::newRow("not a number") << "1,2,3"
                                      << "";
        QTest::newRow("empty") << ""
                               << "";
    }

    void decimalText()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        const auto d = Decimal::parse(text);
        QCOMPARE(d ? d->toString() : QString(), shown);
    }

    void locatesByPrefix_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("found");
        QTest::addColumn<bool>("matched");
        QTest::newRow("exact case") << "Ár"
                                    << "Árpa" << true;
        QTest::newRow("other case") << "ár"
                                    << "Árpa" << true;
        QTest::newRow("upper accents") << "ÖK"
                                       << "Ökör" << true;
        QTest::newRow("first in order") << "a"
                                        << "alma" << true;
        QTest::newRow("ascii other case") << "bAR"
                                          << "Barack" << true;
        QTest::newRow("ascii letter is not its accented one") << "o"
                                                              << "Otto" << true;
        QTest::newRow("no match stays first") << "Xyz"
                                              << "alma" << false;
        QTest::newRow("empty matches first") << ""
                                             << "alma" << true;
    }

    void locatesByPrefix()
    {
        QFETCH(QString, prefix);
        QFETCH(QString, found);
        QFETCH(bool, matched);
        QStringList inserts;
        for (const char* name : {"Zab", "Ökör", "Otto", "Alma", "alma", "Árpa", "Barack"})
            inserts
                << QStringLiteral("INSERT INTO dolgozo (dnev) VALUES ('%1')").arg(QString::fromUtf8(name));
        db->exec(inserts);
        auto q = query("SELECT * FROM dolgozo ORDER BY dnev");
        q->open();
        q->last();
        QCOMPARE(q->locate("DNEV", prefix), matched);
        QCOMPARE(q->fieldByName("dnev").asString(), found);
    }

    void hungarianCollationOrdersNames()
    {
        QStringList inserts;
        for (const char* name : {"Zab", "Ökör", "Otto", "Alma", "alma", "Árpa", "Barack"})
            inserts
                << QStringLiteral("INSERT INTO dolgozo (dnev) VALUES ('%1')").arg(QString::fromUtf8(name));
        db->exec(inserts);
        auto q = query("SELECT dnev FROM dolgozo ORDER BY dnev");
        q->open();
        QStringList names;
        for (q->first(); !q->eof(); q->next())
            names << q->field(0).asString();
        QCOMPARE(names, (QStringList{"alma", "Alma", "Árpa", "Barack", "Otto", "Ökör", "Zab"}));
        QCOMPARE(count("dolgozo WHERE dnev = 'ALMA'"), 0);
    }

    void fetchesLazily()
    {
        // 10^5 rows from five cross-joined digit lists (no PSQL: ":i" would read as a parameter).
        query("INSERT INTO cikk (ckod, cszam) "
              "WITH RECURSIVE d(n) AS (SELECT 0 FROM rdb$database UNION ALL SELECT n + 1 FROM d WHERE n < 9) "
              "SELECT a.n + 10 * b.n + 100 * c.n + 1000 * e.n + 10000 * f.n, "
              "a.n + 10 * b.n + 100 * c.n + 1000 * e.n + 10000 * f.n FROM d a, d b, d c, d e, d f")
            ->execute();
        conn->transaction().commit();
        auto q = query("SELECT * FROM cikk ORDER BY idc");
        q->open();
        QCOMPARE(q->fetchedCount(), Dataset::BlockSize);
        QVERIFY(!q->allFetched());
        q->last();
        QCOMPARE(q->fetchedCount(), 100000);
        QCOMPARE(q->currentRow(), 99999);
        QCOMPARE(q->fieldByName("cszam").asString().size() > 0, true);
        QVERIFY(q->eof());
        // A refresh goes back to the same row without reading the rest.
        q->moveTo(500);
        q->refresh();
        QCOMPARE(q->currentRow(), 500);
        QVERIFY(q->fetchedCount() < 1000);
    }

    void navigationFlags()
    {
        db->exec({"INSERT INTO raktar (rkod) VALUES ('1')", "INSERT INTO raktar (rkod) VALUES ('2')"});
        auto q = query("SELECT rkod FROM raktar ORDER BY rkod");
        q->open();
        QVERIFY(q->bof() && !q->eof());
        QStringList seen;
        while (!q->eof()) {
            seen << q->field(0).asString();
            q->next();
        }
        QCOMPARE(seen, (QStringList{"1", "2"}));
        QCOMPARE(q->currentRow(), 1);
        q->prior();
        QCOMPARE(q->field(0).asString(), QStringLiteral("1"));
        q->prior();
        QVERIFY(q->bof());
    }

    void preparedStatementReuseMatchesFreshPrepare()
    {
        db->exec({"INSERT INTO raktar (rkod, rnev) VALUES ('1', 'A')",
                  "INSERT INTO raktar (rkod, rnev) VALUES ('2', 'B')"});
        // Two datasets with the same text open at once must not share one cursor.
        auto a = query("SELECT * FROM raktar ORDER BY rkod");
        auto b = query("SELECT * FROM raktar ORDER BY rkod");
        a->open();
        b->open();
        b->next();
        QCOMPARE(a->fieldByName("rkod").asString(), QStringLiteral("1"));
        QCOMPARE(b->fieldByName("rkod").asString(), QStringLiteral("2"));
        a->close();
        a->open();
        QCOMPARE(a->recordCount(), 2);
    }

    void unknownFieldOrParameterIsAnError()
    {
        auto q = query("SELECT * FROM raktar WHERE rkod = :p1");
        QVERIFY_THROWS_EXCEPTION(DbError, q->paramByName("p2"));
        q->paramByName("p1").setText("1");
        q->open();
        QVERIFY_THROWS_EXCEPTION(DbError, q->fieldByName("nincs"));
        auto bad = query("SELECT * FROM nincsilyen");
        try {
            bad->open();
            QFAIL("opened a missing table");
        } catch (const DbError& e) {
            QVERIFY(e.message().contains("NINCSILYEN"));
            QCOMPARE(e.sqlState(), QStringLiteral("42S02"));
        }
    }

    void tableEditsRowsByIdentifier()
    {
        Table t(conn->transaction());
        t.setTableName("dolgozo");
        t.open();
        QCOMPARE(t.keyColumn(), QStringLiteral("IDD"));
        t.insert();
        t.setValue(t.columnIndex("DKOD"), "1");
        t.setValue(t.columnIndex("DNEV"), "Kovács Éva");
        t.post();
        QCOMPARE(t.fetchedCount(), 1);
        QVERIFY(t.fieldByName("IDD").asInteger() > 0);
        t.edit();
        t.setValue(t.columnIndex("DNEV"), "Kovács Évi");
        t.post();
        QCOMPARE(t.fieldByName("DNEV").asString(), QStringLiteral("Kovács Évi"));
        QCOMPARE(count("dolgozo WHERE dnev = 'Kovács Évi'"), 1);
        t.deleteRow();
        QCOMPARE(count("dolgozo"), 0);
        QVERIFY(t.isEmpty());
        t.setReadOnly(true);
        QVERIFY_THROWS_EXCEPTION(DbError, t.insert());
    }

    void tableWithoutIdentifierUsesDbKey()
    {
        db->exec({"INSERT INTO munka2 (s_bszam, o_nev) VALUES ('1', 'Első')",
                  "INSERT INTO munka2 (s_bszam, o_nev) VALUES ('2', 'Második')"});
        Table t(conn->transaction());
        t.setTableName("MUNKA2");
        t.open();
        QCOMPARE(t.keyColumn(), QStringLiteral("DB_KEY"));
        QVERIFY(t.column(t.columnIndex("DB_KEY")).hidden);
        t.next();
        t.edit();
        t.setValue(t.columnIndex("O_NEV"), "Módosított");
        t.post();
        QCOMPARE(count("munka2 WHERE o_nev = 'Módosított' AND s_bszam = '2'"), 1);
        t.first();
        t.deleteRow();
        QCOMPARE(count("munka2"), 1);
    }

    // The embedded engine's lock folder is a private folder of this user, wherever it comes from.
    void lockFolderIsPrivate()
    {
        QTemporaryDir temporary;
        const QString ours = temporary.path() + QStringLiteral("/varnel-%1").arg(::geteuid());
        QCOMPARE(Connection::privateLockFolder(QString(), temporary.path()),
                 ours + QStringLiteral("/firebird"));
        for (const QString& folder : {ours, ours + QStringLiteral("/firebird")})
            QCOMPARE(modeOf(folder), 0700);

        // One of ours that others could enter is closed to them.
        QVERIFY(::chmod(QFile::encodeName(ours).constData(), 0755) == 0);
        Connection::privateLockFolder(QString(), temporary.path());
        QCOMPARE(modeOf(ours), 0700);

        // The session's runtime folder when it is private, else the temporary one.
        QTemporaryDir runtime;
        QVERIFY(::chmod(QFile::encodeName(runtime.path()).constData(), 0700) == 0);
        QCOMPARE(Connection::privateLockFolder(runtime.path(), temporary.path()),
                 runtime.path() + QStringLiteral("/firebird"));
        QVERIFY(::chmod(QFile::encodeName(runtime.path()).constData(), 0755) == 0);
        QCOMPARE(Connection::privateLockFolder(runtime.path(), temporary.path()),
                 ours + QStringLiteral("/firebird"));

        // A temporary folder that does not exist (or is relative) gives /tmp, never the root.
        for (const QString& missing :
             {temporary.path() + QStringLiteral("/nincs"), QStringLiteral("relativ")})
            QCOMPARE(Connection::privateLockFolder(QString(), missing),
                     QStringLiteral("/tmp/varnel-%1/firebird").arg(::geteuid()));
    }

    void lockFolderPlantedByOthersIsRefused_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<QString>("reason");
        QTest::newRow("symbolic link") << "symlink"
                                       << "szimbolikus hivatkozás";
        QTest::newRow("someone else's") << "foreign"
                                        << "más felhasználó tulajdona";
        QTest::newRow("a file") << "file"
                                << "nem mappa";
        QTest::newRow("someone else's lock subfolder") << "foreign subfolder"
                                                       << "más felhasználó tulajdona";
    }

    void lockFolderPlantedByOthersIsRefused()
    {
        QFETCH(QString, planted);
        QFETCH(QString, reason);
        QTemporaryDir temporary;
        QTemporaryDir elsewhere;
        const QString ours = temporary.path() + QStringLiteral("/varnel-%1").arg(::geteuid());
        const QByteArray path = QFile::encodeName(ours);
        const QByteArray sub = path + "/firebird";
        if (planted == QLatin1String("symlink")) {
            QVERIFY(QFile::link(elsewhere.path(), ours));
        } else if (planted == QLatin1String("file")) {
            QFile file(ours);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else {
            if (::geteuid() != 0)
                QSKIP("giving a folder to another user needs root");
            const QByteArray target = planted == QLatin1String("foreign") ? path : sub;
            QVERIFY(QDir().mkpath(QString::fromLocal8Bit(sub)));
            QVERIFY(::chmod(path.constData(), 0700) == 0 && ::chmod(sub.constData(), 0700) == 0);
            QVERIFY(::chown(target.constData(), 65534, 65534) == 0);
        }
        try {
            Connection::privateLockFolder(QString(), temporary.path());
            QFAIL("a folder planted by someone else was used");
        } catch (const DbError& error) {
            QVERIFY2(error.message().startsWith(
                         QStringLiteral("Az adatbázis-kezelő zárolási mappája nem használható: ")),
                     qPrintable(error.message()));
            QVERIFY2(error.message().contains(reason), qPrintable(error.message()));
        }
        QVERIFY(QDir(elsewhere.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDb)
#include "tst_db.moc"
