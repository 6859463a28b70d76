// The shared transaction and the datasets that live in it.
#include "transaction.h"
#include "connection.h"
#include "dataset.h"
#include "faulthook.h"
#include "fbcall.h"
#include "statement.h"

#include <ibase.h>
#include <utility>

using namespace Firebird;

Transaction::Transaction(Connection& connection) : connection_(connection), statements_(new StatementCache) {}

Transaction::~Transaction()
{
    const QList<Dataset*> datasets = datasets_;
    for (Dataset* dataset : datasets) {
        dataset->close();
        dataset->transaction_ = nullptr;
    }
    if (handle_) {
        try {
            fbCall([&](ThrowStatusWrapper* st) { handle_->rollback(st); });
        } catch (const DbError&) {
            handle_->release();
        }
    }
    delete statements_;
}

void Transaction::start()
{
    if (handle_)
        throw DbError(QStringLiteral("A tranzakció már aktív."));
    if (!connection_.attachment() && connection_.isLost())
        connection_.reconnect();
    if (!connection_.attachment())
        throw DbError(QStringLiteral("Nincs adatbázis kapcsolat."));
    // One user, one transaction: sees what others committed. Reads never wait (rec_version); a write that
    // meets another desk's lock waits for that save to end, as saves end in milliseconds, and fails only
    // when the lock outlasts the timeout.
    static_assert(LockTimeoutSeconds > 0 && LockTimeoutSeconds < 128);
    static const unsigned char tpb[] = {isc_tpb_version3,
                                        isc_tpb_read_committed,
                                        isc_tpb_rec_version,
                                        isc_tpb_wait,
                                        isc_tpb_write,
                                        isc_tpb_lock_timeout,
                                        1,
                                        LockTimeoutSeconds};
    handle_ = fbCall([&](ThrowStatusWrapper* st) {
        return connection_.attachment()->startTransaction(st, sizeof tpb, tpb);
    });
    written_ = false;
}

void Transaction::ensureActive()
{
    // A connection that some dataset found gone is dropped here. An unfinished unit of work died with
    // it, so its next statement must not run in a fresh transaction: it fails as the lost one would. A
    // transaction that only read lost nothing, and the next statement attaches again at once.
    if (connection_.lossReported()) {
        const bool unfinished = handle_ != nullptr && written_;
        connection_.dropLost();
        if (unfinished)
            throw DbError(QStringLiteral("Megszakadt a kapcsolat az adatbázis-szerverrel."),
                          isc_network_error, {}, {DbError::StatusItem{isc_network_error, {}}});
    }
    if (!handle_)
        start();
}

void Transaction::closeDatasets()
{
    const QList<Dataset*> open = datasets_;
    for (Dataset* dataset : open)
        dataset->transactionEnding();
}

void Transaction::commit()
{
    if (!handle_)
        throw DbError(QStringLiteral("A tranzakció nem aktív."));
    closeDatasets();
    FaultHook::check(FaultHook::Point::Commit);
    fbCall([&](ThrowStatusWrapper* st) { handle_->commit(st); });
    handle_ = nullptr;
    emit ended();
}

void Transaction::rollback()
{
    if (!handle_)
        throw DbError(QStringLiteral("A tranzakció nem aktív."));
    closeDatasets();
    fbCall([&](ThrowStatusWrapper* st) { handle_->rollback(st); });
    handle_ = nullptr;
    emit ended();
}

void Transaction::abandon()
{
    closeDatasets();
    if (ITransaction* handle = std::exchange(handle_, nullptr)) {
        try {
            fbCall([&](ThrowStatusWrapper* st) { handle->rollback(st); });
        } catch (const DbError&) {
            handle->release();
        }
        emit ended();
    }
}

void Transaction::attach(Dataset* dataset)
{
    if (!datasets_.contains(dataset))
        datasets_.append(dataset);
}

void Transaction::detach(Dataset* dataset)
{
    datasets_.removeAll(dataset);
}
