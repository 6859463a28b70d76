// Firebird status vectors as DbError.
#include "fbcall.h"
#include "cp1250.h"

#include <ibase.h>

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
    return DbError(decodeCp1250(buffer, int(strnlen(buffer, sizeof buffer))).trimmed(), gds,
                   QString::fromLatin1(state, int(strnlen(state, 5))));
}
