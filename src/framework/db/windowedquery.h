// A query over a long list ordered by a key that holds only the rows near those shown, read by key.
#pragma once

#include "query.h"

#include <deque>
#include <optional>

// Once given a key order, the rows are read a window at a time: onward and back from the edge of the
// window by key, the first and last rows straight from either end of the order, and any other place
// from rows sampled evenly over the range of the tie column. Row numbers are exact from either end as far as
// the window was walked from there; a place reached by an estimate is numbered by the estimate, and the count
// of rows is the count statement's (an estimate may be given) until an end of the list is met. The current
// row is kept apart from the window, so it stays readable wherever the window goes. Without a key order the
// query reads as any Query does.
class WindowedQuery : public Query {
    Q_OBJECT
public:
    // `column` is a text column with an ascending and a descending index on (column, tie); NULLs come
    // first. `tie` is an integer column, unique and never NULL, that orders lines of the same key.
    struct KeyOrder {
        QString column;
        QString tie;
    };

    explicit WindowedQuery(Transaction& transaction, QObject* parent = nullptr);

    // The orders read by window. A statement without WHERE that ends in "ORDER BY column" over one of
    // these columns is read by window, ordered by the column and its tie; any other statement reads as
    // any Query does.
    void setKeyOrders(std::vector<KeyOrder> orders) { orders_ = std::move(orders); }
    // A statement of one integer, the number of rows of the list, exact or estimated; empty: an exact
    // COUNT(*) of the list.
    void setCountSql(const QString& sql) { countSql_ = sql; }
    // Rows read at a time; the window holds at most twice as many.
    void setWindowSize(int rows) { windowSize_ = std::max(rows, 2); }
    int windowSize() const { return windowSize_; }

    bool isWindowed() const { return windowed_; }
    int heldRows() const { return int(window_.size()); }
    bool isCountExact() const { return exact_; }

    void open() override;
    void refresh() override;
    bool isEmpty() const override;
    void first() override;
    void prior() override;
    void next() override;
    void last() override;
    bool moveTo(int row) override;
    bool locate(const QString& columnName, const QString& prefix) override;
    int fetchedCount() const override;
    bool allFetched() const override;
    bool fetchMore() override;
    int recordCount() override;
    Field field(int column) const override;
    Field fieldAt(int row, int column) const override;
    void replaceRowFrom(int row, const Dataset& source) override;

protected:
    void afterClose() override;

private:
    using Rows = std::vector<QByteArray>;
    // Sorted: ascending, sorted by the engine after the rows are found by their own condition, where
    // walking the order's index to find them would read the whole list.
    enum class Direction { Ascending, Descending, Sorted };

    QString select() const;
    Rows readRows(const QString& condition, const QVariantList& values, Direction direction, int limit);
    Rows rowsAfter(const QByteArray& row, int limit);
    Rows rowsBefore(const QByteArray& row, int limit);
    void readCount(bool exact);

    bool holds(int row) const { return row >= base_ && row < base_ + int(window_.size()); }
    const QByteArray* rowAt(int row);
    void ensureRow(int row);
    void extendDown(int row);
    void extendUp(int row);
    void readFromStart();
    void readFromEnd();
    void readAround(int row);
    void placeWindow(Rows before, Rows after, int estimatedFirst);
    void placeAt(const QByteArray& row, bool estimate, int number);
    void trimAround(int row);
    void setCount(int count);
    void renumbered();
    void makeCurrent(int row);

    QByteArray keyOf(const QByteArray& row) const;
    bool keyIsNull(const QByteArray& row) const;
    qint64 tieOf(const QByteArray& row) const;
    KeyOrder orderOf(const QString& sql) const;
    QString precedingCondition(const QByteArray& row, QVariantList& values) const;
    std::optional<QByteArray> earliestOf(const std::vector<QByteArray>& rows);
    int samplesBefore(const QByteArray& row);
    void sampleRows();

    std::vector<KeyOrder> orders_;
    KeyOrder order_;
    QString countSql_;
    int windowSize_ = BlockSize;

    bool windowed_ = false;   // the open list is read by window
    int keyColumn_ = -1;
    int tieColumn_ = -1;
    std::deque<QByteArray> window_;
    int base_ = 0;         // row number of the window's first row
    int count_ = 0;        // rows in the list, exact or estimated
    bool exact_ = false;   // count_ and the numbers from the first row are exact
    QByteArray current_;   // a copy of the current row
    bool notifyPending_ = false;
    // Rows spread over the list, in its order, for placing an estimated row and estimating the count.
    static constexpr int SampleSize = 256;
    static constexpr int MatchesRead = 1000;   // rows a locate outside the key takes in any order
    std::vector<QByteArray> samples_;
    bool sampled_ = false;
    int sampledCount_ = 0;
    bool sampledExact_ = false;
};
