// The batch-number card: keyed by the batch text of the lines, typed or picked in the item list in
// batch-number order. A typed batch number is used as it stands.
#include "batchcard.h"

#include "codelookup.h"
#include "columnwidths.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "dataset.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TForm30* Form30 = nullptr;

TForm30::TForm30(QWidget* parent)
    : StockCard(QStringLiteral("Form30"), QStringLiteral("Tételszám karton"),
                {QStringLiteral("Edit3"), QStringLiteral("Edit4"), QStringLiteral("Edit2")}, parent)
{
    Button1 = addButton(QStringLiteral("Button1"), QStringLiteral("Tételszám"));
    Edit1 = addBox(QStringLiteral("Edit1"), QStringLiteral("Tételszám"));
    limitToColumn(Edit1, QStringLiteral("bizmozg"), QStringLiteral("btetel"));
    Label4 = addLabel(QStringLiteral("Label4"), QString());
    Edit3 = openingBoxes[0];
    Edit4 = openingBoxes[1];
    Edit2 = openingBoxes[2];
    Edit5 = periodBoxes[0];
    Edit6 = periodBoxes[1];
    Edit7 = periodBoxes[2];

    auto* key = new QHBoxLayout;
    key->addWidget(Button1);
    key->addWidget(Edit1);
    key->addWidget(Label4, 1);

    StockCardMember m;
    m.columns = batchCardColumns();
    m.keyArea = key;
    m.focusOrder = {Button1, Edit1, DateTimePicker1, DateTimePicker2, DBGrid1, DBNavigator1, Edit5, Edit6,
                    Edit7, Button5, Button6, Button7, Edit2, Edit3, Edit4};
    m.keyBoxes = {Edit1};
    m.openingCondition = {QStringLiteral("WHERE  ( BTETEL = :p1 ) AND ( bbizdatum < :p2 )")};
    m.periodCondition = {QStringLiteral("WHERE ( BTETEL = :p1 ) AND ( bbizdatum >= :p2 ) AND ( bbizdatum <= :p3 )")};
    m.collectedList = {QStringLiteral("SELECT *"), QStringLiteral("FROM bizmozg")};
    m.sortedList = {QStringLiteral("SELECT *"), QStringLiteral("FROM bizmozg"), QStringLiteral("JOIN cikk ON CBIZONYLAT = BTETEL")};
    m.titleOrders = batchCardOrders();
    m.keyVariables = {{QStringLiteral("vcikk"), Edit1}, {QStringLiteral("vcnev"), Label4}};
    m.reportFile = QStringLiteral("VarnelTetel.frf");
    // The grid shows what ZQ11 last held until the first collection.
    m.emptiesListOnOpening = false;
    m.enterMovesFocus = false;
    setUp(std::move(m));

    connect(Button1, &QPushButton::clicked, this, &TForm30::pickBatch);
}

void TForm30::pickBatch()
{
    const Dataset& row = pick(itemLookup(), Edit1->text(), QStringLiteral("T"), this);
    Edit1->setText(row.fieldByName(QStringLiteral("CBIZONYLAT")).asString());
    Label4->setText(joinedFields(row, {QStringLiteral("CSZAM"), QStringLiteral("cmegn"), QStringLiteral("cmeret")}));
}
