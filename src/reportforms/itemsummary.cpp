// The item summary: one grouped statement on screen; the printout's opening and closing stock come
// from the report events, over the range of the last collection.
#include "itemsummary.h"

#include "data.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "formats.h"
#include "lazyrowmodel.h"
#include "query.h"
#include "sharedstate.h"

#include <QDateEdit>
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
    setColumns({{"BCIKKSZAM", "Cikkszám"}, {"CMEGN", "Megnevezés"}, {"SUM_NOV", "Növekedés"}, {"SUM_CSOK", "Csökkenés"}});
    setTitleOrders({{"Cikkszám", "ORDER BY bcikkszam", "Cikkszám"},
                    {"Megnevezés", "ORDER BY cmegn", "Megnevezés"},
                    {"Növekedés", "ORDER BY sum_nov", "Növekedés"},
                    {"Csökkenés", "ORDER BY sum_csok", "Csökkenés"}});
    Data->ZQ11->close();
}

void TForm26::listInOrder(const QString& orderLine)
{
    Query& query = *Data->ZQ11;
    buildStatement(query, {QStringLiteral("SELECT bcikkszam, cmegn, SUM(bmenov) AS sum_nov, SUM(bmecsok) AS sum_csok"),
                           QStringLiteral("FROM bizmozg"), QStringLiteral("JOIN cikk ON cszam = bcikkszam"),
                           QStringLiteral("WHERE ( bbizdatum >= :p1 ) AND ( bbizdatum <= :p2 )"),
                           QStringLiteral("GROUP BY bcikkszam, cmegn"), orderLine});
    query.paramByName(QStringLiteral("p1")).setDate(DateTimePicker1->date());
    query.paramByName(QStringLiteral("p2")).setDate(DateTimePicker2->date());
    query.open();
}

void TForm26::collect()
{
    setPeriodVariables();
    listInOrder(QStringLiteral("ORDER BY bcikkszam"));
    shared().SummaryDateFrom = Formats::formatDate(DateTimePicker1->date());
    shared().SummaryDateTo = Formats::formatDate(DateTimePicker2->date());
    showSortText(QStringLiteral("Cikkszám"));
}

void TForm26::print()
{
    Data->ShowReportFile(QStringLiteral("VarnelOsszesito.frf"));
}
