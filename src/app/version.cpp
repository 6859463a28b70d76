// The caption's version text.
#include "version.h"

#include <QStringList>

QString versionText(const QString& fileVersion, const QString& productVersion)
{
    const QStringList file = fileVersion.split(QLatin1Char('.'));
    const QStringList product = productVersion.split(QLatin1Char('.'));
    if (fileVersion.isEmpty() || productVersion.isEmpty() || file.size() < 2 || product.size() < 2)
        return QString();
    bool majorOk = false;
    bool minorOk = false;
    const int major = file[0].toInt(&majorOk);
    const int minor = product[1].toInt(&minorOk);
    if (!majorOk || !minorOk)
        return QString();
    return QString::number(major) + QStringLiteral(".0") + QString::number(minor);
}

QString mainCaption(const QString& version)
{
    return QStringLiteral("Varnel -  Verzió: ") + version + QStringLiteral(" 2011-2013");
}

QString builtFileVersion()
{
    return QStringLiteral(VARNEL_FILE_VERSION);
}

QString builtProductVersion()
{
    return QStringLiteral(VARNEL_PRODUCT_VERSION);
}
