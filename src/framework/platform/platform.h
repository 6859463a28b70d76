// The one seam to the outside: everything that needs a person or the desktop goes through the
// installed Platform, so that tests can script it.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>

class QDialog;
class QPrinter;
class QWidget;

struct MailMessage {
    QString to;
    QString subject;
    QString body;
    QString attachmentPath;   // empty: no attachment
};

// How a mail left the program.
struct MailResult {
    enum class Route { Sent, OpenedInMailProgram, Failed };
    Route route = Route::Sent;
    QString error;   // Failed: the reason, in the words of the program that refused when it gave any
};

class Platform {
public:
    virtual ~Platform() = default;

    // The installed implementation; a desktop one unless a test installed another.
    static Platform& instance();
    static void install(std::unique_ptr<Platform> platform);

    // A plain information box with an OK button.
    virtual void information(const QString& text) = 0;
    // A confirmation box whose only button is Yes (refusals, the start-up failure).
    virtual void confirmYesOnly(const QString& text) = 0;
    // A question with the buttons "Igen" and "Nem" (deletions); "Nem" is the default and Esc answers it.
    // True for "Igen".
    virtual bool question(const QString& text) = 0;
    // Runs a form modally and returns its result code; the caller destroys the form afterwards.
    virtual int runModal(QDialog* dialog) = 0;

    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString existingFolder(QWidget* parent, const QString& caption, const QString& folder) = 0;

    virtual void setClipboardText(const QString& text) = 0;
    virtual bool openUrl(const QUrl& url) = 0;
    // Starts a program by name (found on PATH) without waiting for it.
    virtual bool startProgram(const QString& program, const QStringList& arguments = {}) = 0;
    // Hands the message to the system's mail transfer agent (sendmail); without one, opens it in the
    // desktop's mail program for the user to send.
    virtual MailResult sendMail(const MailMessage& message) = 0;
    // Shows the help document on its table of topics.
    virtual void showHelp(const QString& helpFile) = 0;
    // The print dialog over `printer`; false when the user cancelled.
    virtual bool printDialog(QPrinter& printer, QWidget* parent) = 0;
};

// The desktop implementation over Qt's widgets and services.
std::unique_ptr<Platform> makeDesktopPlatform();
