// Lazily fetched result sets, the current row, locate, and field access on packed rows.
#include "dataset.h"
#include "connection.h"
#include "cp1250.h"
#include "dberror.h"
#include "formats.h"
#include "statement.h"
#include "transaction.h"

#include <algorithm>
#include <cstring>
#include <firebird/Interface.h>

namespace {

template <class T>
T read(const char* data)
{
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

QDate toQDate(qint32 iscDate)
{
    unsigned y, m, d;
    Firebird::fb_get_master_interface()->getUtilInterface()->decodeDate(iscDate, &y, &m, &d);
    return QDate(int(y), int(m), int(d));
}

QTime toQTime(quint32 iscTime)
{
    return QTime::fromMSecsSinceStartOfDay(int(iscTime / 10));
}

}

QByteArray RowStore::bytes(int row) const
{
    const Entry& entry = index_[size_t(row)];
    return QByteArray(entry.data, qsizetype(entry.length));
}

RowStore::Entry RowStore::store(const QByteArray& packed)
{
    const size_t length = size_t(packed.size());
    // Values are read with memcpy, so rows need no alignment.
    if (used_ + length > capacity_) {
        // Not zeroed: every byte handed out is written first.
        capacity_ = std::max(length, std::clamp(capacity_ * 2, FirstBlockBytes, BlockBytes));
        blocks_.push_back(std::unique_ptr<char[]>(new char[capacity_]));
        used_ = 0;
    }
    char* target = blocks_.back().get() + used_;
    std::memcpy(target, packed.constData(), length);
    used_ += length;
    return {target, quint32(length)};
}

void RowStore::clear()
{
    index_.clear();
    index_.shrink_to_fit();
    blocks_.clear();
    capacity_ = used_ = 0;
}

QString Field::name() const
{
    return column_ ? column_->name : QString();
}
FieldType Field::type() const
{
    return column_ ? column_->type : FieldType::Text;
}

QString Field::asString() const
{
    if (!data_)
        return QString();
    switch (column_->type) {
    case FieldType::Text: return decodeCp1250(data_ + 2, read<quint16>(data_));
    case FieldType::Integer: return QString::number(read<qint64>(data_));
    case FieldType::Decimal: return asDecimal().toString(Formats::decimalSeparator());
    case FieldType::Double: return Formats::formatGeneral(read<double>(data_));
    case FieldType::Date: return Formats::formatDate(asDate());
    case FieldType::Time: return toQTime(read<quint32>(data_)).toString(QStringLiteral("HH:mm:ss"));
    case FieldType::Timestamp:
        return Formats::formatDate(asDate()) + QLatin1Char(' ') +
               toQTime(read<quint32>(data_ + 4)).toString(QStringLiteral("HH:mm:ss"));
    case FieldType::Boolean: return data_[0] ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Blob: return QStringLiteral("(BLOB)");
    }
    return QString();
}

qint64 Field::asInteger() const
{
    if (!data_)
        return 0;
    switch (column_->type) {
    case FieldType::Integer: return read<qint64>(data_);
    case FieldType::Decimal: return asDecimal().scaled() / Decimal::Unit;
    case FieldType::Double: return qint64(read<double>(data_));
    case FieldType::Boolean: return data_[0] ? 1 : 0;
    case FieldType::Text: return asString().trimmed().toLongLong();
    default: return 0;
    }
}

double Field::asFloat() const
{
    if (!data_)
        return 0;
    switch (column_->type) {
    case FieldType::Integer: return double(read<qint64>(data_));
    case FieldType::Decimal: {
        double divisor = 1;
        for (int i = 0; i < column_->scale; ++i)
            divisor *= 10;
        return double(read<qint64>(data_)) / divisor;
    }
    case FieldType::Double: return read<double>(data_);
    case FieldType::Boolean: return data_[0] ? 1 : 0;
    case FieldType::Text: return Formats::parseNumber(asString()).value_or(0);
    default: return 0;
    }
}

Decimal Field::asDecimal() const
{
    if (!data_)
        return Decimal();
    switch (column_->type) {
    case FieldType::Integer: return Decimal::fromScaled(read<qint64>(data_), 0);
    case FieldType::Decimal: return Decimal::fromScaled(read<qint64>(data_), column_->scale);
    case FieldType::Text: return Decimal::parse(asString()).value_or(Decimal());
    default: return Decimal::fromDouble(asFloat());
    }
}

QDate Field::asDate() const
{
    if (!data_)
        return QDate();
    switch (column_->type) {
    case FieldType::Date:
    case FieldType::Timestamp: return toQDate(read<qint32>(data_));
    case FieldType::Text: return Formats::parseDate(asString()).value_or(QDate());
    default: return QDate();
    }
}

QByteArray Field::asBytes() const
{
    if (!data_ || column_->type != FieldType::Text)
        return QByteArray();
    return QByteArray(data_ + 2, read<quint16>(data_));
}

QByteArrayView Field::textView() const
{
    if (!data_ || column_->type != FieldType::Text)
        return {};
    return QByteArrayView(data_ + 2, read<quint16>(data_));
}

QVariant Field::value() const
{
    if (!data_)
        return QVariant();
    switch (column_->type) {
    case FieldType::Integer: return asInteger();
    case FieldType::Decimal:
    case FieldType::Double: return asFloat();
    case FieldType::Date: return asDate();
    case FieldType::Timestamp: return QDateTime(asDate(), toQTime(read<quint32>(data_ + 4)));
    case FieldType::Time: return toQTime(read<quint32>(data_));
    case FieldType::Boolean: return bool(data_[0]);
    default: return asString();
    }
}

Dataset::Dataset(Transaction& transaction, QObject* parent) : QObject(parent), transaction_(&transaction)
{
    transaction_->attach(this);
}

Dataset::~Dataset()
{
    cursor_.reset();
    if (transaction_)
        transaction_->detach(this);
}

void Dataset::open()
{
    if (open_)
        return;
    if (!transaction_)
        throw DbError(QStringLiteral("Nincs tranzakció."));
    transaction_->ensureActive();
    cursor_ = openCursor();
    columns_ = cursor_->columns();
    adjustColumns(columns_);
    rows_.clear();
    open_ = true;
    emit opened();
    fetchMore();
    current_ = rows_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.empty();
    emit currentRowChanged(current_);
}

void Dataset::openWithColumns(std::vector<ColumnInfo> columns)
{
    columns_ = std::move(columns);
    adjustColumns(columns_);
    rows_.clear();
    open_ = true;
}

void Dataset::close()
{
    if (!open_)
        return;
    open_ = false;
    keepOverEnd_ = false;
    readPastKept_ = false;
    cursor_.reset();
    rows_.clear();
    current_ = -1;
    eof_ = bof_ = true;
    afterClose();
    emit closed();
}

void Dataset::refresh()
{
    const int row = current_;
    close();
    open();
    // Only as far as the old row: a refreshed list of many rows stays lazy.
    if (row > 0 && !moveTo(row))
        last();
}

int Dataset::columnIndex(const QString& name) const
{
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

bool Dataset::isEmpty() const
{
    return rows_.empty();
}

bool Dataset::fetchMore()
{
    const int first = rows_.size();
    fetchBlock();
    announceFrom(first);
    return rows_.size() > first;
}

void Dataset::transactionEnding()
{
    const bool keep = keepOverEnd_ && open_;
    keepOverEnd_ = false;
    if (!keep) {
        close();
        return;
    }
    // The cursor dies with the transaction; the rows it gave stay.
    if (cursor_) {
        cursor_.reset();
        readPastKept_ = true;
    }
}

// The statement again, past the kept rows: the engine reads them once more, but only when a person
// moves beyond what the list already shows.
void Dataset::reopenPastKeptRows()
{
    readPastKept_ = false;
    if (!transaction_)
        return;
    transaction_->ensureActive();
    cursor_ = openCursor();
    QByteArray passed;
    for (int i = 0; i < rows_.size(); ++i) {
        if (!cursor_->fetch(passed)) {
            cursor_.reset();
            return;
        }
    }
}

bool Dataset::fetchBlock()
{
    if (!cursor_ && readPastKept_)
        reopenPastKeptRows();
    if (!cursor_)
        return false;
    const int first = rows_.size();
    QByteArray packed;
    for (int i = 0; i < BlockSize; ++i) {
        if (!cursor_->fetch(packed)) {
            cursor_.reset();
            break;
        }
        rows_.append(packed);
    }
    return rows_.size() > first;
}

// One signal for all the blocks a long move fetched: views take in the new rows once, not block by block.
void Dataset::announceFrom(int first)
{
    if (rows_.size() > first)
        emit rowsFetched(first, rows_.size() - 1);
}

void Dataset::fetchUntil(int row)
{
    const int first = rows_.size();
    while (rows_.size() <= row && fetchBlock()) {
    }
    announceFrom(first);
}

int Dataset::recordCount()
{
    fetchUntil(INT_MAX - 1);
    return rows_.size();
}

void Dataset::setCurrent(int row)
{
    if (row == current_)
        return;
    current_ = row;
    emit currentRowChanged(row);
}

void Dataset::first()
{
    if (!open_)
        return;
    bof_ = true;
    eof_ = rows_.empty();
    setCurrent(rows_.empty() ? -1 : 0);
}

void Dataset::prior()
{
    if (current_ <= 0) {
        bof_ = true;
        return;
    }
    eof_ = false;
    bof_ = false;
    setCurrent(current_ - 1);
}

void Dataset::next()
{
    if (current_ < 0) {
        eof_ = true;
        return;
    }
    fetchUntil(current_ + 1);
    if (current_ + 1 >= rows_.size()) {
        eof_ = true;
        return;
    }
    bof_ = false;
    setCurrent(current_ + 1);
}

void Dataset::last()
{
    if (!open_)
        return;
    const int count = recordCount();
    bof_ = count == 0;
    eof_ = true;
    setCurrent(count - 1);
}

bool Dataset::moveTo(int row)
{
    if (!open_ || row < 0)
        return false;
    fetchUntil(row);
    if (row >= rows_.size())
        return false;
    bof_ = row == 0;
    eof_ = false;
    setCurrent(row);
    return true;
}

bool Dataset::locate(const QString& columnName, const QString& prefix)
{
    const int column = columnIndex(columnName);
    if (column < 0)
        throw DbError(QStringLiteral("%1: nincs ilyen mező.").arg(columnName));
    // Case folding handles accents too ("á" matches "Á").
    const QString wanted = prefix.toCaseFolded();
    // An ASCII prefix of a text column is compared on the stored bytes, without decoding every row: no
    // letter of code page 1250 beyond ASCII folds to an ASCII letter.
    const bool byBytes =
        columns_[size_t(column)].type == FieldType::Text &&
        std::all_of(wanted.begin(), wanted.end(), [](QChar c) { return c.unicode() < 0x80; });
    const QByteArray wantedBytes = byBytes ? wanted.toLatin1() : QByteArray();
    auto matches = [&](int row) {
        const Field field = fieldAt(row, column);
        if (!byBytes)
            return field.asString().toCaseFolded().startsWith(wanted);
        const QByteArrayView text = field.textView();
        if (text.size() < wantedBytes.size())
            return false;
        for (qsizetype i = 0; i < wantedBytes.size(); ++i) {
            char c = text[i];
            if (c >= 'A' && c <= 'Z')
                c = char(c - 'A' + 'a');
            if (c != wantedBytes[i])
                return false;
        }
        return true;
    };
    const int fetchedBefore = rows_.size();
    int found = -1;
    for (int row = 0; found < 0; ++row) {
        if (row >= rows_.size() && !fetchBlock())
            break;
        if (matches(row))
            found = row;
    }
    announceFrom(fetchedBefore);
    if (found >= 0) {
        moveTo(found);
        return true;
    }
    first();
    return false;
}

Field Dataset::field(int column) const
{
    if (column < 0 || column >= int(columns_.size()))
        throw DbError(QStringLiteral("Nincs %1. mező.").arg(column));
    if (current_ < 0)
        return Field(&columns_[size_t(column)], nullptr);
    return fieldAt(current_, column);
}

Field Dataset::fieldByName(const QString& name) const
{
    const int column = columnIndex(name);
    if (column < 0)
        throw DbError(QStringLiteral("%1: nincs ilyen mező.").arg(name));
    return field(column);
}

Field Dataset::fieldAt(int row, int column) const
{
    return fieldIn(rows_.data(row), column);
}

Field Dataset::fieldIn(const char* data, int column) const
{
    if (!data)
        return Field(&columns_[size_t(column)], nullptr);
    const quint16 offset = read<quint16>(data + column * sizeof(quint16));
    return Field(&columns_[size_t(column)], offset == 0xFFFF ? nullptr : data + offset);
}

void Dataset::replaceRowFrom(int row, const Dataset& source)
{
    const auto alike = [](const ColumnInfo& a, const ColumnInfo& b) {
        return a.name == b.name && a.type == b.type && a.scale == b.scale;
    };
    const bool same = source.columns_.size() == columns_.size() &&
                      std::equal(columns_.begin(), columns_.end(), source.columns_.begin(), alike);
    if (!same || source.current_ < 0 || row < 0 || row >= rows_.size())
        throw DbError(QStringLiteral("A sor nem olvasható újra."));
    replaceRow(row, source.rowData(source.current_));
}

void Dataset::replaceRow(int row, QByteArray packed)
{
    rows_.replace(row, packed);
    emit rowUpdated(row);
}

void Dataset::insertRow(int row, QByteArray packed)
{
    rows_.insert(row, packed);
    emit rowInserted(row);
    current_ = -2;   // force the change signal
    setCurrent(row);
    eof_ = bof_ = false;
}

void Dataset::removeRow(int row)
{
    rows_.remove(row);
    emit rowRemoved(row);
    eof_ = rows_.empty();
    const int next = rows_.empty() ? -1 : std::min(row, rows_.size() - 1);
    current_ = -2;
    setCurrent(next);
}
