// The document register over a list longer than its window: the last line, a place of the scroll bar,
// the top, a refresh in place and a located line far from the window, with the rows held kept small;
// and the grid announcing such a list a block at a time, moved by every way a person moves.
#include "documentfixture.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "windowedquery.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>

class TestRegisterWindow : public DocumentTest {
    Q_OBJECT

    static constexpr int Window = 50;
    static constexpr int Block = 200;   // rows the grid announces at a time over a long list
    // IDB of every line in the register's order: NULL numbers first, then the number's text, then IDB.
    QStringList order_;

    WindowedQuery& list() { return *static_cast<WindowedQuery*>(Data->ZQ10); }

    QString idAt(int row)
    {
        return list().fieldAt(row, list().columnIndex(QStringLiteral("IDB"))).asString();
    }

    // What the grid shows in its first column from its top row down, `rows` rows, as IDBs.
    QStringList shownIds(DBGrid& grid, int rows)
    {
        QStringList ids;
        const int top = grid.rowAt(0);
        for (int row = top; row < top + rows; ++row)
            ids << idAt(row);
        return ids;
    }

    // By block: the grid's current cell is the dataset's current row (none while the block, scrolled
    // far from it, does not hold it); the list's bar stands at the dataset row the view scrolled to
    // (at the list's end the row above it shows in part), which the grid shows with its neighbours
    // in the list's order.
    void consistent(DBGrid& grid, int rows = 5)
    {
        QCoreApplication::processEvents();
        const LazyRowModel& model = *grid.rowModel();
        QVERIFY(model.inBlocks());
        QCOMPARE(model.rowCount(), model.blockSize());
        QCOMPARE(grid.currentIndex().row(), model.modelRow(list().currentRow()));
        const int top = grid.datasetRowAt(0);
        QCOMPARE(grid.listScrollBar()->value(), model.datasetRow(grid.verticalScrollBar()->value()));
        QVERIFY(std::abs(grid.listScrollBar()->value() - top) <= 1);
        for (int row = 0; row < rows && top + row < order_.size(); ++row)
            QCOMPARE(grid.model()->data(grid.model()->index(row + grid.rowAt(0), 13)).toString(),
                     idAt(top + row));
        bounded();
    }

    bool currentShown(DBGrid& grid)
    {
        return grid.viewport()->rect().contains(grid.visualRect(grid.currentIndex()));
    }

    void bounded()
    {
        QVERIFY(list().isWindowed());
        QVERIFY2(list().heldRows() <= 2 * Window, qPrintable(QString::number(list().heldRows())));
    }

private slots:
    void initTestCase() { initTestLocale(); }

    // 1,000 lines more over the four of the fixture: every number twice and some without a number.
    void init()
    {
        startDocuments();
        QStringList inserts;
        for (int i = 0; i < 1000; ++i)
            inserts << QStringLiteral(
                           "INSERT INTO bizmozg (bbszam, bcikkszam, bbizdatum, bmnem, bmenov, bmecsok) "
                           "VALUES (%1, '100', '2026-01-05', '101', 1, 0)")
                           .arg(i % 300 == 299 ? QStringLiteral("NULL")
                                               : QStringLiteral("'%1'").arg(i % 500 + 1));
        db->exec(inserts);
        struct Line {
            bool numbered;
            QString number;
            int id;
        };
        std::vector<Line> lines;
        for (const QStringList& row : committed(
                 QStringLiteral("SELECT IIF(bbszam IS NULL, 0, 1), COALESCE(bbszam, ''), idb FROM bizmozg")))
            lines.push_back({row[0] == "1", row[1], row[2].toInt()});
        std::sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
            return std::tie(a.numbered, a.number, a.id) < std::tie(b.numbered, b.number, b.id);
        });
        order_.clear();
        for (const Line& line : lines)
            order_ << QString::number(line.id);
        list().setWindowSize(Window);
    }
    void cleanup() { endTest(); }

    // Walking the whole list either way meets every line once, in the register's order, across
    // windows that begin and end amid lines of the same number and amid lines without one.
    void walksTheWholeListBothWays()
    {
        inRegister([&](TForm17&) {
            QCOMPARE(list().fetchedCount(), order_.size());
            QStringList down;
            for (list().first(); !list().eof(); list().next()) {
                down << currentValue(list(), "IDB");
                bounded();
            }
            QCOMPARE(down, order_);
            QStringList up;
            for (list().last(); !list().bof(); list().prior()) {
                up.prepend(currentValue(list(), "IDB"));
                bounded();
            }
            QCOMPARE(up, order_);
        });
    }

    // Ctrl+End reaches the last line of the list, not of the rows read so far; the scroll bar in the
    // middle shows consecutive lines from about the middle; Ctrl+Home goes back to the first.
    void endMiddleAndTop()
    {
        inRegister([&](TForm17& form) {
            DBGrid& grid = *form.DBGrid1;
            QAbstractItemModelTester tester(grid.model(),
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
            form.resize(900, 560);
            QCoreApplication::processEvents();
            QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
            QCOMPARE(list().currentRow(), order_.size() - 1);
            QCOMPARE(currentValue(list(), "IDB"), order_.last());
            QCOMPARE(grid.currentIndex().row(), order_.size() - 1);
            QCOMPARE(grid.model()->data(grid.model()->index(grid.currentIndex().row(), 0)).toString(),
                     currentValue(list(), "BBSZAM"));
            const auto movesEnabled = [&form] {
                QList<bool> enabled;
                for (DBNavigator::Button button : DBNavigator::moveButtons())
                    enabled << form.DBNavigator1->button(button)->isEnabled();
                return enabled;
            };
            QCOMPARE(movesEnabled(), (QList<bool>{true, true, false, false}));
            bounded();

            QScrollBar& bar = *grid.verticalScrollBar();
            bar.setValue(bar.maximum() / 2);
            grid.viewport()->repaint();
            const int top = grid.rowAt(0);
            const QStringList shown = shownIds(grid, 10);
            const int at = int(order_.indexOf(shown.first()));
            QCOMPARE(order_.mid(at, 10), shown);
            QVERIFY2(std::abs(at - top) <= order_.size() / 10,
                     qPrintable(QStringLiteral("%1 %2").arg(at).arg(top)));
            QVERIFY(std::abs(top - order_.size() / 2) <= order_.size() / 10);
            bounded();

            QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
            QCOMPARE(list().currentRow(), 0);
            QCOMPARE(currentValue(list(), "IDB"), order_.first());
            QCOMPARE(shownIds(grid, 3), order_.mid(0, 3));
            QCOMPARE(movesEnabled(), (QList<bool>{false, false, true, true}));
            bounded();
        });
    }

    // A refresh keeps the current line and its number; a located number or key far from the window
    // becomes current with its neighbours in order around it.
    void refreshAndLocate()
    {
        inRegister([&](TForm17& form) {
            QTest::keyClick(form.DBGrid1, Qt::Key_End, Qt::ControlModifier);
            list().moveTo(order_.size() - 30);
            const QString id = currentValue(list(), "IDB");
            list().refresh();
            QCOMPARE(list().currentRow(), order_.size() - 30);
            QCOMPARE(currentValue(list(), "IDB"), id);

            list().first();
            QVERIFY(list().locate(QStringLiteral("BBSZAM"), QStringLiteral("377")));
            const QString located = currentValue(list(), "IDB");
            QCOMPARE(currentValue(list(), "BBSZAM"), QStringLiteral("377"));
            const int at = int(order_.indexOf(located));
            QVERIFY(at > 0 && order_[at - 1] != located);
            QCOMPARE(committed(QStringLiteral("SELECT MIN(idb) FROM bizmozg WHERE bbszam = '377'"))
                         .value(0)
                         .value(0),
                     located);
            const int row = list().currentRow();
            QCOMPARE(idAt(row - 1), order_[at - 1]);
            QCOMPARE(idAt(row + 1), order_[at + 1]);
            QCOMPARE(form.DBGrid1->currentIndex().row(), row);
            bounded();

            const QString key =
                committed(QStringLiteral("SELECT bkod FROM bizmozg WHERE idb = %1").arg(order_[700]))
                    .value(0)
                    .value(0);
            QVERIFY(list().locate(QStringLiteral("BKOD"), key.toLower()));
            QCOMPARE(currentValue(list(), "IDB"), order_[700]);
            QVERIFY(!list().locate(QStringLiteral("BBSZAM"), QStringLiteral("x")));
            QCOMPARE(list().currentRow(), 0);
            bounded();
        });
    }

    // Announced a block at a time, the list is walked by the arrow keys and the page keys across the
    // block's edges, reached at both ends by Ctrl+End and Ctrl+Home, scrolled by the list's bar and by
    // the wheel (which leave the current row where it is, as a whole list does), clicked and located,
    // with the dataset's current row, the grid's current cell and the bar's place agreeing throughout.
    void blockFollowsEveryMove()
    {
        inRegister([&](TForm17& form) {
            DBGrid& grid = *form.DBGrid1;
            grid.rowModel()->setBlockSize(Block);
            form.resize(900, 560);
            QCoreApplication::processEvents();
            QScrollBar& bar = *grid.listScrollBar();
            QVERIFY(&bar != grid.verticalScrollBar());
            QVERIFY(bar.isVisible() && !grid.verticalScrollBar()->isVisible());
            QCOMPARE(list().currentRow(), 0);
            consistent(grid);
            const int widths = grid.columnWidth(8);

            // Rows reached through the window's sample are numbered by its estimate (the model tester reads
            // every row of the block): each key goes on to the next line of the list, whatever its number.
            for (int row = 1; row <= 3 * Block / 2; ++row) {
                const int next = int(order_.indexOf(currentValue(list(), "IDB"))) + 1;
                QTest::keyClick(&grid, Qt::Key_Down);
                QCOMPARE(list().currentRow(), row);
                QCOMPARE(currentValue(list(), "IDB"), order_[next]);
                QVERIFY(currentShown(grid));
            }
            consistent(grid);
            QVERIFY(grid.rowModel()->blockStart() > 0);
            for (int i = 0; i < 12; ++i)
                QTest::keyClick(&grid, Qt::Key_PageDown);
            consistent(grid);
            QVERIFY(currentShown(grid));
            const int paged = list().currentRow();
            QVERIFY(paged > 3 * Block / 2 + 12 * 5);
            for (int i = 0; i < 12; ++i)
                QTest::keyClick(&grid, Qt::Key_PageUp);
            consistent(grid);
            QVERIFY(list().currentRow() < paged);

            QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
            QCOMPARE(list().currentRow(), order_.size() - 1);
            QCOMPARE(currentValue(list(), "IDB"), order_.last());
            consistent(grid, 1);
            QCOMPARE(bar.value(), bar.maximum());
            QVERIFY(currentShown(grid));
            QTest::keyClick(&grid, Qt::Key_Up);
            QCOMPARE(list().currentRow(), order_.size() - 2);
            QCOMPARE(currentValue(list(), "IDB"), order_[order_.size() - 2]);
            consistent(grid, 2);

            // A place of the bar far from the window becomes the window's and the current row (the
            // dataset's way, by block as over the whole list); the next key goes on from the current row.
            bar.setValue(bar.maximum() / 2);
            consistent(grid, 10);
            QVERIFY(std::abs(grid.datasetRowAt(0) - order_.size() / 2) <= order_.size() / 10);
            bar.triggerAction(QAbstractSlider::SliderPageStepSub);
            consistent(grid);
            bar.setValue(3);
            consistent(grid);
            const int before = list().currentRow();
            QTest::keyClick(&grid, Qt::Key_Up);
            QCOMPARE(list().currentRow(), before - 1);
            consistent(grid);
            QVERIFY(currentShown(grid));

            QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
            QCOMPARE(list().currentRow(), 0);
            QCOMPARE(currentValue(list(), "IDB"), order_.first());
            consistent(grid);
            QCOMPARE(bar.value(), 0);

            // The wheel over the rows scrolls on across the block's edges, leaving the current row
            // where it is; scrolled back, the block gives the current row its cell again.
            const QPoint middle = grid.viewport()->rect().center();
            const auto turn = [&](int times, int delta) {
                for (int i = 0; i < times; ++i) {
                    QWheelEvent wheel(middle, grid.viewport()->mapToGlobal(middle), {}, {0, delta},
                                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                    QCoreApplication::sendEvent(grid.viewport(), &wheel);
                    QCoreApplication::processEvents();
                }
            };
            turn(Block, -120);
            consistent(grid, 10);
            QVERIFY(grid.datasetRowAt(0) > Block);
            QCOMPARE(list().currentRow(), 0);
            QVERIFY(!grid.currentIndex().isValid());
            turn(Block, 120);
            consistent(grid);
            QCOMPARE(bar.value(), 0);
            QCOMPARE(grid.currentIndex().row(), 0);
            turn(Block / 2, -120);
            consistent(grid, 10);
            // A key goes on from the current row, wherever the wheel left the rows shown.
            const int wheeled = list().currentRow();
            QTest::keyClick(&grid, Qt::Key_Down);
            QCOMPARE(list().currentRow(), wheeled + 1);
            consistent(grid);
            QVERIFY(currentShown(grid));

            // A click makes the row under the pointer current.
            const int clicked = grid.datasetRowAt(40);
            const QString clickedId = idAt(clicked);
            QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(20, 40));
            QCOMPARE(list().currentRow(), clicked);
            QCOMPARE(currentValue(list(), "IDB"), clickedId);
            consistent(grid);

            // A located line far from the block is brought into it, current and shown.
            QVERIFY(list().locate(QStringLiteral("BBSZAM"), QStringLiteral("377")));
            QCOMPARE(currentValue(list(), "BBSZAM"), QStringLiteral("377"));
            consistent(grid);
            QVERIFY(currentShown(grid));
            list().first();
            consistent(grid);
            QVERIFY(currentShown(grid));
            QCOMPARE(grid.columnWidth(8), widths);
        });
    }

    // By block, a saved change of a line far down the list is shown in place: the list is not read
    // again, the line keeps its row and the grid's cell; the export writes every line of the list, not
    // the block.
    void blockKeepsChangeAndExportsWholeList()
    {
        QTemporaryDir folder;
        inRegister([&](TForm17& form) {
            DBGrid& grid = *form.DBGrid1;
            // A block shorter than the lines before the changed one.
            grid.rowModel()->setBlockSize(40);
            form.resize(900, 560);
            QCoreApplication::processEvents();
            // A line of the fixture's, which the line form saves as it is, from far down the list.
            QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
            QVERIFY(list().locate(QStringLiteral("BBSZAM"), QStringLiteral("12")));
            QCOMPARE(currentValue(list(), "BBSZAM"), QStringLiteral("12"));
            consistent(grid);
            const int row = list().currentRow();
            const int start = grid.rowModel()->blockStart();
            QVERIFY(start > 0);
            const QString id = currentValue(list(), "IDB");
            QSignalSpy closed(&list(), &Dataset::closed);
            QSignalSpy changed(grid.model(), &QAbstractItemModel::dataChanged);
            inLineForm(form, true, [&](TForm18& line) {
                leave(line.Edit2);
                line.Edit7->setText(QStringLiteral("javítva"));
                line.Button3->click();
            });
            QCOMPARE(closed.count(), 0);
            QCOMPARE(list().currentRow(), row);
            QCOMPARE(currentValue(list(), "IDB"), id);
            QCOMPARE(currentValue(list(), "BMEGJEGY"), QStringLiteral("javítva"));
            QCOMPARE(grid.rowModel()->blockStart(), start);
            QVERIFY(!changed.isEmpty());
            QCOMPARE(changed.last().at(0).toModelIndex().row(), row - start);
            consistent(grid);

            const QString path = folder.filePath(QStringLiteral("lista"));
            platform->fileAnswers.push_back(path);
            QVERIFY(grid.exportRows(ExportFormat::Csv));
            QFile file(path + QStringLiteral(".csv"));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
            while (!lines.isEmpty() && lines.last().isEmpty())
                lines.removeLast();
            QCOMPARE(lines.value(2).split(QLatin1Char(';')).value(13), QStringLiteral("ID"));
            QStringList ids;
            for (const QString& line : lines.mid(3))
                ids << line.split(QLatin1Char(';')).value(13);
            QCOMPARE(ids, order_);
        });
        QCOMPARE(platform->messageTexts(), QStringList());
    }

    // A list no longer than the block, and a re-sort by a marked column (a list read whole), are
    // announced whole, with the view's own scroll bar; going back to number order blocks again.
    void shortAndSortedListsAreWhole()
    {
        inRegister([&](TForm17& form) {
            DBGrid& grid = *form.DBGrid1;
            QVERIFY(!grid.rowModel()->inBlocks());
            QCOMPARE(grid.model()->rowCount(), order_.size());
            QCOMPARE(grid.listScrollBar(), grid.verticalScrollBar());
            grid.rowModel()->setBlockSize(Block);
            QVERIFY(grid.rowModel()->inBlocks());
            grid.setMarkedColumn(3);
            emit grid.horizontalHeader()->sectionClicked(8);
            QCoreApplication::processEvents();
            QVERIFY(!grid.rowModel()->inBlocks());
            QCOMPARE(grid.listScrollBar(), grid.verticalScrollBar());
            QCOMPARE(grid.model()->rowCount(), list().fetchedCount());
            RegisterList(list()).readWithItemAndPartner();
            QCoreApplication::processEvents();
            QVERIFY(grid.rowModel()->inBlocks());
            consistent(grid);

            // The block's moves keep the model sound for any view (the tester reads every row of the
            // block, which moves the window and its current row: only agreement is checked here).
            QAbstractItemModelTester tester(grid.model(),
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
            QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
            consistent(grid, 1);
            grid.listScrollBar()->setValue(grid.listScrollBar()->maximum() / 2);
            consistent(grid);
            QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
            consistent(grid);
        });
    }
};

QTEST_MAIN(TestRegisterWindow)
#include "tst_registerwindow.moc"
