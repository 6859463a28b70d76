// What the stress tools check in a database after a kill or a server restart: every confirmed save
// stored whole and once, nothing in part, one number per line, the counter at the largest number, and
// gfix's validation.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Connection;

namespace StressCheck {

// The quantity of the line of `serial`, so that the check finds the figures of its tag again.
int quantityOf(qint64 serial);

// A new database (a file, or a database of a server) with the master rows the tools save against: the
// warehouse, partner, employee and movement type "1"/"101", items 100 and 200, the counter at 0.
void createDatabase(const QString& database);

// The import's work table holding ticket `ticket`: two rows of a new item number and one of item 100, with
// the quantities of serial + 1, 2 and 3; committed on the shared transaction of `Data`. Throws DbError.
void fillWorkTable(const QString& ticket, qint64 serial);

// The rows of a select, each as its fields' texts; :p0, :p1, ... bound from `params`.
QList<QStringList> rows(Connection& connection, const QString& sql, const QList<QString>& params = {});

// What `gfix -v -full` says of the database. Errors are damage. Its warnings are what Firebird's
// careful writes leave behind a killed process and tolerate by design: pages a dead transaction
// allocated (orphan pages, pointer-page bits, both mended by this very validation) and back versions
// whose record the process never rewrote (orphan back versions, which only a backup and restore reclaim).
struct Validation {
    QStringList errors;
    QStringList warnings;
};
Validation validate(const QString& database);

// What is wrong with the database; empty when nothing. The database is opened and every table read
// whole first, as the program's next start does, so that the engine backs out what a killed
// transaction had written; then gfix validates it (its warnings go to `engineWarnings`). Each journal
// line is one confirmed save: "L tag quantity ..." a document line, "I ticket quantity ..." an imported
// line, "M table column name" a master-data row; `confirmed` gets their number.
QStringList check(const QString& database, const QStringList& journals, int* confirmed,
                  QStringList* engineWarnings);

}
