// Running stock and item summary figures, computed while a report is prepared.
#include "reportevents.h"

#include "data.h"
#include "dataset.h"
#include "formats.h"
#include "query.h"
#include "reportdataset.h"
#include "reporterror.h"
#include "reportvariables.h"
#include "sharedstate.h"

#include <QHash>
#include <QSet>

namespace {

// The stock brought forward by the card being printed, and the lines of the report being prepared that
// are already in the running stock.
double cardOpeningStock = 0;
QSet<QString> countedLines;

void resetRunningStock()
{
    shared().RunningStock = 0;
}

void startRunningStock()
{
    shared().RunningStock = cardOpeningStock;
    countedLines.clear();
}

// The printed line's own increase and decrease carried into the stock of the lines before it. A list
// that joins the items on the batch number prints a line once for each item carrying it; the line
// changes the stock once.
void addLineToRunningStock(const Dataset& lines)
{
    const int key = lines.columnIndex(QStringLiteral("bkod"));
    const QString line = key >= 0 ? lines.field(key).asString() : QString();
    const bool counted = !line.isEmpty() && countedLines.contains(line);
    if (!counted) {
        if (!line.isEmpty())
            countedLines.insert(line);
        const double increase = lines.fieldByName(QStringLiteral("bmenov")).asFloat();
        const double decrease = lines.fieldByName(QStringLiteral("bmecsok")).asFloat();
        shared().RunningStock = (shared().RunningStock + increase) - decrease;
    }
    reportVariables().set(QStringLiteral("vvarnel"), shared().RunningStock);
}

QDate summaryDate(const QString& text)
{
    const std::optional<QDate> date = Formats::parseDate(text);
    if (!date)
        throw ReportError(QStringLiteral("Az összesítő időszakának dátuma nem érvényes: \"%1\".").arg(text));
    return *date;
}

// One grouped statement over one item's lines, run in `query` with the condition line given.
void openItemTotals(Query& query, const QString& itemNumber, const QString& condition)
{
    query.close();
    query.clearSql();
    query.addSql(QStringLiteral("SELECT bcikkszam, SUM(bmenov) AS sum_nov, SUM(bmecsok) AS sum_csok, "
                                "SUM(bmenov - bmecsok) AS athozat"));
    query.addSql(QStringLiteral("FROM bizmozg"));
    query.addSql(condition);
    query.addSql(QStringLiteral("GROUP BY bcikkszam"));
    query.paramByName(QStringLiteral("p1")).setText(itemNumber);
}

struct ItemFigures {
    double opening = 0;
    double increase = 0;
    double decrease = 0;
};

// The summary being prepared: its range, and every item's figures when they were read in one pass.
struct SummaryRun {
    QDate from;
    QDate to;
    bool grouped = false;
    QHash<QString, ItemFigures> figures;
};
SummaryRun summaryRun;

// The engine pads shorter texts with blanks when it compares them, so "A" and "A " are one item.
QString itemKey(QString number)
{
    while (number.endsWith(QLatin1Char(' ')))
        number.chop(1);
    return number;
}

// Two statements per item read each item's lines through the item-number index, one random page per
// line; one grouped pass reads every line once in page order, about five times cheaper per line. The
// pass pays once the list holds a quarter of the items.
bool groupedPassPays(Dataset& items, Query& query)
{
    query.close();
    query.clearSql();
    query.addSql(QStringLiteral("SELECT COUNT(*) AS n FROM cikk"));
    query.open();
    return qint64(items.recordCount()) * 4 >= query.field(0).asInteger();
}

// Every item's opening stock before the from-date and its period sums up to the to-date, in one pass
// over the lines in page order (the optimizer would walk the item-number index instead, five times
// slower). Each figure sums the same lines as the per-item statements do.
void readAllFigures(Query& query)
{
    query.close();
    query.clearSql();
    query.addSql(QStringLiteral(
        "SELECT bcikkszam, SUM(CASE WHEN bbizdatum < :p1 THEN bmenov - bmecsok END) AS athozat, "
        "SUM(CASE WHEN bbizdatum >= :p1 THEN bmenov END) AS sum_nov, "
        "SUM(CASE WHEN bbizdatum >= :p1 THEN bmecsok END) AS sum_csok"));
    query.addSql(QStringLiteral("FROM bizmozg WHERE bbizdatum <= :p2 GROUP BY bcikkszam"));
    query.addSql(QStringLiteral("PLAN SORT (BIZMOZG NATURAL)"));
    query.paramByName(QStringLiteral("p1")).setDate(summaryRun.from);
    query.paramByName(QStringLiteral("p2")).setDate(summaryRun.to);
    query.open();
    const int number = query.columnIndex(QStringLiteral("bcikkszam"));
    for (; !query.eof(); query.next()) {
        ItemFigures& item = summaryRun.figures[itemKey(query.field(number).asString())];
        item.opening += query.fieldByName(QStringLiteral("athozat")).asFloat();
        item.increase += query.fieldByName(QStringLiteral("sum_nov")).asFloat();
        item.decrease += query.fieldByName(QStringLiteral("sum_csok")).asFloat();
    }
    query.close();
}

void startSummary(Dataset& items, Query& totals)
{
    resetRunningStock();
    SharedState& state = shared();
    summaryRun = {};
    summaryRun.from = summaryDate(state.SummaryDateFrom);
    summaryRun.to = summaryDate(state.SummaryDateTo);
    summaryRun.grouped = groupedPassPays(items, totals);
    if (summaryRun.grouped)
        readAllFigures(totals);
}

ItemFigures readItemFigures(const QString& itemNumber, Query& totals)
{
    ItemFigures item;
    openItemTotals(totals, itemNumber, QStringLiteral("WHERE  ( bcikkszam = :p1 ) AND ( bbizdatum < :p2 )"));
    totals.paramByName(QStringLiteral("p2")).setDate(summaryRun.from);
    totals.open();
    item.opening = totals.fieldByName(QStringLiteral("athozat")).asFloat();

    openItemTotals(
        totals, itemNumber,
        QStringLiteral("WHERE  ( bcikkszam = :p1 ) AND ( bbizdatum >= :p2 ) AND ( bbizdatum <= :p3 )"));
    totals.paramByName(QStringLiteral("p2")).setDate(summaryRun.from);
    totals.paramByName(QStringLiteral("p3")).setDate(summaryRun.to);
    totals.open();
    item.increase = totals.fieldByName(QStringLiteral("sum_nov")).asFloat();
    item.decrease = totals.fieldByName(QStringLiteral("sum_csok")).asFloat();
    return item;
}

// Opening stock before SummaryDateFrom, the period's sums, and the stock at the end of SummaryDateTo,
// for the item of the current row. An item without lines reads as 0.
void summariseItem(const Dataset& items, Query& totals)
{
    SharedState& state = shared();
    ReportVariables& variables = reportVariables();
    const QString itemNumber = items.fieldByName(QStringLiteral("bcikkszam")).asString();
    const ItemFigures item = summaryRun.grouped ? summaryRun.figures.value(itemKey(itemNumber))
                                                : readItemFigures(itemNumber, totals);
    state.RunningStock = item.opening;
    variables.set(QStringLiteral("vathozat"), state.RunningStock);
    variables.set(QStringLiteral("vsum_nov"), item.increase);
    variables.set(QStringLiteral("vsum_csok"), item.decrease);
    state.RunningValue = (item.increase + state.RunningStock) - item.decrease;
    variables.set(QStringLiteral("vvarnel"), state.RunningValue);
}

void installRunningStock(ReportDataset& reportDataset)
{
    reportDataset.onOpen = startRunningStock;
    const auto addLine = [&reportDataset] { addLineToRunningStock(*reportDataset.dataset()); };
    reportDataset.onFirst = addLine;
    reportDataset.onNext = addLine;
}

}

void setCardOpeningStock(double opening)
{
    cardOpeningStock = opening;
}

void installReportEvents(TData& data)
{
    installRunningStock(*data.frDBDataSet1);
    installRunningStock(*data.frDBTetelszam);

    ReportDataset& summary = *data.frDBDataSet2;
    Query& totals = *data.ZQ12;
    summary.onOpen = [&summary, &totals] { startSummary(*summary.dataset(), totals); };
    const auto summarise = [&summary, &totals] { summariseItem(*summary.dataset(), totals); };
    summary.onFirst = summarise;
    summary.onNext = summarise;
}
