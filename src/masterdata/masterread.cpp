// Re-reading master list queries.
#include "masterread.h"

#include "query.h"

void rereadQuery(Query& query, const QString& sql)
{
    query.close();
    query.clearSql();
    query.addSql(sql);
    query.open();
}

QString orderedSelect(const QString& table, const QString& orderBy)
{
    return QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(table, orderBy);
}

QString orderLabel(const QString& word)
{
    return QStringLiteral("A lista, \"%1\" szerint").arg(word);
}
