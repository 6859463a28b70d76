// Leaving a box for another control of the same form, as opposed to the window losing the focus.
#pragma once

class QEvent;

// A focus-out to another control of the form: another window taking the focus (a message box, a
// picker list opening over the form, a pop-up) is no leaving of the box.
bool isFocusExit(const QEvent* event);
