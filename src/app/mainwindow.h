// The main window TForm1: only the main menu, locked until the recording employee is chosen.
#pragma once

#include <QMainWindow>
#include <QHash>
#include <functional>

class QAction;
class QKeySequence;
class QMenu;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);

    QMenuBar* MainMenu1;

    // The menu item by its name: a command, a separator, or the item of a submenu on the bar.
    QAction* item(const QString& name) const;
    // The caption as it reads, without the mark of its access letter ("&Belépés" reads "Belépés").
    static QString caption(const QAction* action);
    // The items on the menu bar, in order.
    QList<QAction*> topLevelItems() const;
    // Enables every top-level item; nothing locks them again during the run.
    void unlockMenu();
    // Replaces what a command does (forms that later parts of the program bring register here); throws
    // std::invalid_argument for a name the menu does not have.
    void setCommand(const QString& name, std::function<void()> command);

    // The version text read at start-up; empty until then.
    QString versionText;

private:
    void build();
    void setShortcut(QAction* action, const QKeySequence& key);
    void run(const QString& name);

    QHash<QString, QAction*> items_;
    QHash<QString, std::function<void()>> commands_;
};

extern TForm1* Form1;
