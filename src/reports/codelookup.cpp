// The report forms' lookups: each statement is written line by line, as the forms have always sent it.
#include "codelookup.h"

#include "data.h"
#include "query.h"

namespace {

QString lines(const QStringList& statement)
{
    return statement.join(QLatin1Char('\n'));
}

// "SELECT c, count(c) as n", "FROM  table", "WHERE (c = :p1)", "GROUP BY c" and the row statement.
std::pair<QString, QString> statements(const QString& table, const QString& column, const QString& count)
{
    const QString from = QStringLiteral("FROM  ") + table;
    const QString where = QStringLiteral("WHERE (%1 = :p1)").arg(column);
    return {lines({QStringLiteral("SELECT %1, count(%1) as %2").arg(column, count), from, where,
                   QStringLiteral("GROUP BY ") + column}),
            lines({QStringLiteral("SELECT *"), from, where})};
}

MasterLookup lookupOf(MasterLookup lookup, Query* work, const QString& table, const QString& code,
                      const QString& codeCount, const QString& name, const QString& nameCount)
{
    lookup.work = work;
    std::tie(lookup.countByCode, lookup.rowByCode) = statements(table, code, codeCount);
    std::tie(lookup.countByName, lookup.rowByName) = statements(table, name, nameCount);
    lookup.table = table;
    lookup.codeColumn = code;
    lookup.nameColumn = name;
    return lookup;
}

}

MasterLookup reportItemLookup()
{
    return lookupOf(itemPicker(), Data->ZQ21, QStringLiteral("cikk"), QStringLiteral("cszam"), QStringLiteral("cdb"),
                    QStringLiteral("cmegn"), QStringLiteral("cdb"));
}

MasterLookup reportMovementTypeLookup()
{
    return lookupOf(movementTypePicker(), Data->ZQ51, QStringLiteral("mnem"), QStringLiteral("mnem"),
                    QStringLiteral("odb"), QStringLiteral("mnev"), QStringLiteral("ndb"));
}

MasterLookup reportWarehouseLookup()
{
    return lookupOf(warehousePicker(), Data->ZQ41, QStringLiteral("raktar"), QStringLiteral("rkod"), QStringLiteral("rdb"),
                    QStringLiteral("rnev"), QStringLiteral("rdb"));
}

QString joinedFields(const Dataset& row, const QStringList& columns)
{
    QStringList values;
    for (const QString& column : columns)
        values << row.fieldByName(column).asString();
    return values.join(QLatin1Char(' '));
}
