// Taking the working folder's lock, and the message of a second start.
#include "runlock.h"
#include "platform.h"

#include <QDir>

RunLock::RunLock(const QString& folder)
    : folder_(QDir(folder).absolutePath()), file_(QDir(folder).filePath(QStringLiteral("varnel.lock")))
{
    // Only a lock whose program no longer runs is stale: a long working day must not count as one.
    file_.setStaleLockTime(0);
}

bool RunLock::take()
{
    if (file_.tryLock(0) || file_.error() != QLockFile::LockFailedError)
        return true;
    Platform::instance().information(
        QStringLiteral("A program már fut ebben a munkamappában:\r%1\rEgyszerre csak egy példánya "
                       "dolgozhat ugyanazokkal az adatokkal; a már megnyitott ablakot használja.")
            .arg(QDir::toNativeSeparators(folder_)));
    return false;
}
