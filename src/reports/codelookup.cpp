// The report forms' lookups: each statement is written line by line, as the forms have always sent it.
#include "codelookup.h"

#include "data.h"

MasterLookup reportItemLookup()
{
    return itemNumberLookup();
}

MasterLookup reportMovementTypeLookup()
{
    return exactLookup(movementTypePicker(), Data->ZQ51, QStringLiteral("mnem"), QStringLiteral("mnem"),
                       QStringLiteral("odb"), QStringLiteral("mnev"), QStringLiteral("ndb"));
}

MasterLookup reportWarehouseLookup()
{
    return exactLookup(warehousePicker(), Data->ZQ41, QStringLiteral("raktar"), QStringLiteral("rkod"),
                       QStringLiteral("rdb"), QStringLiteral("rnev"), QStringLiteral("rdb"));
}

QString joinedFields(const Dataset& row, const QStringList& columns)
{
    QStringList values;
    for (const QString& column : columns)
        values << row.fieldByName(column).asString();
    return values.join(QLatin1Char(' '));
}
