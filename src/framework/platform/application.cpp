// The application object's general error handler and the loading of the Hungarian texts.
#include "application.h"

#include "failurereason.h"
#include "platform.h"

#include <QLibraryInfo>
#include <QTranslator>

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        showUnexpectedError(error);
    }
    return false;
}

QString errorText(const std::exception& error)
{
    // Whatever was being read or written when the server went away, the next action attaches again.
    if (connectionLost(error))
        return failureReason(error) + QStringLiteral("\rA művelet nem történt meg. Amikor a szerver ismét "
                                                     "elérhető, ismételje meg: a program magától újra "
                                                     "kapcsolódik.");
    return QString::fromUtf8(error.what());
}

void showUnexpectedError(const std::exception& error)
{
    Platform::instance().information(errorText(error));
}

bool installHungarianTranslations(QApplication& application)
{
    // Ours, compiled in, fills what Qt's own Hungarian translation leaves in English (print dialog).
    auto* own = new QTranslator(&application);
    if (own->load(QStringLiteral(":/translations/varnel_hu.qm")))
        application.installTranslator(own);
    else
        delete own;
    auto* translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral("qtbase_hu"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return application.installTranslator(translator);
}
