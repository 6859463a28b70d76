// Benchmark of the purchase-ticket import: reading a 10,000-line ticket file into the work table,
// posting it (one committed unit per line), the closing item-code pass and posting again (every line
// already there), each beside the bare engine running the same inserts, updates and commits through
// the Firebird API on a second copy of the same database. Prints result lines for scripts/bench.sh.
#include "benchsupport.h"
#include "data.h"
#include "databasefile.h"
#include "formats.h"
#include "importposting.h"
#include "purchaseticketimport.h"
#include "query.h"
#include "scriptedplatform.h"
#include "sharedstate.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

QStringList firstValues(const QString& sql, int count)
{
    Query query(Data->IBTrans1);
    query.setSql(sql);
    query.open();
    QStringList values;
    for (; !query.eof() && values.size() < count; query.next())
        values << query.field(0).asString();
    return values;
}

QString escaped(QString text)
{
    return text.replace('&', "&amp;").replace('<', "&lt;");
}

// Tickets of four lines each: four in five lines name one of 300 known items, the rest one of 200 new
// item numbers; seven in ten producers are known partners, the rest one of 300 new names. Each line is
// its fifteen values as the file writes them.
QList<QStringList> ticketLines(int lines, const QStringList& items, const QStringList& partners)
{
    QRandomGenerator random(2025);
    QList<QStringList> result;
    for (int i = 0; i < lines; ++i) {
        const QString item = random.bounded(5) < 4 ? items[random.bounded(int(items.size()))]
                                                   : QString::number(90001 + random.bounded(200));
        const QString producer = random.bounded(10) < 7
                                     ? partners[random.bounded(int(partners.size()))]
                                     : QStringLiteral("Próba Termelő %1").arg(random.bounded(300));
        result.append({QStringLiteral("2025.10.%1").arg(1 + i % 28, 2, 10, QLatin1Char('0')),
                       QStringLiteral("B%1").arg(i / 4, 7, 10, QLatin1Char('0')), item,
                       QStringLiteral("Termény ") + item, QStringLiteral("BENCH/") + item,
                       QStringLiteral("%1,%2").arg(1 + random.bounded(30)).arg(random.bounded(1000)),
                       QStringLiteral("t"), QString::number(60000 + random.bounded(100000)),
                       QString::number(100000 + random.bounded(5000000)), QStringLiteral("1001 99"),
                       QString::number(70000 + i % 1000), producer, QStringLiteral("Kiskőrös"),
                       QStringLiteral("Fő utca %1.").arg(1 + i % 99), QStringLiteral("6200")});
    }
    return result;
}

QByteArray ticketFile(const QList<QStringList>& lines)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dataroot>\n";
    for (const QStringList& values : lines) {
        xml += "  <Records>";
        for (int v = 0; v < values.size(); ++v)
            xml += QStringLiteral("<c%1>%2</c%1>").arg(v).arg(escaped(values[v])).toUtf8();
        xml += "</Records>\n";
    }
    return xml + "</dataroot>\n";
}

// The values as the engine takes text: ISO dates and decimal points.
QStringList engineValues(QStringList values)
{
    values[0].replace(QLatin1Char('.'), QLatin1Char('-'));
    for (const int i : {5, 7, 8})
        values[i].replace(QLatin1Char(','), QLatin1Char('.'));
    return values;
}

// The engine's reading: the work table emptied and the same rows inserted, one commit.
void engineReading(BareEngine& engine, const QList<QStringList>& lines)
{
    BareStatement(engine, QStringLiteral("DELETE FROM munka2")).run();
    BareStatement insert(engine,
                         QStringLiteral("INSERT INTO munka2 (f_felvkelt, s_bszam, s_termekkod, s_megnevezes, "
                                        "s_bizonylat, s_brutto, s_megy, s_ear, "
                                        "s_felvar, s_vtsz, o_kod, o_nev, o_helysegnev, o_utca, o_irszam) "
                                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const QStringList& values : lines)
        insert.run(engineValues(values));
    engine.commit();
}

// The engine's posting: the program's checks, inserts and counter advance, row by row, each row
// committed on its own. Returns the lines posted.
int enginePosting(BareEngine& engine, const TicketPosting::MovementType& type, const QString& employee)
{
    const auto work =
        BareStatement(engine,
                      QStringLiteral("SELECT f_felvkelt, s_bszam, s_termekkod, s_megnevezes, s_bizonylat, "
                                     "s_brutto, s_megy, s_ear, s_felvar, "
                                     "s_vtsz, o_kod, o_nev, o_helysegnev, o_utca, o_irszam FROM munka2"))
            .run();
    engine.commit();
    BareStatement posted(
        engine,
        QStringLiteral("SELECT count(BEREDETI) AS db FROM BIZMOZG WHERE (BEREDETI = ?) AND (BCIKKSZAM = ?)"));
    BareStatement item(engine, QStringLiteral("SELECT count(cszam) AS db FROM cikk WHERE cszam = ?"));
    BareStatement partner(engine, QStringLiteral("SELECT count(pnev) AS db FROM partner WHERE pnev = ?"));
    BareStatement largestCode(
        engine, QStringLiteral(
                    "SELECT MAX(CAST(ckod AS BIGINT)) AS maxkod FROM cikk WHERE ckod SIMILAR TO '[0-9]+'"));
    BareStatement insertItem(engine, QStringLiteral("INSERT INTO cikk ( ckod, cszam, cmegn, cmeret, cme, "
                                                    "cvtsz,  cbizonylat  ) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    BareStatement insertPartner(
        engine,
        QStringLiteral("INSERT INTO partner ( pKod, pnev, pirszam, phelyseg, putca) VALUES (?, ?, ?, ?, ?)"));
    BareStatement counter(engine, QStringLiteral("SELECT zbizszam FROM bizszam"));
    BareStatement advance(engine, QStringLiteral("UPDATE bizszam SET zbizszam = ? WHERE zbizszam = ?"));
    BareStatement insertLine(
        engine, QStringLiteral("INSERT INTO bizmozg ( BBSZAM, BCKOD, BCIKKSZAM, BBIZDATUM, BMKOD, BMNEM, "
                               "BEAR, BMENOV, BMECSOK, BERTNOV, "
                               "BERTCSOK, BTETEL, BEREDETI, BSZOVEG, BPKOD, BDKOD, BFELADOTT, BRKELT  ) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    const QString zero = QStringLiteral("0");
    int count = 0;
    for (const QStringList& row : work) {
        const QString reference = QStringLiteral("F.jegy: ") + row[1];
        if (posted.run({reference, row[2]}).at(0).at(0) != zero)
            continue;
        const bool newItem = item.run({row[2]}).at(0).at(0) == zero;
        const bool newPartner = partner.run({row[11]}).at(0).at(0) == zero;
        QString itemCode;
        if (newItem) {
            itemCode = QString::number(largestCode.run().at(0).at(0).toLongLong() + 1);
            insertItem.run({itemCode, row[2], row[3], QStringLiteral(" "), row[6], row[9], row[4]});
        }
        if (newPartner)
            insertPartner.run({row[10], row[11], row[14], row[12], row[13]});
        const QString current = counter.run().at(0).at(0);
        const QString number = QString::number(current.trimmed().toLongLong() + 1);
        advance.run({number, current});
        insertLine.run({number, itemCode, row[2], row[0], type.code, type.key, row[7], row[5], zero, row[8],
                        zero, row[4], reference, row[11], row[10], employee, QString(), today});
        engine.commit();
        ++count;
    }
    engine.commit();
    return count;
}

// The engine's item-code pass: the program's grouped statement, then one update per item number to
// change, one commit. Returns the item numbers changed.
int engineItemCodes(BareEngine& engine)
{
    const auto changes =
        BareStatement(
            engine,
            QStringLiteral(
                "SELECT t.cszam, t.ckod "
                "FROM (SELECT cszam, MIN(ckod) AS ckod FROM cikk WHERE ckod <> '' GROUP BY cszam) t "
                "JOIN (SELECT k, MIN(CHAR_LENGTH(COALESCE(bckod, ''))) AS shortest, MIN(bckod) AS lo, "
                "             MAX(bckod) AS hi, COUNT(bckod) AS coded, COUNT(*) AS all_lines "
                "      FROM (SELECT bcikkszam || '' AS k, bckod FROM bizmozg) GROUP BY k) g ON g.k = t.cszam "
                "WHERE g.shortest < 5 AND (g.lo <> t.ckod OR g.hi <> t.ckod OR g.coded < g.all_lines)"))
            .run();
    BareStatement update(
        engine, QStringLiteral(
                    "UPDATE   Bizmozg SET   BCKOD     = ? WHERE BCIKKSZAM = ? AND BCKOD IS DISTINCT FROM ?"));
    for (const QStringList& change : changes)
        update.run({change[1], change[0], change[1]});
    engine.commit();
    return int(changes.size());
}

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    QApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(
            stderr,
            "usage: bench_import PROGRAM_COPY.FDB ENGINE_COPY.FDB [lines]\n"
            "Both databases are changed: give two copies of the same database, never the original.\n");
        return 2;
    }
    const QString database = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const QString engineDatabase = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    const int lines = argc > 3 ? QByteArray(argv[3]).toInt() : 10000;
    Formats::initialise(QLocale(QLocale::Hungarian, QLocale::Hungary));
    Connection::prepareEmbeddedEnvironment();
    ScriptedPlatform& platform = ScriptedPlatform::install();
    Data = new TData(database);
    Data->connectAndOpenTables();
    shared().CurrentEmployeeCode = QStringLiteral("1");
    Connection engineConnection;
    engineConnection.setParams(databaseParams(engineDatabase));
    engineConnection.open();
    BareEngine engine(engineConnection.attachment());

    const QString lineCount = firstValues(QStringLiteral("SELECT count(*) FROM bizmozg"), 1).value(0);
    const QStringList items =
        firstValues(QStringLiteral("SELECT cszam FROM cikk WHERE CHAR_LENGTH(cszam) <= 5"), 300);
    const QStringList partners = firstValues(QStringLiteral("SELECT pnev FROM partner"), 300);
    const QList<QStringList> ticket = ticketLines(lines, items, partners);
    QTemporaryDir temporary;
    const QString file = temporary.filePath(QStringLiteral("dravo_varnelhez.xml"));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(ticketFile(ticket)) < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    std::printf("database: %s lines, %lld items known to the file, ticket file %lld kB, %d lines\n",
                qPrintable(lineCount), qlonglong(items.size()), QFileInfo(file).size() / 1024, lines);

    TForm25 form;
    form.Edit10->setText(QStringLiteral("1"));
    form.Edit2->setText(QStringLiteral("FEL"));
    platform.fileAnswers.push_back(file);
    const QString size = QString::number(lines);
    benchRow(QStringLiteral("ticket import: reading %1 rows").arg(size),
             timedMs([&] { QTest::mouseClick(form.Button5, Qt::LeftButton); }),
             timedMs([&] { engineReading(engine, ticket); }),
             QStringLiteral("engine: the same work-table inserts"));

    const TicketPosting::MovementType type{form.Edit10->text(), form.Edit2->text()};
    const QString forcedWritesOff = QStringLiteral("forced writes off on both copies (gfix -write async)");
    int posted = 0;
    const double posting = timedMs([&] { TicketPosting::postWorkRows(type); });
    const double enginePost =
        timedMs([&] { posted = enginePosting(engine, type, shared().CurrentEmployeeCode); });
    benchRow(QStringLiteral("ticket import: posting %1 rows").arg(size), posting, enginePost,
             QStringLiteral("%1 lines, one commit each; %2").arg(posted).arg(forcedWritesOff));
    int changed = 0;
    const double codes = timedMs([&] { TicketPosting::fillItemCodes(); });
    const double engineCodes = timedMs([&] { changed = engineItemCodes(engine); });
    benchRow(QStringLiteral("ticket import: item-code pass"), codes, engineCodes,
             QStringLiteral("%1 item numbers").arg(changed));
    benchRow(QStringLiteral("ticket import: posting with item-code pass"), posting + codes,
             enginePost + engineCodes, QStringLiteral("the target: within 3 x engine"));
    benchRow(QStringLiteral("ticket import: posting again, all there"),
             timedMs([&] { TicketPosting::postWorkRows(type); }),
             timedMs([&] { enginePosting(engine, type, shared().CurrentEmployeeCode); }),
             QStringLiteral("%1 rows checked").arg(size));

    std::printf("messages shown: %lld\n", qlonglong(platform.messages.size()));
    for (size_t i = 0; i < platform.messages.size() && i < 10; ++i)
        std::printf("  %s\n", qPrintable(platform.messages[i].text.section('\r', 0, 0)));
    engine.commit();
    delete Data;
    return platform.messages.size() > 1 ? 1 : 0;
}
