// The document-number counter: the single row of BIZSZAM holds the number given last.
#pragma once

#include <QtGlobal>

namespace DocumentCounter {

// The number the next line will get: the counter plus one, read through ZQ70. Throws DbError with a
// Hungarian text when the counter row is missing or does not hold a whole number.
qint64 next();

// Takes a number inside the active unit of work, before the line that carries it is stored: advances
// the counter by one from the value it reads now and returns that number. It differs from the number a
// form showed (next() when it opened) when another desk has taken numbers since; the caller tells the
// user so. The update only succeeds from the value it read, so two desks never take the same number.
// Another desk's unfinished save that holds the counter is waited for (the transaction's lock
// timeout); when it commits, the number after its number is taken. A counter held for the whole
// timeout throws the lock conflict (DbError).
qint64 take();

}
