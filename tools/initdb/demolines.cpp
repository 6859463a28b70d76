// Demo movement lines: chosen so that each item's running stock stays at or above zero.
#include "demolines.h"

#include "connection.h"
#include "decimal.h"
#include "demorandom.h"
#include "query.h"

#include <QDate>
#include <algorithm>
#include <array>

namespace {

// Big enough to keep the per-commit cost small, small enough that a failure loses little time.
constexpr int CommitEvery = 20000;

enum TypeKind { Purchase, Ticket, Sale, Scrap, Surplus, Shortage, KindCount };
const char* const typeKeys[KindCount] = {"101", "102", "201", "202", "103", "203"};

// The movement types a kind of line may be stored with: its basic type first, then the further ones of
// the same sign, spread over the kinds in turn.
using TypesByKind = std::vector<std::vector<const DemoMovementType*>>;

TypesByKind typesByKind(const DemoWorld& world)
{
    TypesByKind byKind(KindCount);
    for (int kind = 0; kind < KindCount; ++kind) {
        for (const DemoMovementType& type : world.types) {
            if (type.key == QLatin1String(typeKeys[kind]))
                byKind[size_t(kind)].push_back(&type);
        }
        if (byKind[size_t(kind)].empty())
            byKind[size_t(kind)].push_back(&world.types.front());
    }
    const TypeKind receipts[] = {Purchase, Ticket, Surplus};
    const TypeKind issues[] = {Sale, Scrap, Shortage};
    int receipt = 0, issue = 0;
    for (size_t i = KindCount; i < world.types.size(); ++i) {
        const DemoMovementType& type = world.types[i];
        const TypeKind kind = type.increase ? receipts[receipt++ % 3] : issues[issue++ % 3];
        byKind[size_t(kind)].push_back(&type);
    }
    return byKind;
}

struct Line {
    const DemoItem* item = nullptr;
    TypeKind kind = Purchase;
    const DemoMovementType* type = nullptr;
    QDate date;
    std::int64_t quantity = 0;   // scaled by Decimal::Unit
    std::int64_t price = 0;      // whole forints
    QString partner;
    QString reference;   // BEREDETI
    QString note;        // BMEGJEGY
};

class LineMaker {
public:
    LineMaker(const DemoWorld& world, int count, int years)
        : world_(world), types_(typesByKind(world)), count_(count),
          firstDay_(DemoOptions::LastYear - years + 1, 1, 1),
          days_(firstDay_.daysTo(QDate(DemoOptions::LastYear + 1, 1, 1))), stock_(world.items.size(), 0),
          sequence_(size_t(years), std::vector<int>(KindCount, 0))
    {
    }

    Line make(int index);

private:
    TypeKind chooseKind(std::int64_t stock);
    std::int64_t chooseQuantity(TypeKind kind, const DemoItem& item, std::int64_t stock);
    std::int64_t choosePrice(TypeKind kind, const DemoItem& item);
    QString reference(TypeKind kind, int year);
    QDate dateOf(int index) const;

    const DemoWorld& world_;
    const TypesByKind types_;
    const int count_;
    const QDate firstDay_;
    const std::int64_t days_;
    std::vector<std::int64_t> stock_;
    DemoRandom random_;
    std::vector<std::vector<int>> sequence_;   // [year][kind]
    int tickets_ = 0;
};

QDate LineMaker::dateOf(int index) const
{
    const QDate date = firstDay_.addDays(std::int64_t(index) * days_ / count_);
    // Nobody records on Sundays; moving back a day keeps the dates in order, and so does moving a first
    // day that falls on a Sunday forward (the span begins on 1 January).
    if (date.dayOfWeek() != Qt::Sunday)
        return date;
    return date == firstDay_ ? date.addDays(1) : date.addDays(-1);
}

TypeKind LineMaker::chooseKind(std::int64_t stock)
{
    if (stock == 0)
        return random_.percent(55) ? Ticket : Purchase;
    const std::int64_t r = random_.below(100);
    if (r < 40)
        return Sale;
    if (r < 43)
        return Scrap;
    if (r < 45)
        return Shortage;
    if (r < 47)
        return Surplus;
    return r < 75 ? Ticket : Purchase;
}

std::int64_t LineMaker::chooseQuantity(TypeKind kind, const DemoItem& item, std::int64_t stock)
{
    std::int64_t step = Decimal::Unit;
    for (int i = 0; i < item.decimals; ++i)
        step /= 10;
    const std::int64_t lot = item.lot * Decimal::Unit;
    auto rounded = [step](std::int64_t q) { return std::max(step, q / step * step); };
    switch (kind) {
    case Purchase:
    case Ticket: return rounded(lot * random_.between(200, 1000) / 1000);
    case Surplus: return rounded(lot * random_.between(1, 10) / 1000);
    case Sale: return std::min(stock, std::min(rounded(stock * random_.between(15, 100) / 100), lot * 3 / 2));
    case Scrap:
    case Shortage:
    default: return std::min(stock, rounded(lot * random_.between(1, 20) / 1000));
    }
}

std::int64_t LineMaker::choosePrice(TypeKind kind, const DemoItem& item)
{
    const std::int64_t roundTo = item.decimals > 0 ? 10 : 1;
    std::int64_t price = item.price;
    if (kind == Purchase || kind == Ticket)
        price = item.price * random_.between(94, 106) / 100;
    else if (kind == Sale)
        price = item.price * random_.between(108, 118) / 100;
    return std::max(roundTo, price / roundTo * roundTo);
}

QString LineMaker::reference(TypeKind kind, int year)
{
    const int n = ++sequence_[size_t(year - firstDay_.year())][kind];
    // Invoices start again each year; purchase tickets are numbered straight on.
    const int ticket = kind == Ticket ? ++tickets_ : tickets_;
    switch (kind) {
    case Purchase: return QStringLiteral("SZ-%1/%2").arg(year).arg(n, 4, 10, QLatin1Char('0'));
    case Ticket: return QStringLiteral("FJ-%1").arg(ticket, 6, 10, QLatin1Char('0'));
    case Sale: return QStringLiteral("KSZ-%1/%2").arg(year).arg(n, 5, 10, QLatin1Char('0'));
    case Scrap: return QStringLiteral("SELEJT-%1/%2").arg(year).arg(n, 3, 10, QLatin1Char('0'));
    default: return QStringLiteral("LELTÁR %1").arg(year);
    }
}

Line LineMaker::make(int index)
{
    const size_t itemIndex = size_t(random_.below(std::int64_t(world_.items.size())));
    Line line;
    line.item = &world_.items[itemIndex];
    std::int64_t& stock = stock_[itemIndex];
    line.kind = chooseKind(stock);
    const auto& types = types_[line.kind];
    // One type of a kind draws nothing, so a demo of the basic types stays the same line for line.
    line.type = types.size() == 1 ? types.front() : types[size_t(random_.below(std::int64_t(types.size())))];
    line.date = dateOf(index);
    line.quantity = chooseQuantity(line.kind, *line.item, stock);
    line.price = choosePrice(line.kind, *line.item);
    const bool increase = line.kind == Purchase || line.kind == Ticket || line.kind == Surplus;
    stock += increase ? line.quantity : -line.quantity;
    if (line.kind == Ticket)
        line.partner = world_.producers[random_.below(world_.producers.size())];
    else if (line.kind == Purchase || line.kind == Sale)
        line.partner = world_.companies[random_.below(world_.companies.size())];
    line.reference = reference(line.kind, line.date.year());
    if (line.kind == Ticket && line.item->decimals > 0 && random_.percent(40))
        line.note = QStringLiteral("Nedvesség: %1,%2%").arg(random_.between(11, 15)).arg(random_.below(10));
    else if (line.kind == Sale && random_.percent(25))
        line.note = random_.percent(50) ? QStringLiteral("Fuvar: vevő") : QStringLiteral("Fuvar: saját");
    return line;
}

// The insert's parameters :p2 to :p20, found once: looking each up by a made name for every line of
// ten million costs more than binding it.
using LineParams = std::array<Param*, 21>;

LineParams lineParams(Query& insert)
{
    LineParams params{};
    for (int n = 2; n <= 20; ++n)
        params[size_t(n)] = &insert.paramByName(QStringLiteral("p%1").arg(n));
    return params;
}

void bindLine(const LineParams& params, const DemoWorld& world, const Line& line, int number,
              DemoRandom& random)
{
    const DemoMovementType& type = *line.type;
    const Decimal quantity = Decimal::fromScaled(line.quantity);
    const Decimal price = Decimal::fromScaled(line.price * Decimal::Unit);
    // Values are whole forints, as on the invoices they come from.
    const Decimal value =
        Decimal::fromScaled((line.quantity * line.price + Decimal::Unit / 2) / Decimal::Unit * Decimal::Unit);
    const Decimal zero;
    auto p = [&params](int n) -> Param& { return *params[size_t(n)]; };
    p(2).setText(QString::number(number));
    p(3).setText(line.item->number);
    p(4).setDate(line.date);
    p(5).setText(type.key);
    p(6).setDecimal(price);
    p(7).setDecimal(type.increase ? quantity : zero);
    p(8).setDecimal(type.increase ? zero : quantity);
    p(9).setDecimal(type.increase ? value : zero);
    p(10).setDecimal(type.increase ? zero : value);
    p(11).setText(world.employees[random.below(world.employees.size())]);
    p(12).setText(line.item->warehouse);
    p(13).setDate(line.date.addDays(random.below(3)));
    p(14).setText(line.reference);
    p(15).setText(type.name);
    p(16).setText(line.partner);
    p(17).setText(line.item->code);
    p(18).setText(line.note);
    p(19).setText(type.code);
    p(20).setText(line.item->batch);
}

// The line table's own indexes (not the primary key's): maintaining twelve indexes row by row costs
// more than building them once after the load.
QStringList lineIndexes(Transaction& transaction)
{
    Query query(transaction);
    query.setSql(QStringLiteral(
        "SELECT rdb$index_name FROM rdb$indices WHERE rdb$relation_name = 'BIZMOZG' "
        "AND COALESCE(rdb$system_flag, 0) = 0 AND rdb$index_name NOT IN "
        "(SELECT rdb$index_name FROM rdb$relation_constraints WHERE rdb$index_name IS NOT NULL)"));
    QStringList names;
    for (query.open(); !query.eof(); query.next())
        names << query.fieldByName(QStringLiteral("RDB$INDEX_NAME")).asString().trimmed();
    return names;
}

void setIndexesActive(Transaction& transaction, const QStringList& names, bool active)
{
    Query alter(transaction);
    for (const QString& name : names) {
        alter.setSql(QStringLiteral("ALTER INDEX %1 %2")
                         .arg(name, active ? QLatin1String("ACTIVE") : QLatin1String("INACTIVE")));
        alter.execute();
        transaction.commit();
    }
}

}

void insertDemoLines(Connection& connection, const DemoWorld& world, int count, int years,
                     const DemoProgress& progress)
{
    Transaction& transaction = connection.transaction();
    const QStringList indexes = lineIndexes(transaction);
    setIndexesActive(transaction, indexes, false);
    // The document posting's own statement and parameter numbers.
    Query insert(transaction);
    insert.setSql(QStringLiteral(
        "INSERT INTO bizmozg ( bbszam, bcikkszam, bbizdatum, bmnem, bear, bmenov, bmecsok, bertnov, "
        "bertcsok, "
        "bdkod, brkod, brkelt, beredeti, bszoveg, bpkod, bckod, bmegjegy, bmkod, btetel) VALUES ( :p2, :p3, "
        ":p4, "
        ":p5, :p6, :p7, :p8, :p9, :p10, :p11, :p12, :p13, :p14, :p15, :p16, :p17, :p18, :p19, :p20)"));
    const LineParams params = lineParams(insert);
    LineMaker maker(world, std::max(count, 1), years);
    DemoRandom random(7u);
    for (int i = 0; i < count; ++i) {
        bindLine(params, world, maker.make(i), i + 1, random);
        insert.execute();
        if ((i + 1) % CommitEvery == 0) {
            transaction.commit();
            if (progress)
                progress(i + 1);
        }
    }
    Query counter(transaction);
    counter.setSql(QStringLiteral("UPDATE bizszam SET zbizszam = :p1"));
    counter.paramByName(QStringLiteral("p1")).setText(QString::number(count));
    counter.execute();
    transaction.commit();
    setIndexesActive(transaction, indexes, true);
    if (progress)
        progress(count);
}
