// Prepared statements, their cache, input binding and packed row fetching.
#include "statement.h"
#include "cp1250.h"
#include "faulthook.h"
#include "fbcall.h"

#include <ibase.h>
#include <bit>
#include <cstring>

using namespace Firebird;

namespace {

constexpr unsigned CharsetWin1250 = 51;
constexpr unsigned CharsetOctets = 1;
constexpr quint16 NullOffset = 0xFFFF;
// The longest text a VARCHAR parameter carries; its two-byte length must never wrap around.
constexpr qsizetype MaxParamBytes = 32765;

void requireCarried(const QByteArray& bytes)
{
    if (bytes.size() > MaxParamBytes)
        throw DbError(
            QStringLiteral("A szöveg túl hosszú: %1 bájt, egy paraméter legfeljebb %2 bájtot vihet át.")
                .arg(bytes.size())
                .arg(MaxParamBytes));
}

IMaster* master()
{
    return fb_get_master_interface();
}

template <class T>
void put(QByteArray& out, const T& value)
{
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

}

Statement::Statement(IAttachment* attachment, ITransaction* transaction, const QString& sql)
{
    const QByteArray text = encodeCp1250(sql);
    fbCall([&](ThrowStatusWrapper* st) {
        handle_ = attachment->prepare(st, transaction, 0, text.constData(), 3,
                                      IStatement::PREPARE_PREFETCH_METADATA);
        type_ = handle_->getType(st);
        output_ = handle_->getOutputMetadata(st);
        IMessageMetadata* input = handle_->getInputMetadata(st);
        inputCount_ = input->getCount(st);
        input->release();
    });
}

Statement::~Statement()
{
    if (output_)
        output_->release();
    if (cachedInput_)
        cachedInput_->release();
    if (handle_) {
        try {
            fbCall([&](ThrowStatusWrapper* st) { handle_->free(st); });
            handle_ = nullptr;
        } catch (const DbError&) {
            handle_->release();   // the attachment is gone already
        }
    }
}

bool Statement::isSelect() const
{
    return type_ == isc_info_sql_stmt_select || type_ == isc_info_sql_stmt_select_for_upd;
}

Statement::Input::~Input()
{
    if (metadata)
        metadata->release();
}

std::unique_ptr<Statement::Input> Statement::bind(const std::vector<const Param*>& values) const
{
    auto input = std::make_unique<Input>();
    if (values.empty())
        return input;
    std::vector<QByteArray> texts(values.size());
    // The message's shape: each value's type and, for text, a declared length rounded up to a power of
    // two (a VARCHAR carries its own length), so that a statement run row after row with texts of
    // similar lengths reuses its input description instead of building one for every row.
    std::vector<unsigned> shape(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        const Param& p = *values[i];
        if (p.kind() == Param::Kind::Text || p.kind() == Param::Kind::Bytes) {
            texts[i] =
                p.kind() == Param::Kind::Text ? encodeCp1250(p.value().toString()) : p.value().toByteArray();
            requireCarried(texts[i]);
            // Raw bytes go as fixed-length text of their own length (a row's key).
            const unsigned length = p.kind() == Param::Kind::Bytes
                                        ? unsigned(std::max<qsizetype>(texts[i].size(), 1))
                                        : std::max(64u, std::bit_ceil(unsigned(texts[i].size())));
            shape[i] = unsigned(p.kind()) | std::min(length, unsigned(MaxParamBytes)) << 4;
        } else {
            shape[i] = unsigned(p.kind());
        }
    }
    fbCall([&](ThrowStatusWrapper* st) {
        if (cachedInput_ && shape == cachedShape_) {
            input->metadata = cachedInput_;
            input->metadata->addRef();
        } else {
            IMetadataBuilder* builder = master()->getMetadataBuilder(st, unsigned(values.size()));
            for (unsigned i = 0; i < values.size(); ++i) {
                const unsigned length = shape[i] >> 4;
                switch (values[i]->kind()) {
                case Param::Kind::Text:
                    builder->setType(st, i, SQL_VARYING + 1);
                    builder->setLength(st, i, length);
                    builder->setCharSet(st, i, CharsetWin1250);
                    break;
                case Param::Kind::Date: builder->setType(st, i, SQL_TYPE_DATE + 1); break;
                case Param::Kind::Decimal:
                    builder->setType(st, i, SQL_INT64 + 1);
                    builder->setScale(st, i, -Decimal::Scale);
                    break;
                case Param::Kind::Integer:
                    builder->setType(st, i, SQL_INT64 + 1);
                    builder->setScale(st, i, 0);
                    break;
                case Param::Kind::Double: builder->setType(st, i, SQL_DOUBLE + 1); break;
                case Param::Kind::Bytes:
                    builder->setType(st, i, SQL_TEXT + 1);
                    builder->setLength(st, i, length);
                    builder->setCharSet(st, i, CharsetOctets);
                    break;
                case Param::Kind::Null:
                    builder->setType(st, i, SQL_VARYING + 1);
                    builder->setLength(st, i, 1);
                    builder->setCharSet(st, i, CharsetWin1250);
                    break;
                }
            }
            input->metadata = builder->getMetadata(st);
            builder->release();
            if (cachedInput_)
                cachedInput_->release();
            cachedInput_ = input->metadata;
            cachedInput_->addRef();
            cachedShape_ = shape;
        }
        input->buffer.assign(input->metadata->getMessageLength(st), 0);
        IUtil* util = master()->getUtilInterface();
        for (unsigned i = 0; i < values.size(); ++i) {
            const Param& p = *values[i];
            unsigned char* data = input->buffer.data() + input->metadata->getOffset(st, i);
            auto* nullFlag =
                reinterpret_cast<short*>(input->buffer.data() + input->metadata->getNullOffset(st, i));
            *nullFlag = 0;
            switch (p.kind()) {
            case Param::Kind::Text: {
                const quint16 length = quint16(texts[i].size());
                std::memcpy(data, &length, 2);
                std::memcpy(data + 2, texts[i].constData(), length);
                break;
            }
            case Param::Kind::Date: {
                const QDate d = p.value().toDate();
                const ISC_DATE value =
                    util->encodeDate(unsigned(d.year()), unsigned(d.month()), unsigned(d.day()));
                std::memcpy(data, &value, sizeof value);
                break;
            }
            case Param::Kind::Decimal:
            case Param::Kind::Integer: {
                const qint64 value = p.value().toLongLong();
                std::memcpy(data, &value, sizeof value);
                break;
            }
            case Param::Kind::Double: {
                const double value = p.value().toDouble();
                std::memcpy(data, &value, sizeof value);
                break;
            }
            case Param::Kind::Bytes: std::memcpy(data, texts[i].constData(), size_t(texts[i].size())); break;
            case Param::Kind::Null: *nullFlag = -1; break;
            }
        }
    });
    return input;
}

std::shared_ptr<Statement> StatementCache::acquire(IAttachment* attachment, ITransaction* transaction,
                                                   const QString& sql)
{
    auto it = statements_.find(sql);
    if (it != statements_.end() && it->use_count() == 1)
        return *it;
    auto statement = std::make_shared<Statement>(attachment, transaction, sql);
    if (it == statements_.end()) {
        if (statements_.size() > 200)
            statements_.clear();
        statements_.insert(sql, statement);
    }
    return statement;
}

namespace {

std::vector<ColumnInfo> describeColumns(IMessageMetadata* metadata)
{
    std::vector<ColumnInfo> columns;
    fbCall([&](ThrowStatusWrapper* st) {
        const unsigned count = metadata->getCount(st);
        for (unsigned i = 0; i < count; ++i) {
            ColumnInfo c;
            const char* alias = metadata->getAlias(st, i);
            c.name = QString::fromUtf8(alias && *alias ? alias : metadata->getField(st, i));
            const int scale = metadata->getScale(st, i);
            switch (metadata->getType(st, i) & ~1u) {
            case SQL_TEXT:
            case SQL_VARYING:
                c.type = FieldType::Text;
                c.length = int(metadata->getLength(st, i));
                break;
            case SQL_SHORT:
            case SQL_LONG:
            case SQL_INT64:
                c.type = scale < 0 ? FieldType::Decimal : FieldType::Integer;
                c.scale = -scale;
                break;
            case SQL_FLOAT:
            case SQL_DOUBLE:
            case SQL_D_FLOAT: c.type = FieldType::Double; break;
            case SQL_TYPE_DATE: c.type = FieldType::Date; break;
            case SQL_TYPE_TIME: c.type = FieldType::Time; break;
            case SQL_TIMESTAMP: c.type = FieldType::Timestamp; break;
            case SQL_BOOLEAN: c.type = FieldType::Boolean; break;
            default: c.type = FieldType::Blob; break;
            }
            columns.push_back(c);
        }
    });
    return columns;
}

}

RowPacker::RowPacker(IMessageMetadata* metadata) : columns_(describeColumns(metadata))
{
    fbCall([&](ThrowStatusWrapper* st) {
        messageLength_ = metadata->getMessageLength(st);
        for (unsigned i = 0; i < columns_.size(); ++i)
            slots_.push_back({metadata->getType(st, i) & ~1u, metadata->getOffset(st, i),
                              metadata->getNullOffset(st, i), metadata->getLength(st, i),
                              metadata->getCharSet(st, i)});
    });
}

QByteArray executeForRow(Statement& statement, ITransaction* transaction,
                         const std::vector<const Param*>& values, std::vector<ColumnInfo>* columns)
{
    FaultHook::check(FaultHook::Point::Statement);
    auto input = statement.bind(values);
    IMessageMetadata* output = statement.outputMetadata();
    RowPacker packer(output);
    if (columns)
        *columns = packer.columns();
    std::vector<unsigned char> buffer(packer.messageLength(), 0);
    fbCall([&](ThrowStatusWrapper* st) {
        statement.handle()->execute(
            st, transaction, input->metadata, input->buffer.empty() ? nullptr : input->buffer.data(),
            packer.columns().empty() ? nullptr : output, buffer.empty() ? nullptr : buffer.data());
    });
    return packer.columns().empty() ? QByteArray() : packer.pack(buffer.data());
}

Cursor::Cursor(std::shared_ptr<Statement> statement, ITransaction* transaction,
               const std::vector<const Param*>& values)
    : statement_(std::move(statement)), packer_(statement_->outputMetadata())
{
    FaultHook::check(FaultHook::Point::Statement);
    auto input = statement_->bind(values);
    buffer_.assign(packer_.messageLength(), 0);
    fbCall([&](ThrowStatusWrapper* st) {
        resultSet_ = statement_->handle()->openCursor(st, transaction, input->metadata,
                                                      input->buffer.empty() ? nullptr : input->buffer.data(),
                                                      statement_->outputMetadata(), 0);
    });
}

Cursor::~Cursor()
{
    if (resultSet_) {
        try {
            fbCall([&](ThrowStatusWrapper* st) { resultSet_->close(st); });
        } catch (const DbError&) {
            resultSet_->release();
        }
    }
}

bool Cursor::fetch(QByteArray& packed)
{
    if (!resultSet_)
        return false;
    FaultHook::check(FaultHook::Point::Fetch);
    const int result =
        fbCall([&](ThrowStatusWrapper* st) { return resultSet_->fetchNext(st, buffer_.data()); });
    if (result != IStatus::RESULT_OK) {
        fbCall([&](ThrowStatusWrapper* st) { resultSet_->close(st); });
        resultSet_ = nullptr;
        return false;
    }
    packer_.pack(buffer_.data(), packed);
    return true;
}

QByteArray RowPacker::pack(const unsigned char* buffer) const
{
    QByteArray out;
    pack(buffer, out);
    return out;
}

void RowPacker::pack(const unsigned char* buffer, QByteArray& out) const
{
    const qsizetype header = qsizetype(columns_.size() * sizeof(quint16));
    out.resize(header);
    for (unsigned i = 0; i < columns_.size(); ++i) {
        const Slot& slot = slots_[i];
        const short isNull = *reinterpret_cast<const short*>(buffer + slot.nullOffset);
        quint16 offset = NullOffset;
        if (!isNull) {
            offset = quint16(out.size());
            const unsigned char* data = buffer + slot.offset;
            switch (slot.type) {
            case SQL_VARYING: {
                quint16 length;
                std::memcpy(&length, data, 2);
                put(out, length);
                out.append(reinterpret_cast<const char*>(data + 2), length);
                break;
            }
            case SQL_TEXT: {
                quint16 length = quint16(slot.length);
                if (slot.charset != CharsetOctets)
                    while (length > 0 && data[length - 1] == ' ')
                        --length;
                put(out, length);
                out.append(reinterpret_cast<const char*>(data), length);
                break;
            }
            case SQL_SHORT: {
                qint16 v;
                std::memcpy(&v, data, 2);
                put(out, qint64(v));
                break;
            }
            case SQL_LONG: {
                qint32 v;
                std::memcpy(&v, data, 4);
                put(out, qint64(v));
                break;
            }
            case SQL_INT64: {
                qint64 v;
                std::memcpy(&v, data, 8);
                put(out, v);
                break;
            }
            case SQL_FLOAT: {
                float v;
                std::memcpy(&v, data, 4);
                put(out, double(v));
                break;
            }
            case SQL_DOUBLE:
            case SQL_D_FLOAT: {
                double v;
                std::memcpy(&v, data, 8);
                put(out, v);
                break;
            }
            case SQL_TYPE_DATE:
            case SQL_TYPE_TIME: out.append(reinterpret_cast<const char*>(data), 4); break;
            case SQL_TIMESTAMP: out.append(reinterpret_cast<const char*>(data), 8); break;
            case SQL_BOOLEAN: out.append(char(data[0])); break;
            default: out.append(reinterpret_cast<const char*>(data), 8); break;
            }
        }
        std::memcpy(out.data() + i * sizeof(quint16), &offset, sizeof offset);
    }
    if (out.size() >= NullOffset)
        throw DbError(QStringLiteral("A sor túl hosszú a megjelenítéshez (%1 bájt).").arg(out.size()));
}
