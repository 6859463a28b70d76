// The permissions of the files the program writes: what a plain new file gets under the process's umask.
#pragma once

#include <QFileDevice>
#include <QString>

namespace FileModes {

// The process's umask, read without leaving it changed.
unsigned currentUmask();

// 0666 less the umask: what open() gives a new file here. The launcher's owner-only umask thus reaches
// every export, even one written through a temporary file (made 0600) or copied from a wider source.
QFileDevice::Permissions newFile();

// For a file written under a temporary name that takes the place of `target`: newFile(), narrowed by what
// an older file under that name allowed, so that replacing a file never opens it to more people.
QFileDevice::Permissions replacing(const QString& target);

// Copies `source` to a new file `target` (never over an existing one) that gets newFile()'s permissions,
// where QFile::copy would give it the source's. A failed copy leaves no file behind.
bool copyAsNewFile(const QString& source, const QString& target);

}
