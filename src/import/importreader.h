// Reading the purchase-ticket file: its records with their values, and the work-table row a record
// becomes.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <stdexcept>

class Query;

// A record that cannot become a work-table row: a value that does not convert to its column, or more
// values than the work table has columns. The text is the one the user is shown.
class RecordError : public std::runtime_error {
public:
    explicit RecordError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    QString text() const { return text_; }

private:
    QString text_;
};

// The file's records, read in one streaming pass. The file is checked against bounds on its size, its
// nesting and its text with internal entities expanded as it is read, and a file that names an external
// DTD or entity is refused, so a hostile file ends in the "cannot be read" message instead of eating the
// stack or the memory. Nothing external is ever fetched.
class PurchaseTicketFile {
public:
    // False when the file is missing, unreadable, beyond the bounds or not well-formed; errorText() then
    // says why, with the line and column where the file was given up.
    bool load(const QString& fileName);
    QString errorText() const { return error_; }

    // Every element named "Records", wherever it stands, in document order.
    int recordCount() const { return int(records_.size()); }
    QStringList values(int record) const;

private:
    QList<QStringList> records_;
    QString error_;
};

// The work table's columns in file order: the n-th value of a record goes to the n-th column.
const QStringList& workColumns();

// Stores one record as a new MUNKA2 row through `query`; columns without a value stay null. Throws
// RecordError for a value that does not convert, or one beyond the last column (nothing is stored);
// a failing insert throws the database's error.
void insertintotable(Query& query, const QStringList& values, int recordNumber);
