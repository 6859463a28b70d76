// Demo movement lines: chosen so that each item's running stock stays at or above zero.
#include "demolines.h"

#include "connection.h"
#include "cp1250.h"
#include "dberror.h"
#include "decimal.h"
#include "fbcall.h"
#include "demorandom.h"
#include "query.h"

#include <QDate>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <ibase.h>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

using namespace Firebird;

namespace {

// Big enough to keep the per-commit cost small, small enough that a failure loses little time.
constexpr int CommitEvery = 20000;
// Attachments storing lines at once: with one, the lines lie in the table in the order of IDB, as
// saved lines do, and a second gained nothing measurable on two cores.
constexpr int StoreAttachments = 1;
// Attachments building the line indexes at once, one for each core of a small machine.
constexpr int BuildAttachments = 2;

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

// The texts the lines repeat, in the database's character set once: encoding them again for each of
// ten million lines would cost more than storing them.
struct EncodedWorld {
    struct Item {
        QByteArray number, code, warehouse, batch;
    };
    struct Type {
        QByteArray key, name, code;
    };
    std::vector<Item> items;   // in the order of DemoWorld::items
    std::unordered_map<const DemoMovementType*, Type> types;
    std::unordered_map<QString, QByteArray> partners;
    std::vector<QByteArray> employees;

    explicit EncodedWorld(const DemoWorld& world)
    {
        for (const DemoItem& item : world.items)
            items.push_back({encodeCp1250(item.number), encodeCp1250(item.code), encodeCp1250(item.warehouse),
                             encodeCp1250(item.batch)});
        for (const DemoMovementType& type : world.types)
            types.emplace(&type,
                          Type{encodeCp1250(type.key), encodeCp1250(type.name), encodeCp1250(type.code)});
        for (const QStringList* list : {&world.producers, &world.companies})
            for (const QString& partner : *list)
                partners.emplace(partner, encodeCp1250(partner));
        for (const QString& employee : world.employees)
            employees.push_back(encodeCp1250(employee));
    }
};

// The line columns the load sets, in the order of the insert's parameters. IDB and BKOD are given:
// the identity and the BKOD trigger are left out of the load.
enum LineColumn {
    Idb,
    Bkod,
    Bbszam,
    Bcikkszam,
    Bbizdatum,
    Bmnem,
    Bear,
    Bmenov,
    Bmecsok,
    Bertnov,
    Bertcsok,
    Bdkod,
    Brkod,
    Brkelt,
    Beredeti,
    Bszoveg,
    Bpkod,
    Bckod,
    Bmegjegy,
    Bmkod,
    Btetel,
    LineColumnCount
};
const char* const lineColumns[LineColumnCount] = {
    "IDB",      "BKOD",    "BBSZAM",  "BCIKKSZAM", "BBIZDATUM", "BMNEM", "BEAR",
    "BMENOV",   "BMECSOK", "BERTNOV", "BERTCSOK",  "BDKOD",     "BRKOD", "BRKELT",
    "BEREDETI", "BSZOVEG", "BPKOD",   "BCKOD",     "BMEGJEGY",  "BMKOD", "BTETEL"};

// What the BKOD trigger stores: IDB in five zero-padded base-36 digits.
QByteArray lineCode(int idb)
{
    static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QByteArray code(5, '0');
    for (int i = 4; i >= 0 && idb > 0; --i, idb /= 36)
        code[i] = digits[idb % 36];
    return code;
}

// Where each value of a line lies in the insert's message, as the engine described its parameters
// (typed as their columns).
struct LineLayout {
    struct Slot {
        unsigned type, offset, length;
        bool operator==(const Slot&) const = default;
    };
    unsigned length = 0;
    std::vector<Slot> places;
    bool operator==(const LineLayout&) const = default;
};

// Writes one line's values into its message in place: binding them as parameters, with a description
// built for every line, cost about as much as the engine's work of storing it.
class LineMessage {
public:
    LineMessage(const LineLayout& layout, unsigned char* message) : layout_(layout), message_(message) {}

    void setText(LineColumn column, const QByteArray& text)
    {
        const LineLayout::Slot& slot = slotOf(column, SQL_VARYING);
        if (unsigned(text.size()) > slot.length)
            throw DbError(QStringLiteral("%1: \"%2\" does not fit the column.")
                              .arg(QLatin1String(lineColumns[column]),
                                   decodeCp1250(text.constData(), int(text.size()))));
        const quint16 length = quint16(text.size());
        std::memcpy(message_ + slot.offset, &length, sizeof length);
        std::memcpy(message_ + slot.offset + sizeof length, text.constData(), length);
    }
    void setInteger(LineColumn column, qint32 value) { put(slotOf(column, SQL_LONG), value); }
    // NUMERIC(18,4): the value scaled by Decimal::Unit.
    void setScaled(LineColumn column, std::int64_t value) { put(slotOf(column, SQL_INT64), value); }
    void setDate(LineColumn column, const QDate& date)
    {
        // The engine counts days from 17 November 1858, Julian day 2400001.
        put(slotOf(column, SQL_TYPE_DATE), ISC_DATE(date.toJulianDay() - 2400001));
    }

private:
    const LineLayout::Slot& slotOf(LineColumn column, unsigned type) const
    {
        const LineLayout::Slot& slot = layout_.places[size_t(column)];
        if (slot.type != type)
            throw DbError(QStringLiteral("%1: the column's type is not the one the demo lines are made for.")
                              .arg(QLatin1String(lineColumns[column])));
        return slot;
    }
    template <class T>
    void put(const LineLayout::Slot& slot, T value)
    {
        std::memcpy(message_ + slot.offset, &value, sizeof value);
    }

    const LineLayout& layout_;
    unsigned char* message_;   // its null flags stay 0: every line sets every value
};

// The line insert prepared in one attachment, executed with messages laid out as its layout says.
class LineInsert {
public:
    explicit LineInsert(Transaction& transaction) : transaction_(transaction)
    {
        const QStringList columns(std::begin(lineColumns), std::end(lineColumns));
        const QByteArray sql = encodeCp1250(
            QStringLiteral("INSERT INTO bizmozg (%1) VALUES (?%2)")
                .arg(columns.join(QLatin1Char(',')), QStringLiteral(",?").repeated(LineColumnCount - 1)));
        transaction.ensureActive();
        fbCall([&](ThrowStatusWrapper* st) {
            statement_ = transaction.connection().attachment()->prepare(st, transaction.handle(), 0,
                                                                        sql.constData(), 3, 0);
            metadata_ = statement_->getInputMetadata(st);
            layout_.length = metadata_->getMessageLength(st);
            for (unsigned i = 0; i < metadata_->getCount(st); ++i)
                layout_.places.push_back({metadata_->getType(st, i) & ~1u, metadata_->getOffset(st, i),
                                          metadata_->getLength(st, i)});
        });
    }
    ~LineInsert()
    {
        if (metadata_)
            metadata_->release();
        if (statement_) {
            try {
                fbCall([&](ThrowStatusWrapper* st) { statement_->free(st); });
            } catch (const DbError&) {
                statement_->release();
            }
        }
    }
    LineInsert(const LineInsert&) = delete;
    LineInsert& operator=(const LineInsert&) = delete;

    const LineLayout& layout() const { return layout_; }

    void execute(const unsigned char* message)
    {
        transaction_.ensureActive();
        fbCall([&](ThrowStatusWrapper* st) {
            statement_->execute(st, transaction_.handle(), metadata_, const_cast<unsigned char*>(message),
                                nullptr, nullptr);
        });
    }

private:
    Transaction& transaction_;
    IStatement* statement_ = nullptr;
    IMessageMetadata* metadata_ = nullptr;
    LineLayout layout_;
};

void writeLine(LineMessage& message, const DemoWorld& world, const EncodedWorld& encoded, const Line& line,
               int number, DemoRandom& random)
{
    const DemoMovementType& type = *line.type;
    const EncodedWorld::Type& typeText = encoded.types.at(line.type);
    const EncodedWorld::Item& item = encoded.items[size_t(line.item - world.items.data())];
    // Values are whole forints, as on the invoices they come from.
    const std::int64_t value =
        (line.quantity * line.price + Decimal::Unit / 2) / Decimal::Unit * Decimal::Unit;
    message.setInteger(Idb, number);
    message.setText(Bkod, lineCode(number));
    message.setText(Bbszam, QByteArray::number(number));
    message.setText(Bcikkszam, item.number);
    message.setDate(Bbizdatum, line.date);
    message.setText(Bmnem, typeText.key);
    message.setScaled(Bear, line.price * Decimal::Unit);
    message.setScaled(Bmenov, type.increase ? line.quantity : 0);
    message.setScaled(Bmecsok, type.increase ? 0 : line.quantity);
    message.setScaled(Bertnov, type.increase ? value : 0);
    message.setScaled(Bertcsok, type.increase ? 0 : value);
    message.setText(Bdkod, encoded.employees[size_t(random.below(std::int64_t(encoded.employees.size())))]);
    message.setText(Brkod, item.warehouse);
    message.setDate(Brkelt, line.date.addDays(random.below(3)));
    message.setText(Beredeti, encodeCp1250(line.reference));
    message.setText(Bszoveg, typeText.name);
    message.setText(Bpkod, line.partner.isEmpty() ? QByteArray() : encoded.partners.at(line.partner));
    message.setText(Bckod, item.code);
    message.setText(Bmegjegy, encodeCp1250(line.note));
    message.setText(Bmkod, typeText.code);
    message.setText(Btetel, item.batch);
}

// The messages of consecutive lines, stored and committed together.
struct LineChunk {
    std::vector<unsigned char> messages;
    int lines = 0;
};

// Chunks handed from the thread that makes the lines to the attachments that store them. Bounded, so
// that the maker does not run far ahead of the engine.
class ChunkQueue {
public:
    // False when the queue was stopped (a store failed): the chunk is not wanted.
    bool push(LineChunk&& chunk)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopped_ || chunks_.size() < Capacity; });
        if (stopped_)
            return false;
        chunks_.push_back(std::move(chunk));
        changed_.notify_all();
        return true;
    }
    // Nothing once the queue is finished and empty, or stopped.
    std::optional<LineChunk> pop()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return stopped_ || finished_ || !chunks_.empty(); });
        if (stopped_ || chunks_.empty())
            return std::nullopt;
        LineChunk chunk = std::move(chunks_.front());
        chunks_.pop_front();
        changed_.notify_all();
        return chunk;
    }
    void finish() { set(finished_); }
    void stop() { set(stopped_); }

private:
    static constexpr size_t Capacity = 4;
    void set(bool& flag)
    {
        const std::lock_guard lock(mutex_);
        flag = true;
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<LineChunk> chunks_;
    bool finished_ = false;
    bool stopped_ = false;
};

// Runs `work` on `connection` and on further attachments to its database, each in a thread of its
// own, while the calling thread runs `alongside`; waits for all of them and throws the first failure.
// The engine runs the attachments side by side, on as many cores as there are.
void inParallel(Connection& connection, int attachments, const std::function<void(Connection&)>& work,
                const std::function<void()>& alongside = {})
{
    std::mutex failureMutex;
    std::optional<DbError> failure;
    auto guarded = [&](const std::function<void()>& run) {
        try {
            run();
        } catch (const DbError& error) {
            const std::lock_guard lock(failureMutex);
            if (!failure)
                failure = error;
        }
    };
    std::vector<std::unique_ptr<Connection>> more;
    for (int i = 1; i < attachments; ++i) {
        more.push_back(std::make_unique<Connection>());
        more.back()->setParams(connection.params());
        more.back()->open();
    }
    std::vector<Connection*> all{&connection};
    for (const auto& own : more)
        all.push_back(own.get());
    std::vector<std::thread> threads;
    for (Connection* own : all)
        threads.emplace_back([&guarded, &work, own] { guarded([&] { work(*own); }); });
    if (alongside)
        guarded(alongside);
    for (std::thread& thread : threads)
        thread.join();
    more.clear();
    if (failure)
        throw *failure;
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

void alter(Transaction& transaction, const QString& what, const QString& name, bool active)
{
    Query alter(transaction);
    alter.setSql(QStringLiteral("ALTER %1 %2 %3")
                     .arg(what, name, active ? QLatin1String("ACTIVE") : QLatin1String("INACTIVE")));
    alter.execute();
    transaction.commit();
}

// Each build reads the whole line table and sorts its keys on its own; several run at once.
void buildIndexes(Connection& connection, const QStringList& names)
{
    std::atomic<int> next{0};
    inParallel(connection, BuildAttachments, [&](Connection& own) {
        for (int i = next++; i < names.size(); i = next++)
            alter(own.transaction(), QStringLiteral("INDEX"), names[i], true);
    });
}

// Makes the lines in the calling thread while StoreAttachments attachments store the ones made before,
// each in a thread of its own.
void storeLines(Connection& connection, const DemoWorld& world, int count, int years,
                const DemoProgress& progress)
{
    const LineLayout layout = LineInsert(connection.transaction()).layout();
    ChunkQueue queue;
    std::atomic<int> stored{0};
    auto store = [&](Connection& own) {
        try {
            LineInsert insert(own.transaction());
            if (!(insert.layout() == layout))
                throw DbError(QStringLiteral("The line insert is laid out differently in two attachments."));
            while (std::optional<LineChunk> chunk = queue.pop()) {
                for (int i = 0; i < chunk->lines; ++i)
                    insert.execute(chunk->messages.data() + size_t(i) * layout.length);
                own.transaction().commit();
                stored += chunk->lines;
            }
        } catch (...) {
            queue.stop();
            throw;
        }
    };
    auto make = [&] {
        try {
            const EncodedWorld encoded(world);
            LineMaker maker(world, std::max(count, 1), years);
            DemoRandom random(7u);
            for (int first = 0; first < count; first += CommitEvery) {
                LineChunk chunk;
                chunk.lines = std::min(CommitEvery, count - first);
                chunk.messages.assign(size_t(chunk.lines) * layout.length, 0);
                for (int i = 0; i < chunk.lines; ++i) {
                    LineMessage message(layout, chunk.messages.data() + size_t(i) * layout.length);
                    writeLine(message, world, encoded, maker.make(first + i), first + i + 1, random);
                }
                if (!queue.push(std::move(chunk)))
                    return;
                if (progress)
                    progress(stored);
            }
        } catch (...) {
            queue.stop();
            throw;
        }
        queue.finish();
    };
    inParallel(connection, StoreAttachments, store, make);
}

}

void insertDemoLines(Connection& connection, const DemoWorld& world, int count, int years,
                     const DemoProgress& progress)
{
    Transaction& transaction = connection.transaction();
    const QStringList indexes = lineIndexes(transaction);
    for (const QString& index : indexes)
        alter(transaction, QStringLiteral("INDEX"), index, false);
    alter(transaction, QStringLiteral("TRIGGER"), QStringLiteral("BIZMOZG_BKOD"), false);
    storeLines(connection, world, count, years, progress);
    Query counter(transaction);
    counter.setSql(QStringLiteral("UPDATE bizszam SET zbizszam = :p1"));
    counter.paramByName(QStringLiteral("p1")).setText(QString::number(count));
    counter.execute();
    // The identity goes on after the last line, as if it had numbered them.
    Query identity(transaction);
    identity.setSql(QStringLiteral("ALTER TABLE bizmozg ALTER COLUMN idb RESTART WITH %1").arg(count));
    identity.execute();
    transaction.commit();
    alter(transaction, QStringLiteral("TRIGGER"), QStringLiteral("BIZMOZG_BKOD"), true);
    buildIndexes(connection, indexes);
    if (progress)
        progress(count);
}
