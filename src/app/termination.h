// A polite end on SIGTERM, SIGINT and SIGHUP (logout, kill): the main window closes as if "Kilépés"
// had been chosen, so the data module commits and detaches. The embedded database engine otherwise
// takes these signals over and the program would not end at all.
#pragma once

class QWidget;

// Installs the handlers; call after the database is attached (the engine installs its own then).
void closeOnTerminationSignals(QWidget* mainWindow);
