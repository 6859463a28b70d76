// The windowed query: rows read by key around the rows asked for, the current row kept apart.
#include "windowedquery.h"

#include "cp1250.h"
#include "dberror.h"

#include <QRegularExpression>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

const QString OrderByWord = QStringLiteral(" ORDER BY ");

}

WindowedQuery::WindowedQuery(Transaction& transaction, QObject* parent) : Query(transaction, parent) {}

QString WindowedQuery::select() const
{
    const QString text = sql();
    const int order = text.lastIndexOf(OrderByWord, -1, Qt::CaseInsensitive);
    return order < 0 ? text : text.left(order);
}

void WindowedQuery::open()
{
    if (isOpen())
        return;
    order_ = orderOf(sql());
    windowed_ = !order_.column.isEmpty();
    if (!windowed_) {
        Query::open();
        return;
    }
    // The columns come from the first window's statement, which reads the same select list.
    Query first(transaction());
    first.setSql(select() + QStringLiteral(" ORDER BY %1, %2 ROWS 1").arg(order_.column, order_.tie));
    first.open();
    std::vector<ColumnInfo> columns;
    for (int i = 0; i < first.columnCount(); ++i)
        columns.push_back(first.column(i));
    openWithColumns(std::move(columns));
    keyColumn_ = columnIndex(order_.column);
    tieColumn_ = columnIndex(order_.tie);
    if (keyColumn_ < 0 || tieColumn_ < 0) {
        close();
        throw DbError(QStringLiteral("%1, %2: nincs ilyen mező.").arg(order_.column, order_.tie));
    }
    readCount(false);
    readFromStart();
    emit opened();
    if (window_.empty()) {
        setEdges(true, true);
        emit currentRowChanged(-1);
        return;
    }
    setEdges(true, false);
    makeCurrent(0);
}

void WindowedQuery::afterClose()
{
    windowed_ = false;
    window_.clear();
    current_.clear();
    base_ = count_ = 0;
    exact_ = false;
    samples_.clear();
    sampled_ = false;
}

// The scroll range: the count statement's, or the sample's estimate; an exact count is the engine's
// COUNT of the list.
void WindowedQuery::readCount(bool exact)
{
    if (!exact && countSql_.isEmpty()) {
        sampleRows();
        count_ = sampledCount_;
        exact_ = sampledExact_;
        return;
    }
    Query count(transaction());
    count.setSql(exact ? QStringLiteral("SELECT COUNT(*) FROM (%1)").arg(select()) : countSql_);
    count.open();
    count_ = int(std::max<qint64>(0, count.field(0).asInteger()));
    exact_ = exact;
}

// `condition` uses :v0, :v1, ... for `values` in order.
WindowedQuery::Rows WindowedQuery::readRows(const QString& condition, const QVariantList& values,
                                            Direction direction, int limit)
{
    Rows rows;
    if (limit <= 0)
        return rows;
    const QString descending = direction == Direction::Descending ? QStringLiteral(" DESC") : QString();
    const bool sorted = direction == Direction::Sorted;
    Query query(transaction());
    query.setSql(select() + (condition.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condition) +
                 OrderByWord + order_.column + (sorted ? QStringLiteral(" || ''") : descending) +
                 QStringLiteral(", ") + order_.tie + (sorted ? QStringLiteral(" + 0") : descending) +
                 QStringLiteral(" ROWS :n"));
    for (int i = 0; i < values.size(); ++i) {
        Param& param = query.paramByName(QStringLiteral("v%1").arg(i));
        if (values[i].typeId() == QMetaType::QByteArray) {
            const QByteArray bytes = values[i].toByteArray();
            param.setText(decodeCp1250(bytes.constData(), int(bytes.size())));
        } else if (values[i].typeId() == QMetaType::QString) {
            param.setText(values[i].toString());
        } else {
            param.setInteger(values[i].toLongLong());
        }
    }
    query.paramByName(QStringLiteral("n")).setInteger(limit);
    query.open();
    const int count = query.recordCount();
    rows.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        rows.push_back(query.rowData(i));
    return rows;
}

// Rows after `row` in the list's order, ascending; NULL keys stand before every other. Only the bound
// on the key may use an index: with the rest indexable too, the engine would first gather half the
// list's index entries for them, where walking the order index from the bound reads a window's worth.
WindowedQuery::Rows WindowedQuery::rowsAfter(const QByteArray& row, int limit)
{
    const QString& k = order_.column;
    const QString& t = order_.tie;
    if (!keyIsNull(row))
        return readRows(QStringLiteral("%1 >= :v0 AND (%1 || '' > :v0 OR %2 + 0 > :v1)").arg(k, t),
                        {keyOf(row), tieOf(row)}, Direction::Ascending, limit);
    Rows rows = readRows(QStringLiteral("%1 IS NULL AND %2 + 0 > :v0").arg(k, t), {tieOf(row)},
                         Direction::Ascending, limit);
    Rows more =
        readRows(QStringLiteral("%1 IS NOT NULL").arg(k), {}, Direction::Ascending, limit - int(rows.size()));
    rows.insert(rows.end(), more.begin(), more.end());
    return rows;
}

// Rows before `row`, ascending.
WindowedQuery::Rows WindowedQuery::rowsBefore(const QByteArray& row, int limit)
{
    const QString& k = order_.column;
    const QString& t = order_.tie;
    Rows rows;
    if (keyIsNull(row)) {
        rows = readRows(QStringLiteral("%1 IS NULL AND %2 + 0 < :v0").arg(k, t), {tieOf(row)},
                        Direction::Descending, limit);
    } else {
        rows = readRows(QStringLiteral("%1 <= :v0 AND (%1 || '' < :v0 OR %2 + 0 < :v1)").arg(k, t),
                        {keyOf(row), tieOf(row)}, Direction::Descending, limit);
        Rows more = readRows(QStringLiteral("%1 IS NULL").arg(k), {}, Direction::Descending,
                             limit - int(rows.size()));
        rows.insert(rows.end(), more.begin(), more.end());
    }
    std::reverse(rows.begin(), rows.end());
    return rows;
}

QByteArray WindowedQuery::keyOf(const QByteArray& row) const
{
    return fieldIn(row.constData(), keyColumn_).asBytes();
}

bool WindowedQuery::keyIsNull(const QByteArray& row) const
{
    return fieldIn(row.constData(), keyColumn_).isNull();
}

qint64 WindowedQuery::tieOf(const QByteArray& row) const
{
    return fieldIn(row.constData(), tieColumn_).asInteger();
}

// The key order a statement is read in: its closing "ORDER BY column" names one of the window's
// orders, and it has no WHERE.
WindowedQuery::KeyOrder WindowedQuery::orderOf(const QString& sql) const
{
    const int order = int(sql.lastIndexOf(OrderByWord, -1, Qt::CaseInsensitive));
    static const QRegularExpression where(QStringLiteral("\\bWHERE\\b"),
                                          QRegularExpression::CaseInsensitiveOption);
    if (order < 0 || sql.left(order).contains(where))
        return {};
    const QString column = sql.mid(order + OrderByWord.size()).trimmed();
    for (const KeyOrder& candidate : orders_)
        if (candidate.column.compare(column, Qt::CaseInsensitive) == 0)
            return candidate;
    return {};
}

// The rows before `row` in the list's order (NULL keys first, then the key in its column's collation,
// then the tie), as a condition whose values are appended to `values`. The engine compares: a key with
// a collation (names in the Hungarian order) does not sort by its bytes.
QString WindowedQuery::precedingCondition(const QByteArray& row, QVariantList& values) const
{
    const QString& k = order_.column;
    const QString& t = order_.tie;
    const int first = int(values.size());
    // No index: the rows are few and found by their ties.
    if (keyIsNull(row)) {
        values << tieOf(row);
        return QStringLiteral("(%1 || '' IS NULL AND %2 + 0 < :v%3)").arg(k, t).arg(first);
    }
    values << keyOf(row) << tieOf(row);
    return QStringLiteral("(%1 || '' IS NULL OR %1 || '' < :v%3 OR (%1 || '' = :v%3 AND %2 + 0 < :v%4))")
        .arg(k, t)
        .arg(first)
        .arg(first + 1);
}

// The earliest of `rows` in the list's order, as the engine orders them.
std::optional<QByteArray> WindowedQuery::earliestOf(const std::vector<QByteArray>& rows)
{
    if (rows.size() <= 1)
        return rows.empty() ? std::nullopt : std::optional<QByteArray>(rows.front());
    // The engine takes at most 1,500 values in a list.
    constexpr size_t Chunk = 1000;
    if (rows.size() > Chunk) {
        std::vector<QByteArray> earliest;
        for (size_t from = 0; from < rows.size(); from += Chunk) {
            const auto end = rows.begin() + qsizetype(std::min(rows.size(), from + Chunk));
            if (auto row = earliestOf(std::vector<QByteArray>(rows.begin() + qsizetype(from), end)))
                earliest.push_back(*row);
        }
        return earliestOf(earliest);
    }
    QStringList ties;
    for (const QByteArray& row : rows)
        ties << QString::number(tieOf(row));
    Rows earliest = readRows(QStringLiteral("%1 IN (%2)").arg(order_.tie, ties.join(QLatin1Char(','))), {},
                             Direction::Sorted, 1);
    return earliest.empty() ? std::nullopt : std::optional<QByteArray>(earliest.front());
}

// How many of the sampled rows come before `row`.
int WindowedQuery::samplesBefore(const QByteArray& row)
{
    if (samples_.empty())
        return 0;
    QStringList ties;
    for (const QByteArray& sample : samples_)
        ties << QString::number(tieOf(sample));
    QVariantList values;
    const QString before = precedingCondition(row, values);
    return int(
        readRows(QStringLiteral("%1 IN (%2) AND %3").arg(order_.tie, ties.join(QLatin1Char(',')), before),
                 values, Direction::Sorted, int(samples_.size()))
            .size());
}

void WindowedQuery::setCount(int count)
{
    if (count == count_)
        return;
    count_ = count;
    renumbered();
}

// Views learn of new numbers once the work that found them is over: the window may move while a view
// paints.
void WindowedQuery::renumbered()
{
    if (notifyPending_)
        return;
    notifyPending_ = true;
    QTimer::singleShot(0, this, [this] {
        notifyPending_ = false;
        if (!isOpen())
            return;
        emit rowsRenumbered();
        emit currentRowChanged(currentRow());
    });
}

void WindowedQuery::readFromStart()
{
    Rows rows = readRows(QString(), {}, Direction::Ascending, windowSize_);
    window_.assign(rows.begin(), rows.end());
    base_ = 0;
    if (int(rows.size()) < windowSize_) {
        exact_ = true;
        setCount(int(rows.size()));
    } else if (count_ < int(rows.size())) {
        setCount(int(rows.size()) + 1);
    }
}

void WindowedQuery::readFromEnd()
{
    Rows rows = readRows(QString(), {}, Direction::Descending, windowSize_);
    std::reverse(rows.begin(), rows.end());
    window_.assign(rows.begin(), rows.end());
    if (int(rows.size()) < windowSize_) {
        exact_ = true;
        setCount(int(rows.size()));
    } else if (count_ < int(rows.size())) {
        setCount(int(rows.size()));
    }
    base_ = count_ - int(window_.size());
}

// Lines spread evenly over the range of the tie (dense in practice, as an identity is) stand for the
// whole list: their order gives any place's key, and their share of the range the count.
void WindowedQuery::sampleRows()
{
    if (sampled_)
        return;
    sampled_ = true;
    samples_.clear();
    // Only the tie is read: the probes are many.
    const QString text = select();
    const QString tieSql = QStringLiteral("SELECT %1").arg(order_.tie) +
                           text.mid(text.indexOf(QStringLiteral(" FROM "), 0, Qt::CaseInsensitive)) +
                           QStringLiteral(" WHERE %1 >= :v0").arg(order_.tie) + OrderByWord + order_.tie +
                           QStringLiteral(" ROWS 1");
    const auto tieFrom = [&](qint64 from) -> std::optional<qint64> {
        Query query(transaction());
        query.setSql(tieSql);
        query.paramByName(QStringLiteral("v0")).setInteger(from);
        query.open();
        if (query.currentRow() < 0)
            return std::nullopt;
        return query.fieldByName(order_.tie).asInteger();
    };
    const std::optional<qint64> lowestFound = tieFrom(std::numeric_limits<qint32>::min());
    if (!lowestFound)
        return;
    const qint64 lowest = *lowestFound;
    // The highest by halving: the engine walks the tie's index upward only.
    qint64 low = lowest;
    qint64 step = 1;
    while (tieFrom(low + step))
        step *= 2;
    qint64 high = low + step;   // none at or above
    while (high - low > 1) {
        const qint64 middle = low + (high - low) / 2;
        if (tieFrom(middle))
            low = middle;
        else
            high = middle;
    }
    const qint64 range = low - lowest + 1;
    const qint64 probes = std::min<qint64>(range, SampleSize);
    QStringList ties;
    for (qint64 i = 0; i < probes; ++i)
        ties << QString::number(lowest + (probes > 1 ? i * (range - 1) / (probes - 1) : 0));
    // In the list's order, as the engine sorts them.
    samples_ = readRows(QStringLiteral("%1 IN (%2)").arg(order_.tie, ties.join(QLatin1Char(','))), {},
                        Direction::Sorted, int(probes));
    const int hits = int(samples_.size());
    sampledCount_ = probes == range ? hits : int(std::llround(double(hits) * double(range) / double(probes)));
    sampledExact_ = probes == range;
}

// A row far from the window: read from either end when near one, otherwise around the key that the
// row's place estimates.
void WindowedQuery::readAround(int row)
{
    if (row < windowSize_) {
        readFromStart();
        return;
    }
    if (row >= count_ - windowSize_) {
        readFromEnd();
        return;
    }
    sampleRows();
    if (samples_.empty()) {
        readFromStart();
        return;
    }
    const double place = double(row) / double(std::max(count_ - 1, 1));
    const size_t sample =
        std::min(samples_.size() - 1, size_t(std::lround(place * double(samples_.size() - 1))));
    placeAt(samples_[sample], false, row);
}

// `before` and `after` are consecutive rows; the first of `after` is numbered `estimatedFirst`. The
// estimate stands even where the window meets an end of the list: the row asked for is then still
// shown, and the numbers become exact when the window is walked to that end.
void WindowedQuery::placeWindow(Rows before, Rows after, int estimatedFirst)
{
    const int half = windowSize_ / 2;
    const bool atStart = int(before.size()) < half;
    const bool atEnd = int(after.size()) < windowSize_ - half;
    window_.assign(before.begin(), before.end());
    window_.insert(window_.end(), after.begin(), after.end());
    const int size = int(window_.size());
    if (atStart && atEnd) {
        exact_ = true;
        base_ = 0;
        setCount(size);
        return;
    }
    base_ = atStart ? 0 : std::max(0, estimatedFirst - int(before.size()));
    if (count_ < base_ + size)
        setCount(base_ + size);
}

void WindowedQuery::extendDown(int row)
{
    const int wanted = row - (base_ + int(window_.size())) + 1 + windowSize_ / 2;
    const Rows rows = rowsAfter(window_.back(), wanted);
    window_.insert(window_.end(), rows.begin(), rows.end());
    if (int(rows.size()) < wanted)
        setCount(base_ + int(window_.size()));
    else if (count_ <= base_ + int(window_.size()))
        setCount(base_ + int(window_.size()) + 1);
}

void WindowedQuery::extendUp(int row)
{
    const int wanted = base_ - row + windowSize_ / 2;
    const Rows rows = rowsBefore(window_.front(), wanted);
    window_.insert(window_.begin(), rows.begin(), rows.end());
    base_ -= int(rows.size());
    // The first row stands elsewhere than an estimate had it: the window's rows are numbered again
    // from it.
    if ((int(rows.size()) < wanted && base_ != 0) || base_ < 0) {
        const int shift = base_;
        base_ = 0;
        if (currentRow() >= 0)
            setCurrent(std::max(0, currentRow() - shift));
        if (count_ < int(window_.size()))
            setCount(int(window_.size()));
        renumbered();
    }
}

// Keeps at most twice the window size, those nearest `row`.
void WindowedQuery::trimAround(int row)
{
    const int limit = 2 * windowSize_;
    while (int(window_.size()) > limit) {
        if (row - base_ > base_ + int(window_.size()) - 1 - row) {
            window_.pop_front();
            ++base_;
        } else {
            window_.pop_back();
        }
    }
}

void WindowedQuery::ensureRow(int row)
{
    if (holds(row))
        return;
    const int end = base_ + int(window_.size());
    if (!window_.empty() && row >= end && row < end + windowSize_)
        extendDown(row);
    else if (!window_.empty() && row < base_ && row >= base_ - windowSize_)
        extendUp(row);
    else
        readAround(row);
    trimAround(row);
}

const QByteArray* WindowedQuery::rowAt(int row)
{
    if (row < 0 || row >= count_)
        return nullptr;
    ensureRow(row);
    return holds(row) ? &window_[size_t(row - base_)] : nullptr;
}

void WindowedQuery::makeCurrent(int row)
{
    const QByteArray* data = rowAt(row);
    current_ = data ? *data : QByteArray();
    setCurrent(data ? row : -1);
}

bool WindowedQuery::isEmpty() const
{
    return windowed_ ? count_ == 0 : Query::isEmpty();
}

int WindowedQuery::fetchedCount() const
{
    return windowed_ ? count_ : Query::fetchedCount();
}

bool WindowedQuery::allFetched() const
{
    return windowed_ || Query::allFetched();
}

bool WindowedQuery::fetchMore()
{
    return windowed_ ? false : Query::fetchMore();
}

int WindowedQuery::recordCount()
{
    if (!windowed_)
        return Query::recordCount();
    if (!exact_) {
        const int before = count_;
        readCount(true);
        if (count_ != before) {
            window_.clear();
            renumbered();
        }
    }
    return count_;
}

Field WindowedQuery::field(int column) const
{
    if (!windowed_)
        return Query::field(column);
    if (column < 0 || column >= columnCount())
        throw DbError(QStringLiteral("Nincs %1. mező.").arg(column));
    return fieldIn(current_.isEmpty() ? nullptr : current_.constData(), column);
}

// A row outside the window is read when a view asks for it: views ask for the rows they show.
Field WindowedQuery::fieldAt(int row, int column) const
{
    if (!windowed_)
        return Query::fieldAt(row, column);
    const QByteArray* data = const_cast<WindowedQuery*>(this)->rowAt(row);
    return fieldIn(data ? data->constData() : nullptr, column);
}

void WindowedQuery::first()
{
    if (!windowed_) {
        Query::first();
        return;
    }
    setEdges(true, count_ == 0);
    makeCurrent(0);
}

void WindowedQuery::last()
{
    if (!windowed_) {
        Query::last();
        return;
    }
    if (count_ > 0 && !(exact_ && holds(count_ - 1))) {
        readFromEnd();
        trimAround(count_ - 1);
    }
    setEdges(count_ == 0, true);
    makeCurrent(count_ - 1);
}

void WindowedQuery::prior()
{
    if (!windowed_) {
        Query::prior();
        return;
    }
    if (currentRow() <= 0) {
        setEdges(true, eof());
        return;
    }
    setEdges(false, false);
    makeCurrent(currentRow() - 1);
}

void WindowedQuery::next()
{
    if (!windowed_) {
        Query::next();
        return;
    }
    const int row = currentRow();
    if (row < 0 || row + 1 >= count_ || !rowAt(row + 1)) {
        setEdges(bof(), true);
        return;
    }
    setEdges(false, false);
    makeCurrent(row + 1);
}

bool WindowedQuery::moveTo(int row)
{
    if (!windowed_)
        return Query::moveTo(row);
    if (!isOpen() || row < 0 || !rowAt(row))
        return false;
    setEdges(row == 0, false);
    makeCurrent(row);
    return true;
}

// The first row, in the list's order, whose column starts with `prefix` in any case, placed in a window
// of its own; without one the first row becomes current.
bool WindowedQuery::locate(const QString& columnName, const QString& prefix)
{
    if (!windowed_)
        return Query::locate(columnName, prefix);
    const int index = columnIndex(columnName);
    if (index < 0)
        throw DbError(QStringLiteral("%1: nincs ilyen mező.").arg(columnName));
    if (prefix.isEmpty()) {
        first();
        return count_ > 0;
    }
    // No value of the column is that long (and the engine would refuse it as a bound).
    if (column(index).type == FieldType::Text && column(index).length > 0 &&
        prefix.size() > column(index).length) {
        first();
        return false;
    }
    QStringList forms{prefix.toLower(), prefix.toUpper()};
    forms.removeDuplicates();
    std::vector<QByteArray> found;
    if (index == keyColumn_) {
        // A collation puts every case form of a letter on one side of the others (lower case first in
        // the Hungarian order, upper case first by bytes), so a key that starts with the prefix in any
        // case lies at or after its all-lower or its all-upper form. The order index is walked from
        // each; the earlier find is the first.
        const QString condition =
            QStringLiteral("%1 >= :v0 AND UPPER(%1) STARTING WITH :v1").arg(order_.column);
        for (const QString& form : std::as_const(forms)) {
            Rows rows = readRows(condition, {form, prefix.toUpper()}, Direction::Ascending, 1);
            found.insert(found.end(), rows.begin(), rows.end());
        }
    } else {
        // Another column's own index finds the few rows that start with the prefix as typed, in upper
        // or in lower case (a key, a code); when they are many, the order is walked for the first.
        forms.prepend(prefix);
        forms.removeDuplicates();
        const QString condition = QStringLiteral(" WHERE %1 STARTING WITH :p").arg(column(index).name);
        for (const QString& form : std::as_const(forms)) {
            Query query(transaction());
            query.setSql(select() + condition + QStringLiteral(" ROWS %1").arg(MatchesRead));
            query.paramByName(QStringLiteral("p")).setText(form);
            query.open();
            if (query.recordCount() == MatchesRead) {
                query.setSql(select() + condition + OrderByWord + order_.column + QStringLiteral(", ") +
                             order_.tie + QStringLiteral(" ROWS 1"));
                query.paramByName(QStringLiteral("p")).setText(form);
                query.open();
            }
            for (int i = 0; i < query.fetchedCount(); ++i)
                found.push_back(query.rowData(i));
        }
    }
    const std::optional<QByteArray> earliest = earliestOf(found);
    if (!earliest) {
        first();
        return false;
    }
    placeAt(*earliest, true, 0);
    return true;
}

// A window around `row` (or, when it is gone, around where it stood), which becomes current. With
// `estimate` its number is estimated from its key, otherwise it is `number`.
void WindowedQuery::placeAt(const QByteArray& row, bool estimate, int number)
{
    const int half = windowSize_ / 2;
    Rows before = rowsBefore(row, half);
    Rows after = before.empty() ? readRows(QString(), {}, Direction::Ascending, windowSize_ - half)
                                : rowsAfter(before.back(), windowSize_ - half);
    if (after.empty() && !before.empty()) {
        // Past the last row: the last row becomes current.
        after.push_back(before.back());
        before.pop_back();
    }
    const int first = int(before.size());
    if (estimate) {
        sampleRows();
        number =
            samples_.empty()
                ? first
                : int(std::lround(double(samplesBefore(row)) / double(samples_.size()) * double(count_)));
    }
    const int highest = std::max(first, count_ - int(after.size()));
    placeWindow(std::move(before), std::move(after), std::clamp(number, first, highest));
    trimAround(base_ + first);
    const int current = base_ + std::min(first, int(window_.size()) - 1);
    setEdges(current == 0, false);
    makeCurrent(current);
}

// Read again around the current row, which keeps its number when it is still there.
void WindowedQuery::refresh()
{
    if (!windowed_) {
        Query::refresh();
        return;
    }
    const QByteArray kept = current_;
    const int row = currentRow();
    close();
    open();
    if (!kept.isEmpty() && row > 0 && !window_.empty())
        placeAt(kept, false, row);
}

void WindowedQuery::replaceRowFrom(int row, const Dataset& source)
{
    if (!windowed_) {
        Query::replaceRowFrom(row, source);
        return;
    }
    const bool same = source.columnCount() == columnCount() && source.currentRow() >= 0;
    if (!same || !holds(row))
        throw DbError(QStringLiteral("A sor nem olvasható újra."));
    for (int i = 0; i < columnCount(); ++i)
        if (source.column(i).name != column(i).name || source.column(i).type != column(i).type)
            throw DbError(QStringLiteral("A sor nem olvasható újra."));
    window_[size_t(row - base_)] = source.rowData(source.currentRow());
    if (row == currentRow())
        current_ = window_[size_t(row - base_)];
    emit rowUpdated(row);
}
