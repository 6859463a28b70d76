// An item's stock on a date, and what a line does to it.
#include "stockondate.h"

#include "data.h"

namespace StockOnDate {

QString quantitySum(const QString& onlyWhen)
{
    const auto column = [&onlyWhen](const char* name) {
        return onlyWhen.isEmpty() ? QLatin1String(name)
                                  : QStringLiteral("CASE WHEN %1 THEN %2 END").arg(onlyWhen, QLatin1String(name));
    };
    return QStringLiteral("COALESCE(SUM(%1), 0) - COALESCE(SUM(%2), 0)").arg(column("bmenov"), column("bmecsok"));
}

QString upToDate(const QString& dateParameter)
{
    return QStringLiteral("bbizdatum <= ") + dateParameter;
}

Shortfall shortfall(const QString& item, const QString& warehouse, const QDate& date, Decimal change,
                    const QString& changedLine)
{
    Shortfall result;
    if (change >= Decimal())
        return result;
    // Both figures come from the one range of the item's lines up to the date; the warehouse's lines are
    // picked out of it rather than read a second time.
    Query sums(Data->IBTrans1);
    sums.addSql(QStringLiteral("SELECT %1 AS keszlet, %2 AS raktar_keszlet")
                    .arg(quantitySum(), quantitySum(QStringLiteral("brkod = :p3"))));
    sums.addSql(QStringLiteral("FROM bizmozg"));
    sums.addSql(QStringLiteral("WHERE ( bcikkszam = :p1 ) AND ( %1 )").arg(upToDate(QStringLiteral(":p2"))));
    if (!changedLine.isEmpty())
        sums.addSql(QStringLiteral("AND ( idb <> :p4 )"));
    sums.paramByName(QStringLiteral("p1")).setText(item);
    sums.paramByName(QStringLiteral("p2")).setDate(date);
    sums.paramByName(QStringLiteral("p3")).setText(warehouse);
    if (!changedLine.isEmpty())
        sums.paramByName(QStringLiteral("p4")).setText(changedLine);
    sums.open();
    result.totalBefore = sums.fieldByName(QStringLiteral("keszlet")).asDecimal();
    result.totalAfter = result.totalBefore + change;
    result.total = result.totalAfter < Decimal();
    if (!warehouse.isEmpty()) {
        result.warehouseBefore = sums.fieldByName(QStringLiteral("raktar_keszlet")).asDecimal();
        result.warehouseAfter = result.warehouseBefore + change;
        result.warehouse = result.warehouseAfter < Decimal();
    }
    sums.close();
    return result;
}

}
