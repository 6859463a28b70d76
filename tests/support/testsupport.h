// What the tests share besides their fixtures: the committed rows as another attachment sees them, and
// the check that a scripted platform's form runs were all used on the forms they were written for.
#pragma once

#include "query.h"
#include "scriptedplatform.h"
#include "testdatabase.h"

#include <QList>
#include <QStringList>
#include <QTest>

using Rows = QList<QStringList>;

// The rows of `sql` as texts, read on an attachment of its own: only what was committed.
inline Rows storedRows(const TestDatabase& db, const QString& sql)
{
    auto connection = db.connect();
    Query query(connection->transaction());
    query.setSql(sql);
    query.open();
    Rows rows;
    for (query.first(); !query.eof(); query.next()) {
        QStringList values;
        for (int i = 0; i < query.columnCount(); ++i)
            values << query.field(i).asString();
        rows << values;
    }
    query.close();
    return rows;
}

// Called from a test's cleanup: the test fails when a scripted form run was left over (the form it
// was meant for never came, so its checks never ran) or met a form of another class.
inline void verifyScriptUsed(const ScriptedPlatform& platform)
{
    const QStringList faults = platform.scriptFaults();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
}
