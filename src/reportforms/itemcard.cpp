// The item card: keyed by the item number, found from a number or a name or picked in the item list.
#include "itemcard.h"

#include "codelookup.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "dataset.h"
#include "focusexit.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TForm27* Form27 = nullptr;

TForm27::TForm27(QWidget* parent)
    : StockCard(QStringLiteral("Form27"), QStringLiteral("Cikk karton"),
                {QStringLiteral("Edit3"), QStringLiteral("Edit4"), QStringLiteral("Edit2")}, parent)
{
    Edit1 = addBox(QStringLiteral("Edit1"), QStringLiteral("Cikkszám vagy megnevezés"));
    Edit1->setToolTip(QStringLiteral("A cikknek a száma vagy  megnevezése  vagy egy része"));
    Button1 = addButton(QStringLiteral("Button1"), QStringLiteral("Cikk"));
    Label4 = addLabel(QStringLiteral("Label4"), QString());
    Edit3 = openingBoxes[0];
    Edit4 = openingBoxes[1];
    Edit2 = openingBoxes[2];
    Edit5 = periodBoxes[0];
    Edit6 = periodBoxes[1];
    Edit7 = periodBoxes[2];
    Edit3->setToolTip(QStringLiteral("A dátum előtti tételek mennyisége"));
    Edit4->setToolTip(QStringLiteral("A dátum előtti tételek mennyisége"));
    Edit2->setToolTip(QStringLiteral("A dátum előtti tételek egyenlege"));

    auto* key = new QHBoxLayout;
    key->addWidget(Edit1);
    key->addWidget(Button1);
    key->addWidget(Label4, 1);

    StockCardMember m;
    m.columns = itemCardColumns();
    m.keyArea = key;
    m.focusOrder = {Edit1, DateTimePicker1, DateTimePicker2, Button1, DBGrid1, DBNavigator1, Edit5, Edit6,
                    Edit7, Button5, Button6, Button7, Edit2, Edit3, Edit4};
    m.keyBoxes = {Edit1};
    m.openingCondition = {QStringLiteral("WHERE  ( bcikkszam = :p1 ) AND ( bbizdatum < :p2 )")};
    m.periodCondition = {QStringLiteral("WHERE ( bcikkszam = :p1 ) AND ( bbizdatum >= :p2 ) AND ( bbizdatum <= :p3 )")};
    m.collectedList = {QStringLiteral("SELECT *"), QStringLiteral("FROM bizmozg")};
    m.sortedList = {QStringLiteral("SELECT *"), QStringLiteral("FROM bizmozg"), QStringLiteral("JOIN cikk ON cszam = bcikkszam")};
    m.titleOrders = itemCardOrders();
    m.keyVariables = {{QStringLiteral("vcikk"), Edit1}, {QStringLiteral("vcnev"), Label4}};
    m.reportFile = QStringLiteral("VarnelKarton.frf");
    setUp(std::move(m));

    watchFocusExit(Edit1, this);
    connect(Button1, &QPushButton::clicked, this, &TForm27::pickItem);
}

bool TForm27::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit1 && isFocusExit(event))
        lookUpItem();
    return StockCard::eventFilter(watched, event);
}

void TForm27::lookUpItem()
{
    takeItem(lookUp(itemLookup(), Edit1->text(), this));
}

void TForm27::pickItem()
{
    takeItem(pick(itemLookup(), Edit1->text(), QStringLiteral("x"), this));
}

void TForm27::takeItem(const Dataset& row)
{
    Edit1->setText(row.fieldByName(QStringLiteral("cszam")).asString());
    Label4->setText(joinedFields(row, {QStringLiteral("cmegn"), QStringLiteral("cmeret"), QStringLiteral("cbizonylat")}));
}
