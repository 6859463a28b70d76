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
#include "stresscheck.h"

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

using namespace StressCheck;

const QString DatabaseName = QStringLiteral("VARNEL2013.FDB");
const QString JournalName = QStringLiteral("journal.txt");

// ---- the child: saves through the forms until it is killed ----

void leave(QLineEdit* box)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &out);
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
        fillWorkTable(ticket, serial);
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
        const QStringList problems =
            check(dir.filePath(DatabaseName), {dir.filePath(JournalName)}, &seen, &leftovers);
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
