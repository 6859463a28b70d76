// Calls into the Firebird OO API with its errors turned into DbError.
#pragma once

#include "dberror.h"

#include <firebird/Interface.h>
#include <utility>

DbError toDbError(Firebird::IStatus* status);

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
