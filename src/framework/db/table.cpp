// Whole-table datasets with row editing addressed by the identifier column or RDB$DB_KEY.
#include "table.h"
#include "connection.h"
#include "dberror.h"
#include "statement.h"
#include "transaction.h"

namespace {

const QString DbKeyAlias = QStringLiteral("DB_KEY");

}

Table::Table(Transaction& transaction, QObject* parent) : Query(transaction, parent) {}

void Table::setTableName(const QString& name)
{
    close();
    tableName_ = name.toUpper();
    keyColumn_.clear();
}

void Table::findKeyColumn()
{
    if (!keyColumn_.isEmpty())
        return;
    keyColumn_ = transaction().connection().primaryKeyColumn(tableName_);
    if (keyColumn_.isEmpty())
        keyColumn_ = DbKeyAlias;
}

std::unique_ptr<Cursor> Table::openCursor()
{
    if (tableName_.isEmpty())
        throw DbError(QStringLiteral("Nincs megadva a tábla neve."));
    transaction().ensureActive();
    findKeyColumn();
    const QString select =
        keyColumn_ == DbKeyAlias
            ? QStringLiteral("SELECT t.*, t.RDB$DB_KEY AS DB_KEY FROM %1 t").arg(tableName_)
            : QStringLiteral("SELECT * FROM %1").arg(tableName_);
    if (sql() != select)
        setSql(select);
    auto cursor = Query::openCursor();
    state_ = State::Browse;
    return cursor;
}

void Table::setState(State state)
{
    if (state == state_)
        return;
    state_ = state;
    emit stateChanged(state);
}

void Table::adjustColumns(std::vector<ColumnInfo>& columns)
{
    for (ColumnInfo& c : columns)
        if (c.name == DbKeyAlias && keyColumn_ == DbKeyAlias)
            c.hidden = true;
}

void Table::edit()
{
    if (readOnly_)
        throw DbError(QStringLiteral("A(z) %1 tábla csak olvasható.").arg(tableName_));
    if (!isOpen() || currentRow() < 0)
        throw DbError(QStringLiteral("Nincs szerkeszthető sor."));
    pending_.assign(size_t(columnCount()), {false, QString()});
    setState(State::Edit);
}

void Table::insert()
{
    if (readOnly_)
        throw DbError(QStringLiteral("A(z) %1 tábla csak olvasható.").arg(tableName_));
    if (!isOpen())
        open();
    pending_.assign(size_t(columnCount()), {false, QString()});
    setState(State::Insert);
}

void Table::setValue(int column, const QString& text)
{
    if (state_ == State::Browse)
        edit();
    pending_[size_t(column)] = {true, text};
}

QString Table::pendingValue(int column) const
{
    if (state_ != State::Browse && pending_[size_t(column)].first)
        return pending_[size_t(column)].second;
    return field(column).asString();
}

void Table::cancel()
{
    setState(State::Browse);
    pending_.clear();
}

namespace {

// Binds a row's key value: the identifier as text, RDB$DB_KEY as its raw bytes.
void bindKey(Param& param, const Field& key, bool dbKey)
{
    if (dbKey)
        param.setBytes(key.asBytes());
    else
        param.setText(key.asString());
}

}

void Table::post()
{
    if (state_ == State::Browse)
        return;
    const bool dbKey = keyColumn_ == DbKeyAlias;
    QStringList columnsChanged;
    std::vector<Param> values;
    for (int c = 0; c < columnCount(); ++c) {
        if (!pending_[size_t(c)].first || column(c).hidden || column(c).name == DbKeyAlias)
            continue;
        columnsChanged << column(c).name;
        Param p;
        if (pending_[size_t(c)].second.isEmpty() && column(c).type != FieldType::Text)
            p.clear();
        else
            p.setText(pending_[size_t(c)].second);
        values.push_back(p);
    }
    const QString keyExpression = dbKey ? QStringLiteral("RDB$DB_KEY") : keyColumn_;
    Transaction& tr = transaction();
    tr.ensureActive();
    QString sqlText;
    std::vector<const Param*> bound;
    for (const Param& p : values)
        bound.push_back(&p);
    Param key;
    if (state_ == State::Edit) {
        if (columnsChanged.isEmpty()) {
            cancel();
            return;
        }
        QStringList sets;
        for (const QString& name : std::as_const(columnsChanged))
            sets << QStringLiteral("%1 = ?").arg(name);
        sqlText = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ? RETURNING %3")
                      .arg(tableName_, sets.join(QStringLiteral(", ")), keyExpression);
        bindKey(key, fieldByName(keyColumn_), dbKey);
        bound.push_back(&key);
    } else {
        QStringList marks(columnsChanged.size(), QStringLiteral("?"));
        sqlText =
            columnsChanged.isEmpty()
                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES RETURNING %2").arg(tableName_, keyExpression)
                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING %4")
                      .arg(tableName_, columnsChanged.join(QStringLiteral(", ")),
                           marks.join(QStringLiteral(", ")), keyExpression);
    }
    auto statement = tr.statements().acquire(tr.connection().attachment(), tr.handle(), sqlText);
    std::vector<ColumnInfo> returned;
    tr.noteWrite();
    const QByteArray keyRow = executeForRow(*statement, tr.handle(), bound, &returned);
    Field newKey(&returned[0], keyRow.constData() + *reinterpret_cast<const quint16*>(keyRow.constData()));
    const bool inserting = state_ == State::Insert;
    setState(State::Browse);
    pending_.clear();

    // Read the row back as the database stored it (defaults, triggers, conversions).
    Query reread(tr);
    reread.setSql(dbKey
                      ? QStringLiteral("SELECT t.*, t.RDB$DB_KEY AS DB_KEY FROM %1 t WHERE t.RDB$DB_KEY = :k")
                            .arg(tableName_)
                      : QStringLiteral("SELECT * FROM %1 WHERE %2 = :k").arg(tableName_, keyColumn_));
    bindKey(reread.paramByName(QStringLiteral("k")), newKey, dbKey);
    reread.open();
    if (reread.isEmpty())
        return;
    QByteArray packed = reread.rowData(0);
    if (inserting)
        insertRow(currentRow() + 1, std::move(packed));
    else
        replaceRow(currentRow(), std::move(packed));
}

void Table::deleteRow()
{
    if (readOnly_)
        throw DbError(QStringLiteral("A(z) %1 tábla csak olvasható.").arg(tableName_));
    if (!isOpen() || currentRow() < 0)
        return;
    const bool dbKey = keyColumn_ == DbKeyAlias;
    Query del(transaction());
    del.setSql(QStringLiteral("DELETE FROM %1 WHERE %2 = :k")
                   .arg(tableName_, dbKey ? QStringLiteral("RDB$DB_KEY") : keyColumn_));
    bindKey(del.paramByName(QStringLiteral("k")), fieldByName(keyColumn_), dbKey);
    del.execute();
    removeRow(currentRow());
}
