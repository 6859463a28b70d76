// Switching a database's forced writes through the services API, for the duration of a bulk load.
#pragma once

#include <QString>

struct ConnectionParams;

// On: every page write waits for the disk (the safe default for the program's own work).
// Off: the operating system writes pages when it likes, which makes loading a million lines
// several times faster. Throws DbError.
void setForcedWrites(const ConnectionParams& params, bool on);
