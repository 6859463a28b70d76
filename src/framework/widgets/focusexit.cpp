// Focus exits of boxes that act when they are left.
#include "focusexit.h"

#include <QFocusEvent>

bool isFocusExit(const QEvent* event)
{
    if (event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}
