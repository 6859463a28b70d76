// The bound label.
#include "dbtext.h"

#include "dataset.h"
#include "datasource.h"

DBText::DBText(QWidget* parent) : QLabel(parent) {}

DBText::DBText(DataSource* source, const QString& fieldName, QWidget* parent) : QLabel(parent)
{
    fieldName_ = fieldName;
    setDataSource(source);
}

void DBText::setDataSource(DataSource* source)
{
    source_ = source;
    bindDataset(source ? source->dataset() : nullptr);
}

void DBText::setFieldName(const QString& fieldName)
{
    fieldName_ = fieldName;
    refresh();
}

void DBText::bindDataset(Dataset* dataset)
{
    for (const auto& connection : std::as_const(connections_))
        disconnect(connection);
    connections_.clear();
    if (dataset) {
        connections_ << connect(dataset, &Dataset::closed, this, &DBText::refresh);
        connections_ << connect(dataset, &Dataset::currentRowChanged, this, &DBText::refresh);
        connections_ << connect(dataset, &Dataset::rowUpdated, this, [this, dataset](int row) {
            if (row == dataset->currentRow())
                refresh();
        });
    }
    refresh();
}

void DBText::refresh()
{
    Dataset* dataset = source_ ? source_->dataset() : nullptr;
    const int column = dataset && dataset->isOpen() ? dataset->columnIndex(fieldName_) : -1;
    if (column < 0 || dataset->currentRow() < 0 || dataset->currentRow() >= dataset->fetchedCount()) {
        clear();
        return;
    }
    setText(dataset->fieldAt(dataset->currentRow(), column).asString());
}
