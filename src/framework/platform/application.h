// The application object with the program's general error handler, and the Qt translations it loads.
#pragma once

#include <QApplication>
#include <exception>

// Any exception that escapes an event handler ends here and is shown with its own text through
// Platform::information; the program then goes on with the next event.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The text the general handler shows for an exception (DbError and std::exception carry it as UTF-8).
QString errorText(const std::exception& error);
// Shows an unexpected error the way the general handler does.
void showUnexpectedError(const std::exception& error);

// Loads Qt's own Hungarian texts (standard buttons, dialogs) from Qt's translation folder, and ours for
// the print dialog's texts that Qt's lack; false when Qt's are not installed (qt6-translations-l10n).
bool installHungarianTranslations(QApplication& application);
