// Shared by the import and item number change tests: what another attachment sees of the database.
#pragma once

#include "query.h"
#include "testdatabase.h"

#include <QList>
#include <QStringList>

using Rows = QList<QStringList>;

// The rows of `sql` as texts, read on an attachment of its own: only what was committed.
inline Rows storedRows(const TestDatabase& db, const QString& sql)
{
    auto connection = db.connect();
    Query query(connection->transaction());
    query.setSql(sql);
    query.open();
    Rows rows;
    for (; !query.eof(); query.next()) {
        QStringList values;
        for (int i = 0; i < query.columnCount(); ++i)
            values << query.field(i).asString();
        rows << values;
    }
    return rows;
}
