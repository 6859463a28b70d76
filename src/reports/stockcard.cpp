// The card family's collection, list orders and printing.
#include "stockcard.h"

#include "data.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "formats.h"
#include "keyfilters.h"
#include "platform.h"
#include "query.h"
#include "reportevents.h"
#include "reportvariables.h"
#include "sharedstate.h"
#include "stockchart.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int AmountDecimals = 3;

}

StockCard::StockCard(const QString& formName, const QString& caption, const QStringList& openingBoxNames,
                     QWidget* parent)
    : StockReportForm(formName, caption, parent)
{
    Label5 = addLabel(QStringLiteral("Label5"), QStringLiteral("Áthozat:"));
    Label8 = addLabel(QStringLiteral("Label8"), QStringLiteral("Mennyiség:"));
    const QStringList figures = {QStringLiteral("növekedés"), QStringLiteral("csökkenés"),
                                 QStringLiteral("egyenleg")};
    const QStringList periodNames = {QStringLiteral("Edit5"), QStringLiteral("Edit6"),
                                     QStringLiteral("Edit7")};
    for (int i = 0; i < 3; ++i) {
        openingBoxes << addReadOnlyBox(openingBoxNames[i], QStringLiteral("Áthozat ") + figures[i]);
        periodBoxes << addReadOnlyBox(periodNames[i], QStringLiteral("Mennyiség ") + figures[i]);
    }
    Label5->setBuddy(openingBoxes[0]);
    Label8->setBuddy(periodBoxes[0]);
}

void StockCard::setUp(StockCardMember member)
{
    member_ = std::move(member);
    setColumns(member_.columns);
    setTitleOrders(member_.titleOrders);

    auto* figures = new QGridLayout;
    figures->addWidget(Label5, 0, 0);
    figures->addWidget(Label8, 1, 0);
    for (int i = 0; i < 3; ++i) {
        figures->addWidget(openingBoxes[i], 0, i + 1);
        figures->addWidget(periodBoxes[i], 1, i + 1);
    }
    figures->setColumnStretch(4, 1);
    auto* form = new QVBoxLayout(this);
    form->addLayout(member_.keyArea);
    form->addLayout(dateRow());
    form->addWidget(Label18);
    form->addWidget(DBGrid1, 1);
    form->addLayout(figures);
    form->addLayout(buttonRow());
    setFocusOrder(member_.focusOrder);
    resize(900, 560);

    if (member_.emptiesListOnOpening)
        Data->ZQ11->close();
    if (member_.enterMovesFocus)
        installEnterFocusMovement(this);
}

void StockCard::bind(Query& query, int dateCount)
{
    int number = 0;
    for (QLineEdit* box : std::as_const(member_.keyBoxes))
        query.paramByName(QStringLiteral("p%1").arg(++number)).setText(box->text());
    const QDate dates[] = {DateTimePicker1->date(), DateTimePicker2->date()};
    for (int i = 0; i < dateCount; ++i)
        query.paramByName(QStringLiteral("p%1").arg(++number)).setDate(dates[i]);
}

void StockCard::buildWithRange(Query& query, const QStringList& head, const QStringList& condition,
                               const QStringList& tail)
{
    QStringList lines = head + condition;
    const StockCardMember::ImpliedRange range =
        member_.impliedRange ? member_.impliedRange() : StockCardMember::ImpliedRange{};
    if (!range.above.isEmpty())
        lines << QStringLiteral("AND ( %1 > :range_above )").arg(member_.impliedRangeColumn);
    if (!range.below.isEmpty())
        lines << QStringLiteral("AND ( %1 < :range_below )").arg(member_.impliedRangeColumn);
    buildStatement(query, lines + tail);
    if (!range.above.isEmpty())
        query.paramByName(QStringLiteral("range_above")).setText(range.above);
    if (!range.below.isEmpty())
        query.paramByName(QStringLiteral("range_below")).setText(range.below);
}

void StockCard::showAmounts(const QList<QLineEdit*>& boxes, const QStringList& variables,
                            const QList<double>& values)
{
    for (int i = 0; i < 3; ++i) {
        const QString text = Formats::formatAmount(values[i], AmountDecimals);
        boxes[i]->setText(text);
        reportVariables().set(variables[i], text);
    }
}

bool StockCard::collect()
{
    const bool keyGiven = std::any_of(member_.keyBoxes.cbegin(), member_.keyBoxes.cend(),
                                      [](const QLineEdit* box) { return !box->text().trimmed().isEmpty(); });
    if (!keyGiven && !member_.missingKeyMessage.isEmpty()) {
        Platform::instance().information(member_.missingKeyMessage);
        return false;
    }
    for (const auto& [variable, widget] : std::as_const(member_.keyVariables))
        reportVariables().set(variable, widget->property("text").toString());
    setPeriodVariables();
    SharedState& state = shared();
    state.RunningStock = 0;

    Query& query = *Data->ZQ11;
    buildWithRange(query,
                   {QStringLiteral("SELECT bgroup, SUM(bmenov) AS athoznov, SUM(bmecsok) AS athozcsok, "
                                   "SUM(bmenov - bmecsok) AS athozat"),
                    QStringLiteral("FROM bizmozg")},
                   member_.openingCondition, {QStringLiteral("GROUP BY bgroup")});
    bind(query, 1);
    query.open();
    state.RunningStock = query.fieldByName(QStringLiteral("athozat")).asFloat();
    openingStock_ = state.RunningStock;
    showAmounts(openingBoxes,
                {QStringLiteral("vathoznov"), QStringLiteral("vathozcsok"), QStringLiteral("vathozat")},
                {query.fieldByName(QStringLiteral("athoznov")).asFloat(),
                 query.fieldByName(QStringLiteral("athozcsok")).asFloat(), state.RunningStock});

    buildWithRange(query,
                   {QStringLiteral("SELECT bgroup, SUM(bmenov) AS sum_nov, SUM(bmecsok) AS sum_csok"),
                    QStringLiteral("FROM bizmozg")},
                   member_.periodCondition, {QStringLiteral("GROUP BY bgroup")});
    bind(query, 2);
    query.open();
    const double increase = query.fieldByName(QStringLiteral("sum_nov")).asFloat();
    const double decrease = query.fieldByName(QStringLiteral("sum_csok")).asFloat();
    showAmounts(periodBoxes,
                {QStringLiteral("vsum_nov"), QStringLiteral("vsum_csok"), QStringLiteral("vsum_egyenleg")},
                {increase, decrease, (increase + state.RunningStock) - decrease});

    openList(member_.collectedList, QStringLiteral("ORDER BY bbizdatum, bbszam"));
    showSortText(QStringLiteral("Dátum"));
    return true;
}

void StockCard::listInOrder(const QString& orderLine)
{
    openList(member_.sortedList, orderLine);
}

void StockCard::openList(const QStringList& head, const QString& orderLine)
{
    Query& query = *Data->ZQ11;
    buildWithRange(query, head, member_.periodCondition, {orderLine});
    bind(query, 2);
    query.open();
}

void StockCard::print()
{
    setCardOpeningStock(openingStock_);
    Data->ShowReportFile(member_.reportFile);
}

SingleKeyCard::SingleKeyCard(const QString& formName, const QString& caption, const QString& buttonCaption,
                             const QString& keyName, QWidget* parent)
    : StockCard(formName, caption,
                {QStringLiteral("Edit3"), QStringLiteral("Edit4"), QStringLiteral("Edit2")}, parent)
{
    Edit1 = addBox(QStringLiteral("Edit1"), keyName);
    Button1 = addButton(QStringLiteral("Button1"), buttonCaption);
    Label4 = addLabel(QStringLiteral("Label4"), QString());
    Edit3 = openingBoxes[0];
    Edit4 = openingBoxes[1];
    Edit2 = openingBoxes[2];
    Edit5 = periodBoxes[0];
    Edit6 = periodBoxes[1];
    Edit7 = periodBoxes[2];
}

QLayout* SingleKeyCard::keyArea(bool buttonFirst)
{
    auto* key = new QHBoxLayout;
    key->addWidget(buttonFirst ? static_cast<QWidget*>(Button1) : Edit1);
    key->addWidget(buttonFirst ? static_cast<QWidget*>(Edit1) : Button1);
    key->addWidget(Label4, 1);
    return key;
}

QList<QWidget*> SingleKeyCard::focusOrderAfterDates() const
{
    return {DBGrid1, DBNavigator1, Edit5, Edit6, Edit7, Button5, Button6, Button7, Edit2, Edit3, Edit4};
}

QList<GridColumn> itemCardColumns()
{
    return {{"BBSZAM", "Biz.szám"},      {"BBIZDATUM", "Dátum"},     {"BCIKKSZAM", "Cikkszám"},
            {"CMEGN", "Megnevezés"},     {"BMENOV", "Növekedés"},    {"BMECSOK", "Csökkenés"},
            {"BERTNOV", "Ért.növ."},     {"BERTCSOK", "Ért.csökk."}, {"BEAR", "E.ár"},
            {"BTETEL", "Tétel"},         {"BMNEM", "M.nem"},         {"BEREDETI", "Eredeti"},
            {"BSZOVEG", "Szöveg"},       {"BMEGJEGY", "Megjegyzés"}, {"BPKOD", "Partnerkód"},
            {"BRKOD", "Raktárkód"},      {"BDKOD", "Dolgozókód"},    {"BRKELT", "Rögz.kelt"},
            {"CBIZONYLAT", "Bizonylat"}, {"CVTSZ", "VTSZ"},          {"CME", "M.egység"},
            {"CRKOD", "Raktárkód"},      {"CMEGJEGY", "Megjegyzés"}};
}

QList<GridColumn> batchCardColumns()
{
    QList<GridColumn> columns = itemCardColumns();
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].field == QLatin1String("CBIZONYLAT")) {
            columns.move(i, 0);
            break;
        }
    }
    return columns;
}

QList<TitleOrder> itemCardOrders()
{
    return {{"Biz.szám", "ORDER BY bbszam", "Bizonylatszám"},
            {"Dátum", "ORDER BY bbizdatum, bbszam", "Dátum"},
            {"Növekedés", "ORDER BY BMENOV", "Növekedés"},
            {"Csökkenés", "ORDER BY BMECSOK", "Csökkenés"},
            {"E.ár", "ORDER BY BEAR", "Egységár"},
            {"Partnerkód", "ORDER BY BPKOD", "Partnerkód"}};
}

// Within a day by the clicked column.
QList<TitleOrder> batchCardOrders()
{
    return {{"Biz.szám", "ORDER BY bbszam", "Bizonylatszám"},
            {"Dátum", "ORDER BY bbizdatum, bbszam", "Dátum"},
            {"Növekedés", "ORDER BY bbizdatum, BMENOV", "Növekedés"},
            {"Csökkenés", "ORDER BY bbizdatum, BMECSOK", "Csökkenés"},
            {"E.ár", "ORDER BY bbizdatum, BEAR", "Egységár"},
            {"Partnerkód", "ORDER BY BPKOD", "Partnerkód"}};
}

void SingleKeyCard::showChart()
{
    if (!requireCollection())
        return;
    StockChartData data;
    data.title =
        QStringLiteral("%1: %2, %3 - %4")
            .arg(windowTitle(),
                 QStringList{Edit1->text(), Label4->text()}.join(QLatin1Char(' ')).simplified(),
                 Formats::formatDate(DateTimePicker1->date()), Formats::formatDate(DateTimePicker2->date()));
    data.opening = openingStock();
    data.lines = movementsOf(*Data->ZQ11);
    showStockChart(data, this);
}
