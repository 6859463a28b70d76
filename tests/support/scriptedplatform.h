// The Platform that tests install: it records what the program shows and answers from queues instead
// of waiting for a person.
#pragma once

#include "platform.h"

#include <QDialog>
#include <QList>
#include <QUrl>
#include <deque>
#include <type_traits>
#include <vector>

class ScriptedPlatform : public Platform {
public:
    enum class MessageKind { Information, ConfirmYesOnly, Question };
    struct Message {
        MessageKind kind;
        QString text;
    };
    struct FileDialogCall {
        enum Kind { Open, Save, Folder } kind;
        QString caption;
        QString folder;
        QString filter;
    };
    struct StartedProgram {
        QString program;
        QStringList arguments;
    };
    // A test's stand-in for a person working a modal form. It may click the form's buttons (which close
    // it and set its result); a form it leaves open is closed with the returned code.
    using ModalRun = std::function<int(QDialog*)>;

    // Installs a fresh scripted platform and returns it; it stays installed until the next install().
    static ScriptedPlatform& install();

    // What the program showed, in order.
    std::vector<Message> messages;
    QStringList messageTexts() const;
    void clearMessages() { messages.clear(); }

    // Answers, taken from the front; an empty queue answers "cancelled" (empty text, No, false).
    std::deque<QString> fileAnswers;   // open and save dialogs
    std::deque<QString> folderAnswers;
    std::deque<bool> questionAnswers;
    std::deque<bool> printDialogAnswers;
    std::deque<MailResult> mailResults;   // empty queue: the mail is sent
    std::deque<bool> startAnswers;        // empty queue: the program starts
    // One callback per modal run, in order; with none left a form is shown and rejected at once.
    std::deque<ModalRun> modalRuns;
    // Queues a run for a form of class Form, which `act` gets as such (its int result, if any, is the
    // code the form closes with when left open; otherwise Rejected). A form of another class is rejected
    // untouched, and the mismatch is kept for scriptFaults().
    template <class Form, class Act>
    void addRun(Act act);
    // What a script left undone: each run never used and each run that met a form of another class;
    // empty when every queued run worked the form it was written for.
    QStringList scriptFaults() const;

    // What the program asked for.
    std::vector<FileDialogCall> fileDialogs;
    QStringList shownDialogs;   // objectName of every form run modally, in order
    QString clipboardText;
    QList<QUrl> openedUrls;
    std::vector<StartedProgram> startedPrograms;
    std::vector<MailMessage> mails;
    QStringList helpFiles;
    int printDialogs = 0;

    void information(const QString& text) override;
    void confirmYesOnly(const QString& text) override;
    bool question(const QString& text) override;
    int runModal(QDialog* dialog) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override;
    QString existingFolder(QWidget* parent, const QString& caption, const QString& folder) override;
    void setClipboardText(const QString& text) override;
    bool openUrl(const QUrl& url) override;
    bool startProgram(const QString& program, const QStringList& arguments = {}) override;
    MailResult sendMail(const MailMessage& message) override;
    void showHelp(const QString& helpFile) override;
    bool printDialog(QPrinter& printer, QWidget* parent) override;

private:
    QStringList wrongForms_;
};

template <class Form, class Act>
void ScriptedPlatform::addRun(Act act)
{
    modalRuns.push_back([this, act = std::move(act)](QDialog* dialog) mutable {
        Form* form = qobject_cast<Form*>(dialog);
        if (!form) {
            wrongForms_ << QStringLiteral("a run for %1 met %2 (%3)")
                               .arg(QLatin1String(Form::staticMetaObject.className()),
                                    QLatin1String(dialog->metaObject()->className()), dialog->objectName());
            return int(QDialog::Rejected);
        }
        if constexpr (std::is_void_v<std::invoke_result_t<Act&, Form&>>) {
            act(*form);
            return int(QDialog::Rejected);
        } else {
            return int(act(*form));
        }
    });
}
