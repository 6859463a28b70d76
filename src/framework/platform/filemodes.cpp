// The umask read from the kernel, and the permissions it gives new files.
#include "filemodes.h"

#include <QFile>
#include <sys/stat.h>

namespace {

// Linux reports the umask in /proc; umask() reads it only by setting it, which for that moment would
// apply to the files other threads create.
int umaskFromProc()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("Umask:")) {
            bool ok = false;
            const int value = line.mid(6).trimmed().toInt(&ok, 8);
            return ok ? value : -1;
        }
    }
    return -1;
}

// The umask as the kernel holds it, left unchanged.
unsigned currentUmask()
{
    if (const int value = umaskFromProc(); value >= 0)
        return unsigned(value);
    const mode_t value = ::umask(077);
    ::umask(value);
    return unsigned(value);
}

QFileDevice::Permissions fromMode(unsigned mode)
{
    QFileDevice::Permissions permissions;
    const struct {
        unsigned bit;
        QFileDevice::Permissions flags;
    } bits[] = {
        {S_IRUSR, QFileDevice::ReadOwner | QFileDevice::ReadUser},
        {S_IWUSR, QFileDevice::WriteOwner | QFileDevice::WriteUser},
        {S_IXUSR, QFileDevice::ExeOwner | QFileDevice::ExeUser},
        {S_IRGRP, QFileDevice::ReadGroup},
        {S_IWGRP, QFileDevice::WriteGroup},
        {S_IXGRP, QFileDevice::ExeGroup},
        {S_IROTH, QFileDevice::ReadOther},
        {S_IWOTH, QFileDevice::WriteOther},
        {S_IXOTH, QFileDevice::ExeOther},
    };
    for (const auto& bit : bits)
        if (mode & bit.bit)
            permissions |= bit.flags;
    return permissions;
}

}

namespace FileModes {

QFileDevice::Permissions replacing(const QString& target)
{
    unsigned mode = 0666u & ~currentUmask();
    // The name itself is replaced, so a link's target does not count.
    struct stat older {};
    if (::lstat(QFile::encodeName(target).constData(), &older) == 0 && S_ISREG(older.st_mode))
        mode &= unsigned(older.st_mode);
    return fromMode(mode);
}

bool copyAsNewFile(const QString& source, const QString& target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    // A plain new file: the kernel applies the umask to its mode as it is created.
    QFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    bool written = true;
    while (written && !in.atEnd()) {
        const QByteArray block = in.read(1024 * 1024);
        written = !block.isEmpty() && out.write(block) == block.size();
    }
    written = written && in.error() == QFileDevice::NoError && out.flush();
    out.close();
    if (!written || out.error() != QFileDevice::NoError) {
        out.remove();
        return false;
    }
    return true;
}

}
