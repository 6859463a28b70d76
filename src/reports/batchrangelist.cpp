// The batch-number range list: positions 1 to 3 as one group, 4 to 7 one character each, each compared
// as text with its from and to text, both ends included.
#include "batchrangelist.h"

#include "codelookup.h"
#include "dataset.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "query.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

TForm31* Form31 = nullptr;

namespace {

const QString BatchLine1 = QStringLiteral(
    "WHERE  ( SUBSTRING(BTETEL FROM 1 FOR 3) >= :p1 ) AND ( SUBSTRING(BTETEL FROM 1 FOR 3) <= :p2 ) AND "
    "( SUBSTRING(BTETEL FROM 4 FOR 1) >= :p3 ) AND ( SUBSTRING(BTETEL FROM 4 FOR 1) <= :p4 )");
const QString BatchLine2 = QStringLiteral(
    "AND ( SUBSTRING(BTETEL FROM 5 FOR 1) >= :p5 ) AND ( SUBSTRING(BTETEL FROM 5 FOR 1) <= :p6 ) AND "
    "( SUBSTRING(BTETEL FROM 6 FOR 1) >= :p7 ) AND ( SUBSTRING(BTETEL FROM 6 FOR 1) <= :p8 )");
const QString BeforePeriod = QStringLiteral(
    "AND ( SUBSTRING(BTETEL FROM 7 FOR 1) >= :p9 ) AND ( SUBSTRING(BTETEL FROM 7 FOR 1) <= :p10 ) AND "
    "( bbizdatum  < :p11 )");
const QString InPeriod = QStringLiteral(
    "AND ( SUBSTRING(BTETEL FROM 7 FOR 1) >= :p9 ) AND ( SUBSTRING(BTETEL FROM 7 FOR 1) <= :p10 ) AND "
    "( bbizdatum >= :p11 ) AND ( bbizdatum <= :p12 )");

// A text whose characters the engine orders as their codes, without blanks whose padding would blur
// the bound: printable ASCII only.
bool plainText(const QString& text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(),
                                          [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7f; });
}

// Positions 1 to 3 from `from` to `to` (compared with blank padding, in the binary order of batch
// numbers) imply that the whole batch number lies above `from` with its last character one lower and
// below `to` with its last character one higher; the index on the batch number then reads only that
// range. Each bound decides at or before the last position of its text, so no batch number the
// conditions take falls outside it. Texts beyond printable ASCII get no bound.
StockCardMember::ImpliedRange batchGroupRange(QString from, QString to)
{
    while (from.endsWith(QLatin1Char(' ')))
        from.chop(1);
    while (to.endsWith(QLatin1Char(' ')))
        to.chop(1);
    StockCardMember::ImpliedRange range;
    if (plainText(from)) {
        range.above = from;
        range.above.back() = QChar(from.back().unicode() - 1);
    }
    if (plainText(to)) {
        range.below = to;
        range.below.back() = QChar(to.back().unicode() + 1);
    }
    return range;
}

}

TForm31::TForm31(QWidget* parent)
    : StockCard(QStringLiteral("Form31"), QStringLiteral("Tételszám lista"),
                {QStringLiteral("Edit14"), QStringLiteral("Edit15"), QStringLiteral("Edit16")}, parent)
{
    Button1 = addButton(QStringLiteral("Button1"), QStringLiteral("Tételszám 123"));
    auto* key = new QGridLayout;
    key->addWidget(Button1, 0, 0);
    // One row per position group: its caption, the from box with "-tól", the to box with "-ig".
    struct Range {
        const char* caption;
        const char* from;
        const char* to;
        const char* fromText;
        const char* toText;
    };
    const Range ranges[] = {{"Tételszám 123", "Edit1", "Edit2", "", ""},
                            {"Tételszám 4", "Edit3", "Edit4", "A", "K"},
                            {"Tételszám 5", "Edit8", "Edit9", "E", "V"},
                            {"Tételszám 6", "Edit10", "Edit11", "1", "9"},
                            {"Tételszám 7", "Edit12", "Edit13", "0", "9"}};
    QList<QLineEdit*> boxes;
    int row = 0;
    for (const Range& range : ranges) {
        const QString caption = QString::fromUtf8(range.caption);
        if (row > 0) {
            QLabel* label = addLabel(QStringLiteral("Label%1").arg(20 + row), caption);
            key->addWidget(label, row, 0);
        }
        QLineEdit* from = addBox(QString::fromLatin1(range.from), caption + QStringLiteral(" -tól"));
        QLineEdit* to = addBox(QString::fromLatin1(range.to), caption + QStringLiteral(" -ig"));
        // The engine refuses to compare a text longer than the positions it is compared with.
        const int positions = row == 0 ? 3 : 1;
        from->setMaxLength(positions);
        to->setMaxLength(positions);
        from->setText(QString::fromLatin1(range.fromText));
        to->setText(QString::fromLatin1(range.toText));
        key->addWidget(from, row, 1);
        key->addWidget(addLabel(QStringLiteral("Label%1").arg(30 + 2 * row), QStringLiteral("-tól")), row, 2);
        key->addWidget(to, row, 3);
        key->addWidget(addLabel(QStringLiteral("Label%1").arg(31 + 2 * row), QStringLiteral("-ig")), row, 4);
        boxes << from << to;
        ++row;
    }
    key->setColumnStretch(5, 1);
    Edit1 = boxes[0];
    Edit2 = boxes[1];
    Edit3 = boxes[2];
    Edit4 = boxes[3];
    Edit8 = boxes[4];
    Edit9 = boxes[5];
    Edit10 = boxes[6];
    Edit11 = boxes[7];
    Edit12 = boxes[8];
    Edit13 = boxes[9];
    Edit14 = openingBoxes[0];
    Edit15 = openingBoxes[1];
    Edit16 = openingBoxes[2];
    Edit5 = periodBoxes[0];
    Edit6 = periodBoxes[1];
    Edit7 = periodBoxes[2];

    StockCardMember m;
    m.columns = batchCardColumns();
    m.keyArea = key;
    m.focusOrder = {Button1, Edit1,  Edit2,  DateTimePicker1, DateTimePicker2, Edit3,   Edit4,  DBNavigator1,
                    Edit5,   Edit6,  Edit7,  Button5,         Button6,         Button7, Edit8,  Edit9,
                    Edit10,  Edit11, Edit12, Edit13,          Edit14,          Edit15,  Edit16, DBGrid1};
    m.keyBoxes = boxes;
    m.openingCondition = {BatchLine1, BatchLine2, BeforePeriod};
    m.periodCondition = {BatchLine1, BatchLine2, InPeriod};
    m.collectedList = {QStringLiteral("SELECT *"), QStringLiteral("FROM bizmozg"),
                       QStringLiteral("JOIN cikk ON CBIZONYLAT = BTETEL")};
    m.sortedList = m.collectedList;
    m.titleOrders = batchCardOrders();
    const char* variables[] = {"vtetel123tol", "vtetel123ig", "vtetel4tol", "vtetel4ig",  "vtetel5tol",
                               "vtetel5ig",    "vtetel6tol",  "vtetel6ig",  "vtetel7tol", "vtetel7ig"};
    for (int i = 0; i < boxes.size(); ++i)
        m.keyVariables.append({QString::fromLatin1(variables[i]), boxes[i]});
    m.impliedRangeColumn = QStringLiteral("BTETEL");
    m.impliedRange = [this] { return batchGroupRange(Edit1->text(), Edit2->text()); };
    m.reportFile = QStringLiteral("VarnelTeteltolig.frf");
    m.emptiesListOnOpening = false;
    m.enterMovesFocus = false;
    setUp(std::move(m));

    connect(Button1, &QPushButton::clicked, this, &TForm31::pickBatch);
}

void TForm31::pickBatch()
{
    const Dataset& row = pickMaster(reportItemLookup(), Edit1->text(), QStringLiteral("T"), this);
    const QString first = row.fieldByName(QStringLiteral("CBIZONYLAT")).asString().left(3);
    Edit1->setText(first);
    Edit2->setText(first);
}
