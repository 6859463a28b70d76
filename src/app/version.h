// The version text of the main window's caption, made from the compiled-in version numbers.
#pragma once

#include <QString>

// "a.b.c.d" of the file and of the product: the file version's major number, ".0", and the product
// version's minor number ("3.0.0.0" and "3.0.0.0" give "3.00"). Empty when either is missing.
QString versionText(const QString& fileVersion, const QString& productVersion);
// "Varnel -  Verzió: " + version text + " 2011-2013".
QString mainCaption(const QString& versionText);
// The versions this program was built with.
QString builtFileVersion();
QString builtProductVersion();
