// Demo master data: believable Hungarian warehouses, staff, movement types, partners and farm produce.
#include "demomaster.h"

#include "connection.h"
#include "demorandom.h"
#include "query.h"

#include <algorithm>
#include <iterator>

namespace {

struct Produce {
    const char* name;          // CMEGN
    const char* size;          // CMERET
    const char* kind;          // CFAJTA
    const char* grade;         // CBESOR
    const char* tariff;        // CVTSZ
    const char* unit;          // CME
    const char* batchPrefix;   // first three characters of the batch number
    int decimals;
    std::int64_t price;   // forints per unit
    std::int64_t lot;     // units per delivery
};

const Produce produce[] = {
    {"Búza", "étkezési, ömlesztett", "GK Öthalom", "Malmi", "1001 99", "t", "BUZ", 3, 78000, 38},
    {"Búza", "takarmány, ömlesztett", "Mv Kolo", "Takarmány", "1001 99", "t", "BUZ", 3, 70000, 30},
    {"Kukorica", "szemes, szárított", "Lófogú", "Takarmány", "1005 90", "t", "KUK", 3, 72000, 40},
    {"Napraforgó", "olajipari", "Hibrid NK", "Ipari", "1206 00", "t", "NAP", 3, 165000, 24},
    {"Őszi árpa", "takarmány", "KH Viktor", "Takarmány", "1003 90", "t", "ARP", 3, 68000, 30},
    {"Tavaszi árpa", "sörárpa", "Kétsoros", "Söripari", "1003 90", "t", "ARP", 3, 74000, 25},
    {"Zab", "ömlesztett", "Mv Pehely", "Takarmány", "1004 90", "t", "ZAB", 3, 64000, 18},
    {"Rozs", "étkezési", "Kisvárdai", "Malmi", "1002 90", "t", "ROZ", 3, 66000, 16},
    {"Repce", "olajipari", "00-típusú", "Ipari", "1205 10", "t", "REP", 3, 180000, 22},
    {"Szója", "GMO-mentes", "Korai", "Takarmány", "1201 90", "t", "SZO", 3, 190000, 20},
    {"Tritikále", "takarmány", "GK Rege", "Takarmány", "1008 60", "t", "TRI", 3, 62000, 20},
    {"Borsó", "sárga, takarmány", "Rocket", "Takarmány", "0713 10", "t", "BOR", 3, 95000, 12},
    {"Mák", "kék, tisztított", "Kék Gemona", "Étkezési", "1207 91", "kg", "MAK", 0, 1400, 600},
    {"Lucernaszéna", "kisbála, 20 kg", "Lucerna", "Takarmány", "1214 90", "bála", "LUC", 0, 2200, 300},
};
constexpr int produceCount = int(std::size(produce));

const char* const warehouses[][2] = {
    {"Központi raktár", "Kecskemét, Izsáki út 6."},
    {"Terménytároló", "Kiskunfélegyháza, Majsai út 120."},
    {"Szárító és siló", "Lakitelek, Tőserdői út 2."},
};
// Further sites of a big business: one store of each kind in the towns the partners come from.
const char* const siteKinds[] = {"Terménytároló", "Magtár", "Hűtőház", "Fióktelep"};

const char* const employees[] = {"Kiss Anna", "Nagy Péter", "Tóth Erzsébet", "Szabó László",
                                 "Horváth Zoltán"};

struct TypeRow {
    const char* key;
    const char* name;
    const char* sign;
};
// Keys of digits (1xx receipts, 2xx issues) and names of three letters: the line form takes a typed
// text that begins with a digit as a key and anything else as a name, and a movement type box holds
// three characters, so both can be typed there and found at once.
const TypeRow movementTypes[] = {
    {"101", "BES", "+"},
    {"102", "FEL", "+"},
    {"201", "ELA", "-"},
    {"202", "SEL", "-"},
    {"103", "LTT", "+"},
    {"203", "LHI", "-"},
    // Further receipts and issues, taken in this order, a receipt and an issue at a time.
    {"104", "VIS", "+"},
    {"204", "VSZ", "-"},
    {"105", "ATB", "+"},
    {"205", "ATK", "-"},
    {"106", "BIZ", "+"},
    {"206", "BZK", "-"},
    {"107", "AJB", "+"},
    {"207", "AJK", "-"},
    {"108", "TRM", "+"},
    {"208", "FLH", "-"},
    {"109", "IMP", "+"},
    {"209", "EXP", "-"},
    {"110", "KOB", "+"},
    {"210", "KOK", "-"},
    {"111", "JAV", "+"},
    {"211", "JVK", "-"},
    {"112", "CSB", "+"},
    {"212", "CSK", "-"},
    {"113", "HOZ", "+"},
    {"213", "MIN", "-"},
    {"114", "KPB", "+"},
    {"214", "KPK", "-"},
    {"115", "EGB", "+"},
    {"215", "EGK", "-"},
};
static_assert(std::size(movementTypes) == DemoOptions::MaxTypes);

struct PartnerRow {
    const char* name;
    const char* postcode;
    const char* town;
    const char* street;
};
const PartnerRow firms[] = {
    {"Alföldi Gabona Kft.", "6000", "Kecskemét", "Szolnoki út 47."},
    {"Dél-Pest Agro Zrt.", "2700", "Cegléd", "Pesti út 112."},
    {"Tiszamenti Malom Kft.", "5000", "Szolnok", "Kossuth Lajos út 18."},
    {"Kunsági Takarmány Bt.", "6100", "Kiskunfélegyháza", "Szegedi út 3."},
    {"Bácskai Olajipari Zrt.", "6500", "Baja", "Dózsa György út 210."},
    {"Homokháti Mezőgazdasági Szövetkezet", "6783", "Ásotthalom", "Királyhalmi út 9."},
};
const PartnerRow producers[] = {
    {"Nagy István őstermelő", "6120", "Kiskunmajsa", "Kígyós tanya 412."},
    {"Kovács Jánosné", "6065", "Lakitelek", "Széchenyi körút 8."},
    {"Szabó Ferenc e.v.", "6440", "Jánoshalma", "Béke utca 27."},
    {"Tóth Gábor őstermelő", "6230", "Soltvadkert", "Kiskőrösi út 55."},
    {"Varga Erzsébet", "6060", "Tiszakécske", "Petőfi Sándor utca 3."},
    {"Molnár Béla őstermelő", "6750", "Algyő", "Kastélykert utca 14."},
};

const char* const surnames[] = {"Balogh", "Farkas", "Fekete",   "Simon", "Rácz",   "Lakatos", "Papp",
                                "Takács", "Juhász", "Mészáros", "Oláh",  "Pintér", "Bíró",    "Szűcs",
                                "Vörös",  "Kocsis", "Fodor",    "Sipos", "Gulyás", "Hegedűs"};
const char* const givenNames[] = {"András", "Béla",   "Csaba",  "Dénes", "Ernő",   "Ferenc", "Géza",
                                  "Imre",   "József", "Károly", "Lajos", "Mihály", "Ottó",   "Pál",
                                  "Róbert", "Sándor", "Tibor",  "Ágnes", "Éva",    "Ilona"};
const PartnerRow towns[] = {
    {"", "6050", "Lajosmizse", "Dózsa György út"},    {"", "6070", "Izsák", "Szent Imre utca"},
    {"", "6200", "Kiskőrös", "Petőfi tér"},           {"", "6320", "Solt", "Kossuth utca"},
    {"", "6400", "Kiskunhalas", "Szilády Áron utca"}, {"", "6430", "Bácsalmás", "Hősök tere"},
    {"", "6630", "Mindszent", "Köztársaság tér"},     {"", "6800", "Hódmezővásárhely", "Andrássy út"},
    {"", "5900", "Orosháza", "Táncsics Mihály utca"}, {"", "5600", "Békéscsaba", "Szarvasi út"},
};

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

QString bankAccount(DemoRandom& random)
{
    return QStringLiteral("%1-%2-%3")
        .arg(117'00000 + random.below(90000))
        .arg(random.between(10000000, 99999999))
        .arg(random.between(10000000, 99999999));
}

QStringList insertWarehouses(Transaction& transaction, int count)
{
    std::vector<QStringList> rows;
    QStringList codes;
    const int named = int(std::size(warehouses));
    for (int i = 0; i < count; ++i) {
        codes << demoCode(i, count);
        if (i < named) {
            rows.push_back({codes.last(), utf8(warehouses[i][0]), utf8(warehouses[i][1])});
            continue;
        }
        const int n = i - named;
        const PartnerRow& town = towns[size_t(n) % std::size(towns)];
        const QString kind = utf8(siteKinds[size_t(n / int(std::size(towns))) % std::size(siteKinds)]);
        const int round = n / int(std::size(towns) * std::size(siteKinds));
        const QString name = round == 0
                                 ? QStringLiteral("%1 %2").arg(kind, utf8(town.town))
                                 : QStringLiteral("%1 %2 %3.").arg(kind, utf8(town.town)).arg(round + 1);
        rows.push_back({codes.last(), name,
                        QStringLiteral("%1, %2 %3.").arg(utf8(town.town), utf8(town.street)).arg(10 + i)});
    }
    insertTextRows(transaction,
                   QStringLiteral("INSERT INTO raktar (rkod, rnev, rtelep) VALUES (:p1, :p2, :p3)"), rows);
    return codes;
}

QStringList insertEmployees(Transaction& transaction)
{
    std::vector<QStringList> rows;
    QStringList codes;
    const int count = int(std::size(employees));
    for (int i = 0; i < count; ++i) {
        codes << demoCode(i, count);
        rows.push_back({codes.last(), utf8(employees[i])});
    }
    insertTextRows(transaction, QStringLiteral("INSERT INTO dolgozo (dkod, dnev) VALUES (:p1, :p2)"), rows);
    return codes;
}

std::vector<DemoMovementType> insertMovementTypes(Transaction& transaction, int count)
{
    std::vector<QStringList> rows;
    std::vector<DemoMovementType> types;
    for (int i = 0; i < count; ++i) {
        const TypeRow& t = movementTypes[i];
        const bool increase = QString::fromLatin1(t.sign) == QLatin1String("+");
        types.push_back({demoCode(i, count), utf8(t.key), utf8(t.name), increase});
        rows.push_back({types.back().code, types.back().key, types.back().name, utf8(t.sign)});
    }
    insertTextRows(transaction,
                   QStringLiteral("INSERT INTO mnem (mkod, mnem, mnev, mncs) VALUES (:p1, :p2, :p3, :p4)"),
                   rows);
    return types;
}

// A further producer's name: a surname and a given name, then (past every pair) a second given name.
QString producerName(int n)
{
    const int pairs = int(std::size(surnames) * std::size(givenNames));
    const QString name = utf8(surnames[size_t(n) % std::size(surnames)]) + QLatin1Char(' ') +
                         utf8(givenNames[size_t(n % pairs) / std::size(surnames)]);
    if (n < pairs)
        return name + QStringLiteral(" őstermelő");
    return name + QLatin1Char(' ') + utf8(givenNames[size_t(n / pairs - 1) % std::size(givenNames)]) +
           QStringLiteral(" őstermelő");
}

int namedPartnerCount()
{
    return int(std::size(firms) + std::size(producers));
}

// The named partners first, then (for big databases) more primary producers from the name lists.
void insertPartners(Transaction& transaction, int count, DemoWorld& world, DemoRandom& random)
{
    std::vector<PartnerRow> all(std::begin(firms), std::end(firms));
    all.insert(all.end(), std::begin(producers), std::end(producers));
    const int firmCount = int(std::size(firms));
    std::vector<QStringList> rows;
    for (int i = 0; i < count; ++i) {
        QString name, postcode, town, street;
        if (i < int(all.size())) {
            const PartnerRow& p = all[size_t(i)];
            name = utf8(p.name), postcode = utf8(p.postcode), town = utf8(p.town), street = utf8(p.street);
        } else {
            const int n = i - int(all.size());
            const PartnerRow& t = towns[size_t(n) % std::size(towns)];
            name = producerName(n);
            postcode = utf8(t.postcode), town = utf8(t.town);
            street = utf8(t.street) + QStringLiteral(" %1.").arg(1 + random.below(120));
        }
        const QString code = demoCode(i, count);
        (i < firmCount ? world.companies : world.producers) << code;
        rows.push_back({code, name, postcode, town, street, bankAccount(random)});
    }
    insertTextRows(transaction,
                   QStringLiteral("INSERT INTO partner (pkod, pnev, pirszam, phelyseg, putca, pbank) "
                                  "VALUES (:p1, :p2, :p3, :p4, :p5, :p6)"),
                   rows);
}

// Item codes have five characters. Beyond 90,000 items the digits would run out, and the program gives
// a new item one more than the largest all-digit code: the last items get a letter and four digits,
// which that count passes over, so that new items still find free codes after 90000.
QString itemCode(int index, int itemCount)
{
    constexpr int DigitCodes = 80000;
    if (itemCount <= DemoOptions::DigitItemCodes)
        return demoCode(index, itemCount);
    if (index < DigitCodes)
        return QString::number(10000 + index);
    const int rest = index - DigitCodes;
    return QChar(u'A' + rest / 10000) + QStringLiteral("%1").arg(rest % 10000, 4, 10, QLatin1Char('0'));
}

// Each item is one lot of produce with its own item number and batch number. The batch number reads as
// the batch range list expects: three letters of the produce, a quality letter (A-K), a field letter
// (E-V), the two digits of the harvest year, then a serial number.
void insertItems(Transaction& transaction, int itemCount, DemoWorld& world, const QStringList& warehouseCodes)
{
    const int serialWidth = std::max(3, int(QString::number(itemCount).size()));
    std::vector<QStringList> rows;
    for (int i = 0; i < itemCount; ++i) {
        const Produce& p = produce[i % produceCount];
        const int round = i / produceCount;
        DemoItem item;
        item.code = itemCode(i, itemCount);
        item.number = QString::number(10001 + i);
        item.batch = QStringLiteral("%1%2%3%4/%5")
                         .arg(QLatin1String(p.batchPrefix))
                         .arg(QChar(u'A' + i % 11))
                         .arg(QChar(u'E' + (i * 7 + round) % 18))
                         .arg(i % 3 == 0 ? QLatin1String("24") : QLatin1String("25"))
                         .arg(i + 1, serialWidth, 10, QLatin1Char('0'));
        item.warehouse = warehouseCodes[i % warehouseCodes.size()];
        item.decimals = p.decimals;
        item.price = p.price;
        item.lot = p.lot;
        const QString name =
            round == 0 ? utf8(p.name) : QStringLiteral("%1 (%2)").arg(utf8(p.name)).arg(round + 1);
        rows.push_back({item.code, item.number, name, utf8(p.size), utf8(p.unit), utf8(p.tariff),
                        item.warehouse, item.batch, utf8(p.kind), utf8(p.grade)});
        world.items.push_back(item);
    }
    // The item entry form's own statement, so demo items look like typed ones.
    insertTextRows(transaction,
                   QStringLiteral("INSERT INTO cikk ( ckod, cszam, cmegn, cmeret, cme, cvtsz, crkod, "
                                  "cbizonylat, cfajta, cbesor ) VALUES ( :p1, :p2, :p3, :p4, :p5, :p6, "
                                  ":p7, :p8, :p9, :p10)"),
                   rows);
}

void insertOwnData(Transaction& transaction)
{
    insertTextRows(
        transaction,
        QStringLiteral("INSERT INTO felh (fneve, fhelyseg, futca, firszam, fadoszam, fbankszla, fkod, "
                       "fverzio) VALUES (:p1, :p2, :p3, :p4, :p5, :p6, :p7, :p8)"),
        {{QStringLiteral("Kunsági Termény Kft."), QStringLiteral("Kecskemét"), QStringLiteral("Izsáki út 6."),
          QStringLiteral("6000"), QStringLiteral("12345676-2-03"), QStringLiteral("11732002-20318446"),
          QStringLiteral("1"), QStringLiteral("3.0")}});
}

}

QString demoCode(int index, int count)
{
    int base = 1;
    while (base * 10 <= count)
        base *= 10;
    return QString::number(base + index);
}

void insertTextRows(Transaction& transaction, const QString& sql, const std::vector<QStringList>& rows)
{
    Query query(transaction);
    query.setSql(sql);
    for (const QStringList& row : rows) {
        for (int i = 0; i < row.size(); ++i)
            query.paramByName(QStringLiteral("p%1").arg(i + 1)).setText(row[i]);
        query.execute();
    }
}

int demoPartnerCount(const DemoOptions& options)
{
    if (options.partners > 0)
        return options.partners;
    return namedPartnerCount() +
           std::min(int(std::size(surnames) * std::size(givenNames)), options.items / 20);
}

DemoWorld insertDemoMasterData(Connection& connection, const DemoOptions& options)
{
    DemoRandom random(1957u);
    DemoWorld world;
    Transaction& transaction = connection.transaction();
    const QStringList warehouseCodes = insertWarehouses(transaction, options.warehouses);
    world.employees = insertEmployees(transaction);
    world.types = insertMovementTypes(transaction, options.types);
    insertPartners(transaction, demoPartnerCount(options), world, random);
    insertItems(transaction, options.items, world, warehouseCodes);
    insertOwnData(transaction);
    transaction.commit();
    return world;
}
