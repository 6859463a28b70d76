// An item's stock on a date: the one definition that the stock on hand list and the check before a
// line takes the stock below zero share.
#pragma once

#include "decimal.h"

#include <QDate>
#include <QString>

namespace StockOnDate {

// The stock the selected or grouped lines make: increases less decreases, a missing figure counting as
// zero. With `onlyWhen`, a condition on the line, only the lines that meet it count.
QString quantitySum(const QString& onlyWhen = {});
// The lines that make the stock on the date bound to `dateParameter`: every line up to and including
// that day, so that the figure is the item card's closing balance of the day.
QString upToDate(const QString& dateParameter);

// Where a line takes its item's stock below zero: the stock without the line and with it, of all
// warehouses together and of the line's own warehouse.
struct Shortfall {
    bool total = false;   // all warehouses together end below zero
    Decimal totalBefore, totalAfter;
    bool warehouse = false;   // the line's warehouse ends below zero
    Decimal warehouseBefore, warehouseAfter;

    bool any() const { return total || warehouse; }
};

// What a line of `item` dated `date` that changes the stock by `change` (its increase less its
// decrease) does to the stock on that date. Only a line that lowers the stock is looked at, with one
// sum along the item-number and date index. `warehouse` empty: the line has no warehouse of its own.
// `changedLine`: the IDB of the stored line being changed, whose stored figures are not counted in the
// stock before it, and which goes below zero only where the change lowers the stock stored now; empty
// for a new line. Throws DbError when the sum cannot be read.
Shortfall shortfall(const QString& item, const QString& warehouse, const QDate& date, Decimal change,
                    const QString& changedLine = {});

}
