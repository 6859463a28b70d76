// The stock on hand list: one grouped statement over the movement lines, its search, orders, totals,
// printing and the item card of a row.
#include "stockonhand.h"

#include "codelookup.h"
#include "data.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "focusexit.h"
#include "formats.h"
#include "itemcard.h"
#include "modalform.h"
#include "query.h"
#include "reportvariables.h"
#include "stockondate.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

TStockOnHandForm* StockOnHandForm = nullptr;

namespace {

constexpr int AmountDecimals = 3;

// A row whose stock is below zero is written in red.
class NegativeStockDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const auto* grid = qobject_cast<const DBGrid*>(parent());
        Dataset* rows = grid ? grid->dataset() : nullptr;
        if (!rows || !rows->isOpen())
            return;
        const int stock = rows->columnIndex(QStringLiteral("KESZLET"));
        if (stock >= 0 && rows->fieldAt(index.row(), stock).asFloat() < 0)
            option->palette.setColor(QPalette::Text, Qt::red);
    }
};

}

TStockOnHandForm::TStockOnHandForm(QWidget* parent)
    : StockReportForm(QStringLiteral("StockOnHandForm"), QStringLiteral("Készlet"), parent)
{
    // One date: the stock at the end of the day, today unless the user picks another.
    DateTimePicker1->hide();
    DateTimePicker2->setDate(QDate::currentDate());
    DateTimePicker2->setAccessibleName(QStringLiteral("Dátum"));
    Edit1 = addBox(QStringLiteral("Edit1"), QStringLiteral("Keresés"));
    Edit1->setToolTip(QStringLiteral("Cikkszám, megnevezés vagy tételszám, vagy annak egy része"));
    Edit2 = addBox(QStringLiteral("Edit2"), QStringLiteral("Raktár"));
    Edit2->setToolTip(QStringLiteral("A raktár kódja vagy neve; üresen minden raktár"));
    Button2 = addButton(QStringLiteral("Button2"), QStringLiteral("Raktár"));
    Label4 = addLabel(QStringLiteral("Label4"), QString());
    CheckBox1 = new QCheckBox(QStringLiteral("Raktáranként"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    Label6 = addLabel(QStringLiteral("Label6"), QString());
    Label8 = addLabel(QStringLiteral("Label8"), QString());
    negativeRows = new NegativeStockDelegate(DBGrid1);
    DBGrid1->setItemDelegate(negativeRows);

    auto* options = new QHBoxLayout;
    QLabel* date = addLabel(QStringLiteral("Label1"), QStringLiteral("&Dátum:"));
    date->setBuddy(DateTimePicker2);
    options->addWidget(date);
    options->addWidget(DateTimePicker2);
    QLabel* warehouse = addLabel(QStringLiteral("Label3"), QStringLiteral("&Raktár:"));
    warehouse->setBuddy(Edit2);
    options->addWidget(warehouse);
    options->addWidget(Edit2);
    options->addWidget(Button2);
    options->addWidget(Label4, 1);
    options->addWidget(CheckBox1);
    auto* search = new QHBoxLayout;
    QLabel* searchLabel = addLabel(QStringLiteral("Label2"), QStringLiteral("&Keresés:"));
    searchLabel->setBuddy(Edit1);
    search->addWidget(searchLabel);
    search->addWidget(Edit1, 1);
    auto* totals = new QHBoxLayout;
    QLabel* stockTotal = addLabel(QStringLiteral("Label5"), QStringLiteral("Készlet összesen:"));
    stockTotal->setBuddy(DBGrid1);
    totals->addWidget(stockTotal);
    totals->addWidget(Label6);
    totals->addSpacing(24);
    totals->addWidget(addLabel(QStringLiteral("Label7"), QStringLiteral("Érték összesen:")));
    totals->addWidget(Label8);
    totals->addStretch(1);
    auto* form = new QVBoxLayout(this);
    form->addLayout(options);
    form->addLayout(search);
    form->addWidget(Label18);
    form->addWidget(DBGrid1, 1);
    form->addLayout(totals);
    form->addLayout(buttonRow());
    resize(900, 560);
    setFocusOrder({Edit1, DateTimePicker2, Edit2, Button2, CheckBox1, DBGrid1, DBNavigator1, Button5, Button7,
                   Button6});

    setWarehouseColumn(false);
    setTitleOrders({{"Cikkszám", stockOnHandOrder(), "Cikkszám"},
                    {"Megnevezés", "ORDER BY c.cmegn, s.bcikkszam, s.brkod", "Megnevezés"},
                    {"Tételszám", "ORDER BY c.cbizonylat, s.bcikkszam, s.brkod", "Tételszám"},
                    {"M.egység", "ORDER BY c.cme, s.bcikkszam, s.brkod", "Mennyiségi egység"},
                    {"Raktár", "ORDER BY s.brkod, s.bcikkszam", "Raktár"},
                    {"Készlet", "ORDER BY s.keszlet, s.bcikkszam, s.brkod", "Készlet"},
                    {"Érték", "ORDER BY s.ertek, s.bcikkszam, s.brkod", "Érték"},
                    {"Negatív", "ORDER BY negativ DESC, s.bcikkszam, s.brkod", "Negatív"}});

    // Typing waits for a pause: each reading groups every line up to the date.
    relist_.setSingleShot(true);
    relist_.setInterval(SearchDelay);
    // A date still being typed is no date yet: the list waits until the box holds one.
    connect(&relist_, &QTimer::timeout, this, [this] {
        if (DateTimePicker2->date().isValid())
            collectClicked();
    });
    connect(Edit1, &QLineEdit::textEdited, this, &TStockOnHandForm::relistSoon);
    connect(DateTimePicker2, &QLineEdit::editingFinished, this, &TStockOnHandForm::relistSoon);
    connect(CheckBox1, &QCheckBox::toggled, this, [this](bool perWarehouse) {
        setWarehouseColumn(perWarehouse);
        collectClicked();
    });
    connect(Button2, &QPushButton::clicked, this, [this] { lookUpWarehouse(true); });
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &TStockOnHandForm::openItemCard);
    Edit2->installEventFilter(this);
    DBGrid1->installEventFilter(this);
    orderLine_ = stockOnHandOrder();
    showSortText(QStringLiteral("Cikkszám"));
    collectClicked();
    Edit1->setFocus();
}

QString TStockOnHandForm::negativeMarker()
{
    return QStringLiteral("!");
}

void TStockOnHandForm::setWarehouseColumn(bool shown)
{
    QList<GridColumn> columns = {
        {"BCIKKSZAM", "Cikkszám"}, {"CMEGN", "Megnevezés"}, {"CBIZONYLAT", "Tételszám"}, {"CME", "M.egység"}};
    if (shown)
        columns << GridColumn{"BRKOD", "Raktár"};
    columns << GridColumn{"KESZLET", "Készlet"} << GridColumn{"ERTEK", "Érték"}
            << GridColumn{"NEGATIV", "Negatív"};
    setColumns(columns);
}

QStringList stockOnHandStatement(bool perWarehouse, bool oneWarehouse, bool searched,
                                 const QString& orderLine)
{
    const QString upToDate = StockOnDate::upToDate(QStringLiteral(":p1"));
    const QString warehouseColumn =
        perWarehouse ? QStringLiteral("brkod") : QStringLiteral("CAST(NULL AS VARCHAR(5)) AS brkod");
    QStringList lines = {
        QStringLiteral(
            "SELECT s.bcikkszam, c.cmegn, c.cmeret, c.cbizonylat, c.cme, s.brkod, s.keszlet, s.ertek,"),
        QStringLiteral("  CASE WHEN s.keszlet < 0 THEN '%1' ELSE '' END AS negativ,")
            .arg(TStockOnHandForm::negativeMarker()),
        QStringLiteral("  SUM(s.keszlet) OVER () AS ossz_keszlet, SUM(s.ertek) OVER () AS ossz_ertek"),
        // A line without a value leaves the value empty rather than zero only when no line carries one.
        QStringLiteral("FROM (SELECT bcikkszam, %1, %2 AS keszlet,")
            .arg(warehouseColumn, StockOnDate::quantitySum()),
        QStringLiteral("        CASE WHEN COUNT(bertnov) + COUNT(bertcsok) = 0 THEN NULL"),
        QStringLiteral(
            "             ELSE COALESCE(SUM(bertnov), 0) - COALESCE(SUM(bertcsok), 0) END AS ertek"),
        QStringLiteral("      FROM bizmozg"),
        oneWarehouse ? QStringLiteral("      WHERE ( %1 ) AND ( brkod = :p2 )").arg(upToDate)
                     : QStringLiteral("      WHERE ( %1 )").arg(upToDate),
        perWarehouse ? QStringLiteral("      GROUP BY bcikkszam, brkod")
                     : QStringLiteral("      GROUP BY bcikkszam"),
        // Every line up to the date is read: in file order and sorted, three times as fast at a million
        // lines as the optimizer's walk along the item-number index, a page read for nearly every line.
        // One warehouse's lines are a twentieth or so, found faster through its index.
        oneWarehouse ? QStringLiteral("      ) s") : QStringLiteral("      PLAN (BIZMOZG NATURAL)) s"),
        // An item number may stand on more than one item row: one of them names it, so that no line
        // counts twice; lines whose item row is missing are listed without a name.
        QStringLiteral(
            "LEFT JOIN (SELECT cszam, MIN(idc) AS idc FROM cikk GROUP BY cszam) f ON f.cszam = s.bcikkszam"),
        QStringLiteral("LEFT JOIN cikk c ON c.idc = f.idc"),
    };
    if (searched)
        lines << QStringLiteral("WHERE ( s.bcikkszam CONTAINING :p3 ) OR ( c.cmegn CONTAINING :p3 ) OR ( "
                                "c.cbizonylat CONTAINING :p3 )");
    lines << orderLine;
    return lines;
}

void TStockOnHandForm::listInOrder(const QString& orderLine)
{
    orderLine_ = orderLine;
    const QString warehouse = Edit2->text().trimmed();
    const QString search = Edit1->text().trimmed();
    const QStringList lines =
        stockOnHandStatement(CheckBox1->isChecked(), !warehouse.isEmpty(), !search.isEmpty(), orderLine);
    Query& query = *Data->ZQ11;
    buildStatement(query, lines);
    query.paramByName(QStringLiteral("p1")).setDate(DateTimePicker2->date());
    if (!warehouse.isEmpty())
        query.paramByName(QStringLiteral("p2")).setText(warehouse);
    if (!search.isEmpty())
        query.paramByName(QStringLiteral("p3")).setText(search);
    query.open();
    listedDate_ = DateTimePicker2->date();
    listedWarehouse_ = warehouse;
    showTotals(warehouse, search);
}

QString stockOnHandOrder()
{
    return QStringLiteral("ORDER BY s.bcikkszam, s.brkod");
}

bool TStockOnHandForm::collect()
{
    listInOrder(orderLine_);
    return true;
}

// The totals stand in every row of the statement; the report variables describe what is listed.
void TStockOnHandForm::showTotals(const QString& warehouse, const QString& search)
{
    Query& query = *Data->ZQ11;
    const bool rows = query.isOpen() && !query.isEmpty();
    const auto total = [&query, rows](const char* column) {
        return rows ? query.fieldAt(0, query.columnIndex(QString::fromLatin1(column))).asFloat() : 0.0;
    };
    Label6->setText(Formats::formatAmount(total("OSSZ_KESZLET"), AmountDecimals));
    Label8->setText(Formats::formatAmount(total("OSSZ_ERTEK"), 2));
    ReportVariables& variables = reportVariables();
    variables.set(QStringLiteral("vdatum"), Formats::formatDate(listedDate_));
    variables.set(QStringLiteral("vraktar"),
                  warehouse.isEmpty()
                      ? QStringLiteral("minden raktár")
                      : QStringList{warehouse, Label4->text()}.join(QLatin1Char(' ')).trimmed());
    variables.set(QStringLiteral("vkereses"), search);
    variables.set(QStringLiteral("vosszkeszlet"), Label6->text());
    variables.set(QStringLiteral("vosszertek"), Label8->text());
}

void TStockOnHandForm::print()
{
    Data->ShowReportFile(QStringLiteral("VarnelKeszlet.frf"));
}

bool TStockOnHandForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit2 && isFocusExit(event) && Edit2->text().trimmed() != listedWarehouse_)
        lookUpWarehouse(false);
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openItemCard();
            return true;
        }
    }
    return StockReportForm::eventFilter(watched, event);
}

void TStockOnHandForm::lookUpWarehouse(bool pick)
{
    const QString text = Edit2->text().trimmed();
    if (text.isEmpty() && !pick) {
        Label4->clear();
    } else {
        const MasterLookup lookup = reportWarehouseLookup();
        const Query& row = pick ? pickMaster(lookup, text, isCodeText(text), this)
                                : lookUpMaster(lookup, text, isCodeText(text), this);
        Edit2->setText(row.fieldByName(QStringLiteral("rkod")).asString());
        Label4->setText(row.fieldByName(QStringLiteral("rnev")).asString());
    }
    collectClicked();
}

void TStockOnHandForm::relistSoon()
{
    relist_.start();
}

// The card runs over the shared query: this list is read again when the card has closed.
void TStockOnHandForm::openItemCard()
{
    Query& query = *Data->ZQ11;
    if (!query.isOpen() || query.isEmpty() || query.currentRow() < 0)
        return;
    const int row = query.currentRow();
    const QString item = query.fieldByName(QStringLiteral("BCIKKSZAM")).asString();
    const QString description =
        joinedFields(query, {QStringLiteral("cmegn"), QStringLiteral("cmeret"), QStringLiteral("cbizonylat")})
            .simplified();
    const QDate date = listedDate_;
    runForm(Form27, this, std::function<bool(TForm27&)>([&](TForm27& card) {
                card.collectItem(item, description, QDate(date.year(), 1, 1), date);
                return true;
            }));
    listInOrder(orderLine_);
    query.moveTo(row);
}
