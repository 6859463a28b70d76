// The navigator bar.
#include "dbnavigator.h"

#include "dataset.h"
#include "datasource.h"
#include "dberror.h"
#include "platform.h"
#include "table.h"

#include <QHBoxLayout>
#include <QMetaEnum>
#include <QToolButton>

namespace {

struct ButtonLook {
    const char* glyph;
    const char* hint;
};

const ButtonLook looks[] = {
    {"|◀", "Első sor"}, {"◀", "Előző sor"},   {"▶", "Következő sor"}, {"▶|", "Utolsó sor"},
    {"+", "Új sor"},    {"−", "Sor törlése"}, {"▲", "Szerkesztés"},   {"✔", "Mentés"},
    {"✘", "Elvetés"},   {"↻", "Frissítés"},
};

Table* editableTable(Dataset* dataset)
{
    auto* table = qobject_cast<Table*>(dataset);
    return table && table->isOpen() && !table->isReadOnly() ? table : nullptr;
}

}

QList<DBNavigator::Button> DBNavigator::allButtons()
{
    return {First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh};
}

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const QMetaEnum names = QMetaEnum::fromType<Button>();
    for (Button which : allButtons()) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(names.valueToKey(which)));
        button->setText(QString::fromUtf8(looks[which].glyph));
        button->setToolTip(QString::fromUtf8(looks[which].hint));
        button->setFocusPolicy(Qt::TabFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        connect(button, &QToolButton::clicked, this, [this, which] { press(which); });
        layout->addWidget(button);
        buttons_[which] = button;
    }
    updateButtons();
}

Dataset* DBNavigator::dataset() const
{
    return source_ ? source_->dataset() : nullptr;
}

void DBNavigator::setDataSource(DataSource* source)
{
    source_ = source;
    bindDataset(source ? source->dataset() : nullptr);
}

void DBNavigator::bindDataset(Dataset* dataset)
{
    for (const auto& connection : std::as_const(connections_))
        disconnect(connection);
    connections_.clear();
    if (dataset) {
        for (auto signal : {&Dataset::opened, &Dataset::closed})
            connections_ << connect(dataset, signal, this, &DBNavigator::updateButtons);
        connections_ << connect(dataset, &Dataset::currentRowChanged, this, &DBNavigator::updateButtons);
        connections_ << connect(dataset, &Dataset::rowsFetched, this, &DBNavigator::updateButtons);
    }
    updateButtons();
}

void DBNavigator::setVisibleButtons(const QList<Button>& visible)
{
    for (Button which : allButtons())
        buttons_[which]->setVisible(visible.contains(which));
}

void DBNavigator::updateButtons()
{
    Dataset* data = dataset();
    const bool open = data && data->isOpen();
    const bool rows = open && !data->isEmpty();
    Table* table = open ? editableTable(data) : nullptr;
    const bool browsing = table && table->state() == Table::State::Browse;
    buttons_[First]->setEnabled(open && !data->bof());
    buttons_[Prior]->setEnabled(open && !data->bof());
    buttons_[Next]->setEnabled(open && !data->eof());
    buttons_[Last]->setEnabled(open && !data->eof());
    buttons_[Insert]->setEnabled(browsing);
    buttons_[Delete]->setEnabled(browsing && rows);
    buttons_[Edit]->setEnabled(browsing && rows);
    buttons_[Post]->setEnabled(table && !browsing);
    buttons_[Cancel]->setEnabled(table && !browsing);
    buttons_[Refresh]->setEnabled(open);
}

void DBNavigator::press(Button which)
{
    Dataset* data = dataset();
    if (!data || !data->isOpen())
        return;
    try {
        switch (which) {
        case First: data->first(); break;
        case Prior: data->prior(); break;
        case Next: data->next(); break;
        case Last: data->last(); break;
        case Refresh: data->refresh(); break;
        default: runEditing(which); break;
        }
    } catch (const DbError& error) {
        Platform::instance().information(error.message());
    }
    updateButtons();
    emit clicked(which);
}

void DBNavigator::runEditing(Button which)
{
    Table* table = editableTable(dataset());
    if (!table)
        return;
    switch (which) {
    case Insert: table->insert(); break;
    case Edit: table->edit(); break;
    case Post: table->post(); break;
    case Cancel: table->cancel(); break;
    case Delete:
        // A deleted row is gone once the transaction commits; ask first.
        if (!table->isEmpty() && Platform::instance().question(QStringLiteral("Törli a sort?")))
            table->deleteRow();
        break;
    default: break;
    }
}
