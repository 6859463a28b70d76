// The document register over a list longer than its window: the last line, a place of the scroll bar,
// the top, a refresh in place and a located line far from the window, with the rows held kept small.
#include "documentfixture.h"
#include "dbgrid.h"
#include "windowedquery.h"

#include <QAbstractItemModelTester>
#include <QScrollBar>
#include <algorithm>

class TestRegisterWindow : public DocumentTest {
    Q_OBJECT

    static constexpr int Window = 50;
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
};

QTEST_MAIN(TestRegisterWindow)
#include "tst_registerwindow.moc"
