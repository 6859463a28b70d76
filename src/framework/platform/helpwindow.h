// The help window: our help document (HTML) in a browser, opened on its table of topics.
#pragma once

#include <QWidget>

class QTextBrowser;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the document at the anchor "topics" (its table of topics) or, without that anchor, at its
    // start; a missing file is said in the window itself, as a help viewer would.
    void showDocument(const QString& helpFile);
    QTextBrowser* browser() const { return browser_; }

    // The one help window of the program, created on first use.
    static HelpWindow* shared();

protected:
    // Its size and place are kept for the next time, as every window's are.
    void closeEvent(QCloseEvent* event) override;

private:
    QTextBrowser* browser_;
};
