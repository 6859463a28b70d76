// The item summary: one grouped statement on screen; the printout's opening and closing stock come
// from the report events, over the range of the last collection.
#include "itemsummary.h"

#include "data.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "formats.h"
#include "lazyrowmodel.h"
#include "platform.h"
#include "query.h"
#include "sharedstate.h"
#include "stockchart.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TForm26* Form26 = nullptr;

TForm26::TForm26(QWidget* parent)
    : StockReportForm(QStringLiteral("Form26"), QStringLiteral("Cikkszámonkénti összesítö lista"), parent)
{
    auto* form = new QVBoxLayout(this);
    form->addLayout(dateRow());
    form->addWidget(Label18);
    form->addWidget(DBGrid1, 1);
    form->addLayout(buttonRow());
    resize(640, 480);
    setFocusOrder({DateTimePicker1, DateTimePicker2, DBGrid1, DBNavigator1, Button5, Button6, Button7});
    setColumns({{"BCIKKSZAM", "Cikkszám"},
                {"CMEGN", "Megnevezés"},
                {"SUM_NOV", "Növekedés"},
                {"SUM_CSOK", "Csökkenés"}});
    setTitleOrders({{"Cikkszám", "ORDER BY bcikkszam", "Cikkszám"},
                    {"Megnevezés", "ORDER BY cmegn", "Megnevezés"},
                    {"Növekedés", "ORDER BY sum_nov", "Növekedés"},
                    {"Csökkenés", "ORDER BY sum_csok", "Csökkenés"}});
    chartButton = addChartButton(*this, [this] { showChart(); });
    Data->ZQ11->close();
}

void TForm26::listInOrder(const QString& orderLine)
{
    Query& query = *Data->ZQ11;
    buildStatement(
        query, {QStringLiteral("SELECT bcikkszam, cmegn, SUM(bmenov) AS sum_nov, SUM(bmecsok) AS sum_csok"),
                QStringLiteral("FROM bizmozg"), QStringLiteral("JOIN cikk ON cszam = bcikkszam"),
                QStringLiteral("WHERE ( bbizdatum >= :p1 ) AND ( bbizdatum <= :p2 )"),
                // The optimizer's own plan walks the items and reads each one's period through the
                // item-number and date index; on a warm cache it takes a third of a hashed full scan.
                QStringLiteral("GROUP BY bcikkszam, cmegn"), orderLine});
    query.paramByName(QStringLiteral("p1")).setDate(DateTimePicker1->date());
    query.paramByName(QStringLiteral("p2")).setDate(DateTimePicker2->date());
    query.open();
}

bool TForm26::collect()
{
    setPeriodVariables();
    listInOrder(QStringLiteral("ORDER BY bcikkszam"));
    shared().SummaryDateFrom = Formats::formatDate(DateTimePicker1->date());
    shared().SummaryDateTo = Formats::formatDate(DateTimePicker2->date());
    showSortText(QStringLiteral("Cikkszám"));
    return true;
}

void TForm26::print()
{
    Data->ShowReportFile(QStringLiteral("VarnelOsszesito.frf"));
}

// The item's opening balance before the from-date and its lines in the period, read for the chart.
void TForm26::showChart()
{
    if (!requireCollection())
        return;
    Query& summary = *Data->ZQ11;
    if (!summary.isOpen() || summary.isEmpty()) {
        Platform::instance().information(
            QStringLiteral("A listában nincs cikk, amelynek grafikonja megjelenhetne."));
        return;
    }
    const QString item = summary.fieldByName(QStringLiteral("BCIKKSZAM")).asString();
    StockChartData data;
    data.title =
        QStringLiteral("%1 %2, %3 - %4")
            .arg(item, summary.fieldByName(QStringLiteral("CMEGN")).asString(),
                 Formats::formatDate(DateTimePicker1->date()), Formats::formatDate(DateTimePicker2->date()));
    Query opening(summary.transaction());
    opening.setSql(QStringLiteral(
        "SELECT SUM(bmenov) - SUM(bmecsok) FROM bizmozg WHERE ( bcikkszam = :p1 ) AND ( bbizdatum < :p2 )"));
    opening.paramByName(QStringLiteral("p1")).setText(item);
    opening.paramByName(QStringLiteral("p2")).setDate(DateTimePicker1->date());
    opening.open();
    data.opening = opening.field(0).asFloat();
    Query lines(summary.transaction());
    lines.setSql(
        QStringLiteral("SELECT bbizdatum, bbszam, bmenov, bmecsok FROM bizmozg WHERE ( bcikkszam = :p1 ) "
                       "AND ( bbizdatum >= :p2 ) AND ( bbizdatum <= :p3 ) ORDER BY bbizdatum, bbszam"));
    lines.paramByName(QStringLiteral("p1")).setText(item);
    lines.paramByName(QStringLiteral("p2")).setDate(DateTimePicker1->date());
    lines.paramByName(QStringLiteral("p3")).setDate(DateTimePicker2->date());
    lines.open();
    data.lines = movementsOf(lines);
    showStockChart(data, this);
}
