// The data-aware controls over a real embedded database: the lazy model (checked by Qt's model
// tester), the grid's row and column cursor, the navigator, bound labels, the lookup combo, the date
// boxes, and the key rules of the forms.
#include "buddies.h"
#include "connection.h"
#include "datebox.h"
#include "dbgrid.h"
#include "dblookupcombobox.h"
#include "dbnavigator.h"
#include "dbtext.h"
#include "formats.h"
#include "keyfilters.h"
#include "query.h"
#include "scriptedplatform.h"
#include "table.h"
#include "testdatabase.h"
#include "testsupport.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QCalendarWidget>
#include <QClipboard>
#include <QMimeData>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QStringList warehouses = {
    QStringLiteral("INSERT INTO raktar (rkod, rnev, rtelep) VALUES ('1', 'Alma', 'Pécs')"),
    QStringLiteral("INSERT INTO raktar (rkod, rnev, rtelep) VALUES ('2', 'Árpa', NULL)"),
    QStringLiteral("INSERT INTO raktar (rkod, rnev, rtelep) VALUES ('3', 'Barack', 'Győr')"),
    QStringLiteral("INSERT INTO raktar (rkod, rnev, rtelep) VALUES ('4', 'Zab', 'Eger')"),
};
}

// Types text key by key; characters QTest cannot name as keys come as key events with their text.
void typeText(QWidget* box, const QString& text)
{
    for (QChar character : text) {
        if (character.unicode() < 0x80) {
            QTest::keyClick(box, char(character.unicode()));
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(box, &press);
        QApplication::sendEvent(box, &release);
    }
}

// The filter of `kind` through the public call a form makes.
void installFilter(QLineEdit& box, CharacterFilter::Kind kind)
{
    switch (kind) {
    case CharacterFilter::Number: installNumberFilter(&box); break;
    case CharacterFilter::Date: installDateFilter(&box); break;
    case CharacterFilter::Digits: installDigitsFilter(&box); break;
    }
}

class TestWidgets : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<Connection> conn;
    ScriptedPlatform* platform = nullptr;

    std::unique_ptr<Query> query(const QString& sql)
    {
        auto q = std::make_unique<Query>(conn->transaction());
        q->setSql(sql);
        return q;
    }

    // `rows` generated rows: ID 1.., NAME "sor <ID>", AMOUNT ID/2, NAP 2013.01.01 + ID days.
    std::unique_ptr<Query> generatedRows(int rows)
    {
        return query(
            QStringLiteral("SELECT ROW_NUMBER() OVER () AS ID, 'sor ' || ROW_NUMBER() OVER () AS NAME, "
                           "CAST(ROW_NUMBER() OVER () AS NUMERIC(18,4)) / 2 AS AMOUNT, "
                           "DATEADD(ROW_NUMBER() OVER () DAY TO DATE '2013-01-01') AS NAP "
                           "FROM (SELECT FIRST %1 1 AS one FROM rdb$types a, rdb$types b, rdb$types c)")
                .arg(rows));
    }

    std::unique_ptr<Table> warehouseTable()
    {
        db->exec(warehouses);
        auto table = std::make_unique<Table>(conn->transaction());
        table->setTableName(QStringLiteral("RAKTAR"));
        table->open();
        return table;
    }

private slots:
    void initTestCase() { initTestLocale(); }

    void init()
    {
        platform = &ScriptedPlatform::install();
        db = std::make_unique<TestDatabase>();
        conn = db->connect();
    }

    void cleanup()
    {
        verifyScriptUsed(*platform);
        conn.reset();
        db.reset();
    }

    void modelPassesQtsModelTester()
    {
        auto table = warehouseTable();
        auto rows = generatedRows(450);
        LazyRowModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setDataset(rows.get());
        rows->open();
        QCOMPARE(model.rowCount(), rows->fetchedCount());
        while (model.canFetchMore({}))
            model.fetchMore({});
        QCOMPARE(model.rowCount(), 450);
        rows->close();
        QCOMPARE(model.rowCount(), 0);
        rows->open();
        QVERIFY(rows->moveTo(300));
        QCOMPARE(model.rowCount(), 400);

        model.setDataset(table.get());
        QCOMPARE(model.rowCount(), 4);
        table->moveTo(1);
        table->edit();
        table->setValue(table->columnIndex(QStringLiteral("RTELEP")), QStringLiteral("Baja"));
        table->post();
        table->insert();
        table->setValue(table->columnIndex(QStringLiteral("RKOD")), QStringLiteral("5"));
        table->post();
        QCOMPARE(model.rowCount(), 5);
        table->deleteRow();
        QCOMPARE(model.rowCount(), 4);
        model.setColumns({{QStringLiteral("RNEV"), QStringLiteral("Név"), 300}});
        QCOMPARE(model.columnCount(), 1);
    }

    void modelShowsFieldsAsText_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("rightAligned");
        QTest::newRow("integer") << "ID"
                                 << "3" << true;
        QTest::newRow("text") << "NAME"
                              << "sor 3" << false;
        QTest::newRow("decimal") << "AMOUNT"
                                 << "1,5" << true;
        QTest::newRow("date") << "NAP"
                              << "2013.01.04" << false;
        QTest::newRow("unknown field") << "NINCS"
                                       << "" << false;
    }

    void modelShowsFieldsAsText()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, rightAligned);
        auto rows = generatedRows(5);
        LazyRowModel model;
        model.setDataset(rows.get());
        model.setColumns({{field, QStringLiteral("Cím"), -1}});
        rows->open();
        const QModelIndex cell = model.index(2, 0);
        QCOMPARE(model.data(cell).toString(), text);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Cím"));
        if (!text.isEmpty())
            QCOMPARE(bool(model.data(cell, Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight),
                     rightAligned);
    }

    void modelWithoutColumnsShowsTheVisibleFields()
    {
        db->exec(warehouses);
        auto rows = query(QStringLiteral("SELECT rkod, rnev, rtelep FROM raktar ORDER BY rkod"));
        LazyRowModel model;
        model.setDataset(rows.get());
        rows->open();
        QCOMPARE(model.columnCount(), 3);
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("RNEV"));
        QCOMPARE(model.data(model.index(1, 1)).toString(), QStringLiteral("Árpa"));
        QCOMPARE(model.data(model.index(1, 2)).toString(), QString());
    }

    void largeTableOpensWithoutFetchingEveryRow()
    {
        db->exec(
            {QStringLiteral("CREATE TABLE sorok (id INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, "
                            "nev VARCHAR(20))")});
        db->exec({QStringLiteral("INSERT INTO sorok (nev) SELECT FIRST 100000 'sor' "
                                 "FROM rdb$types a, rdb$types b, rdb$types c")});
        Table table(conn->transaction());
        table.setTableName(QStringLiteral("SOROK"));
        DataSource source(&table);
        DBGrid grid;
        grid.setDataSource(&source);
        grid.resize(600, 400);
        grid.show();
        table.open();
        QCoreApplication::processEvents();
        QVERIFY(!table.allFetched());
        QVERIFY(table.fetchedCount() < 100000);
        QCOMPARE(grid.model()->rowCount(), table.fetchedCount());

        grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
        QCoreApplication::processEvents();
        QVERIFY(table.fetchedCount() > Dataset::BlockSize);
        QVERIFY(!table.allFetched());

        table.last();
        QCOMPARE(grid.model()->rowCount(), 100000);
        QCOMPARE(grid.currentIndex().row(), 99999);
    }

    void gridFollowsTheCurrentRowBothWays()
    {
        auto rows = generatedRows(50);
        DataSource source(rows.get());
        DBGrid grid;
        grid.setDataSource(&source);
        grid.setColumns({{QStringLiteral("ID"), QStringLiteral("ID"), 60},
                         {QStringLiteral("NAME"), QStringLiteral("Név"), 150},
                         {QStringLiteral("AMOUNT"), QStringLiteral("Összeg"), 90}});
        grid.resize(500, 400);
        grid.show();
        rows->open();
        QCOMPARE(grid.columnWidth(1), 150);
        QCOMPARE(grid.currentIndex(), grid.model()->index(0, 0));

        rows->moveTo(5);
        QCOMPARE(grid.currentIndex().row(), 5);

        const QModelIndex cell = grid.model()->index(3, 2);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(cell).center());
        QCOMPARE(rows->currentRow(), 3);
        QCOMPARE(grid.markedColumn(), 2);
        QCOMPARE(grid.markedFieldName(), QStringLiteral("AMOUNT"));

        rows->next();
        QCOMPARE(grid.currentIndex(), grid.model()->index(4, 2));
    }

    void gridColumnsFitTheirContents()
    {
        const QString longName =
            QStringLiteral("Dél-dunántúli Mezőgazdasági Termelő és Értékesítő Szövetkezet");
        db->exec({QStringLiteral("INSERT INTO partner (pkod, pnev, pirszam) VALUES ('1', 'Kis Bt.', '7600')"),
                  QStringLiteral("INSERT INTO partner (pkod, pnev, pirszam) VALUES ('2', 'Nagy és Társa "
                                 "Kereskedelmi Kft.', '7621')"),
                  QStringLiteral("INSERT INTO partner (pkod, pnev, pirszam) VALUES ('3', '%1', '1')")
                      .arg(longName)});
        auto partners = query(QStringLiteral("SELECT * FROM partner ORDER BY pkod"));
        DataSource source(partners.get());
        DBGrid grid;
        grid.resize(900, 300);
        grid.setColumns({{"PKOD", "Kód", 40}, {"PNEV", "Név"}, {"PIRSZAM", "Irányítószám"}});
        grid.setDataSource(&source);
        grid.show();
        partners->open();
        const QFontMetrics metrics(grid.font());
        QCOMPARE(grid.columnWidth(0), 40);
        // The name is cut only where it is longer than the limit; the second name fits whole.
        QCOMPARE(grid.columnWidth(1), DBGrid::MaxFittedWidth);
        QVERIFY(metrics.horizontalAdvance(longName) > DBGrid::MaxFittedWidth);
        QVERIFY(metrics.horizontalAdvance(QStringLiteral("Nagy és Társa Kereskedelmi Kft.")) <
                grid.columnWidth(1));
        // A short column is as wide as its title.
        QVERIFY(grid.columnWidth(2) >= metrics.horizontalAdvance(QStringLiteral("Irányítószám")));
        QVERIFY(grid.columnWidth(2) < DBGrid::MaxFittedWidth);
    }

    void titleClickTellsTheMarkedColumn()
    {
        auto rows = generatedRows(20);
        DataSource source(rows.get());
        DBGrid grid;
        grid.setDataSource(&source);
        grid.setColumns({{QStringLiteral("ID"), QStringLiteral("ID"), 60},
                         {QStringLiteral("NAME"), QStringLiteral("Név"), 150},
                         {QStringLiteral("AMOUNT"), QStringLiteral("Összeg"), 90}});
        grid.resize(500, 400);
        grid.show();
        rows->open();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                          grid.visualRect(grid.model()->index(4, 2)).center());

        QSignalSpy clicks(&grid, &DBGrid::titleClicked);
        QSignalSpy fieldClicks(&grid, &DBGrid::titleFieldClicked);
        // The form re-reads its list in another order on a title click.
        connect(&grid, &DBGrid::titleClicked, rows.get(), [&] {
            rows->close();
            rows->open();
        });
        QHeaderView* header = grid.horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks[0][0].toInt(), 0);
        QCOMPARE(clicks[0][1].toInt(), 2);
        QCOMPARE(fieldClicks[0][0].toString(), QStringLiteral("ID"));
        QCOMPARE(fieldClicks[0][1].toString(), QStringLiteral("AMOUNT"));
        QCOMPARE(grid.markedColumn(), 2);
        QCOMPARE(grid.currentIndex(), grid.model()->index(0, 2));
    }

    void gridEditsAnUnlockedTable_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("messages");
        QTest::newRow("saved") << false << "Vác"
                               << "Vác" << 0;
        QTest::newRow("read-only table") << true << "Vác"
                                         << "Pécs" << 0;
        QTest::newRow("too long for the column") << false << QString(80, QLatin1Char('x')) << "Pécs" << 1;
    }

    void gridEditsAnUnlockedTable()
    {
        QFETCH(bool, readOnly);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(int, messages);
        auto table = warehouseTable();
        table->close();
        table->setReadOnly(readOnly);
        table->open();
        DataSource source(table.get());
        DBGrid grid;
        grid.setDataSource(&source);
        grid.setColumns({{QStringLiteral("RKOD"), QStringLiteral("Kód"), -1},
                         {QStringLiteral("RTELEP"), QStringLiteral("Telephely"), -1}});
        const QModelIndex cell = grid.model()->index(0, 1);
        QCOMPARE(bool(grid.model()->flags(cell) & Qt::ItemIsEditable), !readOnly);
        grid.model()->setData(cell, typed);
        QCOMPARE(int(platform->messages.size()), messages);
        QCOMPARE(grid.model()->data(cell).toString(), stored);
        auto check = query(QStringLiteral("SELECT rtelep FROM raktar WHERE rkod = '1'"));
        check->open();
        QCOMPARE(check->fieldByName(QStringLiteral("RTELEP")).asString(), stored);
    }

    void navigatorMovesAndShowsItsButtons()
    {
        auto rows = generatedRows(3);
        DataSource source(rows.get());
        DBNavigator navigator;
        navigator.setDataSource(&source);
        navigator.setVisibleButtons(DBNavigator::moveButtons());
        navigator.show();
        QVERIFY(navigator.button(DBNavigator::Last)->isVisible());
        QVERIFY(!navigator.button(DBNavigator::Insert)->isVisible());
        QCOMPARE(navigator.button(DBNavigator::Next)->objectName(), QStringLiteral("Next"));
        QVERIFY(!navigator.button(DBNavigator::Next)->isEnabled());

        rows->open();
        QVERIFY(!navigator.button(DBNavigator::First)->isEnabled());
        QVERIFY(navigator.button(DBNavigator::Next)->isEnabled());
        navigator.button(DBNavigator::Next)->click();
        QCOMPARE(rows->currentRow(), 1);
        QVERIFY(navigator.button(DBNavigator::Prior)->isEnabled());
        navigator.button(DBNavigator::Last)->click();
        QCOMPARE(rows->currentRow(), 2);
        QVERIFY(!navigator.button(DBNavigator::Next)->isEnabled());
        navigator.button(DBNavigator::First)->click();
        QCOMPARE(rows->currentRow(), 0);
        QVERIFY(!navigator.button(DBNavigator::Insert)->isEnabled());
    }

    void navigatorDeletesOnlyWhenConfirmed_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("remaining");
        QTest::newRow("yes") << true << 3;
        QTest::newRow("no") << false << 4;
    }

    void navigatorDeletesOnlyWhenConfirmed()
    {
        QFETCH(bool, answer);
        QFETCH(int, remaining);
        auto table = warehouseTable();
        DataSource source(table.get());
        DBNavigator navigator;
        navigator.setDataSource(&source);
        platform->questionAnswers = {answer};
        navigator.press(DBNavigator::Delete);
        QCOMPARE(platform->messageTexts(), QStringList{QStringLiteral("Törli a sort?")});
        QCOMPARE(table->recordCount(), remaining);
    }

    void navigatorInsertsAndPosts()
    {
        auto table = warehouseTable();
        DataSource source(table.get());
        DBNavigator navigator;
        navigator.setDataSource(&source);
        QVERIFY(!navigator.button(DBNavigator::Post)->isEnabled());
        navigator.press(DBNavigator::Insert);
        QVERIFY(navigator.button(DBNavigator::Post)->isEnabled());
        QVERIFY(!navigator.button(DBNavigator::Insert)->isEnabled());
        table->setValue(table->columnIndex(QStringLiteral("RNEV")), QStringLiteral("Új raktár"));
        navigator.press(DBNavigator::Post);
        QVERIFY(navigator.button(DBNavigator::Insert)->isEnabled());
        QCOMPARE(table->recordCount(), 5);
        QCOMPARE(table->fieldByName(QStringLiteral("RNEV")).asString(), QStringLiteral("Új raktár"));
        QVERIFY(platform->messages.empty());
    }

    void boundLabelFollowsTheCurrentRow()
    {
        auto table = warehouseTable();
        DataSource source(table.get());
        DBText name(&source, QStringLiteral("rnev"));
        DBText missing(&source, QStringLiteral("NINCS"));
        QCOMPARE(name.text(), QStringLiteral("Alma"));
        table->moveTo(1);
        QCOMPARE(name.text(), QStringLiteral("Árpa"));
        table->edit();
        table->setValue(table->columnIndex(QStringLiteral("RNEV")), QStringLiteral("Rozs"));
        table->post();
        QCOMPARE(name.text(), QStringLiteral("Rozs"));
        QCOMPARE(missing.text(), QString());
        table->close();
        QCOMPARE(name.text(), QString());
    }

    void lookupComboListsEveryRowAndMovesTheDataset()
    {
        auto rows = generatedRows(250);
        DataSource source(rows.get());
        DBLookupComboBox combo;
        combo.setListSource(&source);
        combo.setListField(QStringLiteral("NAME"));
        rows->open();
        QCOMPARE(combo.count(), 250);
        QCOMPARE(combo.currentText(), QStringLiteral("sor 1"));
        rows->last();
        QCOMPARE(combo.currentIndex(), 249);

        combo.show();
        combo.setFocus();
        QTest::keyClick(&combo, Qt::Key_Up);
        QCOMPARE(rows->currentRow(), 248);

        QSignalSpy closedSpy(&combo, &DBLookupComboBox::dropDownClosed);
        combo.showPopup();
        combo.hidePopup();
        QTRY_COMPARE(closedSpy.size(), 1);

        rows->close();
        QCOMPARE(combo.count(), 0);
    }

    void lookupComboTellsWhenTheFocusLeaves()
    {
        QWidget form;
        auto* layout = new QVBoxLayout(&form);
        auto* combo = new DBLookupComboBox(&form);
        auto* other = new QLineEdit(&form);
        layout->addWidget(combo);
        layout->addWidget(other);
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        combo->setFocus();
        QSignalSpy lost(combo, &DBLookupComboBox::focusLost);
        other->setFocus();
        QCOMPARE(lost.size(), 1);
    }

    void boxesTakeOnlyTheirCharacters_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("number") << int(CharacterFilter::Number) << "12,5a-.7 "
                                << "12,57";
        QTest::newRow("date") << int(CharacterFilter::Date) << "2013.05.01x,/-"
                              << "2013.05.01";
        QTest::newRow("digits") << int(CharacterFilter::Digits) << "12a3.4,5é"
                                << "12345";
        QTest::newRow("no other digits") << int(CharacterFilter::Digits) << "1٣²"
                                         << "1";
    }

    void boxesTakeOnlyTheirCharacters()
    {
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QLineEdit box;
        installFilter(box, CharacterFilter::Kind(kind));
        typeText(&box, typed);
        QCOMPARE(box.text(), expected);
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.text(), expected.chopped(1));
        QTest::keyClick(&box, Qt::Key_Home);
        QTest::keyClick(&box, Qt::Key_Delete);
        QCOMPARE(box.text(), expected.chopped(1).mid(1));
    }

    // Every way a text can reach a filtered box besides the keys; the box either takes the whole text
    // or keeps what it had.
    void boxesRefuseCharactersByEveryWayIn_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("taken");
        const QList<std::tuple<CharacterFilter::Kind, const char*, QString, QString>> kinds = {
            {CharacterFilter::Number, "number", QStringLiteral("2,5"), QStringLiteral("2,5kg")},
            {CharacterFilter::Date, "date", QStringLiteral(".05.01"), QStringLiteral(".05-01")},
            {CharacterFilter::Digits, "digits", QStringLiteral("234"), QStringLiteral("234AB99")},
        };
        for (const char* way : {"paste", "middle-click", "drop", "input method", "accessibility"}) {
            for (const auto& [kind, name, good, bad] : kinds) {
                QTest::addRow("%s %s taken", way, name)
                    << int(kind) << QString::fromLatin1(way) << good << true;
                QTest::addRow("%s %s refused", way, name)
                    << int(kind) << QString::fromLatin1(way) << bad << false;
            }
        }
    }

    void boxesRefuseCharactersByEveryWayIn()
    {
        QFETCH(int, kind);
        QFETCH(QString, way);
        QFETCH(QString, text);
        QFETCH(bool, taken);
        QLineEdit box;
        installFilter(box, CharacterFilter::Kind(kind));
        box.setText(QStringLiteral("1"));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (way == QLatin1String("paste")) {
            clipboard->setText(text);
            QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        } else if (way == QLatin1String("middle-click")) {
            // The click hands the selection to QLineEdit::insert(); without a selection (offscreen)
            // the same call is made directly.
            if (clipboard->supportsSelection()) {
                clipboard->setText(text, QClipboard::Selection);
                QTest::mouseClick(&box, Qt::MiddleButton, {}, box.rect().center());
            } else {
                box.insert(text);
            }
        } else if (way == QLatin1String("drop")) {
            QMimeData mime;
            mime.setText(text);
            const QPointF end(box.width() - 2, box.height() / 2);
            QDragEnterEvent enter(end.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&box, &enter);
            QDropEvent drop(end, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&box, &drop);
        } else if (way == QLatin1String("input method")) {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QApplication::sendEvent(&box, &commit);
        } else {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&box);
            QVERIFY(accessible);
            accessible->setText(QAccessible::Value, QStringLiteral("1") + text);
        }
        QCOMPARE(box.text(), taken ? QStringLiteral("1") + text : QStringLiteral("1"));
    }

    void enterMovesTheFocusInTheForm()
    {
        QDialog form;
        auto* layout = new QVBoxLayout(&form);
        auto* first = new QLineEdit(&form);
        auto* number = new QLineEdit(&form);
        auto* ok = new QPushButton(QStringLiteral("OK"), &form);
        auto* last = new QLineEdit(&form);
        for (QWidget* widget : {static_cast<QWidget*>(first), static_cast<QWidget*>(number),
                                static_cast<QWidget*>(ok), static_cast<QWidget*>(last)})
            layout->addWidget(widget);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, &form, &QDialog::accept);
        installNumberFilter(number);
        installEnterFocusMovement(&form);
        QLineEdit outside;

        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        first->setFocus();
        QTest::keyClick(first, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), number);
        QTest::keyClick(number, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(QApplication::focusWidget(), ok);
        QTest::keyClick(ok, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), last);
        QVERIFY(form.isVisible());
        QTest::keyClick(last, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), ok);
        QTest::keyClick(ok, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), number);
        QCOMPARE(form.result(), 0);

        QSignalSpy returned(&outside, &QLineEdit::returnPressed);
        QTest::keyClick(&outside, Qt::Key_Return);
        QCOMPARE(returned.size(), 1);
    }

    // A date typed as the box shows it, as digits or pasted, into a box reached by Tab, Shift+Tab, Enter,
    // its label's shortcut or a click: the date box of the report forms and a line edit made a date box.
    void dateBoxTakesTheDateTyped_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<QString>("shown");   // the text once the box is left
        QTest::addColumn<QDate>("date");      // invalid: no date, the text stays as typed
        const QDate june16(2025, 6, 16);
        for (const char* box : {"date box", "line edit"}) {
            for (const char* way : {"tab", "backtab", "enter", "shortcut", "click"}) {
                QTest::addRow("%s %s dots", box, way)
                    << box << way << "2025.06.16" << false << "2025.06.16" << june16;
                QTest::addRow("%s %s digits", box, way)
                    << box << way << "20250726" << false << "2025.07.26" << QDate(2025, 7, 26);
                QTest::addRow("%s %s pasted", box, way) << box << way << " 2025.06.16\n"
                                                        << true << "2025.06.16" << june16;
            }
            QTest::addRow("%s short parts", box) << box << "tab"
                                                 << "2025.6.1" << false << "2025.06.01" << QDate(2025, 6, 1);
            QTest::addRow("%s no such day", box) << box << "tab"
                                                 << "2025.02.30" << false << "2025.02.30" << QDate();
            QTest::addRow("%s no such month digits", box) << box << "click"
                                                          << "20251301" << false << "20251301" << QDate();
            QTest::addRow("%s too many digits", box) << box << "tab"
                                                     << "2025.06.161" << false << "2025.06.161" << QDate();
            QTest::addRow("%s pasted with letters", box)
                << box << "tab"
                << "2025-06-16" << true << "2024.12.31" << QDate(2024, 12, 31);
        }
    }

    void dateBoxTakesTheDateTyped()
    {
        QFETCH(QString, box);
        QFETCH(QString, way);
        QFETCH(QString, typed);
        QFETCH(bool, pasted);
        QFETCH(QString, shown);
        QFETCH(QDate, date);
        QDialog form;
        auto* layout = new QVBoxLayout(&form);
        auto* before = new QLineEdit(&form);
        auto* label = new QLabel(QStringLiteral("&Dátum:"), &form);
        QLineEdit* dates = nullptr;
        if (box == QLatin1String("date box")) {
            dates = new DateBox(QDate(2024, 12, 31), &form);
        } else {
            dates = new QLineEdit(QStringLiteral("2024.12.31"), &form);
            installDateBox(dates);
        }
        auto* after = new QLineEdit(&form);
        label->setBuddy(dates);
        for (QWidget* widget : std::initializer_list<QWidget*>{before, label, dates, after})
            layout->addWidget(widget);
        installEnterFocusMovement(&form);
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));

        if (way == QLatin1String("tab") || way == QLatin1String("enter")) {
            before->setFocus();
            QTest::keyClick(before, way == QLatin1String("tab") ? Qt::Key_Tab : Qt::Key_Return);
        } else if (way == QLatin1String("backtab")) {
            after->setFocus();
            QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
        } else if (way == QLatin1String("shortcut")) {
            before->setFocus();
            QTest::keyClick(before, Qt::Key_D, Qt::AltModifier);
        } else {
            before->setFocus();
            QTest::mouseClick(dates, Qt::LeftButton, {}, QPoint(dates->width() / 4, dates->height() / 2));
        }
        QCOMPARE(QApplication::focusWidget(), dates);
        QCOMPARE(dates->selectedText(), QStringLiteral("2024.12.31"));
        if (pasted) {
            QGuiApplication::clipboard()->setText(typed);
            QTest::keyClick(dates, Qt::Key_V, Qt::ControlModifier);
        } else {
            QTest::keyClicks(dates, typed);
        }
        QTest::keyClick(dates, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), after);
        QCOMPARE(dates->text(), shown);
        QCOMPARE(Formats::parseDate(dates->text()).value_or(QDate()), date);
        if (auto* dateBox = qobject_cast<DateBox*>(dates))
            QCOMPARE(dateBox->date(), date);
    }

    // Alt+Down opens the calendar on the box's date; Enter on a day takes it, Esc leaves the date.
    void dateBoxCalendar()
    {
        QDialog form;
        auto* layout = new QVBoxLayout(&form);
        auto* box = new DateBox(QDate(2025, 6, 16), &form);
        layout->addWidget(box);
        QCOMPARE(box->displayFormat(), QStringLiteral("yyyy.MM.dd"));
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
        QCalendarWidget* calendar = box->calendar();
        QVERIFY(calendar && calendar->isVisible());
        QCOMPARE(calendar->selectedDate(), QDate(2025, 6, 16));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!calendar->isVisible());
        QCOMPARE(box->date(), QDate(2025, 6, 17));
        QCOMPARE(QApplication::focusWidget(), box);

        QTest::keyClick(box, Qt::Key_F4);
        QVERIFY(calendar->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!calendar->isVisible());
        QCOMPARE(box->date(), QDate(2025, 6, 17));
    }

    void buddiesAreSetByName()
    {
        QWidget form;
        form.setObjectName(QStringLiteral("TForm12"));
        auto* label = new QLabel(QStringLiteral("&Név"), &form);
        label->setObjectName(QStringLiteral("Label3"));
        auto* box = new QLineEdit(&form);
        box->setObjectName(QStringLiteral("Edit3"));
        QTest::ignoreMessage(QtWarningMsg, "setBuddies: TForm12 has no Edit9");
        QVERIFY(!setBuddies(&form, {{"Label3", "Edit3"}, {"Label3", "Edit9"}}));
        QCOMPARE(label->buddy(), box);
        QVERIFY(setBuddies(&form, {{"Label3", "Edit3"}}));
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
