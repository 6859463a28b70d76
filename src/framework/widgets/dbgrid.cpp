// The data-aware grid.
#include "dbgrid.h"

#include "dataset.h"
#include "datasource.h"
#include "exportcommands.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), model_(new LazyRowModel(this))
{
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    verticalHeader()->hide();
    // Fixed row heights: sizing rows to their contents would read every row.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // Fitting a column reads its cells: the first screens' worth, not Qt's thousand rows per column.
    horizontalHeader()->setResizeContentsPrecision(FittedRows);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &DBGrid::onTitleClicked);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        fitPending_ = true;
        applyWidths();
        showDatasetRow();
    });
    // A row the dataset moved to while the model was busy arrives afterwards; so do the first rows,
    // which the columns fit once.
    connect(model_, &QAbstractItemModel::rowsInserted, this, [this] {
        if (fitPending_)
            applyWidths();
        showDatasetRow();
    });
}

void DBGrid::setDataSource(DataSource* source)
{
    source_ = source;
    bindDataset(source ? source->dataset() : nullptr);
}

void DBGrid::bindDataset(Dataset* dataset)
{
    disconnect(rowConnection_);
    model_->setDataset(dataset);
    if (dataset)
        rowConnection_ = connect(dataset, &Dataset::currentRowChanged, this, &DBGrid::showDatasetRow);
    showDatasetRow();
}

void DBGrid::setColumns(const QList<GridColumn>& columns)
{
    model_->setColumns(columns);
}

// A column without a width of its own fits its title and the first rows fetched (at most FittedRows),
// up to a limit so that one long text does not push the others out of sight. It is fitted once per
// opening, so that the columns do not jump while the user scrolls.
void DBGrid::applyWidths()
{
    if (model_->rowCount() > 0)
        fitPending_ = false;
    const QList<GridColumn>& columns = model_->columns();
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].width >= 0) {
            setColumnWidth(i, columns[i].width);
        } else {
            resizeColumnToContents(i);
            setColumnWidth(i, qMin(columnWidth(i), MaxFittedWidth));
        }
    }
}

QString DBGrid::columnTitle(int column) const
{
    return model_->headerData(column, Qt::Horizontal).toString();
}

void DBGrid::setMarkedColumn(int column)
{
    marked_ = column;
    showDatasetRow();
}

void DBGrid::setReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    // Tab going cell by cell wraps to the next or previous row and so moves the dataset: in a grid
    // with nothing to edit, Tab and Shift+Tab move the focus on to the form's other controls.
    setTabKeyNavigation(!readOnly);
    setEditTriggers(readOnly ? QAbstractItemView::NoEditTriggers
                             : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed);
}

// Puts the cell cursor on the dataset's current row, in the marked column.
void DBGrid::showDatasetRow()
{
    if (syncing_)
        return;
    Dataset* data = dataset();
    const int row = data && data->isOpen() ? data->currentRow() : -1;
    if (row < 0 || row >= model_->rowCount() || model_->columnCount() == 0)
        return;
    const int column = std::clamp(marked_, 0, model_->columnCount() - 1);
    syncing_ = true;
    setCurrentIndex(model_->index(row, column));
    syncing_ = false;
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (!current.isValid())
        return;
    if (!syncing_)
        marked_ = current.column();
    Dataset* data = dataset();
    if (syncing_ || !data || !data->isOpen() || current.row() == data->currentRow())
        return;
    syncing_ = true;
    data->moveTo(current.row());
    syncing_ = false;
}

void DBGrid::onTitleClicked(int section)
{
    const int marked = marked_;
    emit titleClicked(section, marked);
    emit titleFieldClicked(model_->fieldName(section), model_->fieldName(marked));
}

void DBGrid::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    ExportCommands::addMenuActions(menu, [this](ExportFormat format) { exportRows(format); });
    menu.exec(event->globalPos());
}

bool DBGrid::exportRows(ExportFormat format)
{
    QList<ExportField> fields;
    for (int visual = 0; visual < horizontalHeader()->count(); ++visual) {
        const int column = horizontalHeader()->logicalIndex(visual);
        if (!isColumnHidden(column))
            fields.append({model_->fieldName(column), columnTitle(column)});
    }
    return ExportCommands::exportDataset(this, format, dataset(), fields, window()->windowTitle());
}
