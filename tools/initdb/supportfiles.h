// Where the new database goes, and putting the report templates and the help file beside it.
#pragma once

#include <QString>
#include <QStringList>

// The program opens this bare name in its working folder.
QString databaseFileName();

// The first existing folder of report templates: "templates" beside the executable, then the installed
// package's share/varnel/templates, then the source tree's templates folder. Empty when none exists.
QString findTemplateFolder();

struct SupportFileCopy {
    QStringList copied;   // file names copied
    QStringList kept;     // file names already in the target folder, left as they were
    QStringList failed;   // file names that could not be copied
};

// Copies *.frf and VARNEL.HLP from `sourceFolder` into `targetFolder`; an existing file is never
// overwritten, so templates a user has edited survive.
SupportFileCopy copySupportFiles(const QString& sourceFolder, const QString& targetFolder);
