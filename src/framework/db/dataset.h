// A result set read lazily in blocks from an open cursor, with a current row, and its fields.
#pragma once

#include "decimal.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

class Transaction;
class Cursor;

// Packed rows kept back to back in blocks of up to 1 MB, so a list of a million rows costs one small
// index entry per row beside its bytes, and fetching a row allocates nothing. A replaced row's old bytes
// stay in their block until the store is cleared.
class RowStore {
public:
    int size() const { return int(index_.size()); }
    bool empty() const { return index_.empty(); }
    const char* data(int row) const { return index_[size_t(row)].data; }
    QByteArray bytes(int row) const;
    void append(const QByteArray& packed) { index_.push_back(store(packed)); }
    void replace(int row, const QByteArray& packed) { index_[size_t(row)] = store(packed); }
    void insert(int row, const QByteArray& packed) { index_.insert(index_.begin() + row, store(packed)); }
    void remove(int row) { index_.erase(index_.begin() + row); }
    void clear();

private:
    struct Entry {
        const char* data;
        quint32 length;
    };
    Entry store(const QByteArray& packed);

    // Blocks grow from a small first one, so a short list stays small and cheap to open, up to 1 MB.
    static constexpr size_t FirstBlockBytes = 16 << 10;
    static constexpr size_t BlockBytes = 1 << 20;
    std::vector<std::unique_ptr<char[]>> blocks_;
    size_t capacity_ = 0;   // bytes in the last block
    size_t used_ = 0;       // bytes taken in the last block
    std::vector<Entry> index_;
};

enum class FieldType { Text, Integer, Decimal, Double, Date, Time, Timestamp, Boolean, Blob };

struct ColumnInfo {
    QString name;   // as the statement names it (alias), upper case unless quoted
    FieldType type = FieldType::Text;
    int length = 0;        // characters, for text
    int scale = 0;         // decimals, for Decimal (4 for NUMERIC(18,4))
    bool hidden = false;   // internal columns (a table's RDB$DB_KEY) that grids do not show
};

// One value of one row. Reading a NULL (or a field of an empty dataset) gives empty text or zero.
class Field {
public:
    Field() = default;
    Field(const ColumnInfo* column, const char* data) : column_(column), data_(data) {}

    bool isValid() const { return column_ != nullptr; }
    QString name() const;
    FieldType type() const;
    bool isNull() const { return data_ == nullptr; }

    // Text as shown: numbers in the general format with a decimal comma, dates in the short date format.
    QString asString() const;
    qint64 asInteger() const;   // numbers truncated toward zero; text parsed, 0 when not a number
    double asFloat() const;
    Decimal asDecimal() const;         // exact for Decimal and Integer columns
    QDate asDate() const;              // invalid for NULL
    QByteArray asBytes() const;        // the stored bytes of a text value (a binary key)
    QByteArrayView textView() const;   // the same without a copy; empty for other types
    QVariant value() const;            // null QVariant for NULL; Decimal as double

private:
    const ColumnInfo* column_ = nullptr;
    const char* data_ = nullptr;   // the packed value, nullptr for NULL
};

class Dataset : public QObject {
    Q_OBJECT
public:
    static constexpr int BlockSize = 200;

    explicit Dataset(Transaction& transaction, QObject* parent = nullptr);
    ~Dataset() override;

    Transaction& transaction() const { return *transaction_; }

    bool isOpen() const { return open_; }
    // Starts the transaction when it is not active; throws DbError.
    virtual void open();
    void close();
    // Re-reads with the same statement and parameters and moves back to the same row number.
    virtual void refresh();

    int columnCount() const { return int(columns_.size()); }
    const ColumnInfo& column(int index) const { return columns_[size_t(index)]; }
    int columnIndex(const QString& name) const;   // case-insensitive, -1 when absent

    // Navigation. The current row is -1 only when the dataset is closed or empty.
    virtual bool isEmpty() const;
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    int currentRow() const { return current_; }
    virtual void first();
    virtual void prior();
    virtual void next();
    virtual void last();            // fetches to the end
    virtual bool moveTo(int row);   // fetches as far as needed; false when there is no such row
    // First row, in the current order, whose column starts with `prefix`, letter case ignored (accents
    // too: "á" matches "Á"). Without a match the first row becomes current and false is returned.
    virtual bool locate(const QString& columnName, const QString& prefix);

    virtual int fetchedCount() const { return rows_.size(); }
    virtual bool allFetched() const { return !cursor_ && !readPastKept_; }
    virtual bool fetchMore();    // one block; false when nothing more came
    virtual int recordCount();   // fetches to the end

    // Fields of the current row; throws DbError for an unknown column name.
    Field fieldByName(const QString& name) const;
    virtual Field field(int column) const;
    // Fields of any fetched row (for grids).
    virtual Field fieldAt(int row, int column) const;

    // The next end of the transaction keeps this dataset's fetched rows and current row instead of
    // closing it, so a list stays in place over a save. The rows not fetched yet are read, when asked
    // for, by the statement run again in the next transaction past as many rows as are kept.
    void keepRowsOverNextEnd(bool keep = true) { keepOverEnd_ = keep; }
    // Puts the current row of `source` (the same select list, e.g. the row read again by its key) in
    // place of fetched row `row`; throws DbError when the columns differ.
    virtual void replaceRowFrom(int row, const Dataset& source);

signals:
    void opened();
    void closed();
    void rowsFetched(int first, int last);
    void currentRowChanged(int row);
    void rowUpdated(int row);
    void rowInserted(int row);
    void rowRemoved(int row);
    // The rows now stand at other row numbers, or their count changed, without a new opening.
    void rowsRenumbered();

protected:
    // Opens the cursor of the statement; the dataset reads its columns and rows from it.
    virtual std::unique_ptr<Cursor> openCursor() = 0;
    // Called after close() has dropped the rows.
    virtual void afterClose() {}
    // Lets a dataset mark internal columns hidden as it opens.
    virtual void adjustColumns(std::vector<ColumnInfo>& columns) {}

    void setCurrent(int row);
    // For a dataset that holds its rows itself: the columns it shows, open and without rows of its own.
    void openWithColumns(std::vector<ColumnInfo> columns);
    void setEdges(bool bof, bool eof)
    {
        bof_ = bof;
        eof_ = eof;
    }
    // Field `column` of a packed row of this dataset's columns.
    Field fieldIn(const char* data, int column) const;
    // Row storage for the editing datasets.
    void replaceRow(int row, QByteArray packed);
    void insertRow(int row, QByteArray packed);
    void removeRow(int row);
    const std::vector<ColumnInfo>& columns() const { return columns_; }

public:
    // A fetched row in its packed form (for copying rows between datasets of the same statement).
    QByteArray rowData(int row) const { return rows_.bytes(row); }

private:
    void transactionEnding();   // closes, or keeps the rows (see keepRowsOverNextEnd)
    void reopenPastKeptRows();
    void fetchUntil(int row);
    bool fetchBlock();              // one block without telling anyone
    void announceFrom(int first);   // rowsFetched for the rows from `first` on, if there are any

    Transaction* transaction_;   // cleared when the transaction goes first
    friend class Transaction;
    std::unique_ptr<Cursor> cursor_;
    std::vector<ColumnInfo> columns_;
    RowStore rows_;
    bool open_ = false;
    bool keepOverEnd_ = false;
    bool readPastKept_ = false;   // rows were kept over a transaction's end and more may follow
    bool eof_ = true;
    bool bof_ = true;
    int current_ = -1;
};
