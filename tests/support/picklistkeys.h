// The person in a master list opened for a pick, with real key and mouse events: typing a prefix,
// moving a row down, tabbing around, and closing the list by one of its ways.
#pragma once

#include "dataset.h"
#include "dbgrid.h"
#include "masterlist.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <functional>

// Types `typed` into the search box (the list then stands on `found`), moves one row down in the grid
// (to `reached`), then Tab and Shift+Tab around the search box, the grid and the buttons; the list must
// stay on `reached` after every key. `current` reads the code of the list's current row.
inline void browsePickList(MasterList& list, const QString& typed, const std::function<QString()>& current,
                           const QString& found, const QString& reached)
{
    QApplication::setActiveWindow(&list);
    QVERIFY(QTest::qWaitForWindowActive(&list));
    list.Edit1->setFocus();
    QTest::keyClicks(list.Edit1, typed);
    QCOMPARE(current(), found);
    QTest::keyClick(list.Edit1, Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), list.DBGrid1);
    QTest::keyClick(list.DBGrid1, Qt::Key_Down);
    QCOMPARE(current(), reached);
    QSet<QWidget*> visited;
    for (bool back : {false, true, true, true, true, false, false, false, true, true}) {
        QWidget* from = QApplication::focusWidget();
        visited << from;
        QTest::keyClick(from, back ? Qt::Key_Backtab : Qt::Key_Tab,
                        back ? Qt::ShiftModifier : Qt::NoModifier);
        QVERIFY2(
            current() == reached,
            qPrintable(QStringLiteral("%1 from %2").arg(back ? "Shift+Tab" : "Tab", from->objectName())));
    }
    QVERIFY(visited.contains(list.Edit1) && visited.contains(list.DBGrid1) && visited.contains(list.Button1));
}

// "Kiválaszt", "Mégsem", "close box", or "double click" on the row above the current one.
inline void closePickList(MasterList& list, const QString& way, Dataset& rows)
{
    if (way == QStringLiteral("Kiválaszt")) {
        QTest::mouseClick(list.Button1, Qt::LeftButton);
    } else if (way == QStringLiteral("Mégsem")) {
        QTest::mouseClick(list.Button5, Qt::LeftButton);
    } else if (way == QLatin1String("close box")) {
        list.close();
    } else {
        // A person's double click: the first click, then the second press that makes it double.
        const QModelIndex above = list.DBGrid1->model()->index(rows.currentRow() - 1, 1);
        const QPoint at = list.DBGrid1->visualRect(above).center();
        QTest::mouseClick(list.DBGrid1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list.DBGrid1->viewport(), Qt::LeftButton, {}, at);
    }
}
