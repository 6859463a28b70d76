// The attachment: DPB, creation of a new database, scripts, the embedded engine's lock folder.
#include "connection.h"
#include "cp1250.h"
#include "fbcall.h"
#include "failurereason.h"
#include "query.h"
#include "statement.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QFileInfo>
#include <utility>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <ibase.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Firebird;

Connection::Connection() : transaction_(std::make_unique<Transaction>(*this)) {}

Connection::~Connection()
{
    try {
        close();
    } catch (const DbError&) {
        // Nothing to tell anybody at this point; the engine rolls back what was not committed.
    }
}

IMaster* Connection::master()
{
    return fb_get_master_interface();
}
IUtil* Connection::util()
{
    return master()->getUtilInterface();
}

namespace {

// Why `folder` cannot be a private folder of this user; empty when it is one. With `make`, a missing
// folder is created with mode 0700 and one of ours that others may enter is closed to them; without it
// the folder is only looked at.
QString privateFolderProblem(const QString& folder, bool make)
{
    const QByteArray path = QFile::encodeName(folder);
    if (make && ::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return QStringLiteral("nem hozható létre (%1)").arg(systemReason(errno));
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0)
        return QStringLiteral("nem érhető el (%1)").arg(systemReason(errno));
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("szimbolikus hivatkozás");
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("nem mappa");
    // Checked again on the opened folder itself, so that nothing can be swapped in between.
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return QStringLiteral("nem nyitható meg (%1)").arg(systemReason(errno));
    QString problem;
    if (::fstat(fd, &info) != 0)
        problem = QStringLiteral("nem érhető el (%1)").arg(systemReason(errno));
    else if (info.st_uid != ::geteuid())
        problem = QStringLiteral("más felhasználó tulajdona");
    else if ((info.st_mode & 077) != 0 && (!make || ::fchmod(fd, 0700) != 0))
        problem = QStringLiteral("mások is hozzáférnek");
    ::close(fd);
    return problem;
}

void requirePrivateFolder(const QString& folder)
{
    const QString problem = privateFolderProblem(folder, true);
    if (!problem.isEmpty())
        throw DbError(QStringLiteral("Az adatbázis-kezelő zárolási mappája nem használható: %1 - %2.")
                          .arg(QDir::toNativeSeparators(folder), problem));
}

}

QString Connection::privateLockFolder(const QString& runtimeFolder, const QString& temporaryFolder)
{
    QString base;
    if (QDir::isAbsolutePath(runtimeFolder) && privateFolderProblem(runtimeFolder, false).isEmpty()) {
        base = runtimeFolder;
    } else {
        // QDir::tempPath() would give an empty path for a missing TMPDIR, putting the folder at the root.
        const bool usable = QDir::isAbsolutePath(temporaryFolder) && QFileInfo(temporaryFolder).isDir();
        base = (usable ? temporaryFolder : QStringLiteral("/tmp")) +
               QStringLiteral("/varnel-%1").arg(::geteuid());
        requirePrivateFolder(base);
    }
    const QString folder = base + QStringLiteral("/firebird");
    requirePrivateFolder(folder);
    return folder;
}

void Connection::prepareEmbeddedEnvironment()
{
    if (qEnvironmentVariableIsSet("FIREBIRD_LOCK"))
        return;
    const QString folder =
        privateLockFolder(qEnvironmentVariable("XDG_RUNTIME_DIR"), qEnvironmentVariable("TMPDIR"));
    qputenv("FIREBIRD_LOCK", QFile::encodeName(folder));
}

void Connection::attach(bool create)
{
    if (attachment_)
        throw DbError(QStringLiteral("Az adatbázis már kapcsolódik."));
    const QByteArray name = QFile::encodeName(params_.database);
    fbCall([&](ThrowStatusWrapper* st) {
        IXpbBuilder* dpb = util()->getXpbBuilder(st, IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(st, isc_dpb_user_name, params_.user.toUtf8().constData());
        dpb->insertString(st, isc_dpb_password, params_.password.toUtf8().constData());
        dpb->insertString(st, isc_dpb_lc_ctype, params_.charset.toLatin1().constData());
        dpb->insertInt(st, isc_dpb_sql_dialect, params_.dialect);
        if (create) {
            dpb->insertString(st, isc_dpb_set_db_charset, params_.charset.toLatin1().constData());
            dpb->insertInt(st, isc_dpb_page_size, 8192);
        }
        IProvider* provider = master()->getDispatcher();
        struct Release {
            IProvider* p;
            ~Release() { p->release(); }
        } release{provider};
        attachment_ = create ? provider->createDatabase(st, name.constData(), dpb->getBufferLength(st),
                                                        dpb->getBuffer(st))
                             : provider->attachDatabase(st, name.constData(), dpb->getBufferLength(st),
                                                        dpb->getBuffer(st));
        dpb->dispose();
    });
    lossesSeen_ = connectionLossesSeen();
}

void Connection::open()
{
    attach(false);
}

void Connection::createDatabase()
{
    attach(true);
    // The engine makes the file group-writable; the stock data is its owner's alone, from the start.
    if (QFileInfo(params_.database).isFile())
        QFile::setPermissions(params_.database, QFile::ReadOwner | QFile::WriteOwner);
}

QString Connection::primaryKeyColumn(const QString& table)
{
    if (!primaryKeys_) {
        Query keys(*transaction_);
        keys.setSql(
            QStringLiteral("SELECT TRIM(c.RDB$RELATION_NAME) AS TABLE_NAME, TRIM(MIN(s.RDB$FIELD_NAME)) AS "
                           "NAME, COUNT(*) AS N "
                           "FROM RDB$RELATION_CONSTRAINTS c JOIN RDB$INDEX_SEGMENTS s ON s.RDB$INDEX_NAME = "
                           "c.RDB$INDEX_NAME "
                           "WHERE c.RDB$CONSTRAINT_TYPE = 'PRIMARY KEY' GROUP BY c.RDB$RELATION_NAME"));
        keys.open();
        QHash<QString, QString> found;
        for (int row = 0; keys.moveTo(row); ++row)
            if (keys.field(2).asInteger() == 1)
                found.insert(keys.field(0).asString(), keys.field(1).asString());
        keys.close();
        primaryKeys_ = std::move(found);
    }
    return primaryKeys_->value(table);
}

bool Connection::lossReported()
{
    const unsigned long seen = std::exchange(lossesSeen_, connectionLossesSeen());
    return attachment_ && seen != lossesSeen_;
}

void Connection::dropLost()
{
    lost_ = true;
    lossesSeen_ = connectionLossesSeen();
    primaryKeys_.reset();
    transaction_->abandon();
    transaction_->statements().clear();
    if (IAttachment* attachment = std::exchange(attachment_, nullptr)) {
        try {
            fbCall([&](ThrowStatusWrapper* st) { attachment->detach(st); });
        } catch (const DbError&) {
            attachment->release();
        }
    }
}

void Connection::reconnect()
{
    if (attachment_)
        dropLost();
    attach(false);
    lost_ = false;
}

void Connection::close()
{
    primaryKeys_.reset();
    if (!attachment_)
        return;
    if (transaction_->isActive())
        transaction_->commit();
    transaction_->statements().clear();
    IAttachment* attachment = attachment_;
    attachment_ = nullptr;
    try {
        fbCall([&](ThrowStatusWrapper* st) { attachment->detach(st); });
    } catch (const DbError&) {
        attachment->release();
        throw;
    }
}

namespace {

// Splits a script at its terminator, honouring SET TERM, string literals and comments.
QStringList splitScript(const QString& script)
{
    QStringList statements;
    QString terminator = QStringLiteral(";");
    QString current;
    int i = 0;
    const int n = script.size();
    auto flush = [&] {
        const QString s = current.trimmed();
        if (!s.isEmpty()) {
            static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)\\s*$"),
                                                    QRegularExpression::CaseInsensitiveOption);
            const auto match = setTerm.match(s);
            if (match.hasMatch())
                terminator = match.captured(1);
            else
                statements << s;
        }
        current.clear();
    };
    while (i < n) {
        const QChar c = script[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const int end = script.indexOf(c, i + 1);
            const int stop = end < 0 ? n : end + 1;
            current += script.mid(i, stop - i);
            i = stop;
        } else if (script.mid(i, 2) == QLatin1String("/*")) {
            const int end = script.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            current += QLatin1Char(' ');
        } else if (script.mid(i, 2) == QLatin1String("--")) {
            const int end = script.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? n : end;
        } else if (script.mid(i, terminator.size()) == terminator) {
            flush();
            i += terminator.size();
        } else {
            current += c;
            ++i;
        }
    }
    // "SET TERM ^ ;" is itself ended by the old terminator; the new one takes over after it.
    flush();
    return statements;
}

}

void Connection::executeScript(const QString& script)
{
    primaryKeys_.reset();
    for (const QString& sql : splitScript(script)) {
        Query query(*transaction_);
        query.setSql(sql);
        query.execute();
        static const QRegularExpression ddl(QStringLiteral("^(CREATE|ALTER|DROP|RECREATE|DECLARE)\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
        if (ddl.match(sql).hasMatch()) {
            transaction_->commit();
            transaction_->statements().clear();
        }
    }
    if (transaction_->isActive())
        transaction_->commit();
}
