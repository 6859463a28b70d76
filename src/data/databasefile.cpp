// Connection settings of the program's database and its creation from the schema.
#include "databasefile.h"
#include "query.h"
#include "schemasql.h"

#include <QMap>
#include <QRegularExpression>

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

namespace {

struct IndexShape {
    QString table;
    bool descending = false;
    QStringList columns;
    bool active = true;

    bool sameAs(const IndexShape& other) const
    {
        return table == other.table && descending == other.descending && columns == other.columns;
    }
};

// Indexes earlier versions created that the program's statements are better off without.
// BIZMOZG_DATUM: joined to the item-number index, it made the optimizer read the whole period per item.
const char* const retiredIndexes[] = {"BIZMOZG_DATUM"};

QMap<QString, IndexShape> schemaIndexes()
{
    static const QRegularExpression createIndex(
        QStringLiteral("^CREATE\\s+(DESCENDING\\s+)?INDEX\\s+(\\w+)\\s+ON\\s+(\\w+)\\s*\\(([^)]*)\\)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
    QMap<QString, IndexShape> indexes;
    auto matches = createIndex.globalMatch(QString::fromUtf8(schemaSql()));
    while (matches.hasNext()) {
        const auto match = matches.next();
        IndexShape shape{match.captured(3).toUpper(), !match.captured(1).isEmpty(), {}};
        for (const QString& column : match.captured(4).split(QLatin1Char(',')))
            shape.columns << column.trimmed().toUpper();
        indexes.insert(match.captured(2).toUpper(), shape);
    }
    return indexes;
}

QMap<QString, IndexShape> storedIndexes(Transaction& transaction)
{
    Query query(transaction);
    query.setSql(QStringLiteral(
        "SELECT TRIM(i.RDB$INDEX_NAME) AS name, TRIM(i.RDB$RELATION_NAME) AS tablename, "
        "COALESCE(i.RDB$INDEX_TYPE, 0) AS descending, COALESCE(i.RDB$INDEX_INACTIVE, 0) AS inactive, "
        "TRIM(s.RDB$FIELD_NAME) AS columnname "
        "FROM RDB$INDICES i JOIN RDB$INDEX_SEGMENTS s ON s.RDB$INDEX_NAME = i.RDB$INDEX_NAME "
        "WHERE COALESCE(i.RDB$SYSTEM_FLAG, 0) = 0 AND i.RDB$FOREIGN_KEY IS NULL "
        "ORDER BY i.RDB$INDEX_NAME, s.RDB$FIELD_POSITION"));
    query.open();
    QMap<QString, IndexShape> indexes;
    for (; !query.eof(); query.next()) {
        IndexShape& shape = indexes[query.fieldByName(QStringLiteral("name")).asString()];
        shape.table = query.fieldByName(QStringLiteral("tablename")).asString();
        shape.descending = query.fieldByName(QStringLiteral("descending")).asInteger() == 1;
        shape.active = query.fieldByName(QStringLiteral("inactive")).asInteger() == 0;
        shape.columns << query.fieldByName(QStringLiteral("columnname")).asString();
    }
    query.close();
    return indexes;
}

QString createStatement(const QString& name, const IndexShape& shape)
{
    return QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
        .arg(shape.descending ? QStringLiteral("DESCENDING ") : QString(), name, shape.table,
             shape.columns.join(QStringLiteral(", ")));
}

}

QStringList bringIndexesUpToDate(Connection& connection)
{
    Transaction& transaction = connection.transaction();
    transaction.ensureActive();
    const QMap<QString, IndexShape> stored = storedIndexes(transaction);
    QStringList changes;
    for (const char* retired : retiredIndexes) {
        if (stored.contains(QString::fromLatin1(retired)))
            changes << QStringLiteral("DROP INDEX %1").arg(QLatin1String(retired));
    }
    const QMap<QString, IndexShape> wanted = schemaIndexes();
    for (auto index = wanted.cbegin(); index != wanted.cend(); ++index) {
        const auto found = stored.constFind(index.key());
        if (found == stored.cend()) {
            changes << createStatement(index.key(), index.value());
        } else if (!found->sameAs(index.value())) {
            changes << QStringLiteral("DROP INDEX %1").arg(index.key())
                    << createStatement(index.key(), index.value());
        } else if (!found->active) {
            changes << QStringLiteral("ALTER INDEX %1 ACTIVE").arg(index.key());
        }
    }
    if (!changes.isEmpty())
        connection.executeScript(changes.join(QStringLiteral(";\n")));
    return changes;
}
