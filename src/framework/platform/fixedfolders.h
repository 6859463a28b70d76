// The program's fixed Windows folders ("c:\varnel2013\") on this desktop: on Windows as written;
// elsewhere the drive root becomes the user's home folder and "\" becomes "/".
#pragma once

#include <QString>

QString localFolder(const QString& windowsPath);
// The same with an explicit home folder (for tests).
QString localFolder(const QString& windowsPath, const QString& homeFolder);
