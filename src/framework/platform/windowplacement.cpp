// The remembered size and place of the program's windows.
#include "windowplacement.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QWidget>

namespace {

const QString Group = QStringLiteral("ablakok/");

bool canGrow(const QWidget* window)
{
    return window->minimumSize() != window->maximumSize();
}

// The screen the point is on, or the one nearest to it.
QScreen* nearestScreen(const QPoint& point)
{
    if (QScreen* screen = QGuiApplication::screenAt(point))
        return screen;
    QScreen* nearest = QGuiApplication::primaryScreen();
    qint64 best = -1;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        const qint64 dx = qMax(0, qMax(area.left() - point.x(), point.x() - area.right()));
        const qint64 dy = qMax(0, qMax(area.top() - point.y(), point.y() - area.bottom()));
        if (best < 0 || dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = screen;
        }
    }
    return nearest;
}

}

namespace WindowPlacement {

QSettings settings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Varnel"),
                     QStringLiteral("Varnel"));
}

QString key(const QWidget* window)
{
    const QString name = window->objectName();
    return Group + (name.isEmpty() ? QString::fromLatin1(window->metaObject()->className()) : name);
}

void restore(QWidget* window)
{
    // A layout that fixes the size does so when it is first activated.
    if (QLayout* layout = window->layout())
        layout->activate();
    if (canGrow(window))
        window->setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    const QByteArray saved = settings().value(key(window)).toByteArray();
    if (!saved.isEmpty() && window->restoreGeometry(saved))
        keepOnScreen(window);
}

void save(const QWidget* window)
{
    settings().setValue(key(window), window->saveGeometry());
}

void keepOnScreen(QWidget* window)
{
    if (window->isMaximized() || window->isFullScreen())
        return;
    // A window made by the window system knows its frame, on most systems even before it is shown.
    window->winId();
    const QRect client = window->geometry();
    QRect frame = window->frameGeometry();
    // Where the frame is not known before the first showing, the title bar at least must stay in reach.
    if (frame == client)
        frame.setTop(client.top() - window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window));
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                           frame.right() - client.right(), frame.bottom() - client.bottom());
    const QRect area = nearestScreen(frame.center())->availableGeometry();
    if (area.contains(frame))
        return;
    const QSize size = frame.size().boundedTo(area.size());
    const int left = qBound(area.left(), frame.left(), area.right() + 1 - size.width());
    const int top = qBound(area.top(), frame.top(), area.bottom() + 1 - size.height());
    const QRect inside = QRect(QPoint(left, top), size).marginsRemoved(margins);
    window->setGeometry(QRect(inside.topLeft(), inside.size().expandedTo(window->minimumSize())));
}

}
