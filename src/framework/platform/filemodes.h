// The permissions of the files the program writes: what a plain new file gets under the process's umask.
#pragma once

#include <QFileDevice>
#include <QString>

namespace FileModes {

// For a file written under a temporary name (made 0600) that then takes the name `target`: what open()
// gives a new file here, 0666 less the umask, so that the launcher's owner-only umask reaches every
// export; narrowed by what an older file under that name allowed, so that replacing a file never opens
// it to more people.
QFileDevice::Permissions replacing(const QString& target);

// Copies `source` to a new file `target` (never over an existing one) that gets a new file's permissions,
// where QFile::copy would give it the source's. A failed copy leaves no file behind.
bool copyAsNewFile(const QString& source, const QString& target);

}
