// Timing, memory figures, the bare engine and the result lines of the benchmark programs.
#include "benchsupport.h"
#include "cp1250.h"
#include "fbcall.h"

#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
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

double residentMb() { return statusMb("VmRSS:"); }
double peakResidentMb() { return statusMb("VmHWM:"); }

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
        transaction_ = fbCall([&](ThrowStatusWrapper* st) { return attachment_->startTransaction(st, sizeof tpb, tpb); });
    }
    return transaction_;
}

long BareEngine::select(const QString& sql, long rows)
{
    const QByteArray text = encodeCp1250(sql);
    ITransaction* tr = transaction();
    return fbCall([&](ThrowStatusWrapper* st) {
        IStatement* statement = attachment_->prepare(st, tr, 0, text.constData(), 3, IStatement::PREPARE_PREFETCH_METADATA);
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
