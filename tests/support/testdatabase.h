// Test fixtures: a fresh embedded database made from the schema in a temporary folder, and the
// Hungarian formats every test runs with.
#pragma once

#include "connection.h"

#include <QTemporaryDir>
#include <memory>

// Pins the locale and the number/date formats to Hungarian (yyyy.MM.dd, decimal comma).
void initTestLocale();

class TestDatabase {
public:
    TestDatabase();   // a copy of a schema-only database made once per test process
    QString path() const { return path_; }
    QString folder() const { return dir_.path(); }

    // A new attachment to the database (its transaction not started).
    std::unique_ptr<Connection> connect() const;
    // Runs statements on a separate attachment and commits (fixture data).
    void exec(const QStringList& statements) const;

private:
    QTemporaryDir dir_;
    QString path_;
};
