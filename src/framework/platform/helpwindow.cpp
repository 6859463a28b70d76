// The help window over the help document.
#include "helpwindow.h"
#include "windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Súgó"));
    resize(640, 520);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
}

void HelpWindow::showDocument(const QString& helpFile)
{
    // Asked for from a modal form, the window would be blocked behind it until the form closed; as a
    // window of that form's own it can be read and scrolled beside it.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this && parentWidget() != modal)
        setParent(modal, Qt::Window);
    const QFileInfo file(helpFile);
    if (!file.isReadable()) {
        browser_->setHtml(
            QStringLiteral("<p>A súgó fájl nem nyitható meg: %1</p>").arg(helpFile.toHtmlEscaped()));
    } else {
        QUrl url = QUrl::fromLocalFile(file.absoluteFilePath());
        // The browser takes the type from the name; our help file is HTML whatever it is called.
        browser_->setSource(url, QTextDocument::HtmlResource);
        browser_->scrollToAnchor(QStringLiteral("topics"));
    }
    show();
    raise();
    activateWindow();
}

HelpWindow* HelpWindow::shared()
{
    static QPointer<HelpWindow> window;
    if (!window) {
        window = new HelpWindow;
        window->setAttribute(Qt::WA_DeleteOnClose);
        WindowPlacement::restore(window);
    }
    return window;
}

void HelpWindow::closeEvent(QCloseEvent* event)
{
    WindowPlacement::save(this);
    QWidget::closeEvent(event);
}
