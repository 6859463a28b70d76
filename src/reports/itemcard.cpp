// The item card: keyed by the item number, found from a number or a name or picked in the item list.
#include "itemcard.h"

#include "codelookup.h"
#include "dataset.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "focusexit.h"
#include "query.h"
#include "stockchart.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TForm27* Form27 = nullptr;

TForm27::TForm27(QWidget* parent)
    : SingleKeyCard(QStringLiteral("Form27"), QStringLiteral("Cikk karton"), QStringLiteral("Cikk"),
                    QStringLiteral("Cikkszám vagy megnevezés"), parent)
{
    Edit1->setToolTip(QStringLiteral("A cikknek a száma vagy  megnevezése  vagy egy része"));
    Edit3->setToolTip(QStringLiteral("A dátum előtti tételek mennyisége"));
    Edit4->setToolTip(QStringLiteral("A dátum előtti tételek mennyisége"));
    Edit2->setToolTip(QStringLiteral("A dátum előtti tételek egyenlege"));

    StockCardMember m;
    m.columns = itemCardColumns();
    m.keyArea = keyArea(false);
    m.focusOrder = QList<QWidget*>{Edit1, DateTimePicker1, DateTimePicker2, Button1} + focusOrderAfterDates();
    m.keyBoxes = {Edit1};
    m.openingCondition = {QStringLiteral("WHERE  ( bcikkszam = :p1 ) AND ( bbizdatum < :p2 )")};
    m.periodCondition = {
        QStringLiteral("WHERE ( bcikkszam = :p1 ) AND ( bbizdatum >= :p2 ) AND ( bbizdatum <= :p3 )")};
    m.collectedList = {QStringLiteral("SELECT *"), QStringLiteral("FROM bizmozg")};
    m.sortedList = {QStringLiteral("SELECT *"), QStringLiteral("FROM bizmozg"),
                    QStringLiteral("JOIN cikk ON cszam = bcikkszam")};
    m.titleOrders = itemCardOrders();
    m.keyVariables = {{QStringLiteral("vcikk"), Edit1}, {QStringLiteral("vcnev"), Label4}};
    m.reportFile = QStringLiteral("VarnelKarton.frf");
    m.missingKeyMessage = QStringLiteral("Nincs megadva cikkszám! Adja meg a cikk számát vagy megnevezését, "
                                         "vagy válassza ki a „Cikk” gombbal.");
    setUp(std::move(m));
    chartButton = addChartButton(*this, [this] { showChart(); });

    Edit1->installEventFilter(this);
    connect(Button1, &QPushButton::clicked, this, &TForm27::pickItem);
}

void TForm27::collectItem(const QString& item, const QString& description, const QDate& from, const QDate& to)
{
    Edit1->setText(item);
    Label4->setText(description);
    DateTimePicker1->setDate(from);
    DateTimePicker2->setDate(to);
    collectClicked();
}

bool TForm27::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit1 && isFocusExit(event))
        lookUpItem();
    return SingleKeyCard::eventFilter(watched, event);
}

void TForm27::lookUpItem()
{
    takeItem(lookUpMaster(reportItemLookup(), Edit1->text(), isCodeText(Edit1->text()), this));
}

void TForm27::pickItem()
{
    takeItem(pickMaster(reportItemLookup(), Edit1->text(), QStringLiteral("x"), this));
}

void TForm27::takeItem(const Dataset& row)
{
    Edit1->setText(row.fieldByName(QStringLiteral("cszam")).asString());
    Label4->setText(
        joinedFields(row, {QStringLiteral("cmegn"), QStringLiteral("cmeret"), QStringLiteral("cbizonylat")}));
}
