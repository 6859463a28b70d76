// The backup copy: the engine's backup lock around a plain file copy, and the fix-up of the copy.
#include "backupcopy.h"
#include "connection.h"
#include "dberror.h"
#include "failurereason.h"
#include "query.h"
#include "transaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The file is written in large blocks: the database may be hundreds of megabytes.
constexpr qint64 BlockSize = 4 * 1024 * 1024;

QString megabytes(qint64 bytes)
{
    return QString::number((bytes + 1024 * 1024 - 1) / (1024 * 1024));
}

QString writeFailure(const QString& target, const QString& reason)
{
    return QStringLiteral("A(z) %1 fájl írása nem sikerült: %2")
        .arg(QDir::toNativeSeparators(target), reason);
}

QString targetExists(const QString& target)
{
    return QStringLiteral("A(z) %1 fájl már létezik; a mentés nem írja felül.")
        .arg(QDir::toNativeSeparators(target));
}

// Why no copy can be made at `target`, before anything is done; empty when nothing is known against it.
QString targetProblem(const QString& target)
{
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() || targetInfo.isSymLink())
        return targetExists(target);
    if (!QFileInfo(targetInfo.absolutePath()).isDir())
        return QStringLiteral("A(z) %1 könyvtár nem létezik.")
            .arg(QDir::toNativeSeparators(targetInfo.absolutePath()));
    return {};
}

// Copies the whole file inside the kernel (no round trip through the program's memory, as cp does).
// Returns the bytes copied; -1 when the kernel cannot copy between the two (then nothing was written
// and `failure` stays empty), or -1 with `failure` set when writing failed.
qint64 copyInKernel(QFile& in, QFile& out, QString* failure)
{
    qint64 total = 0;
    for (;;) {
        const ssize_t n =
            ::copy_file_range(in.handle(), nullptr, out.handle(), nullptr, size_t(BlockSize), 0);
        if (n > 0) {
            total += n;
            continue;
        }
        if (n == 0)
            return total;
        const int error = errno;
        if (error == EINTR)
            continue;
        if (total == 0 &&
            (error == EXDEV || error == ENOSYS || error == EINVAL || error == EOPNOTSUPP || error == EBADF))
            return -1;
        *failure = writeFailure(out.fileName(), systemReason(error));
        return -1;
    }
}

// A new file only (never over an existing one), created readable by its owner only: the database holds
// the business's data.
QString copyFile(const QString& source, const QString& target)
{
    if (const QString problem = targetProblem(target); !problem.isEmpty())
        return problem;
    const QString folder = QFileInfo(target).absolutePath();

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return QStringLiteral("A(z) %1 fájl nem olvasható: %2")
            .arg(QDir::toNativeSeparators(source), fileReason(in));
    const QStorageInfo volume(folder);
    if (volume.isValid() && volume.bytesAvailable() >= 0 && volume.bytesAvailable() < in.size())
        return QStringLiteral("Nincs elég hely a(z) %1 könyvtár lemezén: %2 MB kellene, %3 MB szabad.")
            .arg(QDir::toNativeSeparators(folder), megabytes(in.size()), megabytes(volume.bytesAvailable()));

    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        if (QFileInfo::exists(target))
            return targetExists(target);
        return QStringLiteral("A(z) %1 fájl nem hozható létre: %2")
            .arg(QDir::toNativeSeparators(target), fileReason(out));
    }
    QString failure;
    const qint64 copied = copyInKernel(in, out, &failure);
    if (copied < 0 && failure.isEmpty()) {
        // The kernel cannot copy between these two files: through the program's memory instead.
        in.seek(0);
        out.seek(0);
        out.resize(0);
    }
    QByteArray block;
    while (copied < 0 && failure.isEmpty()) {
        block = in.read(BlockSize);
        if (block.isEmpty()) {
            if (in.error() != QFileDevice::NoError)
                failure = QStringLiteral("A(z) %1 fájl olvasása nem sikerült: %2")
                              .arg(QDir::toNativeSeparators(source), fileReason(in));
            break;
        }
        if (out.write(block) != block.size())
            failure = writeFailure(target, fileReason(out));
    }
    if (failure.isEmpty() && !out.flush())
        failure = writeFailure(target, fileReason(out));
    out.close();
    if (failure.isEmpty() && out.error() != QFileDevice::NoError)
        failure = writeFailure(target, fileReason(out));
    if (!failure.isEmpty())
        out.remove();
    return failure;
}

bool isOpenDatabase(Connection* connection, const QString& source)
{
    if (!connection || !connection->isConnected())
        return false;
    // A bare name is the file in the working folder, where the embedded engine found it.
    const QString open = QFileInfo(connection->params().database).canonicalFilePath();
    return !open.isEmpty() && open == QFileInfo(source).canonicalFilePath();
}

// One statement in a transaction of its own on the program's attachment, committed at once.
void runOnOwnTransaction(Connection& connection, const QString& sql)
{
    Transaction transaction(connection);
    Query statement(transaction);
    statement.setSql(sql);
    statement.execute();
    transaction.commit();
}

// `nbackup -F` clears the backup state that the copy inherited from the locked file.
QString fixUpCopy(const QString& program, const QString& target)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, {QStringLiteral("-F"), target});
    if (!process.waitForStarted() || !process.waitForFinished(300000)) {
        const QString text = processReason(process);
        process.kill();
        process.waitForFinished(5000);
        return QStringLiteral("Az nbackup -F nem futott le: %1").arg(text);
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString output = QString::fromLocal8Bit(process.readAll()).trimmed();
        return QStringLiteral("Az nbackup -F nem sikerült: %1")
            .arg(output.isEmpty() ? QString::number(process.exitCode()) : output);
    }
    return {};
}

}

QString backupFileName(const QDateTime& moment)
{
    return moment.toString(QStringLiteral("yyyy_MM_dd_HH_mm")) + QStringLiteral(".FDB");
}

QString copyDatabaseFile(Connection* connection, const QString& source, const QString& target)
{
    if (!isOpenDatabase(connection, source))
        return copyFile(source, target);

    // A copy that cannot be made or fixed up does not put the database in backup mode at all.
    if (const QString problem = targetProblem(target); !problem.isEmpty())
        return problem;
    const QString nbackup = QStandardPaths::findExecutable(QStringLiteral("nbackup"));
    if (nbackup.isEmpty())
        return QStringLiteral(
            "A másolat nem javítható ki: az nbackup program nem található (firebird3.0-utils csomag).");
    try {
        runOnOwnTransaction(*connection, QStringLiteral("ALTER DATABASE BEGIN BACKUP"));
    } catch (const DbError& error) {
        return QStringLiteral("Az adatbázis nem zárolható a mentéshez: %1").arg(failureReason(error));
    }
    QString failure = copyFile(source, target);
    QString unlockFailure;
    try {
        runOnOwnTransaction(*connection, QStringLiteral("ALTER DATABASE END BACKUP"));
    } catch (const DbError& error) {
        unlockFailure =
            QStringLiteral("Az adatbázis mentési zárolása nem oldható fel: %1").arg(failureReason(error));
    }
    if (failure.isEmpty()) {
        failure = fixUpCopy(nbackup, target);
        if (!failure.isEmpty())
            QFile::remove(target);
    }
    QStringList reasons;
    for (const QString& reason : {failure, unlockFailure})
        if (!reason.isEmpty())
            reasons << reason;
    return reasons.join(QLatin1Char('\r'));
}

QString makeOwnFolder(const QString& folder)
{
    if (QFileInfo(folder).isDir())
        return {};
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) == 0)
        return {};
    const int error = errno;
    if (error == EEXIST && QFileInfo(folder).isDir())
        return {};
    return QStringLiteral("A(z) %1 könyvtár nem hozható létre: %2")
        .arg(QDir::toNativeSeparators(folder), systemReason(error));
}
