// Laying out, starting and stopping a private Firebird server for the server-mode tests.
#include "firebirdserver.h"
#include "databasefile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <csignal>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The Debian layout keeps the server's support files here (one folder per architecture).
QString installedFirebirdFolder()
{
    const QStringList found =
        QDir(QStringLiteral("/usr/lib")).entryList({QStringLiteral("*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& arch : found) {
        const QString folder = QStringLiteral("/usr/lib/%1/firebird/3.0").arg(arch);
        if (QFileInfo::exists(folder + QStringLiteral("/intl/libfbintl.so")))
            return folder;
    }
    return {};
}

sockaddr_in loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port the kernel hands out as free on 127.0.0.1 just now.
int freeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool accepts(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const sockaddr_in address = loopback(port);
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

}

QString FirebirdServer::serverProgram()
{
    return QStringLiteral("/usr/sbin/firebird");
}

bool FirebirdServer::available()
{
    return QFileInfo(serverProgram()).isExecutable() && !installedFirebirdFolder().isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("isql-fb")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("gbak")).isEmpty();
}

FirebirdServer::~FirebirdServer()
{
    stop();
}

QString FirebirdServer::databaseName(const QString& fileName) const
{
    return QStringLiteral("127.0.0.1/%1:%2")
        .arg(port_)
        .arg(QDir(root_.path()).filePath(QStringLiteral("data/") + fileName));
}

QProcessEnvironment FirebirdServer::serverEnvironment() const
{
    // The root folder gives the server (and isql-fb run on its behalf) this folder's firebird.conf, and
    // the lock folder keeps its lock tables apart from every other engine on the machine.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FIREBIRD"), root_.path());
    environment.insert(QStringLiteral("FIREBIRD_LOCK"), root_.filePath(QStringLiteral("lock")));
    environment.insert(QStringLiteral("FIREBIRD_TMP"), root_.filePath(QStringLiteral("tmp")));
    return environment;
}

bool FirebirdServer::layOut()
{
    const QString installed = installedFirebirdFolder();
    QDir root(root_.path());
    for (const char* folder : {"lock", "tmp", "data", "intl"})
        root.mkpath(QString::fromLatin1(folder));
    // Copies, not links: the engine does not find its character sets through a linked intl module.
    const QStringList copies = {QStringLiteral("intl/libfbintl.so"), QStringLiteral("intl/fbintl.conf"),
                                QStringLiteral("firebird.msg"), QStringLiteral("plugins.conf")};
    for (const QString& name : copies) {
        if (!root.exists(name) && !QFile::copy(installed + QLatin1Char('/') + name, root.filePath(name))) {
            error_ = QStringLiteral("cannot copy %1/%2").arg(installed, name);
            return false;
        }
    }
    const QByteArray config = QStringLiteral("RemoteBindAddress = 127.0.0.1\n"
                                             "RemoteServicePort = %1\n"
                                             "SecurityDatabase = %2\n"
                                             "ServerMode = Super\n")
                                  .arg(port_)
                                  .arg(root.filePath(QStringLiteral("security3.fdb")))
                                  .toUtf8();
    if (!writeFile(root.filePath(QStringLiteral("firebird.conf")), config)) {
        error_ = QStringLiteral("cannot write firebird.conf");
        return false;
    }
    return true;
}

bool FirebirdServer::createSecurityDatabase()
{
    // The Srp plugin makes its user table on the first CREATE USER; SYSDBA gets the program's password.
    const QString password = databaseParams(QString()).password;
    const QByteArray script = QStringLiteral("CREATE DATABASE '%1';\n"
                                             "CREATE USER SYSDBA PASSWORD '%2' USING PLUGIN Srp;\n"
                                             "COMMIT;\n")
                                  .arg(root_.filePath(QStringLiteral("security3.fdb")), password)
                                  .toUtf8();
    QProcess isql;
    isql.setProcessEnvironment(serverEnvironment());
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.setChildProcessModifier([] { ::umask(077); });
    isql.start(
        QStandardPaths::findExecutable(QStringLiteral("isql-fb")),
        {QStringLiteral("-q"), QStringLiteral("-bail"), QStringLiteral("-user"), QStringLiteral("SYSDBA")});
    isql.write(script);
    isql.closeWriteChannel();
    if (!isql.waitForFinished(60000) || isql.exitCode() != 0 ||
        !QFileInfo::exists(root_.filePath(QStringLiteral("security3.fdb")))) {
        error_ = QStringLiteral("security database: ") + QString::fromLocal8Bit(isql.readAll());
        return false;
    }
    return true;
}

bool FirebirdServer::launch()
{
    process_.setProgram(serverProgram());
    process_.setArguments(
        {});   // the port and address come from firebird.conf: "-p" would bind every address
    process_.setProcessEnvironment(serverEnvironment());
    process_.setStandardOutputFile(root_.filePath(QStringLiteral("server.log")));
    process_.setStandardErrorFile(root_.filePath(QStringLiteral("server.log")), QIODevice::Append);
    // Databases the server creates are readable by their owner only; a test that crashes takes its
    // server with it.
    process_.setChildProcessModifier([] {
        ::umask(077);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    process_.start();
    if (!process_.waitForStarted(10000)) {
        error_ = QStringLiteral("cannot start %1: %2").arg(serverProgram(), process_.errorString());
        return false;
    }
    const QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        if (process_.state() != QProcess::Running) {
            error_ = QStringLiteral("the server ended at once (exit code %1)").arg(process_.exitCode());
            return false;
        }
        if (accepts(port_))
            return true;
        QThread::msleep(50);
    }
    error_ = QStringLiteral("the server does not listen on 127.0.0.1:%1").arg(port_);
    return false;
}

bool FirebirdServer::start()
{
    if (!root_.isValid()) {
        error_ = QStringLiteral("no temporary folder");
        return false;
    }
    // Another program may take the free port before the server binds it: then try another one.
    for (int attempt = 0; attempt < 3; ++attempt) {
        port_ = freeLoopbackPort();
        if (port_ == 0) {
            error_ = QStringLiteral("no free port on 127.0.0.1");
            return false;
        }
        if (!layOut())
            return false;
        if (!QFileInfo::exists(root_.filePath(QStringLiteral("security3.fdb"))) && !createSecurityDatabase())
            return false;
        if (launch())
            return true;
        stop();
    }
    return false;
}

void FirebirdServer::stop()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    // Now and then the 3.0 server hangs in its own shutdown after SIGTERM; its databases are throwaway
    // copies in the temporary folder, so a kill loses nothing.
    process_.terminate();
    if (!process_.waitForFinished(5000)) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

bool FirebirdServer::restart()
{
    stop();
    return launch();
}
