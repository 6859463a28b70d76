// Program start-up: splash, data module, tables, separators, caption; then the main window.
#pragma once

#include <QString>
#include <memory>

class TForm1;

struct StartOptions {
    QString database;   // empty: "VARNEL2013.FDB" in the working folder
};

// Start-up in its fixed order. Returns the main window, not yet shown, with its menu commands wired;
// nullptr when the database could not be reached (its message has been shown and answered) — the
// program then ends without a main window.
std::unique_ptr<TForm1> startUp(const StartOptions& options);
// Connects the menu commands to the forms that open them.
void wireMenu(TForm1& form);

int runVarnel(int argc, char** argv);
