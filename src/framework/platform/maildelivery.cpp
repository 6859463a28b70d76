// Mail through sendmail, else through the desktop's mail program, else a clear refusal.
#include "maildelivery.h"
#include "mimemessage.h"
#include "failurereason.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

MailResult failed(const QString& error)
{
    return {MailResult::Route::Failed, error};
}

// What a program that refused said on its error output, or its exit code.
QString refusal(QProcess& process, const QString& program)
{
    const QString output = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return output.isEmpty() ? program + QStringLiteral(": kilépési kód %1").arg(process.exitCode()) : output;
}

MailResult throughSendmail(const MailMessage& message, const QString& program)
{
    QString error;
    const QByteArray mime = buildMimeMessage(message, &error);
    if (!error.isEmpty())
        return failed(error);
    QProcess process;
    process.start(program, {QStringLiteral("-t"), QStringLiteral("-oi")});
    if (!process.waitForStarted())
        return failed(program + QStringLiteral(": ") + processReason(process));
    process.write(mime);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        const QString text = program + QStringLiteral(": ") + processReason(process);
        process.kill();
        process.waitForFinished(5000);
        return failed(text);
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return failed(refusal(process, program));
    return {};
}

MailResult throughMailProgram(const MailMessage& message, const QString& program)
{
    // The attachment is checked here, as sendmail's path does, rather than left to the mail program.
    if (!message.attachmentPath.isEmpty() && !QFileInfo(message.attachmentPath).isReadable())
        return failed(message.attachmentPath + QStringLiteral(": a fájl nem olvasható."));
    QStringList arguments{QStringLiteral("--utf8"), QStringLiteral("--subject"), message.subject,
                          QStringLiteral("--body"), message.body};
    if (!message.attachmentPath.isEmpty())
        arguments << QStringLiteral("--attach") << QFileInfo(message.attachmentPath).absoluteFilePath();
    arguments << message.to;
    // xdg-email hands over to the mail program and returns; one that keeps it open is left running
    // and cleans up after itself.
    auto* process = new QProcess;
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->start(program, arguments);
    process->closeWriteChannel();
    if (!process->waitForStarted()) {
        const MailResult result = failed(program + QStringLiteral(": ") + processReason(*process));
        delete process;
        return result;
    }
    if (!process->waitForFinished(30000))
        return {MailResult::Route::OpenedInMailProgram, {}};
    const bool refused = process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0;
    const MailResult result =
        refused ? failed(refusal(*process, program)) : MailResult{MailResult::Route::OpenedInMailProgram, {}};
    delete process;
    return result;
}

}

MailPrograms findMailPrograms(const QStringList& pathFolders, const QStringList& systemFolders)
{
    MailPrograms programs;
    programs.sendmail = QStandardPaths::findExecutable(QStringLiteral("sendmail"), pathFolders);
    if (programs.sendmail.isEmpty() && !systemFolders.isEmpty())
        programs.sendmail = QStandardPaths::findExecutable(QStringLiteral("sendmail"), systemFolders);
    programs.xdgEmail = QStandardPaths::findExecutable(QStringLiteral("xdg-email"), pathFolders);
    return programs;
}

MailPrograms findMailPrograms()
{
    const QStringList path = qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
    return findMailPrograms(path, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/lib")});
}

MailResult deliverMail(const MailMessage& message, const MailPrograms& programs)
{
    if (!programs.sendmail.isEmpty())
        return throughSendmail(message, programs.sendmail);
    if (!programs.xdgEmail.isEmpty())
        return throughMailProgram(message, programs.xdgEmail);
    return failed(QStringLiteral("A levél nem küldhető el: a gépen nincs sendmail program, "
                                 "és az xdg-email (xdg-utils csomag) sem található."));
}
