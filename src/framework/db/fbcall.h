// Calls into the Firebird OO API with its errors turned into DbError.
#pragma once

#include "dberror.h"

#include <firebird/Interface.h>
#include <utility>

DbError toDbError(Firebird::IStatus* status);

// How many errors of the process so far said that a server connection is gone. A connection compares
// it with the count it last saw, so that a loss met by any dataset, outside the save path too, is
// noticed when its transaction is next needed.
unsigned long connectionLossesSeen();

// Runs `call(&status)` with a throwing status wrapper and converts a Firebird error into DbError.
template <class Call>
auto fbCall(Call&& call)
{
    Firebird::ThrowStatusWrapper status(Firebird::fb_get_master_interface()->getStatus());
    struct Dispose {
        Firebird::ThrowStatusWrapper& s;
        ~Dispose() { s.dispose(); }
    } dispose{status};
    try {
        return std::forward<Call>(call)(&status);
    } catch (const Firebird::FbException& e) {
        throw toDbError(e.getStatus());
    }
}
