// The master-data entry family: everything the five entry forms share, driven by each member's data.
#include "masterentry.h"

#include "buddies.h"
#include "columnwidths.h"
#include "data.h"
#include "dberror.h"
#include "failurereason.h"
#include "keyfilters.h"
#include "masterlist.h"
#include "newcode.h"
#include "platform.h"
#include "saveunit.h"
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
        if (!entry.column.isEmpty())
            limitToColumn(edit, member_.table, entry.column);
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
            throw DbError(QStringLiteral("Nincs kiválasztott sor."));
        Edit1->setText(row.fieldByName(member_.idColumn).asString());
        Edit2->setText(row.fieldByName(member_.codeColumn).asString());
        for (const EntryBox& entry : std::as_const(member_.boxes))
            if (!entry.column.isEmpty())
                box(entry.name)->setText(row.fieldByName(entry.column).asString());
        loadExtra();
        return true;
    } catch (const std::exception& error) {
        Platform::instance().information(withReason(member_.messages.load, error));
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
    Edit2->setText(nextCode(member_.table, member_.codeColumn));
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

// A save is one unit of work: one statement, the code handed back, commit. After a failed statement
// (numbered message, rollback) the list is re-read and the form closes as after a save; when the
// transaction cannot be started the form stays open with what was typed.
void MasterEntry::save()
{
    if (!validate())
        return;
    const bool insert = isNew();
    const SaveStep step{insert ? member_.messages.insert : member_.messages.update, [this, insert] {
                            Query& work = *member_.workQuery;
                            if (insert) {
                                work.setSql(member_.insertSql);
                            } else {
                                work.setSql(member_.updateSql);
                                work.paramByName(QStringLiteral("p0")).setText(Edit1->text());
                            }
                            bindBoxes(work, insert ? member_.insertParams : member_.updateParams);
                            work.execute();
                            shared().*member_.searchValue = Edit2->text();
                        }};
    if (saveInOneUnit({step}, member_.messages.transaction) == SaveOutcome::GuardFailed)
        return;
    rereadList();
    accept();
}

// A text too long for its column is refused here, naming the column, before the server cuts it short.
void MasterEntry::bindBoxes(Query& query, const QStringList& names)
{
    for (int i = 0; i < names.size(); ++i) {
        const QString text = box(names[i])->text();
        if (names[i] == Edit2->objectName())
            requireFits(member_.table, member_.codeColumn, text);
        for (const EntryBox& entry : std::as_const(member_.boxes))
            if (entry.name == names[i] && !entry.column.isEmpty())
                requireFits(member_.table, entry.column, text);
        query.paramByName(QStringLiteral("p%1").arg(i + 1)).setText(text);
    }
}

void MasterEntry::rereadList()
{
    rereadQuery(*member_.listQuery, orderedSelect(member_.table, member_.listOrder.orderBy));
    member_.listQuery->locate(member_.listLocateColumn, shared().*member_.searchValue);
    if (MasterList* list = member_.list ? member_.list() : nullptr)
        list->setOrderLabel(member_.listOrder.labelWord);
}
