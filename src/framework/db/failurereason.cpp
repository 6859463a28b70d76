// Hungarian reasons for the errors a save can meet, and for those that keep a database from opening.
#include "failurereason.h"
#include "cp1250.h"
#include "dberror.h"

#include <QDir>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
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

namespace {

// The server's text, one line per status entry without the "-" that continues one.
QStringList serverLines(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString& line : lines) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('-')))
            line.remove(0, 1);
    }
    return lines;
}

// Whether the system's text of `code` is among the lines, in the words the engine used: the system's
// language at the time, as it passed through the same decoding as the rest of the text.
bool saysSystemError(const QStringList& lines, int code)
{
    const char* own = std::strerror(code);
    const QString local = decodeCp1250(own, int(std::strlen(own)));
    for (const QString& line : lines)
        if (line.compare(local, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString openServerReason(const DbError& error)
{
    const QStringList lines = serverLines(error.message());
    const QString text = lines.join(QLatin1Char(' '));
    const QString lockFolder = QDir::cleanPath(qEnvironmentVariable("FIREBIRD_LOCK"));
    // The engine's lock files live there; a failure on any of them is the folder's, not the database's.
    if (!lockFolder.isEmpty() && lockFolder != QLatin1String(".") && text.contains(lockFolder))
        return QStringLiteral("Az adatbázis-kezelő zárolási mappája (%1) nem használható.")
            .arg(QDir::toNativeSeparators(lockFolder));
    switch (error.gdsCode()) {
    case isc_bad_db_format:
        return QStringLiteral("A fájl nem érvényes adatbázis: sérült, vagy nem ennek a programnak az adatbázisa.");
    case isc_wrong_ods: {
        static const QRegularExpression versions(QStringLiteral("found ([\\d.]+), support ([\\d.]+)"));
        const QRegularExpressionMatch match = versions.match(text);
        return match.hasMatch()
                   ? QStringLiteral("A fájl más adatbázis-kezelő változat formátumában van (ODS %1; ez a gép "
                                    "az ODS %2 formátumot kezeli).").arg(match.captured(1), match.captured(2))
                   : QStringLiteral("A fájl más adatbázis-kezelő változat formátumában van.");
    }
    case isc_no_priv:
        return QStringLiteral("Nincs írási jogosultság a fájlhoz (a programnak írnia is kell bele).");
    case isc_io_error:
        if (text.contains(QLatin1String("size is less than expected"), Qt::CaseInsensitive))
            return QStringLiteral("A fájl rövidebb a vártnál: csonka vagy sérült adatbázis.");
        if (saysSystemError(lines, ENOENT))
            return QStringLiteral("A fájl nem található.");
        if (saysSystemError(lines, EACCES) || saysSystemError(lines, EPERM))
            return QStringLiteral("Nincs jogosultság a fájl megnyitásához.");
        if (text.contains(QLatin1String("already opened"), Qt::CaseInsensitive))
            return QStringLiteral("Az adatbázist egy másik program már megnyitotta.");
        break;
    default:
        break;
    }
    return QStringLiteral("Az adatbázis-kezelő üzenete: %1").arg(lines.join(QLatin1Char('\r')));
}

}

QString openFailureReason(const std::exception& error)
{
    if (const auto* db = dynamic_cast<const DbError*>(&error); db && db->gdsCode() != 0)
        return openServerReason(*db);
    return failureReason(error);
}
