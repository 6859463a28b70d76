// Hungarian reasons for the errors a save can meet.
#include "failurereason.h"
#include "dberror.h"

#include <QRegularExpression>
#include <ibase.h>

namespace {

QString serverReason(const DbError& error)
{
    const QString text = error.message();
    switch (error.gdsCode()) {
    case isc_arith_except:
    case isc_string_truncation:
    case isc_numeric_out_of_range: {
        static const QRegularExpression expected(QStringLiteral("expected length (\\d+)"));
        const QRegularExpressionMatch match = expected.match(text);
        if (match.hasMatch())
            return QStringLiteral("A szöveg túl hosszú: a mező legfeljebb %1 karaktert fogad el.")
                .arg(match.captured(1));
        return QStringLiteral("A szám túl nagy vagy a szöveg túl hosszú a mezőhöz.");
    }
    case isc_convert_error: {
        static const QRegularExpression value(QStringLiteral("from string \"(.*)\""));
        const QRegularExpressionMatch match = value.match(text);
        return match.hasMatch()
                   ? QStringLiteral("Nem érvényes szám vagy dátum: \"%1\".").arg(match.captured(1))
                   : QStringLiteral("Nem érvényes szám vagy dátum.");
    }
    case isc_date_range_exceeded:
        return QStringLiteral("Nem érvényes dátum.");
    case isc_deadlock:
    case isc_lock_conflict:
    case isc_update_conflict:
        return QStringLiteral("Zárolási ütközés: egy másik munkahely éppen ugyanezt az adatot módosítja. "
                              "Próbálja újra később.");
    case isc_unique_key_violation:
    case isc_no_dup:
        return QStringLiteral("Ez az érték már szerepel az adatbázisban.");
    default:
        return text.section(QLatin1Char('\n'), 0, 0).trimmed();
    }
}

}

QString failureReason(const std::exception& error)
{
    if (const auto* db = dynamic_cast<const DbError*>(&error)) {
        // Errors of this layer (code page, missing parameter, ...) carry no gds code and are Hungarian.
        return db->gdsCode() == 0 ? db->message() : serverReason(*db);
    }
    return QString::fromLocal8Bit(error.what()).trimmed();
}

QString withReason(const QString& message, const std::exception& error)
{
    const QString reason = failureReason(error);
    return reason.isEmpty() ? message : message + QLatin1Char('\r') + reason;
}
