// A private Firebird server for tests: its own configuration, security database, lock folder and
// databases in a temporary folder, listening on a free loopback port, stopped when the object goes.
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class FirebirdServer {
public:
    // The Debian server binary; the tests that need a server skip when it (or isql-fb and gbak of
    // firebird3.0-utils) is missing.
    static QString serverProgram();
    static bool available();

    FirebirdServer() = default;
    ~FirebirdServer();   // stops the server
    FirebirdServer(const FirebirdServer&) = delete;
    FirebirdServer& operator=(const FirebirdServer&) = delete;

    // Lays out the server's folder, creates its security database with the program's SYSDBA password
    // and starts the server on 127.0.0.1 on a free port; false with error() set when it does not come up.
    bool start();
    void stop();
    // Starts the stopped server again on the same port, as a restarted server comes back to its desks.
    bool restart();

    QString error() const { return error_; }
    int port() const { return port_; }
    // "127.0.0.1/port:/folder/name": a database of this server as the program names it on its
    // command line.
    QString databaseName(const QString& fileName) const;

private:
    bool layOut();
    bool createSecurityDatabase();
    bool launch();
    QProcessEnvironment serverEnvironment() const;

    QTemporaryDir root_;
    QProcess process_;
    int port_ = 0;
    QString error_;
};
