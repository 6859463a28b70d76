// The lookup drop-down.
#include "dblookupcombobox.h"

#include "dataset.h"
#include "datasource.h"

#include <QFocusEvent>

DBLookupComboBox::DBLookupComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::activated, this, &DBLookupComboBox::onActivated);
}

void DBLookupComboBox::setListSource(DataSource* source)
{
    source_ = source;
    bindDataset(source ? source->dataset() : nullptr);
}

void DBLookupComboBox::setListField(const QString& fieldName)
{
    listField_ = fieldName;
    reload();
}

void DBLookupComboBox::bindDataset(Dataset* dataset)
{
    for (const auto& connection : std::as_const(connections_))
        disconnect(connection);
    connections_.clear();
    if (dataset) {
        // While the dataset opens it has no rows yet; its first current-row signal ends the opening,
        // and the list is read then.
        connections_ << connect(dataset, &Dataset::opened, this, [this] { stale_ = true; });
        connections_ << connect(dataset, &Dataset::closed, this, &DBLookupComboBox::reload);
        connections_ << connect(dataset, &Dataset::currentRowChanged, this, [this] {
            if (stale_)
                reload();
            else
                showCurrentRow();
        });
        for (auto signal : {&Dataset::rowUpdated, &Dataset::rowInserted, &Dataset::rowRemoved})
            connections_ << connect(dataset, signal, this, [this] { stale_ = true; });
    }
    reload();
}

void DBLookupComboBox::reload()
{
    if (loading_)
        return;
    loading_ = true;
    stale_ = false;
    clear();
    Dataset* dataset = source_ ? source_->dataset() : nullptr;
    const int column = dataset && dataset->isOpen() ? dataset->columnIndex(listField_) : -1;
    if (column >= 0) {
        const int rows = dataset->recordCount();
        QStringList texts;
        texts.reserve(rows);
        for (int row = 0; row < rows; ++row)
            texts << dataset->fieldAt(row, column).asString();
        addItems(texts);
    }
    loading_ = false;
    showCurrentRow();
}

void DBLookupComboBox::showCurrentRow()
{
    if (loading_)
        return;
    Dataset* dataset = source_ ? source_->dataset() : nullptr;
    const int row = dataset && dataset->isOpen() ? dataset->currentRow() : -1;
    setCurrentIndex(row < count() ? row : -1);
}

void DBLookupComboBox::onActivated(int index)
{
    Dataset* dataset = source_ ? source_->dataset() : nullptr;
    if (dataset && dataset->isOpen() && index >= 0)
        dataset->moveTo(index);
    reportClose();
}

// Qt hides the popup before it reports the chosen entry, so the close is told only once the choice has
// moved the dataset: from onActivated, or on the next turn of the event loop when nothing was chosen.
void DBLookupComboBox::hidePopup()
{
    QComboBox::hidePopup();
    closing_ = true;
    QMetaObject::invokeMethod(this, &DBLookupComboBox::reportClose, Qt::QueuedConnection);
}

void DBLookupComboBox::reportClose()
{
    if (!closing_)
        return;
    closing_ = false;
    emit dropDownClosed();
}

void DBLookupComboBox::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    // Opening the drop-down takes the focus into the list for a while; that is not leaving the box.
    if (event->reason() != Qt::PopupFocusReason)
        emit focusLost();
}
