// The desktop Platform: Qt's message boxes, dialogs and desktop services, and sendmail for mail.
#include "helpwindow.h"
#include "maildelivery.h"
#include "platform.h"
#include "windowplacement.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>

namespace {

QString boxTitle()
{
    const QString name = QGuiApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("Varnel") : name;
}

// Messages break their lines with a carriage return, which a label would not show as a break.
QString shownText(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString& title, const QString& text,
                                    QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, shownText(text), buttons, QApplication::activeWindow());
    return QMessageBox::StandardButton(box.exec());
}

class DesktopPlatform : public Platform {
public:
    void information(const QString& text) override
    {
        showBox(QMessageBox::NoIcon, boxTitle(), text, QMessageBox::Ok);
    }

    void confirmYesOnly(const QString& text) override
    {
        showBox(QMessageBox::Question, QStringLiteral("Megerősítés"), text, QMessageBox::Yes);
    }

    // "Nem" is the default and Esc answers it: a slip of Enter or Esc never deletes.
    bool question(const QString& text) override
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Megerősítés"), shownText(text),
                        QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
        box.button(QMessageBox::Yes)->setText(QStringLiteral("&Igen"));
        box.button(QMessageBox::No)->setText(QStringLiteral("&Nem"));
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }

    int runModal(QDialog* dialog) override
    {
        // A form may close itself while it is being shown (a row it cannot load); exec() alone would
        // then wait for ever on a hidden form.
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->setResult(QDialog::Rejected);
        WindowPlacement::restore(dialog);
        dialog->show();
        if (!dialog->isVisible())
            return dialog->result();
        const int result = dialog->exec();
        WindowPlacement::save(dialog);
        return result;
    }

    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, folder, filter);
    }

    QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, folder, filter);
    }

    QString existingFolder(QWidget* parent, const QString& caption, const QString& folder) override
    {
        return QFileDialog::getExistingDirectory(parent, caption, folder);
    }

    void setClipboardText(const QString& text) override { QGuiApplication::clipboard()->setText(text); }

    bool openUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }

    bool startProgram(const QString& program, const QStringList& arguments) override
    {
        return QProcess::startDetached(program, arguments);
    }

    MailResult sendMail(const MailMessage& message) override
    {
        return deliverMail(message, findMailPrograms());
    }

    void showHelp(const QString& helpFile) override { HelpWindow::shared()->showDocument(helpFile); }

    bool printDialog(QPrinter& printer, QWidget* parent) override
    {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
};

}

std::unique_ptr<Platform> makeDesktopPlatform()
{
    return std::make_unique<DesktopPlatform>();
}
