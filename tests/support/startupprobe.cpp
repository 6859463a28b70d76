// Start-up probe for the start-up fault tests: prepares the engine's environment and starts the program
// as it does (scripted platform, no person), then prints each message shown and whether a main window
// came up. With --hold it keeps the database open until its standard input closes, as another copy would.
//
//   startupprobe [--uid N] --start DATABASE | --hold DATABASE
#include "connection.h"
#include "data.h"
#include "databasefile.h"
#include "dberror.h"
#include "mainwindow.h"
#include "scriptedplatform.h"
#include "startup.h"

#include <QApplication>
#include <QDialog>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // A root test run probes as an ordinary user, for whom file modes count.
    const int uid = args.indexOf("--uid");
    if (uid >= 0 && ::geteuid() == 0) {
        const uid_t id = uid_t(args.value(uid + 1).toUInt());
        if (::setgid(id) != 0 || ::setuid(id) != 0)
            return 3;
    }
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const int hold = args.indexOf("--hold");
    if (hold >= 0) {
        Connection::prepareEmbeddedEnvironment();
        Connection connection;
        connection.setParams(databaseParams(args.value(hold + 1)));
        connection.open();
        out << "holding" << Qt::endl;
        char c;
        while (std::fread(&c, 1, 1, stdin) == 1) {
        }
        return 0;
    }
    ScriptedPlatform& platform = ScriptedPlatform::install();
    platform.modalRuns.push_back([](QDialog*) { return int(QDialog::Accepted); });
    std::unique_ptr<TForm1> form;
    try {
        Connection::prepareEmbeddedEnvironment();
        form = startUp({args.value(args.indexOf("--start") + 1)});
    } catch (const DbError& error) {
        platform.information(error.message());
    }
    for (const QString& text : platform.messageTexts())
        out << "message: " << QString(text).replace(QLatin1Char('\r'), QLatin1String("\\r")) << Qt::endl;
    out << "window: " << (form ? "yes" : "no") << Qt::endl;
    out << "data: " << (Data ? "yes" : "no") << Qt::endl;
    form.reset();
    delete Data;
    return 0;
}
