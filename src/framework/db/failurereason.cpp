// Hungarian reasons for the errors a save, a file or a program run can meet, and for those that
// keep a database from opening.
#include "failurereason.h"
#include "cp1250.h"
#include "dberror.h"

#include <QDir>
#include <QFileDevice>
#include <QProcess>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <ibase.h>

namespace {

// A refusal raised inside the database, wherever it stands in the status vector: the exception's own
// message (the text after its name), or the check constraint or column that refused the row.
QString databaseRefusal(const DbError& error)
{
    const QList<DbError::StatusItem>& items = error.status();
    for (qsizetype i = 0; i < items.size(); ++i) {
        const DbError::StatusItem& item = items[i];
        switch (item.code) {
        case isc_except: {
            // The name, then the message (absent when it is empty; the place in the trigger follows).
            const auto textOf = [&](qsizetype at) {
                const bool given = at < items.size() && (items[at].code == isc_random ||
                                                         items[at].code == isc_formatted_exception);
                return given ? items[at].texts.value(0).trimmed() : QString();
            };
            const QString name = textOf(i + 1);
            const QString text = textOf(i + 2);
            return text.isEmpty() ? QStringLiteral("Az adatbázis elutasította a műveletet (%1).").arg(name)
                                  : QStringLiteral("Az adatbázis elutasította: %1").arg(text);
        }
        case isc_check_constraint:
            return QStringLiteral(
                       "Az adatbázis elutasította: a(z) %2 tábla %1 ellenőrző feltétele nem teljesül.")
                .arg(item.texts.value(0), item.texts.value(1));
        case isc_not_valid: {
            const QString column = QString(item.texts.value(0)).remove(QLatin1Char('"'));
            const QString value = item.texts.value(1);
            return value == QLatin1String("*** null ***")
                       ? QStringLiteral("Az adatbázis elutasította: a(z) %1 mező nem lehet üres.").arg(column)
                       : QStringLiteral(
                             "Az adatbázis elutasította: a(z) %1 mező nem fogadja el a(z) \"%2\" értéket.")
                             .arg(column, value);
        }
        default: break;
        }
    }
    return {};
}

QString serverReason(const DbError& error)
{
    if (const QString refusal = databaseRefusal(error); !refusal.isEmpty())
        return refusal;
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
    case isc_date_range_exceeded: return QStringLiteral("Nem érvényes dátum.");
    case isc_deadlock:
    case isc_lock_conflict:
    case isc_update_conflict:
        return QStringLiteral("Zárolási ütközés: egy másik munkahely éppen ugyanezt az adatot módosítja. "
                              "Próbálja újra később.");
    case isc_unique_key_violation:
    case isc_no_dup: return QStringLiteral("Ez az érték már szerepel az adatbázisban.");
    default: return text.section(QLatin1Char('\n'), 0, 0).trimmed();
    }
}

}

bool connectionLost(const std::exception& error)
{
    const auto* db = dynamic_cast<const DbError*>(&error);
    if (!db)
        return false;
    // A network failure may stand behind a more general code, so the whole status vector is searched.
    for (const DbError::StatusItem& item : db->status()) {
        switch (item.code) {
        case isc_network_error:
        case isc_net_read_err:
        case isc_net_write_err:
        case isc_net_connect_err:
        case isc_lost_db_connection:
        case isc_conn_lost:
        case isc_shutdown:
        case isc_shutinprog:
        case isc_att_shutdown: return true;
        default: break;
        }
    }
    return false;
}

QString failureReason(const std::exception& error)
{
    if (connectionLost(error))
        return QStringLiteral("Megszakadt a kapcsolat az adatbázis-szerverrel (a szerver leállt vagy "
                              "újraindult, vagy a hálózat nem érhető el).");
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

QString systemReason(int errorNumber)
{
    switch (errorNumber) {
    case EPERM:
    case EACCES: return QStringLiteral("Nincs jogosultság a művelethez");
    case EROFS: return QStringLiteral("A fájlrendszer csak olvasható");
    case ENOSPC: return QStringLiteral("Nincs több szabad hely az eszközön");
    case EDQUOT: return QStringLiteral("Elfogyott a felhasználó lemezkvótája");
    case ENOENT: return QStringLiteral("Nincs ilyen fájl vagy könyvtár");
    case EEXIST: return QStringLiteral("A fájl már létezik");
    case EISDIR: return QStringLiteral("Ez egy könyvtár, nem fájl");
    case ENOTDIR: return QStringLiteral("Az útvonal egyik tagja nem könyvtár");
    case ENOTEMPTY: return QStringLiteral("A könyvtár nem üres");
    case EIO: return QStringLiteral("Bemeneti/kimeneti hiba (az adathordozó vagy a kapcsolat hibás)");
    case EFBIG: return QStringLiteral("A fájl túl nagy");
    case ENAMETOOLONG: return QStringLiteral("A fájlnév túl hosszú");
    case ELOOP: return QStringLiteral("Túl sok egymásra mutató szimbolikus hivatkozás");
    case EMFILE:
    case ENFILE: return QStringLiteral("Túl sok a megnyitott fájl");
    case EBUSY: return QStringLiteral("Az eszköz vagy az erőforrás foglalt");
    case ETXTBSY: return QStringLiteral("A fájlt éppen egy futó program használja");
    case ENOMEM: return QStringLiteral("Nincs elég memória");
    case EXDEV: return QStringLiteral("A művelet két különböző fájlrendszer között nem végezhető el");
    case ENODEV:
    case ENXIO: return QStringLiteral("Nincs ilyen eszköz");
    case EAGAIN: return QStringLiteral("Az erőforrás átmenetileg nem érhető el");
    case EINTR: return QStringLiteral("A műveletet egy jelzés megszakította");
    case EINVAL: return QStringLiteral("Érvénytelen paraméter");
    case EBADF: return QStringLiteral("Érvénytelen fájlleíró");
    case EPIPE: return QStringLiteral("A kapcsolat a másik oldalon megszakadt");
    case ESTALE: return QStringLiteral("A hálózati fájl már nem érhető el");
    case ETIMEDOUT: return QStringLiteral("Időtúllépés");
    case ENOEXEC: return QStringLiteral("A fájl nem futtatható program");
    case ENOTSUP: return QStringLiteral("A művelet itt nem támogatott");
    default: return QStringLiteral("Rendszerhiba (hibakód: %1)").arg(errorNumber);
    }
}

QString fileReason(const QFileDevice& file)
{
    // The device keeps only the system's text (translated by Qt for a few codes): find the code it came
    // from.
    const QString text = file.errorString();
    for (int code = 1; code < 134; ++code)
        if (text == qt_error_string(code))
            return systemReason(code);
    switch (file.error()) {
    case QFileDevice::NoError: return {};
    case QFileDevice::ReadError: return QStringLiteral("A fájl nem olvasható");
    case QFileDevice::WriteError: return QStringLiteral("A fájl nem írható");
    case QFileDevice::OpenError: return QStringLiteral("A fájl nem nyitható meg");
    case QFileDevice::ResizeError: return QStringLiteral("A fájl mérete nem változtatható meg");
    case QFileDevice::PermissionsError: return QStringLiteral("A fájl jogosultságai nem állíthatók be");
    case QFileDevice::CopyError: return QStringLiteral("A fájl nem másolható");
    case QFileDevice::RemoveError: return QStringLiteral("A fájl nem törölhető");
    case QFileDevice::RenameError: return QStringLiteral("A fájl nem nevezhető át");
    case QFileDevice::PositionError: return QStringLiteral("A fájlban nem lehet a kért helyre lépni");
    case QFileDevice::AbortError: return QStringLiteral("A művelet megszakadt");
    case QFileDevice::TimeOutError: return QStringLiteral("Időtúllépés");
    case QFileDevice::ResourceError: return QStringLiteral("Nincs elég erőforrás (hely vagy memória)");
    case QFileDevice::FatalError:
    case QFileDevice::UnspecifiedError: break;
    }
    return QStringLiteral("Ismeretlen fájlhiba");
}

QString processReason(const QProcess& process)
{
    switch (process.error()) {
    case QProcess::FailedToStart:
        return QStringLiteral("A program nem indítható el (nem található, vagy nincs joga futtatni)");
    case QProcess::Crashed: return QStringLiteral("A program váratlanul leállt");
    case QProcess::Timedout: return QStringLiteral("A program nem fejeződött be időben");
    case QProcess::WriteError: return QStringLiteral("Az adatok nem adhatók át a programnak");
    case QProcess::ReadError: return QStringLiteral("A program válasza nem olvasható");
    case QProcess::UnknownError: break;
    }
    return QStringLiteral("Ismeretlen hiba a program futtatásakor");
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
        return QStringLiteral(
            "A fájl nem érvényes adatbázis: sérült, vagy nem ennek a programnak az adatbázisa.");
    case isc_wrong_ods: {
        static const QRegularExpression versions(QStringLiteral("found ([\\d.]+), support ([\\d.]+)"));
        const QRegularExpressionMatch match = versions.match(text);
        return match.hasMatch()
                   ? QStringLiteral("A fájl más adatbázis-kezelő változat formátumában van (ODS %1; ez a gép "
                                    "az ODS %2 formátumot kezeli).")
                         .arg(match.captured(1), match.captured(2))
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
    default: break;
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
