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

// Opening stock before SummaryDateFrom, the period's sums, and the stock at the end of SummaryDateTo,
// for the item of the current row. An item without lines gives an empty result, which reads as 0.
void summariseItem(const Dataset& items, Query& totals)
{
    SharedState& state = shared();
    ReportVariables& variables = reportVariables();
    const QString itemNumber = items.fieldByName(QStringLiteral("bcikkszam")).asString();
    state.RunningStock = 0;

    openItemTotals(totals, itemNumber, QStringLiteral("WHERE  ( bcikkszam = :p1 ) AND ( bbizdatum < :p2 )"));
    totals.paramByName(QStringLiteral("p2")).setDate(summaryDate(state.SummaryDateFrom));
    totals.open();
    state.RunningStock = totals.fieldByName(QStringLiteral("athozat")).asFloat();
    variables.set(QStringLiteral("vathozat"), state.RunningStock);

    openItemTotals(
        totals, itemNumber,
        QStringLiteral("WHERE  ( bcikkszam = :p1 ) AND ( bbizdatum >= :p2 ) AND ( bbizdatum <= :p3 )"));
    totals.paramByName(QStringLiteral("p2")).setDate(summaryDate(state.SummaryDateFrom));
    totals.paramByName(QStringLiteral("p3")).setDate(summaryDate(state.SummaryDateTo));
    totals.open();
    const double increase = totals.fieldByName(QStringLiteral("sum_nov")).asFloat();
    const double decrease = totals.fieldByName(QStringLiteral("sum_csok")).asFloat();
    variables.set(QStringLiteral("vsum_nov"), increase);
    variables.set(QStringLiteral("vsum_csok"), decrease);

    state.RunningValue = (increase + state.RunningStock) - decrease;
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
    summary.onOpen = resetRunningStock;
    const auto summarise = [&summary, &totals] { summariseItem(*summary.dataset(), totals); };
    summary.onFirst = summarise;
    summary.onNext = summarise;
}
