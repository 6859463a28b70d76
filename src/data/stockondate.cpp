// An item's stock on a date, and what a line does to it.
#include "stockondate.h"

#include "data.h"

namespace StockOnDate {

QString quantitySum(const QString& onlyWhen)
{
    const auto column = [&onlyWhen](const char* name) {
        return onlyWhen.isEmpty()
                   ? QLatin1String(name)
                   : QStringLiteral("CASE WHEN %1 THEN %2 END").arg(onlyWhen, QLatin1String(name));
    };
    return QStringLiteral("COALESCE(SUM(%1), 0) - COALESCE(SUM(%2), 0)")
        .arg(column("bmenov"), column("bmecsok"));
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
    // Every figure comes from the one range of the item's lines up to the date: the warehouse's lines
    // and the changed line's stored figures are picked out of it rather than read again.
    Query sums(Data->IBTrans1);
    sums.addSql(QStringLiteral("SELECT %1 AS keszlet, %2 AS raktar_keszlet,")
                    .arg(quantitySum(), quantitySum(QStringLiteral("brkod = :p3"))));
    sums.addSql(QStringLiteral("  %1 AS sor, %2 AS raktar_sor")
                    .arg(quantitySum(QStringLiteral("idb = :p4")),
                         quantitySum(QStringLiteral("brkod = :p3 AND idb = :p4"))));
    sums.addSql(QStringLiteral("FROM bizmozg"));
    sums.addSql(QStringLiteral("WHERE ( bcikkszam = :p1 ) AND ( %1 )").arg(upToDate(QStringLiteral(":p2"))));
    sums.paramByName(QStringLiteral("p1")).setText(item);
    sums.paramByName(QStringLiteral("p2")).setDate(date);
    sums.paramByName(QStringLiteral("p3")).setText(warehouse);
    if (changedLine.isEmpty())
        sums.paramByName(QStringLiteral("p4")).clear();
    else
        sums.paramByName(QStringLiteral("p4")).setText(changedLine);
    sums.open();
    const auto figure = [&sums](const char* column) {
        return sums.fieldByName(QLatin1String(column)).asDecimal();
    };
    // A change asks only when it lowers the stock that is stored now: a line corrected in its text
    // while the stock already stands below zero does not.
    const auto belowZero = [change](Decimal stored, Decimal own, Decimal& before, Decimal& after) {
        before = stored - own;
        after = before + change;
        return after < Decimal() && after < stored;
    };
    result.total = belowZero(figure("keszlet"), figure("sor"), result.totalBefore, result.totalAfter);
    if (!warehouse.isEmpty())
        result.warehouse = belowZero(figure("raktar_keszlet"), figure("raktar_sor"), result.warehouseBefore,
                                     result.warehouseAfter);
    sums.close();
    return result;
}

}
