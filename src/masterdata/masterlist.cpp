// The master-data list family: everything the five lists share, driven by each member's data.
#include "masterlist.h"

#include "buddies.h"
#include "data.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "dbtext.h"
#include "platform.h"
#include "ui_masterlist.h"

#include <QKeyEvent>

MasterList::MasterList(MasterListSpec spec, QWidget* parent)
    : QDialog(parent), spec_(std::move(spec)), ui(new Ui::MasterList)
{
    ui->setupUi(this);
    setObjectName(spec_.formName);
    setWindowTitle(spec_.caption);
    setFixedSize(spec_.clientSize);
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

    Label18->setText(spec_.initialLabel);
    DBGrid1->setReadOnly(true);
    DBGrid1->setColumns(spec_.columns);
    DBGrid1->setDataSource(spec_.listSource);
    DBNavigator1->setDataSource(spec_.listSource);
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
    Edit1->installEventFilter(this);
    Button3->installEventFilter(this);

    reread({spec_.creationOrder, QString()});
}

MasterList::~MasterList()
{
    delete ui;
}

void MasterList::buildDetails()
{
    GroupBox1->setTitle(spec_.detailTitle);
    auto* grid = static_cast<QGridLayout*>(GroupBox1->layout());
    int number = 0;
    for (int row = 0; row < spec_.details.size(); ++row) {
        const DetailLine& line = spec_.details[row];
        grid->addWidget(new QLabel(line.caption, GroupBox1), row, 0);
        for (int i = 0; i < line.fields.size(); ++i) {
            auto* text = new DBText(spec_.listSource, line.fields[i], GroupBox1);
            text->setObjectName(QStringLiteral("DBText%1").arg(++number));
            grid->addWidget(text, row, i + 1);
        }
    }
    grid->setColumnStretch(grid->columnCount(), 1);
}

void MasterList::setOrderLabel(const QString& word)
{
    Label18->setText(orderLabel(word));
}

void MasterList::reread(const ListOrder& order)
{
    if (!order.orderBy.isEmpty())
        rereadQuery(*spec_.listQuery, orderedSelect(spec_.table, order.orderBy));
    if (!order.labelWord.isEmpty())
        setOrderLabel(order.labelWord);
}

void MasterList::rereadAndLocate(const ShowRule& rule, const QString& searchText)
{
    reread(rule.order);
    if (!rule.locateColumn.isEmpty())
        spec_.listQuery->locate(rule.locateColumn, searchText);
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
    if (spec_.showFirst)
        reread(*spec_.showFirst);
    const QString flag = shared().LookupFlag;
    for (const ShowRule& rule : std::as_const(spec_.showRules)) {
        if (rule.flag && *rule.flag != flag)
            continue;
        rereadAndLocate(rule, shared().*spec_.searchValue);
        if (rule.clearsFlag)
            shared().LookupFlag.clear();
        break;
    }
}

void MasterList::search(const QString& text)
{
    reread(spec_.searchOrder);
    spec_.listQuery->locate(spec_.searchColumn, text);
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
        if (press && !spec_.searchOnKeyRelease && !key->text().isEmpty())
            search(Edit1->text());
        if (release && spec_.searchOnKeyRelease && !key->isAutoRepeat())
            search(Edit1->text());
    } else if (watched == Button3 && press && key->text().size() == 1
               && QStringLiteral("JjMm").contains(key->text())) {
        // The keyboard way into the entry form skips the usage check.
        openEntry(true);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void MasterList::titleClicked(int clickedColumn, int markedColumn)
{
    if (spec_.markedSortSql) {
        rereadQuery(*spec_.listQuery, spec_.markedSortSql(markedColumn, DBGrid1->fieldName(markedColumn)));
        return;
    }
    const QString title = DBGrid1->columnTitle(clickedColumn);
    for (const TitleSort& sort : std::as_const(spec_.titleSorts))
        if (sort.title == title)
            return reread(sort.order);
}

bool MasterList::isUsed()
{
    Query& check = *Data->ZQ11;
    const QString& column = spec_.usageColumn;
    check.close();
    check.clearSql();
    check.addSql(QStringLiteral("SELECT %1, count(%1) as db FROM bizmozg WHERE %1 = :p1 GROUP BY %1").arg(column));
    check.paramByName(QStringLiteral("p1")).setText(spec_.listQuery->fieldByName(spec_.usageField).asString());
    check.open();
    return check.fieldByName(QStringLiteral("db")).asInteger() != 0;
}

void MasterList::modify()
{
    if (isUsed()) {
        Platform::instance().confirmYesOnly(spec_.messages.modifyRefused);
        return;
    }
    openEntry(true);
}

void MasterList::openEntry(bool modify)
{
    shared().*spec_.entryMode = modify ? spec_.modifyMode : spec_.newMode;
    spec_.openEntry(this, modify);
}

// No confirmation and no commit: the deletion stays part of the open transaction, so the next commit
// keeps it and a rollback brings the row back.
void MasterList::remove()
{
    Platform& platform = Platform::instance();
    Query& work = *spec_.workQuery;
    if (isUsed()) {
        platform.confirmYesOnly(spec_.messages.deleteRefused);
    } else {
        rereadQuery(work, QStringLiteral("SELECT count(*) AS db FROM %1").arg(spec_.table));
        if (work.fieldByName(QStringLiteral("db")).asInteger() < 2) {
            platform.confirmYesOnly(spec_.messages.lastRow);
        } else {
            try {
                const QString id = spec_.listQuery->fieldByName(spec_.idField).asString();
                work.setSql(spec_.deleteSql);
                work.paramByName(QStringLiteral("p1")).setText(id);
                work.execute();
                platform.information(spec_.messages.deleted);
            } catch (const std::exception&) {
                platform.information(spec_.messages.deleteFailed);
            }
        }
    }
    rereadAndLocate(spec_.afterDelete, shared().*spec_.searchValue);
}

void MasterList::print()
{
    reread({spec_.printOrder, QString()});
    Data->ShowReportFile(spec_.reportFile);
}
