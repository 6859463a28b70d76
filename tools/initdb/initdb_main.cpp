// varnel-initdb: creates the stock-keeping database in a folder, optionally with demo data.
#include "connection.h"
#include "dberror.h"
#include "demodata.h"
#include "demomaster.h"
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
#include <algorithm>
#include <memory>
#include <optional>
#include <unistd.h>

namespace {

// Exit codes: 1 the database already exists, 2 wrong arguments, 3 creation failed.
enum ExitCode { Done = 0, Exists = 1, BadArguments = 2, Failed = 3 };

QTextStream& out()
{
    static QTextStream s(stdout);
    return s;
}
QTextStream& err()
{
    static QTextStream s(stderr);
    return s;
}

std::optional<int> countOption(const QCommandLineParser& parser, const QString& name, int low, int high)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < low || value > high) {
        err() << QStringLiteral("--%1: a whole number from %2 to %3 is needed, not \"%4\".\n")
                     .arg(name)
                     .arg(low)
                     .arg(high)
                     .arg(parser.value(name));
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
        connection->close();
        setPageBuffers(params, DatabasePageBuffers);
        connection->open();
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
        out() << " with demo data (" << demo->items << " items, " << demoPartnerCount(*demo) << " partners, "
              << demo->warehouses << " warehouses, " << demo->types << " movement types, " << demo->lines
              << " movement lines over " << demo->years << " years)";
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
    parser.addOption({QStringLiteral("lines"),
                      QStringLiteral("number of demo movement lines (implies --demo)"), QStringLiteral("N"),
                      QString::number(DemoOptions().lines)});
    parser.addOption({QStringLiteral("items"), QStringLiteral("number of demo items (implies --demo)"),
                      QStringLiteral("N"), QString::number(DemoOptions().items)});
    parser.addOption(
        {QStringLiteral("partners"),
         QStringLiteral("number of demo partners (implies --demo; default: 12 and one for 20 items)"),
         QStringLiteral("N"), QString::number(demoPartnerCount(DemoOptions()))});
    parser.addOption({QStringLiteral("warehouses"),
                      QStringLiteral("number of demo warehouses (implies --demo)"), QStringLiteral("N"),
                      QString::number(DemoOptions().warehouses)});
    parser.addOption({QStringLiteral("types"),
                      QStringLiteral("number of demo movement types, receipts and issues (implies --demo)"),
                      QStringLiteral("N"), QString::number(DemoOptions().types)});
    parser.addOption({QStringLiteral("years"),
                      QStringLiteral("years the demo lines span, ending with %1 (implies --demo)")
                          .arg(DemoOptions::LastYear),
                      QStringLiteral("N"), QString::number(DemoOptions().years)});
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        err() << "One FOLDER is needed.\n\n" << parser.helpText();
        return BadArguments;
    }
    std::optional<DemoOptions> demo;
    const QStringList demoSizes = {QStringLiteral("lines"),    QStringLiteral("items"),
                                   QStringLiteral("partners"), QStringLiteral("warehouses"),
                                   QStringLiteral("types"),    QStringLiteral("years")};
    if (parser.isSet(QStringLiteral("demo")) ||
        std::any_of(demoSizes.begin(), demoSizes.end(),
                    [&](const QString& name) { return parser.isSet(name); })) {
        const auto lines = countOption(parser, QStringLiteral("lines"), 0, DemoOptions::MaxLines);
        const auto items = countOption(parser, QStringLiteral("items"), 1, DemoOptions::MaxItems);
        const auto warehouses =
            countOption(parser, QStringLiteral("warehouses"), 1, DemoOptions::MaxWarehouses);
        const auto types =
            countOption(parser, QStringLiteral("types"), DemoOptions::MinTypes, DemoOptions::MaxTypes);
        const auto years = countOption(parser, QStringLiteral("years"), 1, DemoOptions::MaxYears);
        if (!lines || !items || !warehouses || !types || !years)
            return BadArguments;
        demo = DemoOptions{*lines, *items, 0, *warehouses, *types, *years};
        // Without the option the partners follow the items, as the help says.
        if (parser.isSet(QStringLiteral("partners"))) {
            const auto partners = countOption(parser, QStringLiteral("partners"), DemoOptions::MinPartners,
                                              DemoOptions::MaxPartners);
            if (!partners)
                return BadArguments;
            demo->partners = *partners;
        }
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
