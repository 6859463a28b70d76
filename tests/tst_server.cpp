// The program against a Firebird server instead of the embedded engine: a private server on a free
// loopback port, a database made there from the schema, a master-data save through the forms, and two
// desks taking document numbers while their saves interleave.
#include "data.h"
#include "databasefile.h"
#include "documentcounter.h"
#include "firebirdserver.h"
#include "masterdataforms.h"
#include "masterentry.h"
#include "masterlist.h"
#include "saveunit.h"
#include "scriptedplatform.h"
#include "sharedstate.h"
#include "testdatabase.h"

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

namespace {

// Runs gbak with the arguments; its output when it fails.
QString gbak(const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStandardPaths::findExecutable(QStringLiteral("gbak")), arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("gbak failed: ") + QString::fromLocal8Bit(process.readAll());
    return {};
}

const QString LineFailure = QStringLiteral("Hiba188");   // a line form's save message, as a test name

// One desk: its own attachment to the server database, made the current `Data` while it works.
class Desk {
public:
    explicit Desk(const QString& database) : data_(new TData(database)) { data_->connectAndOpenTables(); }
    ~Desk() { use(); delete data_; Data = nullptr; }
    TData* use() { Data = data_; return data_; }

private:
    TData* data_;
};

QStringList column(Connection& connection, const QString& sql)
{
    Query q(connection.transaction());
    q.setSql(sql);
    q.open();
    QStringList values;
    for (int row = 0; row < q.recordCount(); ++row)
        values << q.fieldAt(row, 0).asString();
    connection.transaction().commit();
    return values;
}

}

class TestServer : public QObject {
    Q_OBJECT

    std::unique_ptr<FirebirdServer> server;
    QString database;
    ScriptedPlatform* platform = nullptr;

    std::unique_ptr<Connection> connect()
    {
        auto connection = std::make_unique<Connection>();
        connection->setParams(databaseParams(database));
        connection->open();
        return connection;
    }

    QStringList stored(const QString& sql) { return column(*connect(), sql); }

    // The current desk stores a movement line under a number taken in the unit; `before` steps run
    // first in the same unit (the import stores a new partner before its line).
    SaveOutcome saveLine(qint64 shown, qint64* taken, const QList<SaveStep>& before = {},
                         const std::function<void()>& afterTaking = {})
    {
        QList<SaveStep> steps = before;
        steps << SaveStep{LineFailure, [=] {
            const qint64 number = DocumentCounter::take(shown);
            if (afterTaking)
                afterTaking();
            Query line(Data->IBTrans1);
            line.setSql(QStringLiteral("INSERT INTO bizmozg (bbszam, btetel) VALUES (:p1, :p2)"));
            line.paramByName(QStringLiteral("p1")).setText(QString::number(number));
            line.paramByName(QStringLiteral("p2")).setText(QStringLiteral("Őszibarack"));
            line.execute();
            *taken = number;
        }};
        return saveInOneUnit(steps, QStringLiteral("HibaG"));
    }

private slots:
    void initTestCase()
    {
        initTestLocale();
        if (!FirebirdServer::available())
            QSKIP("The Firebird server and tools (Debian packages firebird3.0-server, firebird3.0-utils) are not installed.");
        server = std::make_unique<FirebirdServer>();
        QVERIFY2(server->start(), qPrintable(server->error()));
    }

    void cleanupTestCase() { server.reset(); }

    void init()
    {
        platform = &ScriptedPlatform::install();
        shared() = SharedState();
        static int count = 0;
        database = server->databaseName(QStringLiteral("VARNEL%1.FDB").arg(++count));
        createDatabaseFromSchema(database)->close();
    }

    void cleanup()
    {
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
        bool saved = false;
        platform->modalRuns.push_back([&](QDialog* d) {
            auto& list = *static_cast<MasterList*>(d);
            platform->modalRuns.push_back([&](QDialog* e) {
                auto& form = *static_cast<MasterEntry*>(e);
                form.box(QStringLiteral("Edit3"))->setText(QStringLiteral("Őz és Társa Kft."));
                form.box(QStringLiteral("Edit5"))->setText(QStringLiteral("Hódmezővásárhely"));
                QTest::mouseClick(form.Button2, Qt::LeftButton);
                saved = form.result() == QDialog::Accepted;
                return form.result();
            });
            QTest::mouseClick(list.Button2, Qt::LeftButton);
            return int(QDialog::Rejected);
        });
        runForm(Form9, nullptr);
        QVERIFY(saved);
        QCOMPARE(platform->messageTexts(), QStringList());
        QCOMPARE(stored(QStringLiteral("SELECT pkod || '|' || pnev || '|' || phelyseg FROM partner")),
                 QStringList{QStringLiteral("1|Őz és Társa Kft.|Hódmezővásárhely")});
    }

    // The way the README moves a business onto a server: gbak backs up the embedded file, restores
    // the backup onto the server, and the program reads the same rows there.
    void embeddedDatabaseMovesOntoTheServer()
    {
        TestDatabase embedded;
        embedded.exec({QStringLiteral("INSERT INTO cikk (ckod, cszam, cmegn) VALUES ('1', '100', 'Őszibarack')"),
                       QStringLiteral("UPDATE bizszam SET zbizszam = '41'")});
        const QString backup = embedded.folder() + QStringLiteral("/varnel.fbk");
        const QString password = databaseParams(QString()).password;
        QCOMPARE(gbak({"-b", "-user", "SYSDBA", embedded.path(), backup}), QString());
        const QString moved = server->databaseName(QStringLiteral("MOVED.FDB"));
        QCOMPARE(gbak({"-c", "-user", "SYSDBA", "-password", password, backup, moved}), QString());

        database = moved;
        Data = new TData(database);
        Data->connectAndOpenTables();
        QCOMPARE(DocumentCounter::next(), 42);
        QCOMPARE(stored(QStringLiteral("SELECT cmegn FROM cikk")), QStringList{QStringLiteral("Őszibarack")});
    }

    // Two desks show the same next number; each line gets its own. A save that meets the other desk's
    // unfinished counter update says so and stores nothing of its unit, and succeeds when tried again.
    void twoDesksInterleaving()
    {
        Desk form(database);
        Desk import(database);

        form.use();
        const qint64 shownByForm = DocumentCounter::next();
        import.use();
        const qint64 shownByImport = DocumentCounter::next();
        QCOMPARE(shownByForm, 1);
        QCOMPARE(shownByImport, 1);

        qint64 importLine = 0;
        QCOMPARE(saveLine(shownByImport, &importLine), SaveOutcome::Saved);
        QCOMPARE(importLine, 1);

        // The form still shows 1: its line gets the next free number.
        form.use();
        qint64 formLine = 0;
        QCOMPARE(saveLine(shownByForm, &formLine), SaveOutcome::Saved);
        QCOMPARE(formLine, 2);

        // The form has advanced the counter but not committed when the import saves a new partner and
        // its line: the import's whole unit fails at once with the lock message.
        qint64 heldLine = 0, refusedLine = 0;
        SaveOutcome refused = SaveOutcome::Saved;
        const SaveStep newPartner{QStringLiteral("Hiba201"), [] {
            Query partner(Data->IBTrans1);
            partner.setSql(QStringLiteral("INSERT INTO partner (pkod, pnev) VALUES ('77', 'Új termelő')"));
            partner.execute();
        }};
        QCOMPARE(saveLine(3, &heldLine, {}, [&] {
            import.use();
            refused = saveLine(3, &refusedLine, {newPartner});
            form.use();
        }), SaveOutcome::Saved);
        QCOMPARE(refused, SaveOutcome::StepFailed);
        QCOMPARE(heldLine, 3);
        QCOMPARE(refusedLine, 0);
        QCOMPARE(platform->messageTexts().size(), 1);
        QVERIFY2(platform->messageTexts().value(0).startsWith(LineFailure + QStringLiteral("\rZárolási ütközés")),
                 qPrintable(platform->messageTexts().value(0)));
        QCOMPARE(stored(QStringLiteral("SELECT count(*) FROM partner")), QStringList{QStringLiteral("0")});

        // Tried again once the form's unit is committed.
        import.use();
        QCOMPARE(saveLine(3, &refusedLine, {newPartner}), SaveOutcome::Saved);
        QCOMPARE(refusedLine, 4);

        QCOMPARE(stored(QStringLiteral("SELECT bbszam FROM bizmozg ORDER BY idb")),
                 (QStringList{"1", "2", "3", "4"}));
        QCOMPARE(stored(QStringLiteral("SELECT zbizszam FROM bizszam")), QStringList{QStringLiteral("4")});
        QCOMPARE(stored(QStringLiteral("SELECT count(*) FROM partner")), QStringList{QStringLiteral("1")});
    }
};

QTEST_MAIN(TestServer)
#include "tst_server.moc"
