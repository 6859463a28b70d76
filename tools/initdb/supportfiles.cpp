// The database file name; finding and copying the report templates and the help file.
#include "supportfiles.h"
#include "filemodes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString databaseFileName()
{
    return QStringLiteral("VARNEL2013.FDB");
}

QString findTemplateFolder()
{
    const QStringList candidates = {
        QCoreApplication::applicationDirPath() + QStringLiteral("/templates"),
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/varnel/templates"),
        QStringLiteral(VARNEL_SOURCE_TEMPLATES_DIR),
    };
    for (const QString& folder : candidates) {
        if (QFileInfo(folder).isDir())
            return QDir(folder).absolutePath();
    }
    return {};
}

SupportFileCopy copySupportFiles(const QString& sourceFolder, const QString& targetFolder)
{
    SupportFileCopy result;
    QDir source(sourceFolder);
    QStringList names = source.entryList({QStringLiteral("*.frf")}, QDir::Files, QDir::Name);
    if (source.exists(QStringLiteral("VARNEL.HLP")))
        names << QStringLiteral("VARNEL.HLP");
    for (const QString& name : names) {
        const QString target = QDir(targetFolder).filePath(name);
        if (QFileInfo::exists(target))
            result.kept << name;
        else if (FileModes::copyAsNewFile(source.filePath(name), target))
            result.copied << name;
        else
            result.failed << name;
    }
    return result;
}
