// Start-up in the order the program has always followed, and the program's run.
#include "startup.h"
#include "about.h"
#include "application.h"
#include "backup.h"
#include "data.h"
#include "dberror.h"
#include "documentregister.h"
#include "email.h"
#include "employeeselection.h"
#include "failurereason.h"
#include "formats.h"
#include "helpform.h"
#include "itemnumberchange.h"
#include "mainwindow.h"
#include "masterimportform.h"
#include "masterdataforms.h"
#include "modalform.h"
#include "platform.h"
#include "rawtables.h"
#include "remote.h"
#include "purchaseticketimport.h"
#include "reportevents.h"
#include "reportforms.h"
#include "runlock.h"
#include "sharedstate.h"
#include "splash.h"
#include "termination.h"
#include "version.h"
#include "windowplacement.h"
#include "yearopening.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLocale>
#include <QTextStream>
#include <future>

namespace {

const QString DatabaseFailure =
    QStringLiteral("Az adatbáziskezelöt nem találja.\rA program müködéséhez szükséges.");

// A local file by its full path, so that the user knows which one; a server's database as it was named.
QString databaseLine(const QString& database)
{
    const bool onServer = database.contains(QLatin1Char(':'));
    return QStringLiteral("Adatbázis: %1")
        .arg(onServer ? database : QDir::toNativeSeparators(QFileInfo(database).absoluteFilePath()));
}

// Every window of the program carries its icon, at the sizes the installed icon theme has.
QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/varnel-%1.png").arg(size), QSize(size, size));
    return icon;
}

}

void wireMenu(TForm1& form)
{
    QWidget* parent = &form;
    form.setCommand(QStringLiteral("Vlaszts1"), [parent] { runForm(Form4, parent); });
    form.setCommand(QStringLiteral("Nyits1"), [parent] { runForm(Form33, parent); });
    form.setCommand(QStringLiteral("Cikk"), [parent] { runForm(Form7, parent); });
    form.setCommand(QStringLiteral("Partner"), [parent] { runForm(Form9, parent); });
    form.setCommand(QStringLiteral("Raktar"), [parent] { runForm(Form11, parent); });
    form.setCommand(QStringLiteral("Mozgasnem"), [parent] { runForm(Form13, parent); });
    form.setCommand(QStringLiteral("Dolgozo"), [parent] { runForm(Form15, parent); });
    form.setCommand(QStringLiteral("Adatbevitel"), [parent] { runForm(Form17, parent); });
    form.setCommand(QStringLiteral("Adatbzis1"), [parent] { runForm(Form19, parent); });
    form.setCommand(QStringLiteral("Sug1"), [parent] { runForm(Form29, parent); });
    form.setCommand(QStringLiteral("Nvjegy1"), [parent] { runForm(Form23, parent); });
    form.setCommand(QStringLiteral("Tvsegitsg1"), [parent] { runForm(Form21, parent); });
    form.setCommand(QStringLiteral("Adatokkldse1"), [parent] { runForm(Form22, parent); });
    form.setCommand(QStringLiteral("Adatokmentse1"), [parent] { runForm(Form34, parent); });
    form.setCommand(QStringLiteral("Ttelszm1"), [parent] { runForm(Form30, parent); });
    form.setCommand(QStringLiteral("Cikkkarton1"), [parent] { runForm(Form27, parent); });
    form.setCommand(QStringLiteral("Karton2"), [parent] { runForm(Form26, parent); });
    form.setCommand(QStringLiteral("Karton1"), [parent] { runForm(Form24, parent); });
    form.setCommand(QStringLiteral("Ttelszmtlig1"), [parent] { runForm(Form31, parent); });
    form.setCommand(QStringLiteral("Keszlet1"), [parent] { runForm(StockOnHandForm, parent); });
    form.setCommand(QStringLiteral("AdatoktvteleaDravobl1"), [parent] { runForm(Form25, parent); });
    form.setCommand(QStringLiteral("Cikkszmcsere1"), [parent] { runForm(Form32, parent); });
    form.setCommand(QStringLiteral("Torzsadatok1"), [parent] { runForm(MasterImportForm, parent); });
}

std::unique_ptr<TForm1> startUp(const StartOptions& options)
{
    // The database is attached while the windows are made and the splash shows (on a second core; on
    // one it costs nothing either); what it meets is reported at step 2 and 3, where it always was.
    auto data = std::make_unique<TData>(options.database);
    std::future<void> connecting = std::async(std::launch::async, [&data] { data->connect(); });

    auto form = std::make_unique<TForm1>();
    Form1 = form.get();

    // 1. The splash stays on screen for its three seconds before anything else happens.
    if (!AboutBox)
        runForm(AboutBox, nullptr);

    // 2. and 3. The data module, the connection and the ten tables; any failure ends the program.
    try {
        connecting.get();
        Data = data.release();
        installReportEvents(*Data);
        Data->connectAndOpenTables();
    } catch (const std::exception& error) {
        // The box names the file and says why in Hungarian; the engine's own words go to the terminal.
        QTextStream(stderr) << "Varnel: " << errorText(error) << Qt::endl;
        const QString database = (Data ? Data : data.get())->ZCon1.params().database;
        delete Data;
        Data = nullptr;
        data.reset();
        Platform::instance().confirmYesOnly(DatabaseFailure + QLatin1Char('\r') + databaseLine(database) +
                                            QLatin1Char('\r') + openFailureReason(error));
        Form1 = nullptr;
        return nullptr;
    }

    // 4. Decimal comma and "." between date parts; the rest from the system's settings.
    Formats::initialise(QLocale::system());

    // 5. and 6. The version text and the caption.
    form->versionText = versionText(builtFileVersion(), builtProductVersion());
    form->setWindowTitle(mainCaption(form->versionText));
    wireMenu(*form);
    return form;
}

int runVarnel(int argc, char** argv)
{
    Application app(argc, argv);
    Application::setApplicationName(QStringLiteral("Varnel"));
    Application::setApplicationVersion(builtFileVersion());
    Application::setWindowIcon(programIcon());
    // Lets the desktop match the windows with the installed desktop entry (and its icon).
    Application::setDesktopFileName(QStringLiteral("varnel"));
    installHungarianTranslations(app);
    try {
        Connection::prepareEmbeddedEnvironment();
    } catch (const DbError& error) {
        Platform::instance().information(error.message());
        return 1;
    }

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption databaseOption(QStringLiteral("database"),
                                      QStringLiteral("Az adatbázis neve (például szerver:VARNEL2013.FDB)."),
                                      QStringLiteral("NAME"));
    parser.addOption(databaseOption);
    parser.process(app);

    applicationHelpFile() = QDir::current().absoluteFilePath(QStringLiteral("VARNEL.HLP"));

    // A second start in the same folder would meet the database held by the first one.
    RunLock runLock(QDir::currentPath());
    if (!runLock.take())
        return 1;

    StartOptions options;
    options.database = parser.value(databaseOption);
    std::unique_ptr<TForm1> form = startUp(options);
    if (!form)
        return 1;
    closeOnTerminationSignals(form.get());
    WindowPlacement::restore(form.get());
    form->show();
    const int result = app.exec();
    WindowPlacement::save(form.get());
    form.reset();
    Form1 = nullptr;
    delete Data;   // commits what the run left uncommitted
    return result;
}
