// varnel-desks: several desks saving at once on a private Firebird server while things go wrong.
//
//   varnel-desks [--seconds N] [--desks N] [--no-import] [--kill-every MS] [--restarts N]
//                [--scaling SECONDS] [--seed S] [--keep]
//
// Desk processes save document lines through the program's posting path (and one runs purchase-ticket
// imports) as fast as they can. Each writes one journal line, fsynced, after every save its posting
// reported as done. The run SIGKILLs desks at random moments and starts them again, and restarts the
// server itself; after every server restart (the desks held still meanwhile) and at the end it checks
// the database and the journals. With --scaling it first measures saves per second with 1, 2 and 4 line
// desks and no faults. A save refused with the lock message is repeated by its desk until it is stored,
// as a person would press OK again; so is a save that met a lost server connection.
#include "data.h"
#include "dberror.h"
#include "documentcounter.h"
#include "documentposting.h"
#include "failurereason.h"
#include "firebirdserver.h"
#include "formats.h"
#include "importposting.h"
#include "importreader.h"
#include "scriptedplatform.h"
#include "sharedstate.h"
#include "stresscheck.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <random>
#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace {

using namespace StressCheck;

const QString LockMessage = QStringLiteral("Zárolási ütközés");

// ---- a desk: saves until it is killed ----

class Desk {
public:
    Desk(const QString& database, const QString& journal, int run)
        : database_(database), run_(run), journal_(journal)
    {
        platform_ = &ScriptedPlatform::install();
        if (!journal_.open(QIODevice::Append | QIODevice::Unbuffered))
            qFatal("cannot open the journal %s", qPrintable(journal));
        shared().CurrentEmployeeCode = QStringLiteral("1");
        // The desk may start while the server restarts.
        for (;;) {
            try {
                Data = new TData(database_);
                Data->connectAndOpenTables();
                return;
            } catch (const DbError& error) {
                if (!connectionLost(error))
                    qFatal("desk cannot start: %s", qPrintable(error.message()));
                delete Data;
                QThread::msleep(100);
            }
        }
    }

    [[noreturn]] void saveLines()
    {
        for (qint64 step = 0;; ++step) {
            const qint64 serial = qint64(run_) * 1000000 + step;
            DocumentPosting::Line line;
            line.date = QDate(2026, 3, 1);
            line.movementKey = line.movementCode = QStringLiteral("101");
            line.itemNumber = QStringLiteral("100");
            line.itemCode = QStringLiteral("1");
            line.batch = QStringLiteral("B-100");
            line.quantityIn = QString::number(quantityOf(serial));
            line.price = QStringLiteral("2");
            line.valueIn = QString::number(2 * quantityOf(serial));
            line.quantityOut = line.valueOut = QStringLiteral("0");
            line.employeeCode = shared().CurrentEmployeeCode;
            line.warehouseCode = line.partnerCode = QStringLiteral("1");
            line.note = QStringLiteral("K%1").arg(serial);
            int locked = 0, lost = 0;
            qint64 longest = 0;   // ms of the longest press of OK: what the person waited for an answer
            for (;;) {
                platform_->clearMessages();
                try {
                    // The number the line form shows when it opens.
                    line.proposedNumber = DocumentCounter::next();
                } catch (const DbError& error) {
                    refused(failureReason(error), &locked, &lost);
                    continue;
                }
                QElapsedTimer pressed;
                pressed.start();
                const bool saved = DocumentPosting::post(line).outcome == SaveOutcome::Saved;
                longest = std::max(longest, pressed.elapsed());
                if (saved)
                    break;
                refused(platform_->messageTexts().join(QLatin1String(" | ")), &locked, &lost);
            }
            note(QStringLiteral("L %1 %2 %3 %4 %5")
                     .arg(line.note)
                     .arg(quantityOf(serial))
                     .arg(locked)
                     .arg(lost)
                     .arg(longest));
        }
    }

    // A purchase-ticket import of three rows (two of a new item number, one of item 100), posted by
    // "Feladás" until every row is stored, then the closing item-code pass.
    [[noreturn]] void importTickets()
    {
        for (qint64 step = 0;; ++step) {
            const qint64 serial = qint64(run_) * 1000000 + step * 4;
            // The ticket number column holds eight characters.
            const QString ticket = QLatin1Char('T') + QString::number(serial, 36);
            int locked = 0, lost = 0;
            for (QString failure; !(failure = workTableFailure(ticket, serial)).isEmpty();)
                refused(failure, &locked, &lost);
            // The form's reads before and between the rows' units of work meet a lost connection too; the
            // program's general handler would show it, and "Feladás" is pressed again.
            for (;;) {
                platform_->clearMessages();
                try {
                    if (TicketPosting::postWorkRows({QStringLiteral("101"), QStringLiteral("101")}) &&
                        platform_->messageTexts().isEmpty())
                        break;
                    refused(platform_->messageTexts().join(QLatin1String(" | ")), &locked, &lost);
                } catch (const DbError& error) {
                    refused(failureReason(error), &locked, &lost);
                }
            }
            // The closing pass stores nothing a journal confirms; a pass that is refused is left to the next.
            platform_->clearMessages();
            try {
                TicketPosting::fillItemCodes();
            } catch (const DbError& error) {
                refused(failureReason(error), &locked, &lost);
            }
            for (const QString& message : platform_->messageTexts())
                refused(message, &locked, &lost);
            // The ticket's refusals are told once, with its first row.
            for (int r = 1; r <= 3; ++r)
                note(QStringLiteral("I %1%2 %3 %4 %5")
                         .arg(ticket)
                         .arg(r)
                         .arg(quantityOf(serial + r))
                         .arg(r == 1 ? locked : 0)
                         .arg(r == 1 ? lost : 0));
        }
    }

private:
    // A refused save is counted by its reason and tried again; any other failure ends the desk.
    void refused(const QString& messages, int* locked, int* lost)
    {
        if (messages.contains(QLatin1String("Megszakadt a kapcsolat"))) {
            ++*lost;
            QThread::msleep(50);
        } else if (messages.contains(LockMessage)) {
            // A pause of random length, so that two desks that met at the counter do not meet again at
            // once; its bound doubles with every refusal of the same save (up to 320 ms), so that desks
            // that keep meeting do not spend the server's time on refusals (people repeat a refused save
            // seconds apart).
            ++*locked;
            const unsigned long bound = 5000ul << std::min(*locked - 1, 6);
            QThread::usleep(std::uniform_int_distribution<unsigned long>{0, bound}(random_));
        } else {
            qFatal("save failed: %s", qPrintable(messages));
        }
    }

    // The work table holds the ticket's rows; else the reason why not.
    QString workTableFailure(const QString& ticket, qint64 serial)
    {
        try {
            fillWorkTable(ticket, serial);
            return {};
        } catch (const DbError& error) {
            if (Data->IBTrans1.isActive() && !connectionLost(error))
                Data->IBTrans1.rollback();
            return failureReason(error);
        }
    }

    void note(const QString& entry)
    {
        const QByteArray line = entry.toUtf8() + '\n';
        if (journal_.write(line) != line.size() || ::fsync(journal_.handle()) != 0)
            qFatal("journal write failed");
    }

    QString database_;
    int run_;
    QFile journal_;
    ScriptedPlatform* platform_;
    std::mt19937 random_{unsigned(run_)};
};

// ---- the run: the server, the desks, the faults and the checks ----

struct Options {
    int seconds = 300;
    int desks = 4;
    bool import = true;
    int killEvery = 1500;   // ms on average between two kills
    int restarts = 3;
    int scaling = 0;   // seconds per measurement, 0: none
    unsigned seed = std::random_device{}();
    bool keep = false;
};

// One journal entry: its kind, how often it was refused for a lock and for a lost connection, and (a
// line) how long its longest posting took.
struct Tally {
    int lines = 0, imported = 0, locked = 0, lockedSaves = 0, lost = 0;
    QList<QList<qint64>> postingMs;   // of the lines, per journal
};

// The share of the lines' postings journaled after `before` that took longer than 100 ms and 1 s, and
// the longest.
QString postingTimes(const Tally& before, const Tally& after)
{
    QList<qint64> times;
    for (qsizetype j = 0; j < after.postingMs.size(); ++j)
        times << after.postingMs[j].mid(j < before.postingMs.size() ? before.postingMs[j].size() : 0);
    if (times.isEmpty())
        return QStringLiteral("no line postings");
    const auto over = [&times](qint64 ms) {
        const auto count = std::count_if(times.begin(), times.end(), [ms](qint64 t) { return t > ms; });
        return QString::number(100.0 * double(count) / double(times.size()), 'f', 2) + QLatin1Char('%');
    };
    return QStringLiteral("line postings over 100 ms: %1, over 1 s: %2, longest %3 ms")
        .arg(over(100), over(1000))
        .arg(*std::max_element(times.begin(), times.end()));
}

Tally tally(const QStringList& journals)
{
    Tally t;
    for (const QString& name : journals) {
        QFile journal(name);
        t.postingMs.append(QList<qint64>());
        if (!journal.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& raw : journal.readAll().split('\n')) {
            const QList<QByteArray> entry = raw.split(' ');
            if (entry.size() < 5)
                continue;
            (entry[0] == "L" ? t.lines : t.imported)++;
            t.locked += entry[3].toInt();
            t.lockedSaves += entry[3].toInt() > 0 ? 1 : 0;
            t.lost += entry[4].toInt();
            if (entry[0] == "L" && entry.size() > 5)
                t.postingMs.back() << entry[5].toLongLong();
        }
    }
    return t;
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(' ', 0, 2)
                                          : QString();
}

class Run {
public:
    Run(const Options& options, QTextStream& out) : options_(options), out_(out), random_(options.seed)
    {
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert("QT_QPA_PLATFORM", "offscreen");
        QDir(folder_.path()).mkdir("runtime");
        QFile::setPermissions(folder_.filePath("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        environment_.insert("XDG_RUNTIME_DIR", folder_.filePath("runtime"));
        folder_.setAutoRemove(!options.keep);
    }

    ~Run()
    {
        for (Slot& slot : slots_)
            stopDesk(slot);
    }

    bool start()
    {
        if (!server_.start()) {
            out_ << "the server does not start: " << server_.error() << Qt::endl;
            return false;
        }
        database_ = server_.databaseName(QStringLiteral("DESKS.FDB"));
        createDatabase(database_);
        out_ << "varnel-desks: seed " << options_.seed << ", database " << database_ << ", journals in "
             << folder_.path() << Qt::endl;
        return true;
    }

    // Saves per second of 1, 2 and 4 line desks, each for `seconds` after a start-up allowance.
    void measureScaling(int seconds)
    {
        for (int desks : {1, 2, 4}) {
            for (int i = 0; i < desks; ++i)
                startDesk(addSlot(QStringLiteral("line"), QStringLiteral("scale%1-%2").arg(desks).arg(i)));
            wait(3000);
            const Tally before = tally(journals());
            QElapsedTimer timer;
            timer.start();
            wait(seconds * 1000);
            const Tally after = tally(journals());
            const double elapsed = timer.elapsed() / 1000.0;
            for (Slot& slot : slots_)
                stopDesk(slot);
            out_ << "  " << desks << (desks == 1 ? " desk:  " : " desks: ")
                 << QString::number((after.lines - before.lines) / elapsed, 'f', 1) << " saves/s, "
                 << after.locked - before.locked << " lock refusals repeated until stored, load average "
                 << loadAverage() << Qt::endl;
            out_ << "          " << postingTimes(before, after) << Qt::endl;
            checkNow(QStringLiteral("after %1 desks").arg(desks));
        }
    }

    // Desks saving, killed and started again, the server restarted between; checks after each restart
    // and at the end.
    void faultRun()
    {
        const int first = int(slots_.size());
        for (int i = 0; i < options_.desks; ++i)
            startDesk(addSlot(QStringLiteral("line"), QStringLiteral("desk%1").arg(i)));
        if (options_.import)
            startDesk(addSlot(QStringLiteral("import"), QStringLiteral("import")));
        const Tally before = tally(journals());
        QElapsedTimer timer;
        timer.start();
        const qint64 total = qint64(options_.seconds) * 1000;
        std::uniform_int_distribution<int> gap(options_.killEvery / 2, options_.killEvery * 3 / 2);
        int restartsDone = 0;
        qint64 nextKill = gap(random_);
        while (timer.elapsed() < total) {
            const qint64 nextRestart = total * (restartsDone + 1) / (options_.restarts + 1);
            if (restartsDone < options_.restarts && timer.elapsed() >= nextRestart) {
                restartServer(++restartsDone);
                continue;
            }
            if (timer.elapsed() >= nextKill) {
                Slot& slot = slots_[size_t(first + int(random_() % unsigned(slots_.size() - first)))];
                kill(slot);
                ++kills_;
                startDesk(slot);
                nextKill = timer.elapsed() + gap(random_);
            }
            wait(20);
        }
        const double elapsed = timer.elapsed() / 1000.0;
        for (Slot& slot : slots_)
            stopDesk(slot);
        const Tally after = tally(journals());
        checkNow(QStringLiteral("at the end"));
        const int saves = after.lines + after.imported - before.lines - before.imported;
        out_ << "fault run: " << options_.desks << " line desks"
             << (options_.import ? " and an import desk" : "") << " for " << QString::number(elapsed, 'f', 0)
             << " s: " << saves << " saves confirmed (" << after.lines - before.lines << " lines, "
             << after.imported - before.imported << " imported), " << QString::number(saves / elapsed, 'f', 1)
             << " saves/s, " << kills_ << " SIGKILLs, " << restartsDone << " server restarts, load average "
             << loadAverage() << Qt::endl;
        out_ << "  lock refusals repeated until stored: " << after.locked - before.locked << " (on "
             << after.lockedSaves - before.lockedSaves
             << " saves); repeated after a lost connection: " << after.lost - before.lost
             << "; desks that ended by themselves: " << earlyExits_ << Qt::endl;
    }

    int finish()
    {
        out_ << "checks: " << checks_ << ", confirmed saves at the last: " << confirmed_
             << ", checks with engine warnings: " << warned_ << ", failures: " << failures_ << Qt::endl;
        return failures_ == 0 ? 0 : 1;
    }

private:
    struct Slot {
        QString kind;
        QString journal;
        std::unique_ptr<QProcess> process;
    };

    Slot& addSlot(const QString& kind, const QString& name)
    {
        slots_.push_back({kind, folder_.filePath(name + QStringLiteral(".txt")), nullptr});
        return slots_.back();
    }

    QStringList journals() const
    {
        QStringList names;
        for (const Slot& slot : slots_)
            names << slot.journal;
        return names;
    }

    void startDesk(Slot& slot)
    {
        slot.process = std::make_unique<QProcess>();
        slot.process->setProcessEnvironment(environment_);
        slot.process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        slot.process->start(QCoreApplication::applicationFilePath(),
                            {"--desk", database_, slot.journal, QString::number(++runs_), slot.kind});
        if (!slot.process->waitForStarted())
            qFatal("cannot start a desk");
    }

    void kill(Slot& slot)
    {
        if (slot.process->state() == QProcess::NotRunning) {
            ++earlyExits_;
            ++failures_;
            out_ << "a " << slot.kind << " desk ended by itself (exit " << slot.process->exitCode() << ")"
                 << Qt::endl;
        }
        slot.process->kill();   // SIGKILL
        slot.process->waitForFinished(-1);
    }

    void stopDesk(Slot& slot)
    {
        if (slot.process)
            kill(slot);
        slot.process.reset();
    }

    void signalDesks(int signal)
    {
        for (Slot& slot : slots_)
            if (slot.process && slot.process->state() == QProcess::Running)
                ::kill(pid_t(slot.process->processId()), signal);
    }

    // The desks are held still, so that the check sees what the restart left and nothing more.
    void restartServer(int number)
    {
        signalDesks(SIGSTOP);
        if (!server_.restart()) {
            ++failures_;
            out_ << "the server does not start again: " << server_.error() << Qt::endl;
        }
        checkNow(QStringLiteral("after server restart %1").arg(number));
        signalDesks(SIGCONT);
    }

    void checkNow(const QString& when)
    {
        QStringList warnings;
        const QStringList problems = check(database_, journals(), &confirmed_, &warnings);
        ++checks_;
        if (!problems.isEmpty()) {
            ++failures_;
            out_ << when << ":\n  " << problems.join("\n  ") << Qt::endl;
        }
        for (const QString& warning : warnings)
            if (!warnings_.contains(warning))
                out_ << when << ", engine warning: " << warning << Qt::endl;
        warnings_ = warnings;
        if (!warnings.isEmpty())
            ++warned_;
        out_ << "  checked " << when << ": " << confirmed_ << " confirmed saves, "
             << (problems.isEmpty() ? "all there" : "FAILED") << Qt::endl;
    }

    // Lets the desks' processes be seen to end while time passes.
    static void wait(int ms)
    {
        const QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(10);
        }
    }

    Options options_;
    QTextStream& out_;
    std::mt19937 random_;
    QTemporaryDir folder_;
    QProcessEnvironment environment_;
    FirebirdServer server_;
    QString database_;
    std::vector<Slot> slots_;
    int runs_ = 0, kills_ = 0, earlyExits_ = 0, failures_ = 0, checks_ = 0, confirmed_ = 0, warned_ = 0;
    QStringList warnings_;
};

Options parse(const QStringList& args)
{
    Options options;
    for (int i = 1; i < args.size(); ++i) {
        const auto number = [&] { return i + 1 < args.size() ? args[++i].toInt() : 0; };
        if (args[i] == "--seconds")
            options.seconds = number();
        else if (args[i] == "--desks")
            options.desks = number();
        else if (args[i] == "--no-import")
            options.import = false;
        else if (args[i] == "--kill-every")
            options.killEvery = qMax(2, number());
        else if (args[i] == "--restarts")
            options.restarts = number();
        else if (args[i] == "--scaling")
            options.scaling = number();
        else if (args[i] == "--seed")
            options.seed = unsigned(number());
        else if (args[i] == "--keep")
            options.keep = true;
        else {
            // A mistyped option must not start a run of minutes with the defaults.
            QTextStream(stderr)
                << "usage: varnel-desks [--seconds N] [--desks N] [--no-import] [--kill-every MS] "
                   "[--restarts N] [--scaling S] [--seed S] [--keep]\n";
            std::exit(2);
        }
    }
    return options;
}

}

int main(int argc, char** argv)
{
    if (argc >= 6 && QByteArray(argv[1]) == "--desk") {
        QApplication app(argc, argv);
        QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
        Formats::initialise(QLocale(QLocale::Hungarian, QLocale::Hungary));
        try {
            Desk desk(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]), std::atoi(argv[4]));
            if (QByteArray(argv[5]) == "import")
                desk.importTickets();
            desk.saveLines();
        } catch (const std::exception& error) {
            qFatal("desk: %s", error.what());
        }
    }
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    if (!FirebirdServer::available()) {
        out << "varnel-desks: the Firebird server and tools (firebird3.0-server, firebird3.0-utils) are not "
               "installed."
            << Qt::endl;
        return 77;   // skipped, for CTest
    }
    const Options options = parse(app.arguments());
    Run run(options, out);
    if (!run.start())
        return 2;
    if (options.scaling > 0) {
        out << "saves per second, line desks without faults:" << Qt::endl;
        run.measureScaling(options.scaling);
    }
    if (options.seconds > 0)
        run.faultRun();
    return run.finish();
}
