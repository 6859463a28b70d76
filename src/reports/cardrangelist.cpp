// The card range list: item numbers and movement types are compared as texts, both ends included; its
// totals cover the period only, with two decimals.
#include "cardrangelist.h"

#include "codelookup.h"
#include "data.h"
#include "dataset.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "focusexit.h"
#include "formats.h"
#include "keyfilters.h"
#include "lazyrowmodel.h"
#include "query.h"
#include "reportvariables.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TForm24* Form24 = nullptr;

namespace {

constexpr int AmountDecimals = 2;

const QString RangeCondition = QStringLiteral(
    "WHERE ( bcikkszam >= :p1 ) AND ( bcikkszam <= :p2 ) AND ( bmnem >= :p3 ) AND ( bmnem <= :p4 ) AND "
    "( bbizdatum >= :p5 ) AND ( bbizdatum <= :p6 )");

QStringList lineByLine(const QString& orderLine)
{
    return {QStringLiteral("SELECT *"),
            QStringLiteral("FROM bizmozg"),
            QStringLiteral("JOIN cikk ON cszam = bcikkszam"),
            QStringLiteral("JOIN mnem ON mnem = bmnem"),
            RangeCondition,
            orderLine};
}

QStringList summarised()
{
    return {QStringLiteral("SELECT bcikkszam, cmegn, cbizonylat, bmnem, mnev, SUM(bmenov) AS sum_bmenov, "
                           "SUM(bmecsok) AS sum_bmecsok, SUM(bertnov-bertcsok) AS sum_ertek"),
            QStringLiteral("FROM bizmozg"),
            QStringLiteral("JOIN cikk ON cszam = bcikkszam"),
            QStringLiteral("JOIN mnem ON mnem = bmnem"),
            RangeCondition,
            QStringLiteral("GROUP BY bcikkszam, cmegn, cbizonylat, bmnem, mnev"),
            QStringLiteral("ORDER BY bcikkszam, cmegn, cbizonylat, bmnem, mnev")};
}

}

TForm24::TForm24(QWidget* parent)
    : StockReportForm(QStringLiteral("Form24"), QStringLiteral("Karton lista"), parent)
{
    Edit1 = addBox(QStringLiteral("Edit1"), QStringLiteral("Cikktöl"));
    Edit2 = addBox(QStringLiteral("Edit2"), QStringLiteral("Cikkig"));
    Edit3 = addBox(QStringLiteral("Edit3"), QStringLiteral("Mnemtöl"));
    Edit4 = addBox(QStringLiteral("Edit4"), QStringLiteral("Mnemig"));
    Edit5 = addReadOnlyBox(QStringLiteral("Edit5"), QStringLiteral("Mennyiség növekedés"));
    Edit6 = addReadOnlyBox(QStringLiteral("Edit6"), QStringLiteral("Mennyiség csökkenés"));
    Edit7 = addReadOnlyBox(QStringLiteral("Edit7"), QStringLiteral("Mennyiség egyenleg"));
    Button1 = addButton(QStringLiteral("Button1"), QStringLiteral("Cikktöl"));
    Button2 = addButton(QStringLiteral("Button2"), QStringLiteral("Cikkig"));
    Button3 = addButton(QStringLiteral("Button3"), QStringLiteral("Mnemtöl"));
    Button4 = addButton(QStringLiteral("Button4"), QStringLiteral("Mnemig"));
    Label4 = addLabel(QStringLiteral("Label4"), QString());
    Label5 = addLabel(QStringLiteral("Label5"), QString());
    Label6 = addLabel(QStringLiteral("Label6"), QString());
    Label7 = addLabel(QStringLiteral("Label7"), QString());
    Label8 = addLabel(QStringLiteral("Label8"), QStringLiteral("Mennyiség:"));
    Label8->setBuddy(Edit5);
    GroupBox1 = new QGroupBox(QStringLiteral("Melyik lista?"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    RadioButton1 = new QRadioButton(QStringLiteral("Tételes"), GroupBox1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("Összesitett"), GroupBox1);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    auto* choice = new QVBoxLayout(GroupBox1);
    choice->addWidget(RadioButton1);
    choice->addWidget(RadioButton2);

    auto* ranges = new QGridLayout;
    const QList<QList<QWidget*>> rows = {{Button1, Edit1, Label4},
                                         {Button2, Edit2, Label5},
                                         {Button3, Edit3, Label6},
                                         {Button4, Edit4, Label7}};
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            ranges->addWidget(rows[r][c], r, c);
    ranges->setColumnStretch(2, 1);
    ranges->addWidget(GroupBox1, 0, 3, 4, 1);
    auto* totals = new QHBoxLayout;
    totals->addWidget(Label8);
    totals->addWidget(Edit5);
    totals->addWidget(Edit6);
    totals->addWidget(Edit7);
    totals->addStretch(1);
    auto* form = new QVBoxLayout(this);
    form->addLayout(ranges);
    form->addLayout(dateRow());
    form->addWidget(Label18);
    form->addWidget(DBGrid1, 1);
    form->addLayout(totals);
    form->addLayout(buttonRow());
    resize(900, 560);
    setFocusOrder({Edit1,   Edit2,   DateTimePicker1, DateTimePicker2, Edit3,        Edit4,       Button1,
                   Button2, Button3, Button4,         DBGrid1,         DBNavigator1, Edit5,       Edit6,
                   Edit7,   Button5, Button6,         Button7,         RadioButton1, RadioButton2});

    setColumns({{"BBSZAM", "Biz.szám"},
                {"BCIKKSZAM", "Cikkszám"},
                {"CMEGN", "Megnevezés"},
                {"BBIZDATUM", "Dátum"},
                {"BMNEM", "Mnem"},
                {"MNEV", "Név"},
                {"MNCS", "+/-"},
                {"BEAR", "E.ár"},
                {"BMENOV", "Növekedés"},
                {"BMECSOK", "Csökkenés"},
                {"BTETEL", "Tétel"},
                {"BEREDETI", "Eredeti"},
                {"BSZOVEG", "Szöveg"},
                {"BMEGJEGY", "Megjegyzés"},
                {"BPKOD", "Partnerkód"},
                {"BRKOD", "Raktár"},
                {"BRKELT", "Rögzitve"}});
    setTitleOrders({{"Biz.szám", "ORDER BY bbszam", "Bizonylatszám"},
                    {"Cikkszám", "ORDER BY bcikkszam, bbizdatum, bbszam", "Cikkszám"},
                    {"Megnevezés", "ORDER BY CMEGN, bbizdatum, bbszam", "Megnevezés"},
                    {"Dátum", "ORDER BY bbizdatum, bbszam", "Dátum"},
                    {"Mnem", "ORDER BY BMNEM, bbizdatum, bbszam", "M.nem"}});

    Data->ZQ11->close();
    installEnterFocusMovement(this);
    for (QLineEdit* box : {Edit1, Edit2, Edit3, Edit4})
        box->installEventFilter(this);
    const auto pickByName = [this](const MasterLookup& lookup, QLineEdit* box) -> const Query& {
        return pickMaster(lookup, box->text(), QStringLiteral("x"), this);
    };
    connect(Button1, &QPushButton::clicked, this,
            [this, pickByName] { takeItem(Edit1, Label4, pickByName(reportItemLookup(), Edit1), false); });
    connect(Button2, &QPushButton::clicked, this,
            [this, pickByName] { takeItem(Edit2, Label5, pickByName(reportItemLookup(), Edit2), false); });
    connect(Button3, &QPushButton::clicked, this, [this, pickByName] {
        takeMovementType(Edit3, Label6, pickByName(reportMovementTypeLookup(), Edit3));
    });
    connect(Button4, &QPushButton::clicked, this, [this, pickByName] {
        takeMovementType(Edit4, Label7, pickByName(reportMovementTypeLookup(), Edit4));
    });
    // Either button empties the grid; the totals and the report variables stay.
    for (QRadioButton* radio : {RadioButton1, RadioButton2})
        connect(radio, &QRadioButton::clicked, this, [] { Data->ZQ11->close(); });
}

bool TForm24::eventFilter(QObject* watched, QEvent* event)
{
    if (isFocusExit(event)) {
        const auto find = [this](const MasterLookup& lookup, QLineEdit* box) -> const Query& {
            return lookUpMaster(lookup, box->text(), isCodeText(box->text()), this);
        };
        if (watched == Edit1)
            takeItem(Edit1, Label4, find(reportItemLookup(), Edit1), true);
        else if (watched == Edit2)
            takeItem(Edit2, Label5, find(reportItemLookup(), Edit2), true);
        else if (watched == Edit3)
            takeMovementType(Edit3, Label6, find(reportMovementTypeLookup(), Edit3));
        else if (watched == Edit4)
            takeMovementType(Edit4, Label7, find(reportMovementTypeLookup(), Edit4));
    }
    return StockReportForm::eventFilter(watched, event);
}

// The lookups describe the item with its batch number, the pickers without it.
void TForm24::takeItem(QLineEdit* box, QLabel* label, const Dataset& row, bool withBatch)
{
    box->setText(row.fieldByName(QStringLiteral("cszam")).asString());
    QStringList columns = {QStringLiteral("cmegn"), QStringLiteral("cmeret")};
    if (withBatch)
        columns << QStringLiteral("cbizonylat");
    label->setText(joinedFields(row, columns));
}

void TForm24::takeMovementType(QLineEdit* box, QLabel* label, const Dataset& row)
{
    box->setText(row.fieldByName(QStringLiteral("mnem")).asString());
    label->setText(joinedFields(row, {QStringLiteral("mnev"), QStringLiteral("mncs")}));
}

void TForm24::bindRange(Query& query)
{
    query.paramByName(QStringLiteral("p1")).setText(Edit1->text());
    query.paramByName(QStringLiteral("p2")).setText(Edit2->text());
    query.paramByName(QStringLiteral("p3")).setText(Edit3->text());
    query.paramByName(QStringLiteral("p4")).setText(Edit4->text());
    query.paramByName(QStringLiteral("p5")).setDate(DateTimePicker1->date());
    query.paramByName(QStringLiteral("p6")).setDate(DateTimePicker2->date());
}

bool TForm24::collect()
{
    ReportVariables& variables = reportVariables();
    variables.set(QStringLiteral("vcikktol"), Edit1->text());
    variables.set(QStringLiteral("vcikkig"), Edit2->text());
    setPeriodVariables();
    variables.set(QStringLiteral("vmnemtol"), Edit3->text());
    variables.set(QStringLiteral("vmnemig"), Edit4->text());

    Query& query = *Data->ZQ11;
    buildStatement(query,
                   {QStringLiteral("SELECT bgroup, SUM(bmenov) AS sum_nov, SUM(bmecsok) AS sum_csok, "
                                   "SUM(bertnov-bertcsok) AS sum_ertek"),
                    QStringLiteral("FROM bizmozg"), RangeCondition, QStringLiteral("GROUP BY bgroup")});
    bindRange(query);
    query.open();
    const double increase = query.fieldByName(QStringLiteral("sum_nov")).asFloat();
    const double decrease = query.fieldByName(QStringLiteral("sum_csok")).asFloat();
    const QString value =
        Formats::formatAmount(query.fieldByName(QStringLiteral("sum_ertek")).asFloat(), AmountDecimals);
    const QList<std::pair<QLineEdit*, const char*>> boxes = {
        {Edit5, "vsum_nov"}, {Edit6, "vsum_csok"}, {Edit7, "vsum_egyenleg"}};
    const double figures[] = {increase, decrease, increase - decrease};
    for (int i = 0; i < 3; ++i) {
        const QString text = Formats::formatAmount(figures[i], AmountDecimals);
        boxes[i].first->setText(text);
        variables.set(QString::fromLatin1(boxes[i].second), text);
    }
    variables.set(QStringLiteral("vsum_ertek"), value);

    buildStatement(query, RadioButton1->isChecked()
                              ? lineByLine(QStringLiteral("ORDER BY bcikkszam, bbizdatum, bbszam"))
                              : summarised());
    bindRange(query);
    query.open();
    showSortText(QStringLiteral("Cikkszám"));
    return true;
}

void TForm24::listInOrder(const QString& orderLine)
{
    Query& query = *Data->ZQ11;
    buildStatement(query, lineByLine(orderLine));
    bindRange(query);
    query.open();
}

void TForm24::print()
{
    Data->ShowReportFile(RadioButton1->isChecked() ? QStringLiteral("VarnelKartontolig.frf")
                                                   : QStringLiteral("VarnelKartontolig2.frf"));
}
