// A table model over a Dataset that asks for rows block by block as a view scrolls, and follows the
// dataset's opening, closing, fetching and row changes. A long list read by window is announced a block
// of rows at a time.
#pragma once

#include "dataset.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>
#include <QString>

// One grid column: the dataset field it shows, its title, and its width in pixels (-1: the view decides).
struct GridColumn {
    QString field;
    QString title;
    int width = -1;
};

class LazyRowModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LazyRowModel(QObject* parent = nullptr);

    void setDataset(Dataset* dataset);
    Dataset* dataset() const { return dataset_; }

    // The columns in grid order; with none set, every visible column of the open dataset, titled by
    // its name.
    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& columns() const { return columns_; }
    // The field name shown in a model column (empty when out of range).
    QString fieldName(int column) const;
    // The dataset column behind a model column; -1 when the dataset has no such field.
    int datasetColumn(int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Cells of an editable Table are written through Table::edit/setValue/post; a failure shows the
    // server's text and keeps the old value.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // A dataset that reads its rows by window and is longer than `rows` is announced `rows` rows at a
    // time, model row 0 standing for dataset row blockStart(): a view keeps an entry per row it is
    // told of (ten million rows cost it seconds and tens of MB), however few rows the window holds.
    // Shorter lists, and datasets that hold the rows they count, are announced whole. 0: always whole.
    void setBlockSize(int rows);
    int blockSize() const { return blockSize_; }
    static constexpr int DefaultBlockSize = 10000;
    bool inBlocks() const { return inBlocks_; }
    int blockStart() const { return start_; }
    // The rows of the whole list (the dataset's count), whether announced whole or by block.
    int listRows() const;
    int datasetRow(int modelRow) const { return start_ + modelRow; }
    // The model row of a dataset row; -1 outside the block.
    int modelRow(int datasetRow) const;
    // Moves the block to begin at dataset row `first` (kept within the list); views keep their current
    // and selected rows where the new block still holds them.
    void moveBlock(int first);
    // Moves the block, where needed, so that it holds `datasetRow` with `room` rows either side (as far
    // as the list goes).
    void holdRow(int datasetRow, int room);

private:
    void reset();
    void resolveColumns();
    void catchUp();
    void onRowUpdated(int datasetRow);
    bool isEditable() const;

    QPointer<Dataset> dataset_;
    QList<GridColumn> configured_;
    QList<GridColumn> columns_;
    QList<int> datasetColumns_;
    int rows_ = 0;        // rows announced to views; the dataset may briefly hold more
    bool busy_ = false;   // inside a reset or an insertion of this model
    int blockSize_ = DefaultBlockSize;
    bool inBlocks_ = false;
    int start_ = 0;   // the dataset row of model row 0
};
