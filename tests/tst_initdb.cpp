// varnel-initdb run as a program: the schema it creates, its refusals, the copied templates, the demo.
#include "testdatabase.h"

#include "connection.h"
#include "databasefile.h"
#include "dberror.h"
#include "decimal.h"
#include "query.h"
#include "schemasql.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

namespace {

const QString dbName = QStringLiteral("VARNEL2013.FDB");

struct ToolRun {
    int exitCode = -1;
    QString errors;
};

ToolRun runTool(const QStringList& arguments, const QString& program = QStringLiteral(VARNEL_INITDB_PATH))
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

QByteArray fileDigest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

std::unique_ptr<Connection> openDatabase(const QString& folder)
{
    auto connection = std::make_unique<Connection>();
    connection->setParams(databaseParams(QDir(folder).filePath(dbName)));
    connection->open();
    return connection;
}

// Runs a SELECT and returns its rows, each column as text (numbers in the general format).
QList<QStringList> rows(Connection& connection, const QString& sql)
{
    Query query(connection.transaction());
    query.setSql(sql);
    QList<QStringList> result;
    for (query.open(); !query.eof(); query.next()) {
        QStringList row;
        for (int i = 0; i < query.columnCount(); ++i)
            row << query.field(i).asString();
        result << row;
    }
    return result;
}

QString single(Connection& connection, const QString& sql)
{
    const auto result = rows(connection, sql);
    return result.isEmpty() ? QString() : result.first().value(0);
}

// Table name -> column names in order, as schema.sql declares them.
QMap<QString, QStringList> schemaTables()
{
    QMap<QString, QStringList> tables;
    static const QRegularExpression table(QStringLiteral("CREATE TABLE (\\w+) \\((.*?)\\n\\);"),
                                          QRegularExpression::DotMatchesEverythingOption);
    for (auto it = table.globalMatch(QString::fromUtf8(schemaSql())); it.hasNext();) {
        const auto match = it.next();
        QStringList columns;
        for (const QString& line : match.captured(2).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            columns << line.trimmed().section(QLatin1Char(' '), 0, 0);
        tables.insert(match.captured(1), columns);
    }
    return tables;
}

QStringList schemaNames(const QString& pattern)
{
    QStringList names;
    const QRegularExpression re(pattern);
    for (auto it = re.globalMatch(QString::fromUtf8(schemaSql())); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

QString base36(qint64 n)
{
    return QString::number(n, 36).toUpper().rightJustified(5, QLatin1Char('0'));
}

bool isCode(const QString& text)
{
    static const QRegularExpression digits(QStringLiteral("^[1-9][0-9]{0,4}$"));
    return digits.match(text).hasMatch();
}

}

class TestInitDb : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void createsTheSchemaTables_data();
    void createsTheSchemaTables();
    void createsIndexesTriggerAndCounter();
    void headerKeepsPageCacheAndForcedWrites_data();
    void headerKeepsPageCacheAndForcedWrites();
    void refusesAnExistingDatabase_data();
    void refusesAnExistingDatabase();
    void rejectsBadArguments_data();
    void rejectsBadArguments();
    void copiesTemplatesWithoutOverwriting_data();
    void copiesTemplatesWithoutOverwriting();

    void demoMasterData_data();
    void demoMasterData();
    void demoLinesAreConsistent_data();
    void demoLinesAreConsistent();
    void demoIsRepeatable();
    void demoLeavesIndexesTriggerAndIdentityOn_data();
    void demoLeavesIndexesTriggerAndIdentityOn();

private:
    QString folder(const QString& name) const { return root_.filePath(name); }
    QByteArray demoFingerprint(const QString& name) const;

    QTemporaryDir root_;
};

void TestInitDb::initTestCase()
{
    initTestLocale();
    QVERIFY(root_.isValid());
    // Nested folders that do not exist yet: the tool makes them.
    QCOMPARE(runTool({folder(QStringLiteral("empty/work"))}).exitCode, 0);
    QCOMPARE(runTool({folder(QStringLiteral("demo")), QStringLiteral("--demo")}).exitCode, 0);
    for (const QString& name : {QStringLiteral("scaledA"), QStringLiteral("scaledB")}) {
        QCOMPARE(runTool({folder(name), QStringLiteral("--lines"), QStringLiteral("3000"),
                          QStringLiteral("--items"), QStringLiteral("120")})
                     .exitCode,
                 0);
    }
    // The benchmark's shape in small: every master count named, ten years (the first begins on a Sunday).
    QCOMPARE(runTool({folder(QStringLiteral("wide")), QStringLiteral("--lines"), QStringLiteral("3000"),
                      QStringLiteral("--items"), QStringLiteral("120"), QStringLiteral("--partners"),
                      QStringLiteral("450"), QStringLiteral("--warehouses"), QStringLiteral("20"),
                      QStringLiteral("--types"), QStringLiteral("30"), QStringLiteral("--years"),
                      QStringLiteral("10")})
                 .exitCode,
             0);
}

void TestInitDb::createsTheSchemaTables_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");
    const auto tables = schemaTables();
    QVERIFY(tables.size() >= 10);
    for (auto it = tables.cbegin(); it != tables.cend(); ++it)
        QTest::newRow(qPrintable(it.key())) << it.key() << it.value();
}

void TestInitDb::createsTheSchemaTables()
{
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    auto db = openDatabase(folder(QStringLiteral("empty/work")));
    QStringList actual;
    for (const QStringList& row :
         rows(*db, QStringLiteral("SELECT TRIM(rdb$field_name) FROM rdb$relation_fields "
                                  "WHERE rdb$relation_name = '%1' ORDER BY rdb$field_position")
                       .arg(table)))
        actual << row.first();
    QCOMPARE(actual, columns);
}

void TestInitDb::createsIndexesTriggerAndCounter()
{
    auto db = openDatabase(folder(QStringLiteral("empty/work")));
    QCOMPARE(single(*db, QStringLiteral("SELECT TRIM(rdb$character_set_name) FROM rdb$database")),
             QStringLiteral("WIN1250"));
    const QStringList indexes = schemaNames(QStringLiteral("CREATE INDEX (\\w+) ON"));
    QVERIFY(indexes.size() > 10);
    for (const QString& index : indexes) {
        QCOMPARE(single(*db, QStringLiteral("SELECT COALESCE(rdb$index_inactive, 0) FROM rdb$indices "
                                            "WHERE rdb$index_name = '%1'")
                                 .arg(index)),
                 QStringLiteral("0"));
    }
    for (const QString& trigger : schemaNames(QStringLiteral("CREATE TRIGGER (\\w+)")))
        QCOMPARE(single(*db, QStringLiteral("SELECT COUNT(*) FROM rdb$triggers WHERE rdb$trigger_name = '%1'")
                                 .arg(trigger)),
                 QStringLiteral("1"));
    QCOMPARE(rows(*db, QStringLiteral("SELECT zbizszam FROM bizszam")),
             QList<QStringList>{{QStringLiteral("0")}});
    for (const QString& table :
         {QStringLiteral("BIZMOZG"), QStringLiteral("CIKK"), QStringLiteral("PARTNER")})
        QCOMPARE(single(*db, QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)), QStringLiteral("0"));
}

void TestInitDb::headerKeepsPageCacheAndForcedWrites_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QStringLiteral("empty/work");
    QTest::newRow("demo, loaded without forced writes") << QStringLiteral("demo");
}

// The page cache is in the header for every attachment; a demo load turns forced writes back on.
void TestInitDb::headerKeepsPageCacheAndForcedWrites()
{
    QFETCH(QString, name);
    auto db = openDatabase(folder(name));
    QCOMPARE(rows(*db, QStringLiteral("SELECT mon$page_buffers, mon$forced_writes FROM mon$database")),
             QList<QStringList>({{QString::number(DatabasePageBuffers), QStringLiteral("1")}}));
}

void TestInitDb::refusesAnExistingDatabase_data()
{
    QTest::addColumn<bool>("realDatabase");
    QTest::addColumn<QStringList>("options");
    QTest::newRow("database, plain") << true << QStringList{};
    QTest::newRow("database, demo") << true << QStringList{QStringLiteral("--demo")};
    QTest::newRow("other file of that name, plain") << false << QStringList{};
    QTest::newRow("other file of that name, scaled")
        << false << QStringList{QStringLiteral("--lines"), QStringLiteral("10")};
}

void TestInitDb::refusesAnExistingDatabase()
{
    QFETCH(bool, realDatabase);
    QFETCH(QStringList, options);
    QTemporaryDir dir;
    const QString path = dir.filePath(dbName);
    if (realDatabase) {
        QCOMPARE(runTool({dir.path()}).exitCode, 0);
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a database");
    }
    const QByteArray before = fileDigest(path);
    const QStringList entriesBefore = QDir(dir.path()).entryList(QDir::Files);

    const ToolRun run = runTool(QStringList{dir.path()} + options);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.errors.contains(path), qPrintable(run.errors));
    QCOMPARE(fileDigest(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), entriesBefore);
}

void TestInitDb::rejectsBadArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    const QString f = QStringLiteral("FOLDER");
    QTest::newRow("no folder") << QStringList{QStringLiteral("--demo")};
    QTest::newRow("two folders") << QStringList{f, f + QLatin1Char('2')};
    QTest::newRow("negative lines") << QStringList{f, QStringLiteral("--lines"), QStringLiteral("-1")};
    QTest::newRow("lines not a number") << QStringList{f, QStringLiteral("--lines"), QStringLiteral("sok")};
    QTest::newRow("no items") << QStringList{f, QStringLiteral("--items"), QStringLiteral("0")};
    QTest::newRow("more items than five-character codes")
        << QStringList{f, QStringLiteral("--items"), QStringLiteral("100001")};
    QTest::newRow("more lines than line codes")
        << QStringList{f, QStringLiteral("--lines"), QStringLiteral("60000001")};
    QTest::newRow("fewer partners than the named ones")
        << QStringList{f, QStringLiteral("--partners"), QStringLiteral("11")};
    QTest::newRow("no warehouse") << QStringList{f, QStringLiteral("--warehouses"), QStringLiteral("0")};
    QTest::newRow("fewer types than kinds of line")
        << QStringList{f, QStringLiteral("--types"), QStringLiteral("5")};
    QTest::newRow("more types than named ones")
        << QStringList{f, QStringLiteral("--types"), QStringLiteral("31")};
    QTest::newRow("no year") << QStringList{f, QStringLiteral("--years"), QStringLiteral("0")};
}

void TestInitDb::rejectsBadArguments()
{
    QFETCH(QStringList, arguments);
    QTemporaryDir dir;
    arguments.replaceInStrings(QRegularExpression(QStringLiteral("^FOLDER")),
                               dir.filePath(QStringLiteral("w")));
    const ToolRun run = runTool(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(!run.errors.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("w/") + dbName)));
}

void TestInitDb::copiesTemplatesWithoutOverwriting_data()
{
    QTest::addColumn<int>("umask");
    QTest::newRow("umask 077, as the launcher sets it") << 077;
    QTest::newRow("umask 022") << 022;
}

// An installed tool finds its templates beside itself; a template the user already has is kept. The
// copies get what a new file gets under the umask, not the installed files' modes; the database stays
// its owner's alone.
void TestInitDb::copiesTemplatesWithoutOverwriting()
{
    QFETCH(int, umask);
    QTemporaryDir install;
    const QString tool = install.filePath(QStringLiteral("varnel-initdb"));
    QVERIFY(QFile::copy(QStringLiteral(VARNEL_INITDB_PATH), tool));
    QVERIFY(QDir(install.path()).mkdir(QStringLiteral("templates")));
    auto write = [](const QString& path, const QByteArray& text) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    };
    QVERIFY(write(install.filePath(QStringLiteral("templates/VarnelRaktar.frf")), "<report>raktár</report>"));
    QVERIFY(write(install.filePath(QStringLiteral("templates/VarnelCikk.frf")), "<report>new</report>"));
    QVERIFY(write(install.filePath(QStringLiteral("templates/VARNEL.HLP")), "help"));
    QVERIFY(write(install.filePath(QStringLiteral("templates/notes.txt")), "not ours"));
    QTemporaryDir work;
    QVERIFY(write(work.filePath(QStringLiteral("VarnelCikk.frf")), "<report>edited</report>"));

    for (const char* name : {"templates/VarnelRaktar.frf", "templates/VARNEL.HLP"})
        QVERIFY(QFile::setPermissions(install.filePath(QString::fromLatin1(name)),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                          QFile::ReadOther));

    const mode_t saved = ::umask(mode_t(umask));
    const ToolRun run = runTool({work.path()}, tool);
    ::umask(saved);
    QCOMPARE(run.exitCode, 0);
    const auto mode = [&work](const QString& name) {
        struct stat info {};
        return ::stat(QFile::encodeName(work.filePath(name)).constData(), &info) == 0
                   ? int(info.st_mode & 07777)
                   : -1;
    };
    QCOMPARE(mode(QStringLiteral("VarnelRaktar.frf")), 0666 & ~umask);
    QCOMPARE(mode(QStringLiteral("VARNEL.HLP")), 0666 & ~umask);
    QCOMPARE(mode(dbName), 0600);

    QVERIFY(QFile::exists(work.filePath(dbName)));
    QCOMPARE(fileDigest(work.filePath(QStringLiteral("VarnelRaktar.frf"))),
             fileDigest(install.filePath(QStringLiteral("templates/VarnelRaktar.frf"))));
    QCOMPARE(fileDigest(work.filePath(QStringLiteral("VARNEL.HLP"))),
             fileDigest(install.filePath(QStringLiteral("templates/VARNEL.HLP"))));
    QVERIFY(!QFile::exists(work.filePath(QStringLiteral("notes.txt"))));
    QFile kept(work.filePath(QStringLiteral("VarnelCikk.frf")));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("<report>edited</report>"));
}

void TestInitDb::demoMasterData_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("codeColumn");
    QTest::addColumn<QString>("nameColumn");
    QTest::addColumn<int>("least");
    QTest::addColumn<int>("most");
    auto row = [](const char* tag, const char* name, const char* table, const char* column,
                  const char* nameColumn, int least, int most) {
        QTest::newRow(tag) << QString::fromLatin1(name) << QString::fromLatin1(table)
                           << QString::fromLatin1(column) << QString::fromLatin1(nameColumn) << least << most;
    };
    row("warehouses", "demo", "RAKTAR", "RKOD", "RNEV", 2, 6);
    row("employees", "demo", "DOLGOZO", "DKOD", "DNEV", 4, 6);
    row("movement types", "demo", "MNEM", "MKOD", "MNEM", 4, 10);
    row("partners", "demo", "PARTNER", "PKOD", "PNEV", 6, 30);
    row("items", "demo", "CIKK", "CKOD", "CSZAM", 10, 30);
    row("warehouses as asked", "wide", "RAKTAR", "RKOD", "RNEV", 20, 20);
    row("movement types as asked", "wide", "MNEM", "MKOD", "MNEM", 30, 30);
    row("partners as asked", "wide", "PARTNER", "PKOD", "PNEV", 450, 450);
}

// Codes are decimal digits of one width per table, so the entry forms' "last code plus one" is new; the
// names a person picks a row by are distinct.
void TestInitDb::demoMasterData()
{
    QFETCH(QString, name);
    QFETCH(QString, table);
    QFETCH(QString, codeColumn);
    QFETCH(QString, nameColumn);
    QFETCH(int, least);
    QFETCH(int, most);
    auto db = openDatabase(folder(name));
    const auto codes = rows(*db, QStringLiteral("SELECT %1 FROM %2 ORDER BY %1").arg(codeColumn, table));
    QVERIFY2(codes.size() >= least && codes.size() <= most, qPrintable(QString::number(codes.size())));
    QSet<QString> seen;
    for (const QStringList& row : codes) {
        QVERIFY2(isCode(row.first()), qPrintable(row.first()));
        QCOMPARE(row.first().size(), codes.first().first().size());
        seen.insert(row.first());
    }
    QCOMPARE(seen.size(), codes.size());
    QCOMPARE(single(*db, QStringLiteral("SELECT COUNT(DISTINCT %1) FROM %2").arg(nameColumn, table)),
             QString::number(codes.size()));
    if (table == QLatin1String("MNEM")) {
        QVERIFY(!rows(*db, QStringLiteral("SELECT 1 FROM mnem WHERE mncs = '+'")).isEmpty());
        QVERIFY(!rows(*db, QStringLiteral("SELECT 1 FROM mnem WHERE mncs = '-'")).isEmpty());
    }
}

void TestInitDb::demoLinesAreConsistent_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("firstYear");
    QTest::newRow("default demo") << QStringLiteral("demo") << 400 << 14 << 2025;
    QTest::newRow("scaled") << QStringLiteral("scaledA") << 3000 << 120 << 2025;
    QTest::newRow("every master count, ten years") << QStringLiteral("wide") << 3000 << 120 << 2017;
}

// Every line refers to existing master rows the way the forms would store it, its BKOD is the database's,
// its document number is its own, no item's running stock drops below zero, the lines span the years
// and use every movement type and warehouse.
void TestInitDb::demoLinesAreConsistent()
{
    QFETCH(QString, name);
    QFETCH(int, lines);
    QFETCH(int, items);
    QFETCH(int, firstYear);
    auto db = openDatabase(folder(name));
    QHash<QString, QStringList> itemByNumber;   // cszam -> ckod, cbizonylat
    for (const QStringList& r : rows(*db, QStringLiteral("SELECT cszam, ckod, cbizonylat FROM cikk")))
        itemByNumber.insert(r[0], {r[1], r[2]});
    QCOMPARE(itemByNumber.size(), items);
    QHash<QString, QStringList> typeByKey;   // mnem -> mkod, mncs
    for (const QStringList& r : rows(*db, QStringLiteral("SELECT mnem, mkod, mncs FROM mnem")))
        typeByKey.insert(r[0], {r[1], r[2]});
    auto codes = [&](const QString& sql) {
        QSet<QString> set;
        for (const QStringList& r : rows(*db, sql))
            set.insert(r.first());
        return set;
    };
    const QSet<QString> partners = codes(QStringLiteral("SELECT pkod FROM partner"));
    const QSet<QString> warehouses = codes(QStringLiteral("SELECT rkod FROM raktar"));
    const QSet<QString> employees = codes(QStringLiteral("SELECT dkod FROM dolgozo"));

    Query query(db->transaction());
    query.setSql(
        QStringLiteral("SELECT idb, bkod, bbszam, bcikkszam, bckod, btetel, bmnem, bmkod, bmenov, bmecsok, "
                       "bertnov, bertcsok, bear, bbizdatum, bpkod, brkod, bdkod FROM bizmozg ORDER BY idb"));
    QHash<QString, Decimal> stock;
    QSet<QString> numbers;
    QSet<QString> itemsUsed;
    QSet<QString> typesUsed;
    QSet<QString> warehousesUsed;
    qint64 lastNumber = 0;
    QDate lastDate;
    int count = 0;
    for (query.open(); !query.eof(); query.next(), ++count) {
        auto text = [&](const char* column) { return query.fieldByName(QLatin1String(column)).asString(); };
        auto amount = [&](const char* column) {
            return query.fieldByName(QLatin1String(column)).asDecimal();
        };
        const QString where = QStringLiteral("line %1").arg(text("IDB"));
        QCOMPARE(text("BKOD"), base36(query.fieldByName(QStringLiteral("IDB")).asInteger()));
        const qint64 number = text("BBSZAM").toLongLong();
        QCOMPARE(text("BBSZAM"), QString::number(number));
        QVERIFY2(number > 0 && !numbers.contains(text("BBSZAM")), qPrintable(where));
        numbers.insert(text("BBSZAM"));
        lastNumber = std::max(lastNumber, number);

        QVERIFY2(itemByNumber.contains(text("BCIKKSZAM")), qPrintable(where));
        QCOMPARE(QStringList({text("BCKOD"), text("BTETEL")}), itemByNumber.value(text("BCIKKSZAM")));
        QVERIFY2(typeByKey.contains(text("BMNEM")), qPrintable(where));
        QCOMPARE(text("BMKOD"), typeByKey.value(text("BMNEM")).at(0));
        const bool increase = typeByKey.value(text("BMNEM")).at(1) == QLatin1String("+");
        const Decimal zero;
        const Decimal quantity = increase ? amount("BMENOV") : amount("BMECSOK");
        const Decimal value = increase ? amount("BERTNOV") : amount("BERTCSOK");
        QCOMPARE(increase ? amount("BMECSOK") : amount("BMENOV"), zero);
        QCOMPARE(increase ? amount("BERTCSOK") : amount("BERTNOV"), zero);
        QVERIFY2(quantity > zero, qPrintable(where));
        // Values are whole forints: at most half a forint from quantity times price (exact, in 1e-8 units).
        const qint64 exact = quantity.scaled() * amount("BEAR").scaled();
        QVERIFY2(std::abs(value.scaled() * Decimal::Unit - exact) <= Decimal::Unit * Decimal::Unit / 2,
                 qPrintable(where));

        QVERIFY2(text("BPKOD").isEmpty() || partners.contains(text("BPKOD")), qPrintable(where));
        QVERIFY2(warehouses.contains(text("BRKOD")), qPrintable(where));
        QVERIFY2(employees.contains(text("BDKOD")), qPrintable(where));
        const QDate date = query.fieldByName(QStringLiteral("BBIZDATUM")).asDate();
        QVERIFY2(date.year() >= firstYear && date.year() <= 2026 && (!lastDate.isValid() || date >= lastDate),
                 qPrintable(where));
        QVERIFY2(date.dayOfWeek() != Qt::Sunday, qPrintable(where));
        if (!lastDate.isValid())
            QCOMPARE(date.year(), firstYear);
        lastDate = date;
        typesUsed.insert(text("BMNEM"));
        warehousesUsed.insert(text("BRKOD"));

        Decimal& itemStock = stock[text("BCIKKSZAM")];
        itemStock = increase ? itemStock + quantity : itemStock - quantity;
        QVERIFY2(itemStock >= zero, qPrintable(where + QStringLiteral(" takes ") + text("BCIKKSZAM") +
                                               QStringLiteral(" below zero")));
        itemsUsed.insert(text("BCIKKSZAM"));
    }
    QCOMPARE(count, lines);
    QCOMPARE(lastDate.year(), 2026);
    QVERIFY(itemsUsed.size() > items / 2);
    QCOMPARE(typesUsed.size(), typeByKey.size());
    QCOMPARE(warehousesUsed, warehouses);
    QCOMPARE(single(*db, QStringLiteral("SELECT zbizszam FROM bizszam")), QString::number(lastNumber));
    QCOMPARE(single(*db, QStringLiteral("SELECT COUNT(*) FROM bizszam")), QStringLiteral("1"));
}

QByteArray TestInitDb::demoFingerprint(const QString& name) const
{
    auto db = openDatabase(folder(name));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QString& sql : {QStringLiteral("SELECT * FROM bizmozg ORDER BY idb"),
                               QStringLiteral("SELECT * FROM cikk ORDER BY idc"),
                               QStringLiteral("SELECT * FROM partner ORDER BY idp")}) {
        for (const QStringList& row : rows(*db, sql))
            hash.addData(row.join(QLatin1Char('|')).toUtf8() + '\n');
    }
    return hash.result();
}

void TestInitDb::demoIsRepeatable()
{
    QCOMPARE(demoFingerprint(QStringLiteral("scaledA")), demoFingerprint(QStringLiteral("scaledB")));
}

void TestInitDb::demoLeavesIndexesTriggerAndIdentityOn_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("lines");
    QTest::newRow("default demo") << QStringLiteral("demo") << 400;
    QTest::newRow("every master count, ten years") << QStringLiteral("wide") << 3000;
}

// The load builds the line indexes afterwards and stores IDB and BKOD itself; what it turned off for
// that is on again: every index of the schema active, the BKOD trigger active, and the identity going
// on after the last line, so that the next line the program saves gets the next number and its BKOD.
void TestInitDb::demoLeavesIndexesTriggerAndIdentityOn()
{
    QFETCH(QString, name);
    QFETCH(int, lines);
    auto db = openDatabase(folder(name));
    const QStringList indexes =
        schemaNames(QStringLiteral("CREATE (?:ASCENDING |DESCENDING )?INDEX (\\w+) ON"));
    QVERIFY(indexes.contains(QStringLiteral("BIZMOZG_BSZAM_DESC")));
    QStringList active;
    for (const QStringList& row :
         rows(*db, QStringLiteral(
                       "SELECT TRIM(rdb$index_name) FROM rdb$indices WHERE COALESCE(rdb$system_flag, 0) = 0 "
                       "AND COALESCE(rdb$index_inactive, 0) = 0")))
        active << row.first();
    for (const QString& index : indexes)
        QVERIFY2(active.contains(index), qPrintable(index));
    for (const QString& trigger : schemaNames(QStringLiteral("CREATE TRIGGER (\\w+)")))
        QCOMPARE(single(*db, QStringLiteral("SELECT COALESCE(rdb$trigger_inactive, 0) FROM rdb$triggers "
                                            "WHERE rdb$trigger_name = '%1'")
                                 .arg(trigger)),
                 QStringLiteral("0"));

    Query insert(db->transaction());
    insert.setSql(QStringLiteral("INSERT INTO bizmozg (bbszam) VALUES ('proba')"));
    try {
        insert.execute();
    } catch (const DbError& error) {
        QFAIL(qPrintable(error.message()));
    }
    QCOMPARE(rows(*db, QStringLiteral("SELECT idb, bkod FROM bizmozg WHERE bbszam = 'proba'")),
             QList<QStringList>({{QString::number(lines + 1), base36(lines + 1)}}));
    db->transaction().rollback();
}

QTEST_GUILESS_MAIN(TestInitDb)
#include "tst_initdb.moc"
