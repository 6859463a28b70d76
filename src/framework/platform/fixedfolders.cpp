// Fixed Windows folders mapped to the user's home folder.
#include "fixedfolders.h"

#include <QDir>
#include <QRegularExpression>

QString localFolder(const QString& windowsPath, const QString& homeFolder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(homeFolder);
    return windowsPath;
#else
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:[\\\\/]?"));
    QString path = windowsPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const auto match = drive.match(windowsPath);
    if (!match.hasMatch())
        return path;
    QString home = homeFolder;
    if (!home.endsWith(QLatin1Char('/')))
        home += QLatin1Char('/');
    return home + path.mid(match.capturedLength());
#endif
}

QString localFolder(const QString& windowsPath)
{
    return localFolder(windowsPath, QDir::homePath());
}
