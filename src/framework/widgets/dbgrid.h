// The data-aware grid: a table view over a data source whose current cell follows the dataset's
// current row both ways, and whose cell cursor marks a column for sorting by a title click. A long list
// announced by block scrolls by a scroll bar over the whole list.
#pragma once

#include "datasource.h"
#include "lazyrowmodel.h"
#include "tableexport.h"

#include <QPointer>
#include <QTableView>

class QScrollBar;

class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return source_; }
    Dataset* dataset() const { return model_->dataset(); }

    // The columns the form shows, in order, with titles and widths; a column without a width fits its
    // title and the first FittedRows rows fetched when the dataset opens, at most MaxFittedWidth pixels.
    void setColumns(const QList<GridColumn>& columns);
    static constexpr int MaxFittedWidth = 300;
    static constexpr int FittedRows = 40;
    LazyRowModel* rowModel() const { return model_; }

    // The column of the current cell (the column the user marked by clicking one of its cells); it is
    // kept when the dataset is re-read. 0 until the user marks another.
    int markedColumn() const { return marked_; }
    void setMarkedColumn(int column);
    QString markedFieldName() const { return model_->fieldName(marked_); }
    QString fieldName(int column) const { return model_->fieldName(column); }
    QString columnTitle(int column) const;

    // A read-only grid never edits, and Tab leaves it; otherwise cells of an editable Table can be
    // edited, and Tab moves from cell to cell.
    void setReadOnly(bool readOnly);

    // Exports the rows with the columns shown, in the order shown, to a file the user names.
    bool exportRows(ExportFormat format);
    bool isReadOnly() const { return readOnly_; }

    // The scroll bar a person moves: over the whole list, also where the model announces a block of it
    // (the view's own bar then scrolls the block, hidden).
    QScrollBar* listScrollBar() const;
    // The dataset row shown at `y` in the viewport; -1 below the last.
    int datasetRowAt(int y) const;

signals:
    // A column title was clicked; the marked column is that of the current cell, not the clicked one.
    void titleClicked(int clickedColumn, int markedColumn);
    void titleFieldClicked(const QString& clickedField, const QString& markedField);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void updateGeometries() override;
    // "Exportálás Excelbe…" and "Exportálás CSV-be…".
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void bindDataset(Dataset* dataset);
    void applyWidths();
    void showDatasetRow();
    void onTitleClicked(int section);
    void setBlockView(bool on);
    void syncListBar();
    void onListBarMoved(int value);
    void recenterBlock();
    void markDatasetRow();
    int blockRoom() const;

    LazyRowModel* model_;
    QPointer<DataSource> source_;
    QMetaObject::Connection rowConnection_;
    int marked_ = 0;
    bool readOnly_ = false;
    bool syncing_ = false;
    bool fitPending_ = true;   // no rows have been fitted since the dataset opened
    // By block: the bar over the list, the list row at the top while the block moves, and the view's
    // own bar's settings to go back to.
    QScrollBar* listBar_ = nullptr;
    bool blockView_ = false;
    bool barSyncing_ = false;
    bool recenterQueued_ = false;
    int heldTop_ = 0;
    Qt::ScrollBarPolicy plainPolicy_ = Qt::ScrollBarAsNeeded;
    ScrollMode plainMode_ = ScrollPerItem;
};
