// Timing, memory figures, the bare engine and the result lines of the benchmark programs.
#include "benchsupport.h"
#include "query.h"
#include "cp1250.h"
#include "fbcall.h"

#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <firebird/Interface.h>
#include <ibase.h>
#include <vector>

using namespace Firebird;

double timedMs(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

namespace {

double statusMb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray wanted(key);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(wanted))
            return line.mid(wanted.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

}

double residentMb()
{
    return statusMb("VmRSS:");
}
double peakResidentMb()
{
    return statusMb("VmHWM:");
}

void benchRow(const QString& operation, double programMs, double engineMs, const QString& note)
{
    std::printf("@bench|%s|%.1f|%.1f|%.0f|%s\n", qPrintable(operation), programMs, engineMs, peakResidentMb(),
                qPrintable(note));
    std::fflush(stdout);
}

BareEngine::BareEngine(IAttachment* attachment) : attachment_(attachment) {}

BareEngine::~BareEngine()
{
    if (transaction_) {
        try {
            fbCall([&](ThrowStatusWrapper* st) { transaction_->rollback(st); });
        } catch (const DbError&) {
            transaction_->release();
        }
    }
}

ITransaction* BareEngine::transaction()
{
    if (!transaction_) {
        // The program's own kind of transaction, so both sides see the same rows the same way.
        static const unsigned char tpb[] = {isc_tpb_version3, isc_tpb_read_committed, isc_tpb_rec_version,
                                            isc_tpb_nowait, isc_tpb_write};
        transaction_ = fbCall(
            [&](ThrowStatusWrapper* st) { return attachment_->startTransaction(st, sizeof tpb, tpb); });
    }
    return transaction_;
}

long BareEngine::select(const QString& sql, long rows)
{
    const QByteArray text = encodeCp1250(sql);
    ITransaction* tr = transaction();
    return fbCall([&](ThrowStatusWrapper* st) {
        IStatement* statement =
            attachment_->prepare(st, tr, 0, text.constData(), 3, IStatement::PREPARE_PREFETCH_METADATA);
        IMessageMetadata* output = statement->getOutputMetadata(st);
        std::vector<unsigned char> buffer(output->getMessageLength(st));
        IResultSet* cursor = statement->openCursor(st, tr, nullptr, nullptr, output, 0);
        long fetched = 0;
        while ((rows < 0 || fetched < rows) && cursor->fetchNext(st, buffer.data()) == IStatus::RESULT_OK)
            ++fetched;
        cursor->close(st);
        output->release();
        statement->free(st);
        return fetched;
    });
}

long BareEngine::execute(const QString& sql)
{
    const QByteArray text = encodeCp1250(sql);
    ITransaction* tr = transaction();
    return fbCall([&](ThrowStatusWrapper* st) {
        IStatement* statement = attachment_->prepare(st, tr, 0, text.constData(), 3, 0);
        statement->execute(st, tr, nullptr, nullptr, nullptr, nullptr);
        const long touched = long(statement->getAffectedRecords(st));
        statement->free(st);
        return touched;
    });
}

void BareEngine::commit()
{
    if (!transaction_)
        return;
    fbCall([&](ThrowStatusWrapper* st) { transaction_->commit(st); });
    transaction_ = nullptr;
}

namespace {

constexpr unsigned TextLength = 400;   // bytes of a parameter or column as text; the widest column is 75

// The statement's message with every field turned into text of TextLength bytes.
IMessageMetadata* asText(ThrowStatusWrapper* st, IMessageMetadata* metadata)
{
    IMetadataBuilder* builder = metadata->getBuilder(st);
    for (unsigned i = 0; i < metadata->getCount(st); ++i) {
        builder->setType(st, i, SQL_VARYING + 1);
        builder->setSubType(st, i, 0);
        builder->setScale(st, i, 0);
        builder->setLength(st, i, TextLength);
    }
    IMessageMetadata* text = builder->getMetadata(st);
    builder->release();
    metadata->release();
    return text;
}

}

BareStatement::BareStatement(BareEngine& engine, const QString& sql) : engine_(engine)
{
    const QByteArray text = encodeCp1250(sql);
    fbCall([&](ThrowStatusWrapper* st) {
        statement_ = engine_.attachment_->prepare(st, engine_.transaction(), 0, text.constData(), 3,
                                                  IStatement::PREPARE_PREFETCH_METADATA);
        input_ = asText(st, statement_->getInputMetadata(st));
        output_ = asText(st, statement_->getOutputMetadata(st));
    });
}

BareStatement::~BareStatement()
{
    if (input_)
        input_->release();
    if (output_)
        output_->release();
    if (statement_) {
        try {
            fbCall([&](ThrowStatusWrapper* st) { statement_->free(st); });
        } catch (const DbError&) {
            statement_->release();
        }
    }
}

std::vector<QStringList> BareStatement::run(const QStringList& values, long rows)
{
    return fbCall([&](ThrowStatusWrapper* st) {
        std::vector<unsigned char> in(input_->getMessageLength(st));
        for (unsigned i = 0; i < input_->getCount(st) && int(i) < values.size(); ++i) {
            const QByteArray value = encodeCp1250(values[int(i)]).left(int(TextLength));
            unsigned char* field = in.data() + input_->getOffset(st, i);
            const auto length = std::uint16_t(value.size());
            std::memcpy(field, &length, sizeof length);
            std::memcpy(field + sizeof length, value.constData(), size_t(value.size()));
            *reinterpret_cast<short*>(in.data() + input_->getNullOffset(st, i)) = 0;
        }
        ITransaction* tr = engine_.transaction();
        std::vector<QStringList> result;
        if (output_->getCount(st) == 0) {
            statement_->execute(st, tr, input_, in.data(), nullptr, nullptr);
            return result;
        }
        std::vector<unsigned char> out(output_->getMessageLength(st));
        IResultSet* cursor = statement_->openCursor(st, tr, input_, in.data(), output_, 0);
        while ((rows < 0 || long(result.size()) < rows) &&
               cursor->fetchNext(st, out.data()) == IStatus::RESULT_OK) {
            QStringList row;
            for (unsigned i = 0; i < output_->getCount(st); ++i) {
                if (*reinterpret_cast<const short*>(out.data() + output_->getNullOffset(st, i))) {
                    row << QString();
                    continue;
                }
                const unsigned char* field = out.data() + output_->getOffset(st, i);
                std::uint16_t length = 0;
                std::memcpy(&length, field, sizeof length);
                row << decodeCp1250(reinterpret_cast<const char*>(field + sizeof length), length);
            }
            result.push_back(row);
        }
        cursor->close(st);
        return result;
    });
}

void OpenedStatements::start()
{
    opened_.clear();
    Query::setOpenObserver(
        [this](const QString& sql, const QStringList& values) { opened_.emplace_back(sql, values); });
}

void OpenedStatements::stop()
{
    Query::setOpenObserver({});
}

void OpenedStatements::record(const std::function<void()>& work)
{
    start();
    try {
        work();
    } catch (...) {
        stop();
        throw;
    }
    stop();
}

double OpenedStatements::replay(BareEngine& engine, long unlimitedRows)
{
    if (qEnvironmentVariableIsSet("VARNEL_BENCH_TRACE"))
        for (const auto& [sql, values] : opened_)
            std::fprintf(stderr, "%s | %s\n", qPrintable(sql.left(150)),
                         qPrintable(values.join(QLatin1Char(','))));
    for (const auto& [sql, values] : opened_)
        if (!prepared_.count(sql))
            prepared_.emplace(sql, std::make_unique<BareStatement>(engine, sql));
    return timedMs([&] {
        for (const auto& [sql, values] : opened_) {
            const bool limited = sql.contains(QStringLiteral(" ROWS "), Qt::CaseInsensitive);
            prepared_.at(sql)->run(values, limited ? -1 : unlimitedRows);
        }
    });
}
