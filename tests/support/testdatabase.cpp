// Test fixtures: fresh databases from the schema, Hungarian formats.
#include "testdatabase.h"
#include "formats.h"
#include "query.h"
#include "databasefile.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStandardPaths>

namespace {

// One schema-only database per process; each fixture gets a file copy of it, which is far quicker than
// running the schema again.
QString templateDatabase()
{
    static QTemporaryDir dir;
    static QString path;
    if (path.isEmpty()) {
        path = dir.filePath(QStringLiteral("TEMPLATE.FDB"));
        createDatabaseFromSchema(path)->close();
    }
    return path;
}

}

void initTestLocale()
{
    QLocale::setDefault(QLocale(QLocale::Hungarian, QLocale::Hungary));
    Formats::initialise(QLocale(QLocale::Hungarian, QLocale::Hungary));
    Connection::prepareEmbeddedEnvironment();
}

TestDatabase::TestDatabase()
{
    Connection::prepareEmbeddedEnvironment();
    path_ = dir_.filePath(QStringLiteral("VARNEL2013.FDB"));
    if (!QFile::copy(templateDatabase(), path_))
        qFatal("cannot copy the template database");
    QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner);
}

std::unique_ptr<Connection> TestDatabase::connect() const
{
    auto c = std::make_unique<Connection>();
    c->setParams(databaseParams(path_));
    c->open();
    return c;
}

void TestDatabase::exec(const QStringList& statements) const
{
    auto c = connect();
    for (const QString& sql : statements) {
        Query q(c->transaction());
        q.setSql(sql);
        q.execute();
    }
    c->transaction().commit();
}
