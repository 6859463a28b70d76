// The master-data entry family: everything the five entry forms share, driven by each member's data.
#include "masterentry.h"

#include "buddies.h"
#include "data.h"
#include "dberror.h"
#include "keyfilters.h"
#include "masterlist.h"
#include "platform.h"
#include "ui_masterentry.h"

#include <QLabel>

namespace {

QString withoutTrailingBlanks(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).unicode() <= ' ')
        --end;
    return text.left(end);
}

// One more than the largest code that is a whole number. Codes are text, so "10" sorts before "9":
// taking the last code in text order would hand out a code that already exists. Codes that are not
// whole numbers (taken over by the import, for example) are passed over; an empty table starts at 1.
QString nextCodeSql(const QString& table, const QString& column)
{
    return QStringLiteral("SELECT MAX(CAST(%2 AS BIGINT)) AS maxkod FROM %1 WHERE %2 SIMILAR TO '[0-9]+'")
        .arg(table, column);
}

}

MasterEntry::MasterEntry(MasterEntryMember member, QWidget* parent)
    : QDialog(parent), member_(std::move(member)), ui(new Ui::MasterEntry)
{
    ui->setupUi(this);
    setObjectName(member_.formName);
    setWindowTitle(member_.caption);
    setFixedSize(member_.clientSize);
    Edit1 = ui->Edit1;
    Edit2 = ui->Edit2;
    Button2 = ui->Button2;
    Button3 = ui->Button3;
    Panel1 = ui->Panel1;
    makeReadOnly(Edit1);
    makeReadOnly(Edit2);
    addBoxes();
    orderTabs();
    installEnterFocusMovement(this);
    connect(Button2, &QPushButton::clicked, this, &MasterEntry::save);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
}

MasterEntry::~MasterEntry()
{
    delete ui;
}

void MasterEntry::makeReadOnly(QLineEdit* box)
{
    box->setReadOnly(true);
    QPalette grey = box->palette();
    grey.setColor(QPalette::Base, grey.color(QPalette::Window));
    box->setPalette(grey);
}

QGridLayout* MasterEntry::boxLayout() const
{
    return ui->boxLayout;
}

QLineEdit* MasterEntry::box(const QString& name) const
{
    return findChild<QLineEdit*>(name);
}

QLineEdit* MasterEntry::lastBox() const
{
    return box(member_.boxes.last().name);
}

void MasterEntry::addBoxes()
{
    QGridLayout* grid = ui->boxLayout;
    for (const EntryBox& entry : std::as_const(member_.boxes)) {
        const int row = grid->rowCount();
        const QString number = entry.name.mid(4);
        auto* label = new QLabel(entry.label, this);
        label->setObjectName(QStringLiteral("Label") + number);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(entry.name);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1, 1, 3);
        const QByteArray labelName = label->objectName().toLatin1();
        const QByteArray boxName = entry.name.toLatin1();
        setBuddies(this, {{labelName.constData(), boxName.constData()}});
    }
    setBuddies(this, {{"Label1", "Edit1"}});
}

void MasterEntry::orderTabs()
{
    QList<QWidget*> chain;
    for (const EntryBox& entry : std::as_const(member_.boxes))
        chain << box(entry.name);
    const QList<QWidget*> fixed{Button2, Button3, Edit1, Edit2};
    chain = member_.boxesFirst ? chain + fixed : fixed + chain;
    for (int i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    chain.first()->setFocus();
}

bool MasterEntry::load()
{
    setWindowTitle(shared().*member_.mode);
    try {
        const Query& row = *member_.listQuery;
        // A list closed by a commit, or an empty one, has no row to modify.
        if (!row.isOpen() || row.currentRow() < 0)
            throw DbError(QStringLiteral("no current row"));
        Edit1->setText(row.fieldByName(member_.idColumn).asString());
        Edit2->setText(row.fieldByName(member_.codeColumn).asString());
        for (const EntryBox& entry : std::as_const(member_.boxes))
            if (!entry.column.isEmpty())
                box(entry.name)->setText(row.fieldByName(entry.column).asString());
        loadExtra();
        return true;
    } catch (const std::exception&) {
        Platform::instance().information(member_.messages.load);
        return false;
    }
}

void MasterEntry::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        if (isNew())
            newCode();
    }
}

void MasterEntry::newCode()
{
    rereadQuery(*member_.workQuery, nextCodeSql(member_.table, member_.codeColumn));
    const qint64 largest = member_.workQuery->fieldByName(QStringLiteral("maxkod")).asInteger();
    Edit2->setText(QString::number(largest + 1));
}

bool MasterEntry::validate()
{
    for (const EntryBox& entry : std::as_const(member_.boxes)) {
        QLineEdit* edit = box(entry.name);
        if (!entry.required.isEmpty() && withoutTrailingBlanks(edit->text()).isEmpty()) {
            Platform::instance().information(entry.required);
            edit->setFocus();
            return false;
        }
    }
    return true;
}

// The one save path: transaction, one statement, the code handed back, commit; on failure the
// numbered message and a rollback. Either way the list is re-read and the form closes.
void MasterEntry::save()
{
    if (!validate())
        return;
    Transaction& transaction = Data->IBTrans1;
    if (!transaction.isActive()) {
        try {
            transaction.start();
        } catch (const std::exception&) {
            Platform::instance().information(member_.messages.transaction);
            return;
        }
    }
    if (!executeSave()) {
        Platform::instance().information(isNew() ? member_.messages.insert : member_.messages.update);
        try {
            if (transaction.isActive())
                transaction.rollback();
        } catch (const std::exception&) {
            // The rollback of a failed save has nothing left to report.
        }
    }
    rereadList();
    accept();
}

bool MasterEntry::executeSave()
{
    try {
        Query& work = *member_.workQuery;
        if (isNew()) {
            work.setSql(member_.insertSql);
        } else {
            work.setSql(member_.updateSql);
            work.paramByName(QStringLiteral("p0")).setText(Edit1->text());
        }
        bindBoxes(work, isNew() ? member_.insertParams : member_.updateParams);
        work.execute();
        shared().*member_.searchValue = Edit2->text();
        Data->IBTrans1.commit();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void MasterEntry::bindBoxes(Query& query, const QStringList& names)
{
    for (int i = 0; i < names.size(); ++i)
        query.paramByName(QStringLiteral("p%1").arg(i + 1)).setText(box(names[i])->text());
}

void MasterEntry::rereadList()
{
    rereadQuery(*member_.listQuery, orderedSelect(member_.table, member_.listOrder.orderBy));
    member_.listQuery->locate(member_.listLocateColumn, shared().*member_.searchValue);
    if (MasterList* list = member_.list ? member_.list() : nullptr)
        list->setOrderLabel(member_.listOrder.labelWord);
}
