// Leaving a box for another control of the same form, as opposed to the window losing the focus.
#pragma once

class QEvent;
class QObject;
class QWidget;

// Installs `filter` on the box so that it sees the box's focus events.
void watchFocusExit(QWidget* box, QObject* filter);
// A focus-out to another control of the form; a modal list opening over the form is not one.
bool isFocusExit(const QEvent* event);
