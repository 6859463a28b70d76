// The main window and its menu, built from one table of items.
#include "mainwindow.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <stdexcept>

TForm1* Form1 = nullptr;

namespace {

enum class Kind { Submenu, Command, Separator };

struct MenuItem {
    const char* parent;   // nullptr: on the menu bar
    const char* name;
    const char* caption;
    Kind kind;
    bool enabled;
    bool visible;
};

// Captions, order and initial state of the whole menu.
const MenuItem menuItems[] = {
    {nullptr, "Belepes", "&Belépés", Kind::Submenu, true, true},
    {"Belepes", "Vlaszts1", "&Dolgozó", Kind::Command, true, true},
    {nullptr, "Adatbevitel", "&Adatbevitel", Kind::Command, false, true},
    {nullptr, "Lista", "&Listák", Kind::Submenu, false, true},
    {"Lista", "Ttelszm1", "&Tételszám", Kind::Command, true, true},
    {"Lista", "Cikkkarton1", "&Cikk karton", Kind::Command, true, true},
    {"Lista", "Karton2", "Ö&sszesíö", Kind::Command, true, true},
    {"Lista", "Karton1", "&Karton tól-ig", Kind::Command, true, true},
    {"Lista", "Ttelszmtlig1", "Tételszám tól-&ig", Kind::Command, true, true},
    {"Lista", "Keszlet1", "Kész&let", Kind::Command, true, true},
    {nullptr, "Cikk", "&Cikk", Kind::Command, false, true},
    {nullptr, "Partner", "&Partner", Kind::Command, false, true},
    {nullptr, "Raktar", "&Raktár", Kind::Command, false, true},
    {nullptr, "Mozgasnem", "&Mozgásnem", Kind::Command, false, true},
    {nullptr, "Dolgozo", "&Dolgozó", Kind::Command, false, true},
    {nullptr, "Segedlet", "&Segédlet", Kind::Submenu, false, true},
    {"Segedlet", "AdatoktvteleaDravobl1", "Adatok át&vétele a Dravoböl", Kind::Command, true, true},
    {"Segedlet", "Torzsadatok1", "Törzsadatok &beolvasása táblázatból…", Kind::Command, true, true},
    {"Segedlet", "Adatokexceltblba1", "Adatok &excel táblába", Kind::Command, false, false},
    {"Segedlet", "Adatbzis1", "&Adatok", Kind::Command, true, true},
    {"Segedlet", "N2", "", Kind::Separator, true, true},
    {"Segedlet", "Nyits1", "N&yitás", Kind::Command, true, false},
    {"Segedlet", "N1", "", Kind::Separator, true, false},
    {"Segedlet", "Sug1", "&Sugó", Kind::Command, true, true},
    {"Segedlet", "Nvjegy1", "&Névjegy", Kind::Command, true, true},
    {"Segedlet", "Tvsegitsg1", "&Távsegitség", Kind::Command, true, true},
    {"Segedlet", "Adatokkldse1", "Adatok &küldése", Kind::Command, true, true},
    {"Segedlet", "Cikkszmcsere1", "&Cikkszám csere", Kind::Command, true, true},
    {"Segedlet", "Adatokmentse1", "Adatok &mentése", Kind::Command, true, true},
    {nullptr, "Kilep", "&Kilépés", Kind::Command, true, true},
};

// The commands of every working day, one key away in the main window. Keys that no entry form and no
// standard editing command uses, so that they mean the same everywhere.
const std::pair<const char*, QKeyCombination> shortcuts[] = {
    {"Adatbevitel", QKeyCombination(Qt::Key_F2)},
    {"Cikkkarton1", QKeyCombination(Qt::Key_F4)},
};

}

TForm1::TForm1(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Varnel"));
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    // Hints are shown: the status line carries the hint of the item under the mouse.
    setCentralWidget(new QWidget(this));
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    build();
    resize(634, 211);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setCommand(QStringLiteral("Kilep"), [this] { close(); });
}

void TForm1::build()
{
    QHash<QString, QMenu*> menus;
    for (const MenuItem& m : menuItems) {
        const QString name = QString::fromLatin1(m.name);
        QAction* action = nullptr;
        if (m.kind == Kind::Submenu) {
            QMenu* menu = MainMenu1->addMenu(QString::fromUtf8(m.caption));
            menu->setObjectName(name);
            menus.insert(name, menu);
            action = menu->menuAction();
        } else {
            QWidget* owner = m.parent ? static_cast<QWidget*>(menus.value(QString::fromLatin1(m.parent)))
                                      : static_cast<QWidget*>(MainMenu1);
            action = new QAction(QString::fromUtf8(m.caption), owner);
            action->setSeparator(m.kind == Kind::Separator);
            owner->addAction(action);
            if (m.kind == Kind::Command)
                connect(action, &QAction::triggered, this, [this, name] { run(name); });
        }
        action->setObjectName(name);
        action->setEnabled(m.enabled);
        action->setVisible(m.visible);
        items_.insert(name, action);
    }
    for (const auto& [name, key] : shortcuts)
        setShortcut(items_.value(QString::fromLatin1(name)), QKeySequence(key));
}

void TForm1::setShortcut(QAction* action, const QKeySequence& key)
{
    // A menu shows the key beside the caption; the menu bar cannot, so its items say it in the hint.
    action->setStatusTip(
        QStringLiteral("%1 (%2)").arg(caption(action), key.toString(QKeySequence::NativeText)));
    auto* menu = qobject_cast<QMenu*>(action->parent());
    if (!menu) {
        action->setShortcut(key);
        return;
    }
    // The key of a command inside a locked submenu would reach past the lock: it answers only while
    // the submenu can be opened.
    QAction* opener = menu->menuAction();
    const auto follow = [action, key](bool enabled) { action->setShortcut(enabled ? key : QKeySequence()); };
    follow(opener->isEnabled());
    connect(opener, &QAction::enabledChanged, action, follow);
}

QString TForm1::caption(const QAction* action)
{
    QString text = action->text();
    static const QRegularExpression mark(QStringLiteral("&(.)"));
    return text.replace(mark, QStringLiteral("\\1"));
}

QAction* TForm1::item(const QString& name) const
{
    return items_.value(name);
}

QList<QAction*> TForm1::topLevelItems() const
{
    return MainMenu1->actions();
}

void TForm1::unlockMenu()
{
    for (const char* name : {"Belepes", "Adatbevitel", "Partner", "Cikk", "Raktar", "Mozgasnem", "Dolgozo",
                             "Lista", "Segedlet", "Kilep"})
        items_.value(QString::fromLatin1(name))->setEnabled(true);
}

void TForm1::setCommand(const QString& name, std::function<void()> command)
{
    // A misspelt name would leave a menu item that does nothing.
    if (!items_.contains(name))
        throw std::invalid_argument("no menu item named " + name.toStdString());
    commands_.insert(name, std::move(command));
}

void TForm1::run(const QString& name)
{
    const auto command = commands_.value(name);
    if (command)
        command();
}
