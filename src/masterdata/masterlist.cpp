// The master-data list family: everything the five lists share, driven by each member's data.
#include "masterlist.h"

#include "buddies.h"
#include "data.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "dbtext.h"
#include "failurereason.h"
#include "platform.h"
#include "ui_masterlist.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QKeyEvent>

MasterList::MasterList(MasterListMember member, QWidget* parent)
    : QDialog(parent), member_(std::move(member)), ui(new Ui::MasterList)
{
    ui->setupUi(this);
    setObjectName(member_.formName);
    setWindowTitle(member_.caption);
    resize(member_.clientSize);
    Label18 = ui->Label18;
    Label19 = ui->Label19;
    Edit1 = ui->Edit1;
    Button1 = ui->Button1;
    Button2 = ui->Button2;
    Button3 = ui->Button3;
    Button4 = ui->Button4;
    Button5 = ui->Button5;
    Button6 = ui->Button6;
    Button7 = ui->Button7;
    DBGrid1 = ui->DBGrid1;
    DBNavigator1 = ui->DBNavigator1;
    GroupBox1 = ui->GroupBox1;
    Panel1 = ui->Panel1;
    setBuddies(this, {{"Label19", "Edit1"}});

    Label18->setText(member_.initialLabel);
    DBGrid1->setReadOnly(true);
    DBGrid1->setColumns(member_.columns);
    DBGrid1->setDataSource(member_.listSource);
    DBNavigator1->setDataSource(member_.listSource);
    DBNavigator1->setVisibleButtons(DBNavigator::moveButtons());
    buildDetails();

    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button5, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button2, &QPushButton::clicked, this, [this] { openEntry(false); });
    connect(Button3, &QPushButton::clicked, this, &MasterList::modify);
    connect(Button4, &QPushButton::clicked, this, &MasterList::remove);
    connect(Button6, &QPushButton::clicked, this, [this] { search(Edit1->text()); });
    connect(Button7, &QPushButton::clicked, this, &MasterList::print);
    connect(DBGrid1, &DBGrid::titleClicked, this, &MasterList::titleClicked);
    connect(DBGrid1, &DBGrid::doubleClicked, this, [this](const QModelIndex& index) {
        if (picking_ && index.isValid())
            Button1->click();
    });
    Edit1->installEventFilter(this);
    Button3->installEventFilter(this);
}

MasterList::~MasterList()
{
    delete ui;
}

void MasterList::buildDetails()
{
    GroupBox1->setTitle(member_.detailTitle);
    auto* grid = static_cast<QGridLayout*>(GroupBox1->layout());
    int number = 0;
    for (int row = 0; row < member_.details.size(); ++row) {
        const DetailLine& line = member_.details[row];
        grid->addWidget(new QLabel(line.caption, GroupBox1), row, 0);
        // The fields of one line follow each other like words ("7600 Pécs Fő u. 1."), whatever the
        // width of the other lines' values.
        auto* fields = new QHBoxLayout;
        fields->setSpacing(fontMetrics().horizontalAdvance(QLatin1Char(' ')));
        for (const QString& field : line.fields) {
            auto* text = new DBText(member_.listSource, field, GroupBox1);
            text->setObjectName(QStringLiteral("DBText%1").arg(++number));
            fields->addWidget(text);
        }
        fields->addStretch(1);
        grid->addLayout(fields, row, 1);
    }
    grid->setColumnStretch(1, 1);
}

void MasterList::setOrderLabel(const QString& word)
{
    Label18->setText(orderLabel(word));
}

void MasterList::reread(const ListOrder& order)
{
    if (!order.orderBy.isEmpty())
        rereadQuery(*member_.listQuery, orderedSelect(member_.table, order.orderBy));
    if (!order.labelWord.isEmpty())
        setOrderLabel(order.labelWord);
}

void MasterList::rereadAndLocate(const ShowRule& rule, const QString& searchText)
{
    reread(rule.order);
    if (!rule.locateColumn.isEmpty())
        member_.listQuery->locate(rule.locateColumn, searchText);
}

void MasterList::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        showStep();
    }
}

// The list stands on the row the caller (or the entry form saved last) asked for; a lookup flag is
// used once.
void MasterList::showStep()
{
    const QString flag = shared().LookupFlag;
    picking_ = !flag.isEmpty();
    const auto rule = std::find_if(member_.showRules.cbegin(), member_.showRules.cend(),
                                   [&flag](const ShowRule& r) { return !r.flag || *r.flag == flag; });
    const bool ruleRereads = rule != member_.showRules.cend() && !rule->order.orderBy.isEmpty();
    // The list is read in the order it is made with, then in the first order, then in the rule's: only
    // the last reading is seen (the earlier ones leave their labels).
    if (!ruleRereads && !member_.showFirst)
        reread({member_.creationOrder, QString()});
    if (member_.showFirst) {
        if (ruleRereads && !member_.showFirst->labelWord.isEmpty())
            setOrderLabel(member_.showFirst->labelWord);
        else if (!ruleRereads)
            reread(*member_.showFirst);
    }
    if (rule == member_.showRules.cend())
        return;
    rereadAndLocate(*rule, shared().*member_.searchValue);
    if (rule->clearsFlag)
        shared().LookupFlag.clear();
}

void MasterList::search(const QString& text)
{
    reread(member_.searchOrder);
    member_.listQuery->locate(member_.searchColumn, text);
}

namespace {

// A key that changes the search text: a character, Backspace or Delete. Tab, Shift, the arrows and
// shortcuts leave the text as it is, so they leave the list on the row the user reached.
bool editsText(const QKeyEvent* key)
{
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete)
        return true;
    const QString text = key->text();
    return !text.isEmpty() && text.at(0).unicode() >= 0x20 && text.at(0).unicode() != 0x7f;
}

}

bool MasterList::eventFilter(QObject* watched, QEvent* event)
{
    const bool press = event->type() == QEvent::KeyPress;
    const bool release = event->type() == QEvent::KeyRelease;
    if (!press && !release)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == Edit1) {
        // On key press the box does not hold the new character yet: that search lags one behind.
        if (press && !member_.searchOnKeyRelease && editsText(key))
            search(Edit1->text());
        if (release && member_.searchOnKeyRelease && !key->isAutoRepeat() && editsText(key))
            search(Edit1->text());
    } else if (watched == Button3 && press && key->text().size() == 1 &&
               QStringLiteral("JjMm").contains(key->text())) {
        // The keyboard way into the entry form skips the usage check.
        openEntry(true);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void MasterList::titleClicked(int clickedColumn, int markedColumn)
{
    if (member_.markedSortSql) {
        rereadQuery(*member_.listQuery,
                    member_.markedSortSql(markedColumn, DBGrid1->fieldName(markedColumn)));
        return;
    }
    const QString title = DBGrid1->columnTitle(clickedColumn);
    for (const TitleSort& sort : std::as_const(member_.titleSorts))
        if (sort.title == title)
            return reread(sort.order);
}

bool MasterList::isUsed()
{
    Query& check = *Data->ZQ11;
    const QString& column = member_.usageColumn;
    check.close();
    check.clearSql();
    check.addSql(
        QStringLiteral("SELECT %1, count(%1) as db FROM bizmozg WHERE %1 = :p1 GROUP BY %1").arg(column));
    check.paramByName(QStringLiteral("p1"))
        .setText(member_.listQuery->fieldByName(member_.usageField).asString());
    check.open();
    return check.fieldByName(QStringLiteral("db")).asInteger() != 0;
}

void MasterList::modify()
{
    if (isUsed()) {
        Platform::instance().confirmYesOnly(member_.messages.modifyRefused);
        return;
    }
    openEntry(true);
}

void MasterList::openEntry(bool modify)
{
    shared().*member_.entryMode = modify ? member_.modifyMode : member_.newMode;
    member_.openEntry(this, modify);
}

// Refusals first, then the question; no commit: the deletion stays part of the open transaction, so
// the next commit keeps it and a rollback brings the row back.
void MasterList::remove()
{
    Platform& platform = Platform::instance();
    Query& work = *member_.workQuery;
    if (isUsed()) {
        platform.confirmYesOnly(member_.messages.deleteRefused);
    } else {
        rereadQuery(work, QStringLiteral("SELECT count(*) AS db FROM %1").arg(member_.table));
        if (work.fieldByName(QStringLiteral("db")).asInteger() < 2) {
            platform.confirmYesOnly(member_.messages.lastRow);
        } else {
            const QString name = member_.listQuery->fieldByName(member_.nameField).asString();
            if (!platform.question(QStringLiteral("Biztosan törli: %1?").arg(name)))
                return;
            try {
                const QString id = member_.listQuery->fieldByName(member_.idField).asString();
                work.setSql(member_.deleteSql);
                work.paramByName(QStringLiteral("p1")).setText(id);
                work.execute();
                platform.information(member_.messages.deleted);
            } catch (const std::exception& error) {
                platform.information(withReason(member_.messages.deleteFailed, error));
            }
        }
    }
    rereadAndLocate(member_.afterDelete, shared().*member_.searchValue);
}

void MasterList::print()
{
    reread({member_.printOrder, QString()});
    Data->ShowReportFile(member_.reportFile);
}
