// New master codes in numeric order.
#include "newcode.h"
#include "data.h"

QString nextCode(const QString& table, const QString& column)
{
    Query largest(Data->IBTrans1);
    largest.setSql(
        QStringLiteral("SELECT MAX(CAST(%2 AS BIGINT)) AS maxkod FROM %1 WHERE %2 SIMILAR TO '[0-9]+'")
            .arg(table, column));
    largest.open();
    return QString::number(largest.fieldByName(QStringLiteral("maxkod")).asInteger() + 1);
}
