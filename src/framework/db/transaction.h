// The shared transaction: read_committed + rec_version + write, waiting a short while for another
// desk's lock. It starts itself when a dataset needs it; its end (commit or rollback) closes every
// dataset that works in it.
#pragma once

#include <QObject>
#include <QList>

namespace Firebird {
class ITransaction;
}
class Connection;
class Dataset;
class StatementCache;

class Transaction : public QObject {
    Q_OBJECT
public:
    // How long a write waits for a row another desk's unfinished save holds before it fails with a lock
    // conflict: many times what a save takes to commit (milliseconds), short enough that a person at the
    // desk waits for the refusal no longer than for a slow save. The server counts whole seconds of its
    // clock, so the wait ends between one and two seconds.
    static constexpr int LockTimeoutSeconds = 2;

    explicit Transaction(Connection& connection);
    ~Transaction() override;

    bool isActive() const { return handle_ != nullptr; }
    void start();   // throws DbError; starting an active transaction is an error
    // Starts it when not active; a connection dropped as lost attaches again first.
    void ensureActive();
    void commit();     // closes every dataset first, then commits; throws DbError
    void rollback();   // closes every dataset first, then rolls back; throws DbError
    // Ends the transaction of a lost connection like a rollback, without needing the server.
    void abandon();

    // A statement that may change data runs in it: a connection lost before its end loses that work,
    // which the next statement must not pass over. Cleared when the transaction ends.
    void noteWrite() { written_ = true; }
    bool hasWritten() const { return written_; }

    Connection& connection() { return connection_; }
    Firebird::ITransaction* handle() const { return handle_; }
    StatementCache& statements() { return *statements_; }

    void attach(Dataset* dataset);
    void detach(Dataset* dataset);

signals:
    void ended();

private:
    void closeDatasets();

    Connection& connection_;
    Firebird::ITransaction* handle_ = nullptr;
    bool written_ = false;
    QList<Dataset*> datasets_;
    StatementCache* statements_;
};
