// One attachment to a Firebird database through the OO API, with its single shared transaction.
#pragma once

#include "transaction.h"

#include <QString>
#include <memory>

namespace Firebird { class IAttachment; class IMaster; class IStatus; class IUtil; }

struct ConnectionParams {
    QString database;                  // bare file name (embedded) or server:path
    QString user = QStringLiteral("SYSDBA");
    QString password;
    QString charset = QStringLiteral("WIN1250");
    int dialect = 3;
};

class Connection {
public:
    Connection();
    ~Connection();   // commits an active transaction, then detaches
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void setParams(const ConnectionParams& params) { params_ = params; }
    const ConnectionParams& params() const { return params_; }

    void open();          // throws DbError
    void close();         // commits an active transaction first
    bool isConnected() const { return attachment_ != nullptr; }

    // Creates a new database file with WIN1250 as its default character set (refuses an existing file:
    // the server reports it). The connection is left attached to it.
    void createDatabase();

    // Runs a script of DDL and DML statements separated by ";" (string literals and comments respected),
    // each in the shared transaction, committing after every DDL statement so later ones see it.
    void executeScript(const QString& script);

    Transaction& transaction() { return *transaction_; }

    // Sets FIREBIRD_LOCK to a per-user folder when unset, so that the embedded engine does not trip over
    // a /tmp/firebird made by another user. Called before the first attachment of the process.
    static void prepareEmbeddedEnvironment();

    Firebird::IAttachment* attachment() const { return attachment_; }
    static Firebird::IMaster* master();
    static Firebird::IUtil* util();

private:
    void attach(bool create);

    ConnectionParams params_;
    Firebird::IAttachment* attachment_ = nullptr;
    std::unique_ptr<Transaction> transaction_;
};
