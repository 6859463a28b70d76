// The scripted Platform of the tests.
#include "scriptedplatform.h"

#include <QCoreApplication>
#include <QDialog>

ScriptedPlatform& ScriptedPlatform::install()
{
    auto platform = std::make_unique<ScriptedPlatform>();
    ScriptedPlatform& installed = *platform;
    Platform::install(std::move(platform));
    return installed;
}

QStringList ScriptedPlatform::messageTexts() const
{
    QStringList texts;
    for (const Message& message : messages)
        texts << message.text;
    return texts;
}

QStringList ScriptedPlatform::scriptFaults() const
{
    QStringList faults = wrongForms_;
    if (!modalRuns.empty())
        faults << QStringLiteral("%1 scripted form run(s) never used").arg(modalRuns.size());
    return faults;
}

void ScriptedPlatform::information(const QString& text)
{
    messages.push_back({MessageKind::Information, text});
}

void ScriptedPlatform::confirmYesOnly(const QString& text)
{
    messages.push_back({MessageKind::ConfirmYesOnly, text});
}

namespace {
template <typename T>
T takeFront(std::deque<T>& queue, T fallback)
{
    if (queue.empty())
        return fallback;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}
}

bool ScriptedPlatform::question(const QString& text)
{
    messages.push_back({MessageKind::Question, text});
    return takeFront(questionAnswers, false);
}

// Like exec(): the form is shown (its show step runs), worked by the callback, and closed.
int ScriptedPlatform::runModal(QDialog* dialog)
{
    shownDialogs << dialog->objectName();
    const ModalRun run = takeFront(modalRuns, ModalRun());
    dialog->setResult(QDialog::Rejected);
    dialog->show();
    QCoreApplication::processEvents();
    if (dialog->isVisible()) {
        const int code = run ? run(dialog) : int(QDialog::Rejected);
        if (dialog->isVisible())
            dialog->done(code);
    }
    return dialog->result();
}

QString ScriptedPlatform::openFileName(QWidget*, const QString& caption, const QString& folder,
                                       const QString& filter)
{
    fileDialogs.push_back({FileDialogCall::Open, caption, folder, filter});
    return takeFront(fileAnswers, QString());
}

QString ScriptedPlatform::saveFileName(QWidget*, const QString& caption, const QString& folder,
                                       const QString& filter)
{
    fileDialogs.push_back({FileDialogCall::Save, caption, folder, filter});
    return takeFront(fileAnswers, QString());
}

QString ScriptedPlatform::existingFolder(QWidget*, const QString& caption, const QString& folder)
{
    fileDialogs.push_back({FileDialogCall::Folder, caption, folder, QString()});
    return takeFront(folderAnswers, QString());
}

void ScriptedPlatform::setClipboardText(const QString& text)
{
    clipboardText = text;
}

bool ScriptedPlatform::openUrl(const QUrl& url)
{
    openedUrls << url;
    return true;
}

bool ScriptedPlatform::startProgram(const QString& program, const QStringList& arguments)
{
    startedPrograms.push_back({program, arguments});
    return takeFront(startAnswers, true);
}

MailResult ScriptedPlatform::sendMail(const MailMessage& message)
{
    mails.push_back(message);
    return takeFront(mailResults, MailResult());
}

void ScriptedPlatform::showHelp(const QString& helpFile)
{
    helpFiles << helpFile;
}

bool ScriptedPlatform::printDialog(QPrinter&, QWidget*)
{
    ++printDialogs;
    return takeFront(printDialogAnswers, false);
}
