// Header settings of a database through the services API: forced writes, off for the duration of a
// bulk load, and the page cache every attachment gets.
#pragma once

#include <QString>

struct ConnectionParams;

// On: every page write waits for the disk (the safe default for the program's own work).
// Off: the operating system writes pages when it likes, which makes loading a million lines
// several times faster. Throws DbError.
void setForcedWrites(const ConnectionParams& params, bool on);

// The pages of the database the engine keeps in memory for it, in the header (what gfix -buffers
// sets); 0 leaves the engine's default. Throws DbError.
void setPageBuffers(const ConnectionParams& params, int pages);
