// Focus exits of lookup boxes.
#include "focusexit.h"

#include <QFocusEvent>
#include <QWidget>

void watchFocusExit(QWidget* box, QObject* filter)
{
    box->installEventFilter(filter);
}

bool isFocusExit(const QEvent* event)
{
    if (event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}
