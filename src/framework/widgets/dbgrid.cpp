// The data-aware grid.
#include "dbgrid.h"

#include "dataset.h"
#include "datasource.h"
#include "exportcommands.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>

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
        setBlockView(model_->inBlocks());
        fitPending_ = true;
        applyWidths();
        showDatasetRow();
        syncListBar();
    });
    // A moved block shows the same list rows where it still holds them.
    connect(model_, &QAbstractItemModel::layoutAboutToBeChanged, this, [this] {
        if (blockView_)
            heldTop_ = model_->blockStart() + verticalScrollBar()->value();
    });
    connect(model_, &QAbstractItemModel::layoutChanged, this, [this] {
        if (!blockView_)
            return;
        barSyncing_ = true;
        verticalScrollBar()->setValue(heldTop_ - model_->blockStart());
        barSyncing_ = false;
        markDatasetRow();
        viewport()->update();
        syncListBar();
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &DBGrid::syncListBar);
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

// Puts the cell cursor on the dataset's current row, in the marked column; by block, the block is
// moved to it first.
void DBGrid::showDatasetRow()
{
    if (syncing_)
        return;
    Dataset* data = dataset();
    const int datasetRow = data && data->isOpen() ? data->currentRow() : -1;
    // A block moved to the row marks it on the way without scrolling to it (as for the person's own
    // scrolling): here the row is to be shown, so the view scrolls to it.
    const int blockStart = model_->blockStart();
    model_->holdRow(datasetRow, 0);
    const int row = model_->modelRow(datasetRow);
    if (row < 0 || row >= model_->rowCount() || model_->columnCount() == 0)
        return;
    const int column = std::clamp(marked_, 0, model_->columnCount() - 1);
    syncing_ = true;
    setCurrentIndex(model_->index(row, column));
    syncing_ = false;
    if (model_->blockStart() != blockStart)
        scrollTo(currentIndex());
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (!current.isValid())
        return;
    if (!syncing_)
        marked_ = current.column();
    Dataset* data = dataset();
    const int row = model_->datasetRow(current.row());
    if (syncing_ || !data || !data->isOpen() || row == data->currentRow())
        return;
    syncing_ = true;
    data->moveTo(row);
    syncing_ = false;
}

// Ctrl+Home and Ctrl+End go to the ends of the list, not of the rows fetched so far: the dataset finds
// its last row (whose number an estimated count may only approach) and stands at its edge as its own
// first and last do. By block, every other move starts from the dataset's current row, with the block
// around it (the person may have scrolled it far out of the block).
QModelIndex DBGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    Dataset* data = dataset();
    if (data && data->isOpen() && (action == MoveHome || action == MoveEnd) &&
        (modifiers & Qt::ControlModifier)) {
        if (action == MoveHome)
            data->first();
        else
            data->last();
    }
    if (blockView_ && data && data->isOpen()) {
        model_->holdRow(data->currentRow(), blockRoom());
        if (model_->modelRow(data->currentRow()) != currentIndex().row())
            showDatasetRow();
    }
    return QTableView::moveCursor(action, modifiers);
}

void DBGrid::updateGeometries()
{
    QTableView::updateGeometries();
    syncListBar();
}

// The view's own scroll bar leaves its place to one over the whole list while the model announces a
// block: its range would be the block's.
void DBGrid::setBlockView(bool on)
{
    if (on == blockView_)
        return;
    blockView_ = on;
    if (!listBar_) {
        listBar_ = new QScrollBar(Qt::Vertical, this);
        listBar_->setObjectName(QStringLiteral("listScrollBar"));
        listBar_->setFocusPolicy(verticalScrollBar()->focusPolicy());
        addScrollBarWidget(listBar_, Qt::AlignTop);
        connect(listBar_, &QScrollBar::valueChanged, this, &DBGrid::onListBarMoved);
    }
    if (on) {
        plainPolicy_ = verticalScrollBarPolicy();
        plainMode_ = verticalScrollMode();
        // Rows, not pixels: the two bars then count the same units.
        setVerticalScrollMode(ScrollPerItem);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        verticalScrollBar()->hide();
        listBar_->show();
    } else {
        listBar_->hide();
        verticalScrollBar()->show();
        setVerticalScrollBarPolicy(plainPolicy_);
        setVerticalScrollMode(plainMode_);
    }
}

QScrollBar* DBGrid::listScrollBar() const
{
    return blockView_ ? listBar_ : verticalScrollBar();
}

int DBGrid::datasetRowAt(int y) const
{
    const int row = rowAt(y);
    return row < 0 ? -1 : model_->datasetRow(row);
}

// Rows kept beyond those shown on either side, so that no single move or wheel turn reaches the
// block's edge before the block follows.
int DBGrid::blockRoom() const
{
    return model_->blockSize() / 4 + verticalScrollBar()->pageStep();
}

// The list's bar follows the view's: the block's place in the list plus the view's place in the block.
void DBGrid::syncListBar()
{
    if (!blockView_ || barSyncing_)
        return;
    const QScrollBar* own = verticalScrollBar();
    barSyncing_ = true;
    listBar_->setRange(0, std::max(0, model_->listRows() - own->pageStep()));
    listBar_->setPageStep(own->pageStep());
    listBar_->setSingleStep(own->singleStep());
    listBar_->setValue(model_->blockStart() + own->value());
    barSyncing_ = false;
    // The block follows once the move that scrolled is over: it may still hold an index of the block.
    if (!recenterQueued_) {
        recenterQueued_ = true;
        QMetaObject::invokeMethod(this, &DBGrid::recenterBlock, Qt::QueuedConnection);
    }
}

void DBGrid::recenterBlock()
{
    recenterQueued_ = false;
    if (blockView_)
        model_->holdRow(model_->blockStart() + verticalScrollBar()->value() +
                            verticalScrollBar()->pageStep() / 2,
                        blockRoom());
}

// A place of the list's bar: the block moves there unless it holds it with room, and the view shows it.
void DBGrid::onListBarMoved(int value)
{
    if (!blockView_ || barSyncing_)
        return;
    model_->holdRow(value + verticalScrollBar()->pageStep() / 2, blockRoom());
    barSyncing_ = true;
    verticalScrollBar()->setValue(value - model_->blockStart());
    barSyncing_ = false;
    syncListBar();
}

// A block moved back over the dataset's current row gives it the cell cursor again (a block that
// lost it leaves the grid without one), without scrolling to it: the person scrolls elsewhere.
void DBGrid::markDatasetRow()
{
    Dataset* data = dataset();
    const int row = data && data->isOpen() ? model_->modelRow(data->currentRow()) : -1;
    if (row < 0 || row == currentIndex().row() || model_->columnCount() == 0 || syncing_)
        return;
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    syncing_ = true;
    setCurrentIndex(model_->index(row, std::clamp(marked_, 0, model_->columnCount() - 1)));
    syncing_ = false;
    setAutoScroll(scrolls);
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
