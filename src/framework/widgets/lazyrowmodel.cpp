// The lazy table model over a Dataset.
#include "lazyrowmodel.h"

#include "dataset.h"
#include "dberror.h"
#include "platform.h"
#include "table.h"
#include "windowedquery.h"

#include <algorithm>

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

void LazyRowModel::setBlockSize(int rows)
{
    blockSize_ = std::max(rows, 0);
    reset();
}

int LazyRowModel::listRows() const
{
    return dataset_ && dataset_->isOpen() ? dataset_->fetchedCount() : 0;
}

int LazyRowModel::modelRow(int datasetRow) const
{
    const int row = datasetRow - start_;
    return row >= 0 && row < rows_ ? row : -1;
}

void LazyRowModel::reset()
{
    busy_ = true;
    beginResetModel();
    resolveColumns();
    const int count = listRows();
    // Only a dataset that counts rows it does not hold: one that holds them costs more than the
    // view's entries, and grows as it fetches.
    const auto* window = qobject_cast<const WindowedQuery*>(dataset_.data());
    inBlocks_ = blockSize_ > 0 && window && window->isWindowed() && count > blockSize_;
    if (inBlocks_) {
        rows_ = blockSize_;
        // The block stays where it was while it holds the current row, so that the rows shown stay.
        const int current = dataset_->currentRow();
        if (current >= 0 && modelRow(current) < 0)
            start_ = current - rows_ / 2;
        start_ = std::clamp(start_, 0, count - rows_);
    } else {
        start_ = 0;
        rows_ = count;
    }
    endResetModel();
    busy_ = false;
    catchUp();
}

// Views and checkers may ask for rows, or move the dataset, while they handle a change; rows fetched
// then cannot be announced inside that change, so they are announced once it is over.
void LazyRowModel::catchUp()
{
    while (!inBlocks_ && !busy_ && dataset_ && dataset_->isOpen() && dataset_->fetchedCount() > rows_) {
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

void LazyRowModel::onRowUpdated(int datasetRow)
{
    const int row = modelRow(datasetRow);
    if (row >= 0 && !columns_.isEmpty())
        emit dataChanged(index(row, 0), index(row, int(columns_.size()) - 1));
}

void LazyRowModel::moveBlock(int first)
{
    if (!inBlocks_)
        return;
    first = std::clamp(first, 0, std::max(0, listRows() - rows_));
    const int shift = first - start_;
    if (shift == 0)
        return;
    // The rows change places, not number: the views' current and selected cells follow their rows.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        const int row = index.row() - shift;
        after.append(row >= 0 && row < rows_ ? createIndex(row, index.column()) : QModelIndex());
    }
    start_ = first;
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void LazyRowModel::holdRow(int datasetRow, int room)
{
    if (!inBlocks_ || datasetRow < 0)
        return;
    room = std::min(room, rows_ / 2);
    const bool above = datasetRow - start_ >= room || start_ == 0;
    const bool below = start_ + rows_ - 1 - datasetRow >= room || start_ + rows_ >= listRows();
    if (modelRow(datasetRow) < 0 || !above || !below)
        moveBlock(datasetRow - rows_ / 2);
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
    const int row = datasetRow(index.row());
    if (column < 0 || column >= dataset_->columnCount() || row >= dataset_->fetchedCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return dataset_->fieldAt(row, column).asString();
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
    const int row = datasetRow(index.row());
    if (table->fieldAt(row, column).asString() == value.toString())
        return false;
    try {
        table->moveTo(row);
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
