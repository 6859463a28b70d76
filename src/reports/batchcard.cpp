// The batch-number card: keyed by the batch text of the lines, typed or picked in the item list in
// batch-number order. A typed batch number is used as it stands.
#include "batchcard.h"

#include "codelookup.h"
#include "columnwidths.h"
#include "dataset.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "query.h"
#include "stockchart.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TForm30* Form30 = nullptr;

TForm30::TForm30(QWidget* parent)
    : SingleKeyCard(QStringLiteral("Form30"), QStringLiteral("Tételszám karton"), QStringLiteral("Tételszám"),
                    QStringLiteral("Tételszám"), parent)
{
    limitToColumn(Edit1, QStringLiteral("bizmozg"), QStringLiteral("btetel"));

    StockCardMember m;
    m.columns = batchCardColumns();
    m.keyArea = keyArea(true);
    m.focusOrder = QList<QWidget*>{Button1, Edit1, DateTimePicker1, DateTimePicker2} + focusOrderAfterDates();
    m.keyBoxes = {Edit1};
    m.openingCondition = {QStringLiteral("WHERE  ( BTETEL = :p1 ) AND ( bbizdatum < :p2 )")};
    m.periodCondition = {
        QStringLiteral("WHERE ( BTETEL = :p1 ) AND ( bbizdatum >= :p2 ) AND ( bbizdatum <= :p3 )")};
    m.collectedList = {QStringLiteral("SELECT *"), QStringLiteral("FROM bizmozg")};
    m.sortedList = {QStringLiteral("SELECT *"), QStringLiteral("FROM bizmozg"),
                    QStringLiteral("JOIN cikk ON CBIZONYLAT = BTETEL")};
    m.titleOrders = batchCardOrders();
    m.keyVariables = {{QStringLiteral("vcikk"), Edit1}, {QStringLiteral("vcnev"), Label4}};
    m.reportFile = QStringLiteral("VarnelTetel.frf");
    m.missingKeyMessage = QStringLiteral(
        "Nincs megadva tételszám! Adja meg a tételszámot, vagy válassza ki a „Tételszám” gombbal.");
    // The grid shows what ZQ11 last held until the first collection.
    m.emptiesListOnOpening = false;
    m.enterMovesFocus = false;
    setUp(std::move(m));
    chartButton = addChartButton(*this, [this] { showChart(); });

    connect(Button1, &QPushButton::clicked, this, &TForm30::pickBatch);
}

void TForm30::pickBatch()
{
    const Dataset& row = pickMaster(reportItemLookup(), Edit1->text(), QStringLiteral("T"), this);
    Edit1->setText(row.fieldByName(QStringLiteral("CBIZONYLAT")).asString());
    Label4->setText(
        joinedFields(row, {QStringLiteral("CSZAM"), QStringLiteral("cmegn"), QStringLiteral("cmeret")}));
}
