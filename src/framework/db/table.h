// A whole table as a dataset, with grid editing: insert, edit, post, delete, cancel, refresh. Rows are
// addressed by the table's identifier column, or by RDB$DB_KEY for a table without one.
#pragma once

#include "query.h"

class Table : public Query {
    Q_OBJECT
public:
    enum class State { Browse, Edit, Insert };

    explicit Table(Transaction& transaction, QObject* parent = nullptr);

    void setTableName(const QString& name);
    QString tableName() const { return tableName_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool isReadOnly() const { return readOnly_; }

    // The column that addresses a row: the single-column primary key, else RDB$DB_KEY (hidden).
    QString keyColumn() const { return keyColumn_; }

    State state() const { return state_; }
    void edit();     // throws DbError when read-only or empty
    void insert();   // a new row after the current one
    // Sets a value of the row being edited or inserted, as text that the server converts on post.
    void setValue(int column, const QString& text);
    QString pendingValue(int column) const;
    void post();   // UPDATE or INSERT; throws DbError
    void cancel();
    void deleteRow();   // DELETE of the current row, no commit

signals:
    // Entering or leaving editing or inserting (grids show the row being inserted).
    void stateChanged(Table::State state);

protected:
    std::unique_ptr<Cursor> openCursor() override;
    void adjustColumns(std::vector<ColumnInfo>& columns) override;

private:
    void setState(State state);
    void findKeyColumn();
    void rereadRow(int row, const QString& keyValue);

    QString tableName_;
    QString keyColumn_;
    bool readOnly_ = false;
    State state_ = State::Browse;
    std::vector<std::pair<bool, QString>> pending_;   // per column: changed, text
};
