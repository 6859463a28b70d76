// The program's database: its connection settings and its creation from the schema.
#pragma once

#include "connection.h"

// SYSDBA with the program's password, WIN1250, dialect 3, on the named database.
ConnectionParams databaseParams(const QString& database);
// Creates a new database file at `path` from schema.sql; the returned connection stays attached.
std::unique_ptr<Connection> createDatabaseFromSchema(const QString& path);
