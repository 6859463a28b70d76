// The lazy table model over a Dataset.
#include "lazyrowmodel.h"

#include "dataset.h"
#include "dberror.h"
#include "platform.h"
#include "table.h"

LazyRowModel::LazyRowModel(QObject* parent) : QAbstractTableModel(parent) {}

void LazyRowModel::setDataset(Dataset* dataset)
{
    if (dataset_ == dataset)
        return;
    if (dataset_)
        disconnect(dataset_, nullptr, this, nullptr);
    dataset_ = dataset;
    if (dataset_) {
        connect(dataset_, &Dataset::opened, this, &LazyRowModel::reset);
        connect(dataset_, &Dataset::closed, this, &LazyRowModel::reset);
        connect(dataset_, &Dataset::rowsFetched, this, &LazyRowModel::catchUp);
        connect(dataset_, &Dataset::rowUpdated, this, &LazyRowModel::onRowUpdated);
        // The dataset has already changed when it tells of an inserted or removed row, so the rows
        // around it cannot be announced one by one; views start again from the dataset.
        connect(dataset_, &Dataset::rowInserted, this, &LazyRowModel::reset);
        connect(dataset_, &Dataset::rowRemoved, this, &LazyRowModel::reset);
        connect(dataset_, &Dataset::rowsRenumbered, this, &LazyRowModel::reset);
        connect(dataset_, &QObject::destroyed, this, &LazyRowModel::reset);
    }
    reset();
}

void LazyRowModel::setColumns(const QList<GridColumn>& columns)
{
    configured_ = columns;
    reset();
}

QString LazyRowModel::fieldName(int column) const
{
    return column >= 0 && column < columns_.size() ? columns_[column].field : QString();
}

int LazyRowModel::datasetColumn(int column) const
{
    return column >= 0 && column < datasetColumns_.size() ? datasetColumns_[column] : -1;
}

void LazyRowModel::reset()
{
    busy_ = true;
    beginResetModel();
    resolveColumns();
    rows_ = dataset_ && dataset_->isOpen() ? dataset_->fetchedCount() : 0;
    endResetModel();
    busy_ = false;
    catchUp();
}

// Views and checkers may ask for rows, or move the dataset, while they handle a change; rows fetched
// then cannot be announced inside that change, so they are announced once it is over.
void LazyRowModel::catchUp()
{
    while (!busy_ && dataset_ && dataset_->isOpen() && dataset_->fetchedCount() > rows_) {
        busy_ = true;
        beginInsertRows({}, rows_, dataset_->fetchedCount() - 1);
        rows_ = dataset_->fetchedCount();
        endInsertRows();
        busy_ = false;
    }
}

void LazyRowModel::resolveColumns()
{
    columns_ = configured_;
    const bool open = dataset_ && dataset_->isOpen();
    if (columns_.isEmpty() && open) {
        for (int i = 0; i < dataset_->columnCount(); ++i)
            if (!dataset_->column(i).hidden)
                columns_.append({dataset_->column(i).name, dataset_->column(i).name, -1});
    }
    datasetColumns_.clear();
    for (const GridColumn& column : std::as_const(columns_))
        datasetColumns_.append(open ? dataset_->columnIndex(column.field) : -1);
}

void LazyRowModel::onRowUpdated(int row)
{
    if (row >= 0 && row < rows_ && !columns_.isEmpty())
        emit dataChanged(index(row, 0), index(row, int(columns_.size()) - 1));
}

int LazyRowModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int LazyRowModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant LazyRowModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || !dataset_ || !dataset_->isOpen())
        return {};
    const int column = datasetColumns_[index.column()];
    if (column < 0 || column >= dataset_->columnCount() || index.row() >= dataset_->fetchedCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return dataset_->fieldAt(index.row(), column).asString();
    case Qt::TextAlignmentRole: {
        const FieldType type = dataset_->column(column).type;
        const bool number =
            type == FieldType::Integer || type == FieldType::Decimal || type == FieldType::Double;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    default: return {};
    }
}

QVariant LazyRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columns_.size())
        return columns_[section].title;
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool LazyRowModel::isEditable() const
{
    const auto* table = qobject_cast<const Table*>(dataset_.data());
    return table && table->isOpen() && !table->isReadOnly();
}

Qt::ItemFlags LazyRowModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && isEditable() && datasetColumn(index.column()) >= 0)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool LazyRowModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid) || !isEditable())
        return false;
    const int column = datasetColumn(index.column());
    if (column < 0)
        return false;
    auto* table = static_cast<Table*>(dataset_.data());
    if (table->fieldAt(index.row(), column).asString() == value.toString())
        return false;
    try {
        table->moveTo(index.row());
        table->edit();
        table->setValue(column, value.toString());
        table->post();
    } catch (const DbError& error) {
        if (table->state() != Table::State::Browse)
            table->cancel();
        Platform::instance().information(error.message());
        return false;
    }
    return true;
}

bool LazyRowModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && !busy_ && dataset_ && dataset_->isOpen() && !dataset_->allFetched();
}

void LazyRowModel::fetchMore(const QModelIndex& parent)
{
    if (canFetchMore(parent))
        dataset_->fetchMore();
}
