// Benchmark of the item list over 10,000 items: opening the list, typing a name into the search box,
// "Keres" for a name near the end of the name order, and a title click. Prints the times in ms.
#include "data.h"
#include "dbgrid.h"
#include "formats.h"
#include "itemlist.h"
#include "modalform.h"
#include "query.h"
#include "databasefile.h"
#include "scriptedplatform.h"
#include "sharedstate.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

constexpr int ItemCount = 10000;

// Names start with 22 different letters in turn, so a name late in the alphabet lies near the end of
// the name order and its search has to fetch most of the rows.
void createDatabase(const QString& path)
{
    const auto created = createDatabaseFromSchema(path);
    Connection& connection = *created;
    Query insert(connection.transaction());
    insert.setSql(QStringLiteral(
        "INSERT INTO cikk (ckod, cszam, cmegn, cmeret, cbizonylat, cvtsz, cme, crkod) "
        "WITH RECURSIVE n AS (SELECT 0 AS i FROM rdb$database UNION ALL SELECT i + 1 FROM n WHERE i < 99) "
        "SELECT a.i * 100 + b.i + 1, 100000 + a.i * 100 + b.i, "
        "SUBSTRING('ABCDEFGHIJKLMNOPRSTUVZ' FROM MOD(a.i * 100 + b.i, 22) + 1 FOR 1) || 'termék ' || (a.i * 100 + b.i), "
        "'közepes', 'T-' || (a.i * 100 + b.i), '0808', 'kg', '1' FROM n a CROSS JOIN n b"));
    insert.execute();
    connection.transaction().commit();
    connection.close();
}

double milliseconds(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Formats::initialise(QLocale(QLocale::Hungarian, QLocale::Hungary));
    Connection::prepareEmbeddedEnvironment();
    QTemporaryDir temporary;
    const QString path = temporary.filePath(QStringLiteral("VARNEL2013.FDB"));
    createDatabase(path);
    ScriptedPlatform& platform = ScriptedPlatform::install();
    Data = new TData(path);
    Data->connectAndOpenTables();

    QElapsedTimer timer;
    double opening = 0, typing = 0, keres = 0, titleClick = 0;
    int fetchedAfterOpen = 0, fetchedAfterKeres = 0;
    QString found;
    platform.modalRuns.push_back([&](QDialog* dialog) {
        opening = milliseconds(timer);
        fetchedAfterOpen = Data->ZQ20->fetchedCount();
        auto* list = static_cast<TForm7*>(dialog);
        timer.start();
        QTest::keyClicks(list->Edit1, QStringLiteral("Kterm"));
        typing = milliseconds(timer) / 5;
        list->Edit1->setText(QStringLiteral("Ztermék 9987"));
        timer.start();
        QTest::mouseClick(list->Button6, Qt::LeftButton);
        keres = milliseconds(timer);
        fetchedAfterKeres = Data->ZQ20->fetchedCount();
        found = Data->ZQ20->fieldByName(QStringLiteral("CMEGN")).asString();
        list->DBGrid1->setMarkedColumn(0);
        timer.start();
        emit list->DBGrid1->horizontalHeader()->sectionClicked(0);
        titleClick = milliseconds(timer);
        return int(QDialog::Rejected);
    });
    timer.start();
    runForm(Form7, nullptr);

    std::printf("item list over %d items\n", ItemCount);
    std::printf("  open (create, show, position):  %8.1f ms  (%d rows fetched)\n", opening, fetchedAfterOpen);
    std::printf("  typing, per key:                %8.1f ms\n", typing);
    std::printf("  Keres \"Ztermék 9987\":            %8.1f ms  (%d rows fetched, found \"%s\")\n", keres,
                fetchedAfterKeres, qPrintable(found));
    std::printf("  title click (item number):      %8.1f ms\n", titleClick);
    delete Data;
    return 0;
}
