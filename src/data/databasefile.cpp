// Connection settings of the program's database and its creation from the schema.
#include "databasefile.h"
#include "schemasql.h"

ConnectionParams databaseParams(const QString& database)
{
    ConnectionParams params;
    params.database = database;
    params.user = QStringLiteral("SYSDBA");
    params.password = QStringLiteral("quarzline");
    params.charset = QStringLiteral("WIN1250");
    params.dialect = 3;
    return params;
}

std::unique_ptr<Connection> createDatabaseFromSchema(const QString& path)
{
    auto connection = std::make_unique<Connection>();
    connection->setParams(databaseParams(path));
    connection->createDatabase();
    connection->executeScript(QString::fromUtf8(schemaSql()));
    return connection;
}
