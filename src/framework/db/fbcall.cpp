// Firebird status vectors as DbError.
#include "fbcall.h"
#include "cp1250.h"
#include "failurereason.h"

#include <atomic>

#include <ibase.h>

namespace {

std::atomic<unsigned long> losses{0};

// The codes of the vector with their string arguments; numbers are left out (the texts say it all).
QList<DbError::StatusItem> statusItems(const ISC_STATUS* errors)
{
    QList<DbError::StatusItem> items;
    if (!errors)
        return items;
    for (const ISC_STATUS* p = errors; *p != isc_arg_end;) {
        const ISC_STATUS kind = *p++;
        switch (kind) {
        case isc_arg_gds: items.append(DbError::StatusItem{long(*p++), {}}); break;
        case isc_arg_string:
        case isc_arg_interpreted:
        case isc_arg_sql_state: {
            const char* text = reinterpret_cast<const char*>(*p++);
            if (kind != isc_arg_sql_state && !items.isEmpty() && text)
                items.last().texts.append(decodeCp1250(text, int(strlen(text))));
            break;
        }
        case isc_arg_cstring: {
            const int length = int(*p++);
            const char* text = reinterpret_cast<const char*>(*p++);
            if (!items.isEmpty() && text)
                items.last().texts.append(decodeCp1250(text, length));
            break;
        }
        default:   // a number, an operating-system code, a warning: one value
            ++p;
            break;
        }
    }
    return items;
}

}

DbError toDbError(Firebird::IStatus* status)
{
    char buffer[2048];
    Firebird::IUtil* util = Firebird::fb_get_master_interface()->getUtilInterface();
    util->formatStatus(buffer, sizeof buffer, status);
    const ISC_STATUS* errors = status->getErrors();
    const long gds = (errors && errors[0] == isc_arg_gds) ? long(errors[1]) : 0;
    char state[6] = {};
    fb_sqlstate(state, errors);
    // With lc_ctype WIN1250 the server's texts (names, values) arrive in that code page.
    DbError error(decodeCp1250(buffer, int(strnlen(buffer, sizeof buffer))).trimmed(), gds,
                  QString::fromLatin1(state, int(strnlen(state, 5))), statusItems(errors));
    if (connectionLost(error))
        losses.fetch_add(1, std::memory_order_relaxed);
    return error;
}

unsigned long connectionLossesSeen()
{
    return losses.load(std::memory_order_relaxed);
}
