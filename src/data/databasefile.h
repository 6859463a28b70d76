// The program's database: its connection settings and its creation from the schema.
#pragma once

#include "connection.h"

#include <QStringList>

// Pages of the database the engine keeps in memory (8 KB each), written into the header of a database
// varnel-initdb creates. The engine's default of 2,048 makes the range lists and the item summary read
// the same pages again and again on a million lines; more would not leave the register's last row of a
// million lines within 400 MB.
constexpr int DatabasePageBuffers = 10000;

// SYSDBA with the program's password, WIN1250, dialect 3, on the named database.
ConnectionParams databaseParams(const QString& database);
// Creates a new database file at `path` from schema.sql; the returned connection stays attached.
std::unique_ptr<Connection> createDatabaseFromSchema(const QString& path);

// Brings the indexes of a database made by an earlier version to those of schema.sql: creates the
// missing ones, makes inactive ones active, builds again those on other columns or in the other
// direction, and drops the ones the program gave up. One statement over the system tables when all is
// in place. The DDL texts it ran (empty when nothing was to do); a failure throws DbError, and what was
// committed before it stays (the next run goes on from there).
QStringList bringIndexesUpToDate(Connection& connection);
