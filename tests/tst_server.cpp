// The program against a Firebird server instead of the embedded engine: a private server on a free
// loopback port, the stock-document fixture moved there from an embedded file with gbak, a master-data
// save, a line save and an item card through the forms, two desks whose saves interleave, and a server
// that goes away under an open form.
#include "databasefile.h"
#include "dberror.h"
#include "documentfixture.h"
#include "failurereason.h"
#include "firebirdserver.h"
#include "masterentry.h"
#include "purchaseticketimport.h"
#include "reportforms.h"
#include "testsupport.h"

#include <QDateEdit>
#include <QSignalSpy>
#include <QProcess>
#include <QStandardPaths>

namespace {

// Runs gbak with the arguments; its output when it fails.
QString gbak(const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStandardPaths::findExecutable(QStringLiteral("gbak")), arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return QStringLiteral("gbak failed: ") + QString::fromLocal8Bit(process.readAll());
    return {};
}

const QString LockReason = QStringLiteral("\rZárolási ütközés: egy másik munkahely éppen ugyanezt az adatot "
                                          "módosítja. Próbálja újra később.");
const QString FormLocked = QStringLiteral("Hiba188:  UPDATE Bizszam -ba ") + LockReason;
const QString ImportLocked = QStringLiteral("Hiba254:  UPDATE Sorszam -ba ") + LockReason;
const QString ImportDone = QStringLiteral("Adatátvétel  -feladás- befejezödött ");

const QString ServerGone = QStringLiteral(
    "\rMegszakadt a kapcsolat az adatbázis-szerverrel (a szerver leállt vagy újraindult, vagy a hálózat "
    "nem érhető el).\rEz a mentés nem történt meg, semmi sem került az adatbázisba. A beírt adatok "
    "megmaradtak: amikor a szerver ismét elérhető, mentse újra, a program magától újra kapcsolódik.");

QString renumbered(int taken, int shown)
{
    return QStringLiteral(
               "A bizonylat a(z) %1 számot kapta, mert a(z) %2 számot közben más már felhasználta.")
        .arg(taken)
        .arg(shown);
}

// One desk: its own attachment to the server database, made the current `Data` while it works.
class Desk {
public:
    explicit Desk(const QString& database) : data_(new TData(database)) { data_->connectAndOpenTables(); }
    ~Desk()
    {
        use();
        delete data_;
        Data = nullptr;
    }
    Desk(const Desk&) = delete;
    Desk& operator=(const Desk&) = delete;
    void use() { Data = data_; }

private:
    TData* data_;
};

// Runs `meanwhile` once, when the current desk's unit of work ends: its statements have run and its
// locks are held, the commit (or rollback) has not reached the server yet. The unit closes every
// dataset first, this probe among them.
class WhenUnitEnds {
public:
    explicit WhenUnitEnds(std::function<void()> meanwhile) : probe_(Data->IBTrans1)
    {
        probe_.setSql(QStringLiteral("SELECT 1 FROM rdb$database"));
        probe_.open();
        QObject::connect(&probe_, &Dataset::closed, [this, meanwhile] {
            if (!ran_) {
                ran_ = true;
                meanwhile();
            }
        });
    }
    bool ran() const { return ran_; }

private:
    Query probe_;
    bool ran_ = false;
};

enum class Work { LineForm, Import };

}

Q_DECLARE_METATYPE(Work)

class TestServer : public DocumentTest {
    Q_OBJECT

    std::unique_ptr<FirebirdServer> server;
    QString backup;     // the fixture, made embedded and backed up once
    QString database;   // this test's copy on the server

    // Committed rows, each as its fields' texts joined by '|', read through an attachment of the test's own.
    QStringList onServer(const QString& sql)
    {
        Connection connection;
        connection.setParams(databaseParams(database));
        connection.open();
        Query q(connection.transaction());
        q.setSql(sql);
        q.open();
        QStringList values;
        for (; !q.eof(); q.next()) {
            QStringList fields;
            for (int i = 0; i < q.columnCount(); ++i)
                fields << q.field(i).asString();
            values << fields.join(QLatin1Char('|'));
        }
        q.close();
        connection.transaction().commit();
        return values;
    }

    // The current desk types a line of `item` into a new line form and saves it. Every form of these
    // tests opens on the fixture's counter and shows 42.
    void saveLine(const QString& item, const std::function<void()>& beforeSaving = {})
    {
        shared().DocumentMode = QStringLiteral("Új bizonylat");
        nextRun<TForm18>([&](TForm18& form) {
            QCOMPARE(form.Edit32->text(), QStringLiteral("42"));
            typeLine(form, "101", item, "3", "2", "6");
            if (beforeSaving)
                beforeSaving();
            form.Button3->click();
        });
        runForm(Form18, nullptr);
    }

    // The current desk posts the work table's tickets through "Feladás".
    static void postTickets(const std::function<void()>& beforePosting = {})
    {
        TForm25 form;
        form.Edit10->setText(QStringLiteral("1"));
        form.Edit2->setText(QStringLiteral("BE"));
        if (beforePosting)
            beforePosting();
        QTest::mouseClick(form.Button1, Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        initTestLocale();
        if (!FirebirdServer::available())
            QSKIP("The Firebird server and tools (Debian packages firebird3.0-server, firebird3.0-utils) are "
                  "not installed.");
        server = std::make_unique<FirebirdServer>();
        QVERIFY2(server->start(), qPrintable(server->error()));

        // The way the README moves a business onto a server: gbak backs up the embedded file, and each
        // test restores the backup onto the server. Two purchase tickets wait in the import's work table.
        startTest();
        fillDocumentTables(*db);
        db->exec(
            {"INSERT INTO munka2 VALUES ('2026-03-02', 'F1', '601', 'Búza', 'T-601', 100, 'kg', 60, 6000, "
             "'1001', '501', 'Kiss Anna', 'Szeged', 'Fő u. 1.', '6720')",
             "INSERT INTO munka2 VALUES ('2026-03-02', 'F2', '602', 'Árpa', 'T-602', 50, 'kg', 40, 2000, "
             "'1003', '502', 'Nagy Béla', 'Makó', 'Úri u. 2.', '6900')"});
        backup = db->folder() + QStringLiteral("/varnel.fbk");
        QCOMPARE(gbak({"-b", "-user", "SYSDBA", db->path(), backup}), QString());
    }

    void cleanupTestCase()
    {
        db.reset();
        server.reset();
    }

    void init()
    {
        platform = &ScriptedPlatform::install();
        shared() = SharedState();
        shared().CurrentEmployeeCode = QStringLiteral("3");
        static int count = 0;
        database = server->databaseName(QStringLiteral("VARNEL%1.FDB").arg(++count));
        const QString password = databaseParams(QString()).password;
        QCOMPARE(gbak({"-c", "-user", "SYSDBA", "-password", password, backup, database}), QString());
    }

    void cleanup()
    {
        verifyScriptUsed(*platform);
        delete Data;
        Data = nullptr;
    }

    // A new partner typed into the entry form travels to the server and back in the code page intact.
    void masterDataSave()
    {
        Data = new TData(database);
        Data->connectAndOpenTables();
        {
            Query protocol(Data->IBTrans1);
            protocol.setSql(QStringLiteral("SELECT mon$remote_protocol FROM mon$attachments "
                                           "WHERE mon$attachment_id = current_connection"));
            protocol.open();
            QCOMPARE(protocol.field(0).asString().trimmed(), QStringLiteral("TCPv4"));
        }
        inEntryForm<MasterEntry, MasterList>(listMember("partners"), QString(), [](MasterEntry& form) {
            form.box(QStringLiteral("Edit3"))->setText(QStringLiteral("Őz és Társa Kft."));
            form.box(QStringLiteral("Edit5"))->setText(QStringLiteral("Hódmezővásárhely"));
            QTest::mouseClick(form.Button2, Qt::LeftButton);
        });
        QCOMPARE(platform->messageTexts(), QStringList());
        QCOMPARE(onServer(QStringLiteral("SELECT pkod, pnev, phelyseg FROM partner WHERE pkod = '11'")),
                 QStringList{QStringLiteral("11|Őz és Társa Kft.|Hódmezővásárhely")});
    }

    // A line saved through the register's line form takes the number the moved counter gives, and the
    // item card collects it over the server with the earlier lines.
    void lineSaveAndItemCard()
    {
        Data = new TData(database);
        Data->connectAndOpenTables();
        newLine([&](TForm18& form) {
            QCOMPARE(form.Edit32->text(), QStringLiteral("42"));
            typeLine(form, "101", "100", "3", "2,5", "7,5");
            form.Button3->click();
        });
        QCOMPARE(platform->messageTexts(), QStringList());
        QCOMPARE(
            onServer(QStringLiteral("SELECT bbszam, bcikkszam, bmenov, bertnov, btetel, bszoveg FROM bizmozg "
                                    "WHERE bbszam = '42'")),
            QStringList{QStringLiteral("42|100|3|7,5|T-B|BES")});
        QCOMPARE(onServer(QStringLiteral("SELECT zbizszam FROM bizszam")), QStringList{QStringLiteral("42")});

        TForm27 card;
        card.Edit1->setText(QStringLiteral("100"));
        card.DateTimePicker1->setDate(QDate(2026, 2, 1));
        card.DateTimePicker2->setDate(QDate::currentDate());
        QTest::mouseClick(card.Button5, Qt::LeftButton);
        QCOMPARE(platform->messageTexts(), QStringList());
        const auto texts = [](const QList<QLineEdit*>& boxes) {
            QStringList result;
            for (const QLineEdit* box : boxes)
                result << box->text();
            return result;
        };
        QCOMPARE(texts(card.openingBoxes), (QStringList{"10,000", "0,000", "10,000"}));
        QCOMPARE(texts(card.periodBoxes), (QStringList{"3,000", "4,000", "9,000"}));
        QCOMPARE(columnValues(*Data->ZQ11, QStringLiteral("BBSZAM")), (QStringList{"10", "42"}));
    }

    // OK pressed twice on a form: first with the server stopped, then with it started again. The first
    // press says that the connection broke and nothing was saved, stores nothing and keeps the form open
    // with what was typed; the second attaches anew and stores the row once.
    void pressOkWhileServerGone(QDialog& form, QAbstractButton* ok, const QList<QLineEdit*>& typed,
                                const QString& failedStep, const QString& stored)
    {
        QStringList values;
        for (const QLineEdit* box : typed)
            values << box->text();
        const auto texts = [&] {
            QStringList now;
            for (const QLineEdit* box : typed)
                now << box->text();
            return now;
        };
        QSignalSpy accepted(&form, &QDialog::accepted);
        server->stop();
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(platform->messageTexts(), QStringList{failedStep + ServerGone});
        QCOMPARE(accepted.count(), 0);
        QCOMPARE(texts(), values);
        QVERIFY2(server->restart(), qPrintable(server->error()));
        QCOMPARE(onServer(stored), QStringList());

        platform->clearMessages();
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(platform->messageTexts(), QStringList());
        QCOMPARE(accepted.count(), 1);
    }

    void serverGoneUnderOpenForm_data()
    {
        QTest::addColumn<bool>("lineForm");   // else the partner entry form
        QTest::addColumn<QString>("failedStep");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("line form") << true << "Hiba188:  UPDATE Bizszam -ba "
                                   << "SELECT bbszam, bcikkszam, bmenov, bertnov FROM bizmozg WHERE idb > 4"
                                   << QStringList{"42|100|3|6"};
        QTest::newRow("partner entry form") << false << "Hiba102: Újban, INSERT a partnerben "
                                            << "SELECT pkod, pnev, phelyseg FROM partner WHERE pkod = '11'"
                                            << QStringList{"11|Őz és Társa Kft.|Hódmezővásárhely"};
    }

    void serverGoneUnderOpenForm()
    {
        QFETCH(bool, lineForm);
        QFETCH(QString, failedStep);
        QFETCH(QString, stored);
        QFETCH(QStringList, rows);
        Data = new TData(database);
        Data->connectAndOpenTables();
        if (lineForm) {
            inRegister([&](TForm17& reg) {
                inLineForm(reg, false, [&](TForm18& form) {
                    typeLine(form, "101", "100", "3", "2", "6");
                    pressOkWhileServerGone(form, form.Button3,
                                           {form.Edit2, form.Edit3, form.Edit21, form.Edit23}, failedStep,
                                           stored);
                });
                // The register behind the form reads its list again over the new attachment.
                QVERIFY(columnValues(*Data->ZQ10, "BBSZAM").contains(QStringLiteral("42")));
            });
        } else {
            inEntryForm<MasterEntry, MasterList>(listMember("partners"), QString(), [&](MasterEntry& form) {
                form.box(QStringLiteral("Edit3"))->setText(QStringLiteral("Őz és Társa Kft."));
                form.box(QStringLiteral("Edit5"))->setText(QStringLiteral("Hódmezővásárhely"));
                pressOkWhileServerGone(form, form.Button2,
                                       {form.box(QStringLiteral("Edit3")), form.box(QStringLiteral("Edit5"))},
                                       failedStep, stored);
            });
        }
        QCOMPARE(onServer(stored), rows);
    }

    // The server restarts under an open transaction. The statement that meets the dead attachment fails
    // as a lost connection. When the transaction had only read, the next statement attaches anew and
    // reads; when it held a change not yet committed (a deletion in a list, say), the next one fails too,
    // so that nothing goes on in a fresh transaction as if that change had been kept, and the one after
    // attaches anew.
    void readsAfterServerRestart_data()
    {
        QTest::addColumn<bool>("changed");
        QTest::addColumn<int>("failures");
        QTest::newRow("only read") << false << 1;
        QTest::newRow("a change not committed") << true << 2;
    }

    void readsAfterServerRestart()
    {
        QFETCH(bool, changed);
        QFETCH(int, failures);
        Data = new TData(database);
        Data->connectAndOpenTables();
        Query& read = *Data->ZQ70;
        const auto counter = [&] {
            read.setSql(QStringLiteral("SELECT zbizszam FROM bizszam"));
            read.open();
            const QString value = read.field(0).asString();
            read.close();
            return value;
        };
        QCOMPARE(counter(), QStringLiteral("41"));
        if (changed) {
            Query change(Data->IBTrans1);
            change.setSql(QStringLiteral("UPDATE partner SET pnev = pnev WHERE 1 = 0"));
            change.execute();
        }
        QVERIFY2(server->restart(), qPrintable(server->error()));
        for (int attempt = 0; attempt < failures; ++attempt) {
            try {
                counter();
                QFAIL("a read over the dead attachment succeeded");
            } catch (const DbError& error) {
                QVERIFY2(connectionLost(error), qPrintable(error.message()));
                QVERIFY(failureReason(error).startsWith(QStringLiteral("Megszakadt a kapcsolat")));
            }
        }
        QCOMPARE(counter(), QStringLiteral("41"));
        QVERIFY(!Data->ZCon1.isLost());
    }

    // Two desks on one database. The first opens its line form (showing 42) or starts the import; the
    // second saves while the first's form is open, or while the first's unit of work holds the counter
    // it has advanced and not yet committed. No two lines share a number; a desk that meets the other's
    // unfinished save waits out the lock timeout (the other desk, on this same thread, cannot finish
    // meanwhile), is told so and stores nothing of its unit.
    void interleavedSaves_data()
    {
        QTest::addColumn<Work>("first");
        QTest::addColumn<Work>("second");
        QTest::addColumn<bool>("held");           // the second saves while the first's unit ends
        QTest::addColumn<QStringList>("lines");   // number|item of the new lines
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("newMasterRows");   // items and partners the import added

        QTest::newRow("two line forms open at once")
            << Work::LineForm << Work::LineForm << false << QStringList{"42|300", "43|100"}
            << QStringList{renumbered(43, 42)} << "0|0";
        QTest::newRow("import while a line form is open")
            << Work::LineForm << Work::Import << false << QStringList{"42|601", "43|602", "44|100"}
            << QStringList{ImportDone, renumbered(44, 42)} << "2|2";
        QTest::newRow("line form while another commits")
            << Work::LineForm << Work::LineForm << true << QStringList{"42|100"} << QStringList{FormLocked}
            << "0|0";
        QTest::newRow("import while a line form commits")
            << Work::LineForm << Work::Import << true << QStringList{"42|100"}
            << QStringList{ImportLocked, ImportLocked, ImportDone} << "0|0";
        QTest::newRow("line form while the import commits")
            << Work::Import << Work::LineForm << true << QStringList{"42|601", "43|602"}
            << QStringList{FormLocked, ImportDone} << "2|2";
    }

    void interleavedSaves()
    {
        QFETCH(Work, first);
        QFETCH(Work, second);
        QFETCH(bool, held);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, messages);
        QFETCH(QString, newMasterRows);

        Desk firstDesk(database);
        Desk secondDesk(database);
        const auto secondSaves = [&] {
            secondDesk.use();
            if (second == Work::LineForm)
                saveLine(QStringLiteral("300"));
            else
                postTickets();
            firstDesk.use();
        };
        std::unique_ptr<WhenUnitEnds> meanwhile;
        const auto beforeSaving = [&] {
            if (held)
                meanwhile = std::make_unique<WhenUnitEnds>(secondSaves);
            else
                secondSaves();
        };

        firstDesk.use();
        if (first == Work::LineForm)
            saveLine(QStringLiteral("100"), beforeSaving);
        else
            postTickets(beforeSaving);
        QVERIFY(!held || meanwhile->ran());
        meanwhile.reset();

        QCOMPARE(platform->messageTexts(), messages);
        QCOMPARE(onServer(QStringLiteral("SELECT bbszam, bcikkszam FROM bizmozg WHERE idb > 4 ORDER BY idb")),
                 lines);
        QCOMPARE(onServer(QStringLiteral("SELECT zbizszam FROM bizszam")),
                 QStringList{lines.last().section('|', 0, 0)});
        QCOMPARE(
            onServer(QStringLiteral("SELECT (SELECT count(*) FROM cikk WHERE cszam > '600'), "
                                    "(SELECT count(*) FROM partner WHERE pkod > '500') FROM rdb$database")),
            QStringList{newMasterRows});
    }
};

QTEST_MAIN(TestServer)
#include "tst_server.moc"
