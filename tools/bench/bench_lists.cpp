// Benchmark of the item list over 10,000 items: opening the list, typing a name into the search box,
// "Keres" for a name near the end of the name order, and a title click, each beside the bare engine
// running the statements the list opened for it. Works on a copy of the database it is given
// (or on 10,000 items of its own); prints "@bench" result lines for scripts/bench.sh.
#include "benchsupport.h"
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
#include <QFile>
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
        "SUBSTRING('ABCDEFGHIJKLMNOPRSTUVZ' FROM MOD(a.i * 100 + b.i, 22) + 1 FOR 1) || 'termék ' || (a.i * "
        "100 + b.i), "
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
    if (argc > 1) {
        if (!QFile::copy(QString::fromLocal8Bit(argv[1]), path)) {
            std::fprintf(stderr, "cannot copy %s\n", argv[1]);
            return 1;
        }
    } else {
        createDatabase(path);
    }
    ScriptedPlatform& platform = ScriptedPlatform::install();
    Data = new TData(path);
    Data->connectAndOpenTables();
    QString wanted;
    int items = 0;
    {
        // A name near the end of the name order: its search reads most of the list.
        Query names(Data->IBTrans1);
        names.setSql(QStringLiteral("SELECT count(*) FROM cikk"));
        names.open();
        items = int(names.field(0).asInteger());
        names.setSql(QStringLiteral("SELECT FIRST 1 SKIP %1 cmegn FROM cikk ORDER BY cmegn")
                         .arg(std::max(0, items - 20)));
        names.open();
        wanted = names.field(0).asString();
    }
    BareEngine bare(Data->ZCon1.attachment());

    QElapsedTimer timer;
    double opening = 0, typing = 0, keres = 0, titleClick = 0;
    double openingBare = 0, typingBare = 0, keresBare = 0, titleBare = 0;
    int fetchedAfterOpen = 0, fetchedAfterKeres = 0;
    QString found;
    // The engine's side runs the statements the list opened for each step: in name and item-number
    // order the list reads a window by key, so what it reads depends on where it stands.
    OpenedStatements opened;
    platform.modalRuns.push_back([&](QDialog* dialog) {
        opening = milliseconds(timer);
        opened.stop();
        fetchedAfterOpen = Data->ZQ20->fetchedCount();
        openingBare = opened.replay(bare, Dataset::BlockSize);
        auto* list = static_cast<TForm7*>(dialog);
        const QString typed = wanted.left(5);
        opened.record([&] {
            timer.start();
            QTest::keyClicks(list->Edit1, typed);
            typing = milliseconds(timer) / typed.size();
        });
        typingBare = opened.replay(bare) / typed.size();
        list->Edit1->setText(wanted);
        opened.record([&] {
            timer.start();
            QTest::mouseClick(list->Button6, Qt::LeftButton);
            keres = milliseconds(timer);
        });
        fetchedAfterKeres = Data->ZQ20->fetchedCount();
        found = Data->ZQ20->fieldByName(QStringLiteral("CMEGN")).asString();
        keresBare = opened.replay(bare);
        list->DBGrid1->setMarkedColumn(0);
        opened.record([&] {
            timer.start();
            emit list->DBGrid1->horizontalHeader()->sectionClicked(0);
            titleClick = milliseconds(timer);
        });
        titleBare = opened.replay(bare, Dataset::BlockSize);
        return int(QDialog::Rejected);
    });
    opened.start();
    timer.start();
    runForm(Form7, nullptr);
    bare.commit();

    const QString over = QStringLiteral("item list over %1 items: ").arg(items);
    benchRow(over + QStringLiteral("open"), opening, openingBare,
             QStringLiteral("%1 rows in the list").arg(fetchedAfterOpen));
    benchRow(over + QStringLiteral("typing, per key"), typing, typingBare);
    benchRow(over + QStringLiteral("Keres by name"), keres, keresBare,
             QStringLiteral("%1 rows in the list, found \"%2\"").arg(fetchedAfterKeres).arg(found));
    benchRow(over + QStringLiteral("title click"), titleClick, titleBare);
    delete Data;
    return 0;
}
