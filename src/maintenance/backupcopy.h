// Copying the database file to a backup file: a consistent copy of the open database, never over an
// existing file, readable by its owner only.
#pragma once

#include <QDateTime>
#include <QString>

class Connection;

// "2013_05_12_14_05.FDB": the backup file name of a moment, to the minute.
QString backupFileName(const QDateTime& moment);

// Copies `source` to `target`. When `source` is the database that `connection` has open, the engine is
// told to hold its file still while it is copied (ALTER DATABASE BEGIN/END BACKUP in a transaction of
// its own, so the program's uncommitted work stays uncommitted) and the copy is then fixed up with
// `nbackup -F`, which makes it a database of its own holding what was committed. Returns an empty
// text on success, otherwise the reason in Hungarian; a failed copy leaves no file behind.
QString copyDatabaseFile(Connection* connection, const QString& source, const QString& target);

// Makes `folder` (its last part only) readable by its owner alone when it does not exist yet. Returns an
// empty text when the folder is there afterwards, otherwise the reason in Hungarian.
QString makeOwnFolder(const QString& folder);
