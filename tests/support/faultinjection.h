// A test seam in the data layer: makes the n-th statement, fetch or commit fail as the server would.
#pragma once

#include "faulthook.h"

#include <QString>

// Inert until a test arms it: arming installs the data layer's hook, which is consulted before each
// statement it runs (execute or cursor open), each row it fetches and each commit, and throws DbError
// instead of calling the server when the armed call comes. One arming fails one call, then the seam is
// inert again.
namespace FaultInjection {

using Point = FaultHook::Point;

// The `nth` call (1 = the next one) at `point` fails with `reason`.
// A `gdsCode` puts that code into the error's status vector, as the server's own error would carry it
// (isc_network_error: a connection that is gone).
void failAt(Point point, int nth, const QString& reason = QStringLiteral("Szimulált adatbázis-hiba."),
            long gdsCode = 0);
void disarm();
// Calls seen at `point` since the last failAt or disarm (counted only while armed or after disarm()).
int calls(Point point);

// Called by the data layer; throws DbError when the armed call has come.
void check(Point point);

}
