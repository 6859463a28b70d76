// Where each window was left (size, place, maximised) kept from one run to the next, and windows that
// can grow given the means to.
#pragma once

#include <QString>

class QSettings;
class QWidget;

namespace WindowPlacement {

// The settings that hold the places; tests point QSettings' user scope at a folder of their own.
QSettings settings();
// The window's name in the settings: its object name, or its class name when it has none.
QString key(const QWidget* window);

// Before the window is shown: a maximise button when the window can grow, then the size, place and
// state it was left in, kept on a screen that exists now.
void restore(QWidget* window);
// After the window has closed.
void save(const QWidget* window);
// A window lying (even partly) off every screen, as when the monitor it was left on is gone, is moved
// onto the nearest screen and shrunk to that screen's free area when larger.
void keepOnScreen(QWidget* window);

}
