// The stress tools' database: its creation with the master rows, and the checks after a fault.
#include "stresscheck.h"

#include "data.h"
#include "databasefile.h"
#include "dberror.h"
#include "importreader.h"
#include "query.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QThread>

namespace StressCheck {

int quantityOf(qint64 serial)
{
    return int(serial % 997) + 1;
}

void createDatabase(const QString& database)
{
    std::unique_ptr<Connection> connection = createDatabaseFromSchema(database);
    for (const char* sql : {
             "INSERT INTO raktar (rkod, rnev) VALUES ('1', 'Központ')",
             "INSERT INTO partner (pkod, pnev) VALUES ('1', 'Vevő')",
             "INSERT INTO cikk (ckod, cszam, cmegn, cbizonylat, crkod) VALUES ('1', '100', 'Alma', 'B-100', "
             "'1')",
             "INSERT INTO cikk (ckod, cszam, cmegn, cbizonylat, crkod) VALUES ('2', '200', 'Körte', 'B-200', "
             "'1')",
             "INSERT INTO mnem (mkod, mnem, mnev, mncs) VALUES ('101', '101', 'BES', '+')",
             "INSERT INTO dolgozo (dkod, dnev) VALUES ('1', 'Kezelő')",
             "UPDATE bizszam SET zbizszam = '0'",
         }) {
        connection->transaction().ensureActive();
        Query q(connection->transaction());
        q.setSql(QString::fromUtf8(sql));
        q.execute();
    }
    connection->transaction().commit();
    connection->close();
}

void fillWorkTable(const QString& ticket, qint64 serial)
{
    Query& work = *Data->ZQ100;
    Data->IBTrans1.ensureActive();
    work.setSql(QStringLiteral("DELETE FROM munka2"));
    work.execute();
    int row = 0;
    const QString newItem = QString::number(10000 + serial % 89999);
    for (const QString& item : {newItem, newItem, QStringLiteral("100")}) {
        ++row;
        insertintotable(work,
                        {"2026.03.01", ticket + QString::number(row), item, "Importált", "IMP-" + item,
                         QString::number(quantityOf(serial + row)), "kg", "2", "4", "1001", "P9",
                         "Termelő " + ticket, "Falu", "Utca 1.", "6000"},
                        row);
    }
    Data->IBTrans1.commit();
}

QList<QStringList> rows(Connection& connection, const QString& sql, const QList<QString>& params)
{
    Query q(connection.transaction());
    q.setSql(sql);
    for (int i = 0; i < params.size(); ++i)
        q.paramByName(QStringLiteral("p%1").arg(i)).setText(params[i]);
    q.open();
    QList<QStringList> out;
    for (q.first(); !q.eof(); q.next()) {
        QStringList row;
        for (int c = 0; c < q.columnCount(); ++c)
            row << q.field(c).asString();
        out << row;
    }
    q.close();
    return out;
}

Validation validate(const QString& database)
{
    QProcess gfix;
    gfix.setProcessChannelMode(QProcess::MergedChannels);
    gfix.start(QStringLiteral("gfix"),
               {"-v", "-full", "-user", "SYSDBA", "-password", "quarzline", database});
    const bool finished = gfix.waitForFinished(120000);
    Validation result;
    if (!finished || gfix.exitStatus() != QProcess::NormalExit || gfix.exitCode() != 0)
        result.errors << QStringLiteral("gfix -v -full did not end normally (exit %1)").arg(gfix.exitCode());
    for (const QString& raw : QString::fromLocal8Bit(gfix.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.simplified();
        if (line.isEmpty() || line == QLatin1String("Summary of validation errors"))
            continue;
        if (line.startsWith(QLatin1String("Number of ")) && line.contains(QLatin1String(" warnings")))
            result.warnings << line;
        else
            result.errors << QStringLiteral("gfix -v -full: ") + line;
    }
    return result;
}

namespace {

// A killed desk's last request (its commit, or an update waiting for a lock) may still run on the
// server after the process is gone; the checks read committed rows statement by statement, so they
// start when no other attachment is left, or after half a minute.
void awaitOtherAttachments(Connection& connection)
{
    const QDeadlineTimer deadline(30000);
    for (;;) {
        const int others = rows(connection, "SELECT count(*) FROM mon$attachments WHERE mon$system_flag = 0 "
                                            "AND mon$attachment_id <> current_connection")
                               .value(0)
                               .value(0)
                               .toInt();
        // The monitoring tables are read once per transaction.
        connection.transaction().commit();
        if (others == 0 || deadline.hasExpired())
            return;
        QThread::msleep(20);
    }
}

// Every line in full: its quantity belongs to its tag, its type and employee are there, and an item
// number change left the line's item number, code and batch all of one item.
QStringList partialLines(Connection& connection)
{
    QStringList problems;
    const QStringList items{"100,1,B-100", "200,2,B-200"};
    for (const QStringList& line :
         rows(connection, "SELECT bmegjegy, bmenov, bcikkszam, bmnem, bdkod, bbszam, "
                          "bckod, btetel, beredeti, bmemo FROM bizmozg")) {
        const bool imported = line[8].startsWith(QLatin1String("F.jegy: "));
        const QString item = line[2] + ',' + line[6] + ',' + line[7];
        const bool changed = line[9].startsWith(QLatin1String("Csere elött:"));
        const bool itemWhole =
            imported && !items.contains(item) ? line[7] == "IMP-" + line[2] : items.contains(item);
        const bool quantityWhole =
            imported || line[1] == QString::number(quantityOf(line[0].mid(1).toLongLong()));
        if (!quantityWhole || !itemWhole || (changed && !items.contains(item)) || line[3] != "101" ||
            line[4] != "1" || line[5].isEmpty())
            problems << QStringLiteral("line in part: ") + line.join(QLatin1Char(','));
    }
    for (const QStringList& alone : rows(connection, "SELECT cszam FROM cikk c WHERE NOT EXISTS "
                                                     "(SELECT 1 FROM bizmozg b WHERE b.bcikkszam = c.cszam) "
                                                     "AND c.cszam NOT IN ('100', '200')"))
        problems << QStringLiteral("imported item without its line: ") + alone[0];
    return problems;
}

// The quantities stored under each line's note (the tag of a line save) and under each reference of an
// imported line, read in one pass: a statement per journal entry would scan the lines once per save.
struct StoredLines {
    QHash<QString, QStringList> byNote;
    QHash<QString, QStringList> byReference;
};

StoredLines storedLines(Connection& connection)
{
    StoredLines stored;
    for (const QStringList& line : rows(connection, "SELECT bmegjegy, beredeti, bmenov FROM bizmozg")) {
        stored.byNote[line[0]] << line[2];
        stored.byReference[line[1]] << line[2];
    }
    return stored;
}

QStringList unconfirmedSaves(Connection& connection, const StoredLines& stored, const QString& journalFile,
                             int* confirmed)
{
    QStringList problems;
    QFile journal(journalFile);
    if (!journal.open(QIODevice::ReadOnly))
        return problems;
    for (const QByteArray& raw : journal.readAll().split('\n')) {
        const QStringList entry = QString::fromUtf8(raw).split(QLatin1Char(' '));
        if (entry.size() < 3)
            continue;
        ++*confirmed;
        bool whole = false;
        if (entry[0] == QLatin1String("L"))
            whole = stored.byNote.value(entry[1]) == QStringList{entry[2]};
        else if (entry[0] == QLatin1String("I"))
            whole = stored.byReference.value(QStringLiteral("F.jegy: ") + entry[1]) == QStringList{entry[2]};
        else
            whole =
                rows(connection, QStringLiteral("SELECT 1 FROM %1 WHERE %2 = :p0").arg(entry[1], entry[2]),
                     {entry[3]})
                    .size() == 1;
        if (!whole)
            problems << QStringLiteral("saved, but not there in full: ") + QString::fromUtf8(raw);
    }
    return problems;
}

}

QStringList check(const QString& database, const QStringList& journals, int* confirmed,
                  QStringList* engineWarnings)
{
    QStringList problems;
    Connection connection;
    connection.setParams(databaseParams(database));
    try {
        connection.open();
    } catch (const DbError& error) {
        return problems << QStringLiteral("the database does not open: ") + error.message()
                        << validate(database).errors;
    }
    awaitOtherAttachments(connection);
    const qint64 counter = rows(connection, "SELECT zbizszam FROM bizszam").value(0).value(0).toLongLong();
    const QList<QStringList> top = rows(connection, "SELECT max(CAST(bbszam AS BIGINT)) FROM bizmozg");
    if (top[0][0].toLongLong() != counter)
        problems << QStringLiteral("counter %1, largest line number %2").arg(counter).arg(top[0][0]);
    for (const QStringList& twice :
         rows(connection, "SELECT bbszam, count(*) FROM bizmozg GROUP BY bbszam HAVING count(*) > 1"))
        problems << QStringLiteral("number %1 on %2 lines").arg(twice[0], twice[1]);
    problems << partialLines(connection);
    *confirmed = 0;
    const StoredLines stored = storedLines(connection);
    for (const QString& journal : journals)
        problems << unconfirmedSaves(connection, stored, journal, confirmed);
    for (const QStringList& table : rows(connection, "SELECT TRIM(rdb$relation_name) FROM rdb$relations "
                                                     "WHERE rdb$system_flag = 0 AND rdb$view_blr IS NULL"))
        rows(connection, QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table[0]));
    connection.transaction().commit();
    connection.close();

    const Validation validation = validate(database);
    *engineWarnings = validation.warnings;
    return problems + validation.errors;
}

}
