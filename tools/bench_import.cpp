// Benchmark of the purchase-ticket import on a copy of a large database: reading a 10,000-line ticket
// file into the work table, posting it, posting it again (every line already there) and the closing
// item-code pass, each beside the engine's own time for the same inserts and updates. Prints ms.
#include "data.h"
#include "formats.h"
#include "importposting.h"
#include "purchaseticketimport.h"
#include "query.h"
#include "scriptedplatform.h"
#include "sharedstate.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

double milliseconds(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

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
// item numbers; seven in ten producers are known partners, the rest one of 300 new names.
QByteArray ticketFile(int lines, const QStringList& items, const QStringList& partners)
{
    QRandomGenerator random(2025);
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<dataroot>\n";
    for (int i = 0; i < lines; ++i) {
        const QString item = random.bounded(5) < 4 ? items[random.bounded(int(items.size()))]
                                                   : QString::number(90001 + random.bounded(200));
        const QString producer = random.bounded(10) < 7 ? partners[random.bounded(int(partners.size()))]
                                                        : QStringLiteral("Próba Termelő %1").arg(random.bounded(300));
        const QStringList values{QStringLiteral("2025.10.%1").arg(1 + i % 28, 2, 10, QLatin1Char('0')),
                                 QStringLiteral("B%1").arg(i / 4, 7, 10, QLatin1Char('0')),
                                 item,
                                 QStringLiteral("Termény ") + item,
                                 QStringLiteral("BENCH/") + item,
                                 QStringLiteral("%1,%2").arg(1 + random.bounded(30)).arg(random.bounded(1000)),
                                 QStringLiteral("t"),
                                 QString::number(60000 + random.bounded(100000)),
                                 QString::number(100000 + random.bounded(5000000)),
                                 QStringLiteral("1001 99"),
                                 QString::number(70000 + i % 1000),
                                 producer,
                                 QStringLiteral("Kiskőrös"),
                                 QStringLiteral("Fő utca %1.").arg(1 + i % 99),
                                 QStringLiteral("6200")};
        xml += "  <Records>";
        for (int v = 0; v < values.size(); ++v)
            xml += QStringLiteral("<c%1>%2</c%1>").arg(v).arg(escaped(values[v])).toUtf8();
        xml += "</Records>\n";
    }
    return xml + "</dataroot>\n";
}

// The engine alone: the same number of rows through one prepared statement, either in one transaction
// or each committed on its own (the import's unit of work), then taken away again.
double engineInserts(const QString& sql, int rows, bool commitEach, const QString& cleanup)
{
    Query insert(Data->IBTrans1);
    insert.setSql(sql);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rows; ++i) {
        insert.paramByName(QStringLiteral("p1")).setText(QStringLiteral("E%1").arg(i));
        insert.execute();
        if (commitEach)
            Data->IBTrans1.commit();
    }
    if (Data->IBTrans1.isActive())
        Data->IBTrans1.commit();
    const double elapsed = milliseconds(timer);
    Query remove(Data->IBTrans1);
    remove.setSql(cleanup);
    remove.execute();
    Data->IBTrans1.commit();
    return elapsed;
}

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_import COPY_OF_DATABASE.FDB [lines]\n"
                             "The database is changed: give it a copy, never the original.\n");
        return 2;
    }
    const QString database = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    const int lines = argc > 2 ? QByteArray(argv[2]).toInt() : 10000;
    Formats::initialise(QLocale(QLocale::Hungarian, QLocale::Hungary));
    Connection::prepareEmbeddedEnvironment();
    ScriptedPlatform& platform = ScriptedPlatform::install();
    Data = new TData(database);
    Data->connectAndOpenTables();
    shared().CurrentEmployeeCode = QStringLiteral("1");

    const QString lineCount = firstValues(QStringLiteral("SELECT count(*) FROM bizmozg"), 1).value(0);
    const QStringList items = firstValues(QStringLiteral("SELECT cszam FROM cikk WHERE CHAR_LENGTH(cszam) <= 5"), 300);
    const QStringList partners = firstValues(QStringLiteral("SELECT pnev FROM partner"), 300);
    QTemporaryDir temporary;
    const QString file = temporary.filePath(QStringLiteral("dravo_varnelhez.xml"));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(ticketFile(lines, items, partners)) < 0) {
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
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(form.Button5, Qt::LeftButton);
    std::printf("reading (parse, %d MUNKA2 inserts, commit):   %9.0f ms\n", lines, milliseconds(timer));

    const TicketPosting::MovementType type{form.Edit10->text(), form.Edit2->text()};
    timer.restart();
    TicketPosting::postWorkRows(type);
    std::printf("posting (checks, new items and partners, one unit per line): %9.0f ms\n", milliseconds(timer));
    timer.restart();
    TicketPosting::fillItemCodes();
    std::printf("item-code pass after posting:                 %9.0f ms\n", milliseconds(timer));
    timer.restart();
    TicketPosting::postWorkRows(type);
    std::printf("posting again (every line already there):     %9.0f ms\n", milliseconds(timer));
    timer.restart();
    TicketPosting::fillItemCodes();
    std::printf("item-code pass with nothing to change:        %9.0f ms\n", milliseconds(timer));

    std::printf("engine: %d MUNKA2 inserts, one transaction:   %9.0f ms\n", lines,
                engineInserts(QStringLiteral("INSERT INTO munka2 (s_bszam) VALUES (:p1)"), lines, false,
                              QStringLiteral("DELETE FROM munka2 WHERE s_bszam STARTING WITH 'E'")));
    std::printf("engine: %d BIZMOZG inserts, one transaction:  %9.0f ms\n", lines,
                engineInserts(QStringLiteral("INSERT INTO bizmozg (bbszam, beredeti) VALUES (:p1, 'BENCH')"), lines,
                              false, QStringLiteral("DELETE FROM bizmozg WHERE beredeti = 'BENCH'")));
    std::printf("engine: %d BIZMOZG inserts, each committed:   %9.0f ms\n", lines,
                engineInserts(QStringLiteral("INSERT INTO bizmozg (bbszam, beredeti) VALUES (:p1, 'BENCH')"), lines,
                              true, QStringLiteral("DELETE FROM bizmozg WHERE beredeti = 'BENCH'")));

    std::printf("messages shown: %lld\n", qlonglong(platform.messages.size()));
    for (size_t i = 0; i < platform.messages.size() && i < 10; ++i)
        std::printf("  %s\n", qPrintable(platform.messages[i].text.section('\r', 0, 0)));
    delete Data;
    return 0;
}
