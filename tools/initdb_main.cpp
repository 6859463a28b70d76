// varnel-initdb: creates the stock-keeping database in a folder, optionally with demo data.
#include "connection.h"
#include "dberror.h"
#include "demodata.h"
#include "supportfiles.h"
#include "databasefile.h"
#include "schemasql.h"
#include "writemode.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

// Exit codes: 1 the database already exists, 2 wrong arguments, 3 creation failed.
enum ExitCode { Done = 0, Exists = 1, BadArguments = 2, Failed = 3 };

QTextStream& out() { static QTextStream s(stdout); return s; }
QTextStream& err() { static QTextStream s(stderr); return s; }

std::optional<int> countOption(const QCommandLineParser& parser, const QString& name, int low, int high)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < low || value > high) {
        err() << QStringLiteral("--%1: a whole number from %2 to %3 is needed, not \"%4\".\n")
                     .arg(name).arg(low).arg(high).arg(parser.value(name));
        return std::nullopt;
    }
    return value;
}

void reportCopies(const QString& templateFolder, const QString& folder)
{
    if (templateFolder.isEmpty()) {
        out() << "No templates folder found; report templates and help were not copied.\n";
        return;
    }
    const SupportFileCopy copy = copySupportFiles(templateFolder, folder);
    if (!copy.copied.isEmpty())
        out() << "Copied from " << templateFolder << ": " << copy.copied.join(QStringLiteral(", ")) << "\n";
    if (!copy.kept.isEmpty())
        out() << "Already present, left as they were: " << copy.kept.join(QStringLiteral(", ")) << "\n";
    if (!copy.failed.isEmpty())
        err() << "Could not copy: " << copy.failed.join(QStringLiteral(", ")) << "\n";
}

int createIn(const QString& folder, const std::optional<DemoOptions>& demo)
{
    const QString path = QDir(folder).absoluteFilePath(databaseFileName());
    auto connection = std::make_unique<Connection>();
    const ConnectionParams params = databaseParams(path);
    connection->setParams(params);
    bool created = false;
    try {
        Connection::prepareEmbeddedEnvironment();
        connection->createDatabase();
        created = true;
        connection->executeScript(QString::fromUtf8(schemaSql()));
        if (demo) {
            setForcedWrites(params, false);
            // Progress only on a terminal: in a log, a carriage return makes one unreadable line.
            const bool terminal = isatty(STDOUT_FILENO);
            fillDemoData(*connection, *demo, [terminal](int lines) {
                if (terminal)
                    out() << "  " << lines << " lines\r" << Qt::flush;
            });
            setForcedWrites(params, true);
            if (terminal)
                out() << "\n";
        }
        connection->close();
    } catch (const DbError& error) {
        err() << "Creating " << path << " failed: " << error.message() << "\n";
        connection.reset();
        // A half-made database would block the next attempt and the program would open it.
        if (created)
            QFile::remove(path);
        return Failed;
    }
    out() << "Created " << path;
    if (demo)
        out() << " with demo data (" << demo->items << " items, " << demo->lines << " movement lines)";
    out() << "\n";
    return Done;
}

}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("varnel-initdb"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Creates the stock-keeping database VARNEL2013.FDB in FOLDER and copies the report templates and the "
        "help file beside it. An existing database is never touched."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("working folder of the program"));
    parser.addOption({QStringLiteral("demo"), QStringLiteral("fill the database with demo data")});
    parser.addOption({QStringLiteral("lines"), QStringLiteral("number of demo movement lines (implies --demo)"),
                      QStringLiteral("N"), QString::number(DemoOptions().lines)});
    parser.addOption({QStringLiteral("items"), QStringLiteral("number of demo items (implies --demo)"),
                      QStringLiteral("N"), QString::number(DemoOptions().items)});
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        err() << "One FOLDER is needed.\n\n" << parser.helpText();
        return BadArguments;
    }
    std::optional<DemoOptions> demo;
    if (parser.isSet(QStringLiteral("demo")) || parser.isSet(QStringLiteral("lines"))
        || parser.isSet(QStringLiteral("items"))) {
        const auto lines = countOption(parser, QStringLiteral("lines"), 0, DemoOptions::MaxLines);
        const auto items = countOption(parser, QStringLiteral("items"), 1, DemoOptions::MaxItems);
        if (!lines || !items)
            return BadArguments;
        demo = DemoOptions{*lines, *items};
    }

    const QString folder = positional.first();
    const QString path = QDir(folder).absoluteFilePath(databaseFileName());
    if (QFileInfo::exists(path)) {
        err() << path << " already exists; it was left as it was. Remove it first to create a new one.\n";
        return Exists;
    }
    if (!QDir().mkpath(folder)) {
        err() << "Cannot create the folder " << folder << ".\n";
        return Failed;
    }
    const int result = createIn(folder, demo);
    if (result == Done)
        reportCopies(findTemplateFolder(), folder);
    return result;
}
