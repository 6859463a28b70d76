// Prepared statements, their cache by SQL text, and the cursor that reads packed rows from them.
#pragma once

#include "dataset.h"
#include "query.h"

#include <QByteArray>
#include <QHash>
#include <firebird/Interface.h>
#include <memory>
#include <vector>

class Statement {
public:
    Statement(Firebird::IAttachment* attachment, Firebird::ITransaction* transaction, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool isSelect() const;
    unsigned inputCount() const { return inputCount_; }
    Firebird::IStatement* handle() const { return handle_; }
    Firebird::IMessageMetadata* outputMetadata() const { return output_; }

    // Input message for the bound values (nullptr metadata when the statement has no inputs).
    struct Input {
        Firebird::IMessageMetadata* metadata = nullptr;
        std::vector<unsigned char> buffer;
        ~Input();
    };
    std::unique_ptr<Input> bind(const std::vector<const Param*>& values) const;

private:
    Firebird::IStatement* handle_ = nullptr;
    Firebird::IMessageMetadata* output_ = nullptr;
    unsigned inputCount_ = 0;
    unsigned type_ = 0;
    // The input description of the last bind and its shape, reused while the shape holds.
    mutable Firebird::IMessageMetadata* cachedInput_ = nullptr;
    mutable std::vector<unsigned> cachedShape_;
};

// One statement per SQL text is kept prepared; a statement whose cursor is still open elsewhere is
// not shared (Firebird allows one cursor per statement), a fresh one is prepared instead.
class StatementCache {
public:
    std::shared_ptr<Statement> acquire(Firebird::IAttachment* attachment, Firebird::ITransaction* transaction,
                                       const QString& sql);
    void clear() { statements_.clear(); }

private:
    QHash<QString, std::shared_ptr<Statement>> statements_;
};

// Turns output messages into the packed rows that Field reads: a table of 16-bit offsets (0xFFFF for
// NULL), then the values.
class RowPacker {
public:
    explicit RowPacker(Firebird::IMessageMetadata* metadata);
    const std::vector<ColumnInfo>& columns() const { return columns_; }
    unsigned messageLength() const { return messageLength_; }
    QByteArray pack(const unsigned char* buffer) const;
    // The same into `out`, whose buffer is reused from row to row.
    void pack(const unsigned char* buffer, QByteArray& out) const;

private:
    struct Slot {
        unsigned type, offset, nullOffset, length, charset;
    };
    std::vector<ColumnInfo> columns_;
    std::vector<Slot> slots_;
    unsigned messageLength_ = 0;
};

// Executes a statement that hands back at most one row (INSERT ... RETURNING); the packed row, or an
// empty array when it returned nothing.
QByteArray executeForRow(Statement& statement, Firebird::ITransaction* transaction,
                         const std::vector<const Param*>& values, std::vector<ColumnInfo>* columns);

class Cursor {
public:
    Cursor(std::shared_ptr<Statement> statement, Firebird::ITransaction* transaction,
           const std::vector<const Param*>& values);
    ~Cursor();

    const std::vector<ColumnInfo>& columns() const { return packer_.columns(); }
    // The next row in packed form (into the caller's buffer); false at the end (the result set is then
    // closed).
    bool fetch(QByteArray& packed);

private:
    std::shared_ptr<Statement> statement_;
    RowPacker packer_;
    Firebird::IResultSet* resultSet_ = nullptr;
    std::vector<unsigned char> buffer_;
};
