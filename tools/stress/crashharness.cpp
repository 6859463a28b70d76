// varnel-crashtest: runs the real save paths in a child process, kills it with SIGKILL at random
// moments, and after each kill checks the database with gfix and against what the child had saved.
//
//   varnel-crashtest [--kills N] [--seed S] [--keep]
//
// The child writes one journal line after each save that its form reported as done (so after the
// commit); a kill between the commit and that line only means the database holds more than the journal.
// gfix's errors are failures; its warnings (what the engine leaves behind a killed process and
// tolerates) are told when they first appear and counted, the run's last line gives their number.
#include "data.h"
#include "databasefile.h"
#include "dberror.h"
#include "documentlineform.h"
#include "documentregister.h"
#include "formats.h"
#include "importposting.h"
#include "importreader.h"
#include "itemnumberchange.h"
#include "masterdataforms.h"
#include "masterentry.h"
#include "masterlist.h"
#include "modalform.h"
#include "query.h"
#include "scriptedplatform.h"
#include "sharedstate.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <cstdio>
#include <random>

namespace {

const QString DatabaseName = QStringLiteral("VARNEL2013.FDB");
const QString JournalName = QStringLiteral("journal.txt");

// ---- the child: saves through the forms until it is killed ----

void leave(QLineEdit* box)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &out);
}

// The figures of line `tag`: a quantity that the check finds again in the stored line.
int quantityOf(qint64 serial)
{
    return int(serial % 997) + 1;
}

class Child {
public:
    Child(const QString& folder, int run) : folder_(folder), run_(run), journal_(folder + "/" + JournalName)
    {
        platform_ = &ScriptedPlatform::install();
        if (!journal_.open(QIODevice::Append | QIODevice::Unbuffered))
            qFatal("cannot open the journal");
        Data = new TData(folder + "/" + DatabaseName);
        Data->connectAndOpenTables();
        shared().CurrentEmployeeCode = QStringLiteral("1");
    }

    [[noreturn]] void run()
    {
        std::mt19937 random{unsigned(run_)};
        for (qint64 step = 0;; ++step) {
            const qint64 serial = qint64(run_) * 100000 + step;
            platform_->clearMessages();
            switch (random() % 6) {
            case 0: masterSave(serial); break;
            case 1: importRun(serial); break;
            case 2: itemNumberChange(random() % 2 == 0); break;
            default: lineSave(serial); break;
            }
        }
    }

private:
    void note(const QString& entry)
    {
        if (!platform_->messageTexts().isEmpty())
            qFatal("save failed: %s", qPrintable(platform_->messageTexts().join(" | ")));
        const QByteArray line = entry.toUtf8() + '\n';
        if (journal_.write(line) != line.size())
            qFatal("journal write failed");
    }

    void lineSave(qint64 serial)
    {
        const QString tag = QStringLiteral("K%1").arg(serial);
        platform_->modalRuns.push_back([&](QDialog* d) {
            auto& reg = *static_cast<TForm17*>(d);
            platform_->modalRuns.push_back([&](QDialog* f) {
                auto& form = *static_cast<TForm18*>(f);
                form.Edit2->setText(QStringLiteral("101"));
                leave(form.Edit2);
                form.Edit3->setText(QStringLiteral("100"));
                leave(form.Edit3);
                form.Edit21->setText(QString::number(quantityOf(serial)));
                form.Edit22->setText(QStringLiteral("2"));
                form.Edit23->setText(QString::number(2 * quantityOf(serial)));
                form.Edit7->setText(tag);
                form.Button3->click();
                return int(QDialog::Rejected);
            });
            reg.Button2->click();
            return int(QDialog::Rejected);
        });
        runForm(Form17, nullptr);
        note(QStringLiteral("L %1 %2").arg(tag).arg(quantityOf(serial)));
    }

    void masterSave(qint64 serial)
    {
        const QString name = QStringLiteral("M%1").arg(serial);
        const bool partner = serial % 2 == 0;
        platform_->modalRuns.push_back([&](QDialog* d) {
            auto& list = *static_cast<MasterList*>(d);
            platform_->modalRuns.push_back([&](QDialog* e) {
                auto& form = *static_cast<MasterEntry*>(e);
                form.box(form.member().boxes.first().name)->setText(name);
                form.Button2->click();
                return int(QDialog::Rejected);
            });
            list.Button2->click();
            return int(QDialog::Rejected);
        });
        if (partner)
            runForm(Form9, nullptr);
        else
            runForm(Form11, nullptr);
        note(QStringLiteral("M %1 %2").arg(partner ? "partner pnev" : "raktar rnev", name));
    }

    // A purchase-ticket posting run over three work rows: two of a new item number, one of the first.
    void importRun(qint64 serial)
    {
        // The ticket number column holds eight characters.
        const QString ticket = QLatin1Char('T') + QString::number(serial, 36);
        const QString newItem = QString::number(10000 + serial % 89999);
        Query& work = *Data->ZQ100;
        Data->IBTrans1.ensureActive();
        work.setSql(QStringLiteral("DELETE FROM munka2"));
        work.execute();
        int row = 0;
        for (const QString& item : {newItem, newItem, QStringLiteral("100")}) {
            ++row;
            insertintotable(work,
                            {"2026.03.01", ticket + QString::number(row), item, "Importált", "IMP-" + item,
                             QString::number(quantityOf(serial + row)), "kg", "2", "4", "1001", "P9",
                             "Termelő " + ticket, "Falu", "Utca 1.", "6000"},
                            row);
        }
        Data->IBTrans1.commit();
        if (!TicketPosting::postWorkRows({QStringLiteral("101"), QStringLiteral("101")}))
            qFatal("posting run stopped");
        TicketPosting::fillItemCodes();
        for (int r = 1; r <= 3; ++r)
            note(QStringLiteral("I %1%2 %3").arg(ticket).arg(r).arg(quantityOf(serial + r)));
    }

    // Every line of one item moved to the other through the form, each line its own unit of work.
    void itemNumberChange(bool forward)
    {
        const QString from = forward ? "100" : "200";
        const QString to = forward ? "200" : "100";
        platform_->modalRuns.push_back([&](QDialog* d) {
            auto& form = *static_cast<TForm32*>(d);
            form.Edit1->setText(from);
            form.Button6->click();
            form.Button8->click();
            platform_->modalRuns.push_back([&](QDialog*) {
                Data->ZQ20->locate(QStringLiteral("CSZAM"), to);
                return int(QDialog::Rejected);
            });
            form.Button5->click();
            platform_->clearMessages();
            form.Button1->click();
            return int(QDialog::Rejected);
        });
        runForm(Form32, nullptr);
        if (platform_->messageTexts() != QStringList{QStringLiteral("A csere végrehajtva. ")})
            qFatal("item number change: %s", qPrintable(platform_->messageTexts().join(" | ")));
        platform_->clearMessages();
    }

    QString folder_;
    int run_;
    QFile journal_;
    ScriptedPlatform* platform_;
};

// ---- the parent: the database, the kills and the checks ----

void createDatabase(const QString& path)
{
    std::unique_ptr<Connection> connection = createDatabaseFromSchema(path);
    for (const char* sql : {
             "INSERT INTO raktar (rkod, rnev) VALUES ('1', 'Központ')",
             "INSERT INTO partner (pkod, pnev) VALUES ('1', 'Vevő')",
             "INSERT INTO cikk (ckod, cszam, cmegn, cbizonylat, crkod) VALUES ('1', '100', 'Alma', 'B-100', "
             "'1')",
             "INSERT INTO cikk (ckod, cszam, cmegn, cbizonylat, crkod) VALUES ('2', '200', 'Körte', 'B-200', "
             "'1')",
             "INSERT INTO mnem (mkod, mnem, mnev, mncs) VALUES ('101', '101', 'BES', '+')",
             "INSERT INTO dolgozo (dkod, dnev) VALUES ('1', 'Kezelő')",
             "UPDATE bizszam SET zbizszam = '0'",
         }) {
        connection->transaction().ensureActive();
        Query q(connection->transaction());
        q.setSql(QString::fromUtf8(sql));
        q.execute();
    }
    connection->transaction().commit();
    connection->close();
}

QList<QStringList> rows(Connection& connection, const QString& sql, const QList<QString>& params = {})
{
    Query q(connection.transaction());
    q.setSql(sql);
    for (int i = 0; i < params.size(); ++i)
        q.paramByName(QStringLiteral("p%1").arg(i)).setText(params[i]);
    q.open();
    QList<QStringList> out;
    for (q.first(); !q.eof(); q.next()) {
        QStringList row;
        for (int c = 0; c < q.columnCount(); ++c)
            row << q.field(c).asString();
        out << row;
    }
    q.close();
    return out;
}

// What `gfix -v -full` says of the database, sorted by its own summary lines. Errors are damage. Its
// warnings are what Firebird's careful writes leave behind a killed process and tolerate by design:
// pages a dead transaction allocated (orphan pages, pointer-page bits, both mended by this very
// validation) and back versions whose record the process never rewrote (orphan back versions, which
// only a backup and restore reclaim).
struct Validation {
    QStringList errors;
    QStringList warnings;
};

Validation validate(const QString& path)
{
    QProcess gfix;
    gfix.setProcessChannelMode(QProcess::MergedChannels);
    gfix.start(QStringLiteral("gfix"), {"-v", "-full", "-user", "SYSDBA", "-password", "quarzline", path});
    const bool finished = gfix.waitForFinished(120000);
    Validation result;
    if (!finished || gfix.exitStatus() != QProcess::NormalExit || gfix.exitCode() != 0)
        result.errors << QStringLiteral("gfix -v -full did not end normally (exit %1)").arg(gfix.exitCode());
    for (const QString& raw : QString::fromLocal8Bit(gfix.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.simplified();
        if (line.isEmpty() || line == QLatin1String("Summary of validation errors"))
            continue;
        if (line.startsWith(QLatin1String("Number of ")) && line.contains(QLatin1String(" warnings")))
            result.warnings << line;
        else
            result.errors << QStringLiteral("gfix -v -full: ") + line;
    }
    return result;
}

// What is wrong with the database after a kill; empty when nothing. The database is opened and every
// table read whole first, as the program's next start does, so that the engine backs out what the
// killed transaction had written; then gfix validates it. Its warnings go to `engineWarnings`.
QStringList check(const QString& folder, int* confirmed, QStringList* engineWarnings)
{
    QStringList problems;
    const QString path = folder + "/" + DatabaseName;
    Connection connection;
    connection.setParams(databaseParams(path));
    try {
        connection.open();
    } catch (const DbError& error) {
        return problems << QStringLiteral("the database does not open: ") + error.message()
                        << validate(path).errors;
    }
    const qint64 counter = rows(connection, "SELECT zbizszam FROM bizszam").value(0).value(0).toLongLong();
    const QList<QStringList> top =
        rows(connection, "SELECT max(CAST(bbszam AS BIGINT)), count(*) FROM bizmozg");
    if (top[0][0].toLongLong() != counter)
        problems << QStringLiteral("counter %1, largest line number %2").arg(counter).arg(top[0][0]);
    for (const QStringList& twice :
         rows(connection, "SELECT bbszam, count(*) FROM bizmozg GROUP BY bbszam HAVING count(*) > 1"))
        problems << QStringLiteral("number %1 on %2 lines").arg(twice[0], twice[1]);
    // Every line in full: its quantity belongs to its tag, its type and employee are there, and an item
    // number change left the line's item number, code and batch all of one item.
    const QStringList items{"100,1,B-100", "200,2,B-200"};
    for (const QStringList& line :
         rows(connection, "SELECT bmegjegy, bmenov, bcikkszam, bmnem, bdkod, bbszam, "
                          "bckod, btetel, beredeti, bmemo FROM bizmozg")) {
        const bool imported = line[8].startsWith(QLatin1String("F.jegy: "));
        const QString item = line[2] + ',' + line[6] + ',' + line[7];
        const bool changed = line[9].startsWith(QLatin1String("Csere elött:"));
        const bool itemWhole =
            imported && !items.contains(item) ? line[7] == "IMP-" + line[2] : items.contains(item);
        const bool quantityWhole =
            imported || line[1] == QString::number(quantityOf(line[0].mid(1).toLongLong()));
        if (!quantityWhole || !itemWhole || (changed && !items.contains(item)) || line[3] != "101" ||
            line[4] != "1" || line[5].isEmpty())
            problems << QStringLiteral("line in part: ") + line.join(QLatin1Char(','));
    }
    for (const QStringList& alone : rows(connection, "SELECT cszam FROM cikk c WHERE NOT EXISTS "
                                                     "(SELECT 1 FROM bizmozg b WHERE b.bcikkszam = c.cszam) "
                                                     "AND c.cszam NOT IN ('100', '200')"))
        problems << QStringLiteral("imported item without its line: ") + alone[0];
    QFile journal(folder + "/" + JournalName);
    journal.open(QIODevice::ReadOnly);
    for (const QByteArray& raw : journal.readAll().split('\n')) {
        const QStringList entry = QString::fromUtf8(raw).split(QLatin1Char(' '));
        if (entry.size() < 3)
            continue;
        ++*confirmed;
        QList<QStringList> found;
        if (entry[0] == QLatin1String("L"))
            found = rows(connection, "SELECT bmenov FROM bizmozg WHERE bmegjegy = :p0", {entry[1]});
        else if (entry[0] == QLatin1String("I"))
            found = rows(connection, "SELECT bmenov FROM bizmozg WHERE beredeti = :p0",
                         {QStringLiteral("F.jegy: ") + entry[1]});
        else
            found =
                rows(connection, QStringLiteral("SELECT 1 FROM %1 WHERE %2 = :p0").arg(entry[1], entry[2]),
                     {entry[3]});
        const bool whole = found.size() == 1 && (entry[0] == QLatin1String("M") || found[0][0] == entry[2]);
        if (!whole)
            problems << QStringLiteral("saved, but not there in full: ") + QString::fromUtf8(raw);
    }
    for (const QStringList& table : rows(connection, "SELECT TRIM(rdb$relation_name) FROM rdb$relations "
                                                     "WHERE rdb$system_flag = 0 AND rdb$view_blr IS NULL"))
        rows(connection, QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table[0]));
    connection.transaction().commit();
    connection.close();

    const Validation validation = validate(path);
    *engineWarnings = validation.warnings;
    return problems + validation.errors;
}

int runParent(const QStringList& args)
{
    int kills = 200;
    unsigned seed = std::random_device{}();
    bool keep = false;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--kills" && i + 1 < args.size())
            kills = args[++i].toInt();
        else if (args[i] == "--seed" && i + 1 < args.size())
            seed = args[++i].toUInt();
        else if (args[i] == "--keep")
            keep = true;
    }
    QTextStream out(stdout);
    Connection::prepareEmbeddedEnvironment();
    QTemporaryDir dir;
    dir.setAutoRemove(!keep);
    createDatabase(dir.filePath(DatabaseName));
    out << "varnel-crashtest: seed " << seed << ", folder " << dir.path() << Qt::endl;

    std::mt19937 random(seed);
    // Kills spread from the child's start-up to well into its run of saves.
    std::uniform_int_distribution<int> delay(20, 2500);
    int failures = 0, earlyExits = 0, confirmed = 0, warned = 0;
    QStringList warnings;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    QDir(dir.path()).mkdir("runtime");
    QFile::setPermissions(dir.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    environment.insert("XDG_RUNTIME_DIR", dir.filePath("runtime"));
    for (int kill = 1; kill <= kills; ++kill) {
        QProcess child;
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {"--child", dir.path(), QString::number(kill)});
        if (!child.waitForStarted()) {
            out << "cannot start the child" << Qt::endl;
            return 2;
        }
        const int wait = delay(random);
        if (child.waitForFinished(wait)) {
            ++earlyExits;
            ++failures;
            out << "kill " << kill << ": the child ended by itself (exit " << child.exitCode() << ")"
                << Qt::endl;
        } else {
            child.kill();   // SIGKILL
            child.waitForFinished(-1);
        }
        int seen = 0;
        QStringList leftovers;
        const QStringList problems = check(dir.path(), &seen, &leftovers);
        confirmed = seen;
        if (!problems.isEmpty()) {
            ++failures;
            out << "kill " << kill << " after " << wait << " ms:\n  " << problems.join("\n  ") << Qt::endl;
        }
        // A warning stays until a backup and restore, so only a new one is told.
        for (const QString& warning : leftovers) {
            if (!warnings.contains(warning))
                out << "kill " << kill << " after " << wait << " ms, engine warning: " << warning << Qt::endl;
        }
        warnings = leftovers;
        if (!leftovers.isEmpty())
            ++warned;
        if (kill % 20 == 0)
            out << "  " << kill << " kills, " << confirmed << " saves confirmed" << Qt::endl;
    }
    out << "kills: " << kills << ", saves confirmed: " << confirmed
        << ", validations with engine warnings: " << warned << ", failures: " << failures << Qt::endl;
    return failures == 0 ? 0 : 1;
}

}

int main(int argc, char** argv)
{
    if (argc >= 4 && QByteArray(argv[1]) == "--child") {
        QApplication app(argc, argv);
        QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
        Formats::initialise(QLocale(QLocale::Hungarian, QLocale::Hungary));
        try {
            Child child(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
            child.run();
        } catch (const std::exception& error) {
            qFatal("child: %s", error.what());
        }
    }
    QCoreApplication app(argc, argv);
    return runParent(app.arguments());
}
