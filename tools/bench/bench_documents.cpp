// Benchmark over a large database (1,000,000 lines): start-up to the main window, then the document
// register: opening, "last row", a sort by a marked column, the save of a new line and of a change,
// each beside the bare engine running the same statements. Works on a copy of the database it is given;
// prints "@bench" result lines for scripts/bench.sh.
#include "benchsupport.h"
#include "data.h"
#include "databasefile.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "documentlineform.h"
#include "documentregister.h"
#include "mainwindow.h"
#include "modalform.h"
#include "query.h"
#include "scriptedplatform.h"
#include "sharedstate.h"
#include "startup.h"
#include "windowedquery.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <limits>

namespace {

void leave(QLineEdit* box)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &out);
}

QString firstValue(const QString& sql)
{
    Query query(Data->IBTrans1);
    query.setSql(sql);
    query.open();
    return query.field(0).asString();
}

QString quoted(const QString& text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

// The rows the register's list holds: its window, or every row it fetched.
int rowsRead()
{
    const auto* window = qobject_cast<const WindowedQuery*>(Data->ZQ10);
    return window && window->isWindowed() ? window->heldRows() : Data->ZQ10->fetchedCount();
}

// The register's select in its window order from `where` on, `rows` rows, as the window reads it.
QString windowSql(const QString& listSql, const QString& where, bool descending, int rows)
{
    const QString select = listSql.left(listSql.lastIndexOf(QStringLiteral(" ORDER BY ")));
    const QString direction = descending ? QStringLiteral(" DESC") : QString();
    return select + (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where) +
           QStringLiteral(" ORDER BY BBSZAM%1, IDB%1 ROWS %2").arg(direction).arg(rows);
}

// The register as a person meets it: opened from the menu until its first rows are painted, Ctrl+End,
// the scroll bar pulled to the middle, Ctrl+Home, each until the grid has painted the rows it shows;
// beside the engine running the statements the program opened for the step.
void windowedRegister(ScriptedPlatform& platform, TForm1& window, BareEngine& bare, const QString& over)
{
    const QString listSql = RegisterList::listSql();
    const int size = Dataset::BlockSize;
    const QString select = listSql.left(listSql.lastIndexOf(QStringLiteral(" ORDER BY ")));
    // The window's opening: the columns, the lowest IDB, the highest found by doubling and halving, the
    // lines sampled evenly between them (their share estimates the count), the first rows.
    // Found as the window finds them: MAX would read every line (and fill the engine's cache).
    const auto from = [](qint64 id) {
        return firstValue(
            QStringLiteral("SELECT FIRST 1 idb FROM bizmozg WHERE idb >= %1 ORDER BY idb").arg(id));
    };
    const qint64 lowest = from(std::numeric_limits<qint32>::min()).toLongLong();
    QStringList probes{QString::number(std::numeric_limits<qint32>::min())};
    qint64 low = lowest, step = 1;
    for (; !from(low + step).isEmpty(); step *= 2)
        probes << QString::number(low + step);
    probes << QString::number(low + step);
    for (qint64 high = low + step; high - low > 1;) {
        const qint64 middle = low + (high - low) / 2;
        probes << QString::number(middle);
        (from(middle).isEmpty() ? high : low) = middle;
    }
    const qint64 highest = low;
    const qint64 range = highest - lowest + 1;
    const qint64 samples = std::min<qint64>(range, 256);
    QStringList ties;
    for (qint64 i = 0; i < samples; ++i)
        ties << QString::number(lowest + (samples > 1 ? i * (range - 1) / (samples - 1) : 0));
    const auto openBare = [&] {
        bare.select(windowSql(listSql, QString(), false, 1));
        for (const QString& from : std::as_const(probes))
            bare.select(select + QStringLiteral(" WHERE IDB >= %1 ORDER BY IDB ROWS 1").arg(from));
        bare.select(select + QStringLiteral(" WHERE IDB IN (%1)").arg(ties.join(QLatin1Char(','))));
        bare.select(windowSql(listSql, QString(), false, size));
    };
    const auto endBare = [&] { bare.select(windowSql(listSql, QString(), true, size)); };
    // Both sides find the same pages in the engine's cache: the window's statements are read once
    // before the program opens the register.
    openBare();
    endBare();
    bare.commit();
    OpenedStatements opened;

    QElapsedTimer opening;
    double openForm = 0;
    bool done = false;
    const double before = residentMb();
    platform.modalRuns.push_back([&](QDialog* dialog) {
        auto& form = *static_cast<TForm17*>(dialog);
        DBGrid& grid = *form.DBGrid1;
        grid.viewport()->repaint();
        openForm = opening.nsecsElapsed() / 1e6;
        opened.stop();
        const QString note =
            QStringLiteral("%1 rows held, %2 grid rows, %3 MB resident after (%4 MB before the register)")
                .arg(QStringLiteral("%1"), QString::number(grid.model()->rowCount()), QStringLiteral("%2"),
                     QString::number(before, 'f', 0));
        benchRow(over + QStringLiteral("opened from the menu"), openForm, opened.replay(bare, size),
                 note.arg(rowsRead()).arg(residentMb(), 0, 'f', 0));

        double endForm = 0;
        opened.record([&] {
            endForm = timedMs([&] {
                QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
                grid.viewport()->repaint();
            });
        });
        const bool onLast = Data->ZQ10->currentRow() == Data->ZQ10->fetchedCount() - 1;
        benchRow(over + QStringLiteral("Ctrl+End to the last line"), endForm, opened.replay(bare, size),
                 note.arg(rowsRead()).arg(residentMb(), 0, 'f', 0) +
                     (onLast ? QString() : QStringLiteral(", NOT on the last line")));

        QScrollBar& bar = *grid.listScrollBar();
        double middleForm = 0;
        opened.record([&] {
            middleForm = timedMs([&] {
                bar.setValue(bar.maximum() / 2);
                grid.viewport()->repaint();
            });
        });
        const QString key =
            Data->ZQ10->fieldAt(grid.datasetRowAt(0), Data->ZQ10->columnIndex(QStringLiteral("BBSZAM")))
                .asString();
        const double middleBare = opened.replay(bare, size);
        benchRow(over + QStringLiteral("scroll bar to the middle"), middleForm, middleBare,
                 note.arg(rowsRead()).arg(residentMb(), 0, 'f', 0) + QStringLiteral(", row %1 of %2 shows %3")
                                                                         .arg(grid.datasetRowAt(0))
                                                                         .arg(Data->ZQ10->fetchedCount())
                                                                         .arg(key));

        double topForm = 0;
        opened.record([&] {
            topForm = timedMs([&] {
                QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
                grid.viewport()->repaint();
            });
        });
        benchRow(over + QStringLiteral("Ctrl+Home back to the top"), topForm, opened.replay(bare, size),
                 note.arg(rowsRead()).arg(residentMb(), 0, 'f', 0));
        bare.commit();
        done = true;
        return int(QDialog::Rejected);
    });
    // The item is enabled by the login, which the benchmark leaves out.
    QAction* item = window.item(QStringLiteral("Adatbevitel"));
    item->setEnabled(true);
    opened.start();
    opening.start();
    item->trigger();
    if (!done)
        std::fprintf(stderr, "the register did not open from the menu\n");
}

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: bench_documents VARNEL2013.FDB (made by varnel-initdb --lines 1000000)\n");
        return 2;
    }
    Connection::prepareEmbeddedEnvironment();
    QTemporaryDir temporary(QDir::tempPath() + QStringLiteral("/bench_documents-XXXXXX"));
    const QString path = temporary.filePath(QStringLiteral("VARNEL2013.FDB"));
    if (!QFile::copy(QString::fromLocal8Bit(argv[1]), path)) {
        std::fprintf(stderr, "cannot copy %s\n", argv[1]);
        return 1;
    }
    ScriptedPlatform& platform = ScriptedPlatform::install();

    // Start-up: the splash closes at once (its fixed wait is left out), then the data module opens the
    // database and its ten tables and the main window shows. The engine's side attaches and reads the
    // first block of the same ten tables, timed until its rows are read (its detach is not).
    // The engine is loaded, the file's first pages read and the ten tables' descriptions taken into the
    // engine's shared metadata before either side is timed: whichever side ran first would pay for that.
    // The engine's side runs before the program, as the program's own attachment would leave the
    // database open for it and spare it the opening the program has to do.
    const QStringList startTables{"BIZMOZG", "CIKK",    "PARTNER", "RAKTAR", "MNEM",
                                  "DOLGOZO", "BIZSZAM", "FELH",    "MUNKA",  "MUNKA2"};
    const auto readTables = [&] {
        Connection connection;
        connection.setParams(databaseParams(path));
        const double ms = timedMs([&] {
            connection.open();
            BareEngine engine(connection.attachment());
            for (const QString& table : startTables)
                engine.select(QStringLiteral("SELECT * FROM %1").arg(table), Dataset::BlockSize);
            engine.commit();
        });
        connection.close();
        return ms;
    };
    readTables();
    const double startBare = readTables();
    platform.modalRuns.push_back([](QDialog*) { return int(QDialog::Accepted); });
    std::unique_ptr<TForm1> window;
    const double startProgram = timedMs([&] {
        StartOptions options;
        options.database = path;
        window = startUp(options);
        window->show();
        QCoreApplication::processEvents();
    });
    if (!window) {
        std::fprintf(stderr, "start-up failed: %s\n",
                     qPrintable(platform.messageTexts().join(QStringLiteral(" | "))));
        return 1;
    }
    benchRow(QStringLiteral("start-up to the main window"), startProgram, startBare);

    shared().CurrentEmployeeCode = QStringLiteral("1");
    const QString item = firstValue(QStringLiteral("SELECT FIRST 1 cszam FROM cikk ORDER BY cszam"));
    const QString type =
        firstValue(QStringLiteral("SELECT FIRST 1 mnem FROM mnem WHERE mncs = '+' ORDER BY mnem"));
    const QString lines = firstValue(QStringLiteral("SELECT count(*) FROM bizmozg"));
    const QString over = QStringLiteral("register over %1 lines: ").arg(lines);
    BareEngine bare(Data->ZCon1.attachment());
    windowedRegister(platform, *window, bare, over);
    // The rest reads whole lists (a sort by date, every line of it): VARNEL_BENCH_WINDOW_ONLY=1 leaves
    // it out on a database too large for that.
    const bool wholeLists = qEnvironmentVariableIntValue("VARNEL_BENCH_WINDOW_ONLY") == 0;
    if (wholeLists)
        bare.select(RegisterList::listSql());   // warms the page cache for both sides
    bare.commit();

    double openForm = 0, lastForm = 0, sortForm = 0, saveForm = 0, changeForm = 0;
    double openBare = 0, lastBare = 0, sortBare = 0, saveBare = 0, changeBare = 0, lastMemory = 0;
    int fetchedOpen = 0, fetchedSave = 0, fetchedChange = 0, fetchedSort = 0;
    QElapsedTimer opening;
    platform.modalRuns.push_back([&](QDialog* dialog) {
        openForm = opening.nsecsElapsed() / 1e6;
        fetchedOpen = rowsRead();
        auto& form = *static_cast<TForm17*>(dialog);
        openBare = timedMs([&] { bare.select(RegisterList::listSql(), fetchedOpen); });
        benchRow(over + QStringLiteral("open"), openForm, openBare,
                 QStringLiteral("%1 rows fetched").arg(fetchedOpen));

        // A save as it follows the opening, first bare (counter, insert, commit, the list read again as
        // far as the program reads it), then through the line form.
        saveBare = timedMs([&] {
            bare.execute(QStringLiteral(
                "UPDATE bizszam SET zbizszam = CAST(CAST(zbizszam AS BIGINT) + 1 AS VARCHAR(10))"));
            bare.execute(
                QStringLiteral(
                    "INSERT INTO bizmozg (bbszam, bcikkszam, bbizdatum, bmnem, bear, bmenov, bmecsok, "
                    "bertnov, bertcsok) VALUES ('x', %1, CURRENT_DATE, %2, 2, 1, 0, 2, 0)")
                    .arg(quoted(item), quoted(type)));
            bare.commit();
            bare.select(RegisterList::plainListSql(), Dataset::BlockSize);
        });
        bare.commit();

        platform.modalRuns.push_back([&](QDialog* lineDialog) {
            auto& line = *static_cast<TForm18*>(lineDialog);
            line.Edit2->setText(type);
            leave(line.Edit2);
            line.Edit3->setText(item);
            leave(line.Edit3);
            line.Edit21->setText(QStringLiteral("1"));
            line.Edit22->setText(QStringLiteral("2"));
            line.Edit23->setText(QStringLiteral("2"));
            saveForm = timedMs([&] { line.Button3->click(); });
            fetchedSave = rowsRead();
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(form.Button2, Qt::LeftButton);
        benchRow(QStringLiteral("save a new line (line form)"), saveForm, saveBare,
                 QStringLiteral("%1 rows fetched after").arg(fetchedSave));

        // Then the moves that read far into the list (after a save it is the lines alone).
        lastForm = timedMs([&] { form.DBNavigator1->press(DBNavigator::Last); });
        QCoreApplication::processEvents();
        lastMemory = residentMb();
        // The window reads the last rows from the end of the order, as the engine does here.
        lastBare = timedMs([&] {
            bare.select(windowSql(RegisterList::plainListSql(), QString(), true, Dataset::BlockSize));
        });
        benchRow(over + QStringLiteral("last row"), lastForm, lastBare,
                 QStringLiteral("%1 MB resident after").arg(lastMemory, 0, 'f', 0));

        form.DBGrid1->setMarkedColumn(3);
        sortForm = timedMs([&] {
            emit form.DBGrid1->horizontalHeader()->sectionClicked(8);
            QCoreApplication::processEvents();
        });
        fetchedSort = rowsRead();
        sortBare = timedMs([&] { bare.select(RegisterList::markedSortSql(4), fetchedSort); });
        benchRow(over + QStringLiteral("sort by Dátum"), sortForm, sortBare,
                 QStringLiteral("%1 rows fetched").arg(fetchedSort));

        // A change of the line that is last by date: the list stays as it is, the line read again.
        Data->ZQ10->last();
        const QString id = Data->ZQ10->fieldByName(QStringLiteral("IDB")).asString();
        platform.modalRuns.push_back([&](QDialog* lineDialog) {
            auto& line = *static_cast<TForm18*>(lineDialog);
            leave(line.Edit2);
            changeForm = timedMs([&] { line.Button3->click(); });
            fetchedChange = rowsRead();
            return int(QDialog::Rejected);
        });
        QTest::keyClick(form.Button3, 'J');
        // The engine's side: the update, the commit and the changed line read again by its key with the
        // list's select (the program keeps the list it has).
        const QString listSql = RegisterList::markedSortSql(4);
        const QString lineSql = listSql.left(listSql.lastIndexOf(QStringLiteral(" ORDER BY "))) +
                                QStringLiteral(" WHERE bizmozg.idb = %1").arg(id.toLongLong());
        changeBare = timedMs([&] {
            bare.execute(QStringLiteral("UPDATE bizmozg SET brkelt = CURRENT_DATE WHERE IDb = %1")
                             .arg(id.toLongLong()));
            bare.commit();
            bare.select(lineSql);
        });
        bare.commit();
        benchRow(QStringLiteral("save a change late in the list"), changeForm, changeBare,
                 QStringLiteral("%1 rows fetched after").arg(fetchedChange));
        return int(QDialog::Rejected);
    });
    opening.start();
    if (wholeLists)
        runForm(Form17, nullptr);

    if (!platform.messageTexts().isEmpty())
        std::fprintf(stderr, "messages: %s\n",
                     qPrintable(platform.messageTexts().join(QStringLiteral(" | "))));
    bare.commit();
    window.reset();
    delete Data;
    Data = nullptr;
    return 0;
}
