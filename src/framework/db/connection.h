// One attachment to a Firebird database through the OO API, with its single shared transaction.
#pragma once

#include "transaction.h"

#include <QHash>
#include <QString>
#include <memory>
#include <optional>

namespace Firebird {
class IAttachment;
class IMaster;
class IStatus;
class IUtil;
}

struct ConnectionParams {
    QString database;   // bare file name (embedded) or server:path
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

    void open();    // throws DbError
    void close();   // commits an active transaction first
    bool isConnected() const { return attachment_ != nullptr; }

    // The server connection is gone (connectionLost() of the error): forgets the transaction and the
    // attachment without waiting for the server, which rolled back the unit of work already, and closes
    // every dataset as a rollback does. The next transaction start attaches again.
    void dropLost();
    bool isLost() const { return lost_; }
    // Whether an error somewhere in the process said that a server connection is gone since this
    // connection last looked (attached, dropped or asked); asking counts as looking.
    bool lossReported();
    // Attaches again after dropLost(); throws DbError (still lost) while the server cannot be reached.
    void reconnect();

    // Creates a new database file with WIN1250 as its default character set (refuses an existing file:
    // the server reports it). The connection is left attached to it.
    void createDatabase();

    // Runs a script of DDL and DML statements separated by ";" (string literals and comments respected),
    // each in the shared transaction, committing after every DDL statement so later ones see it.
    void executeScript(const QString& script);

    Transaction& transaction() { return *transaction_; }

    // The column of `table`'s single-column primary key; empty when it has none or a compound one. The
    // keys of all tables are read in one statement on first use and kept until the schema may change.
    QString primaryKeyColumn(const QString& table);

    // Sets FIREBIRD_LOCK to a private folder of this user when unset, so that the embedded engine neither
    // trips over a /tmp/firebird made by another user nor follows a folder someone else planted. Called
    // before the first attachment of the process. Throws DbError, with a Hungarian text naming the folder
    // and the reason, when the folder is a symbolic link, not a folder, or someone else's.
    static void prepareEmbeddedEnvironment();
    // The lock folder chosen from the session's runtime folder (used only when it is a real folder of this
    // user that nobody else may enter) or else "varnel-<uid>" in the temporary folder (/tmp when that is
    // unset, relative or missing); created with mode 0700 where missing. Throws DbError as above.
    static QString privateLockFolder(const QString& runtimeFolder, const QString& temporaryFolder);

    Firebird::IAttachment* attachment() const { return attachment_; }
    static Firebird::IMaster* master();
    static Firebird::IUtil* util();

private:
    void attach(bool create);

    ConnectionParams params_;
    Firebird::IAttachment* attachment_ = nullptr;
    bool lost_ = false;
    unsigned long lossesSeen_ = 0;
    std::unique_ptr<Transaction> transaction_;
    std::optional<QHash<QString, QString>> primaryKeys_;   // table -> its one key column
};
