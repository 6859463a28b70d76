// The document register's list: its statements, its order and the in-place refresh after a change.
#include "registerlist.h"

#include "masterread.h"
#include "query.h"

namespace {

const QString JoinedSelect =
    QStringLiteral("SELECT * FROM Bizmozg LEFT JOIN cikk ON Bizmozg.bcikkszam = cikk.cszam "
                   "LEFT JOIN partner ON Bizmozg.bpkod = partner.pkod");
const QString PlainSelect = QStringLiteral("SELECT * FROM bizmozg");
const QString OtherFields = QStringLiteral(
    "BMKOD,BEAR,BERTNOV,BERTCSOK,BATLAR,BTETEL,BMEGJEGY,BFELADOTT,BKSZLA,BTFSZAM,BTOE,BTVK,BKFSZAM,BKOE,BKVK,"
    "BMEMO,BGROUP");
const QString NumberColumn = QStringLiteral("bbszam");

QString markedSelect()
{
    QStringList fields;
    for (const GridColumn& column : RegisterList::gridColumns())
        fields << column.field;
    return QStringLiteral("SELECT %1,%2 FROM bizmozg").arg(fields.join(QLatin1Char(',')), OtherFields);
}

QString ordered(const QString& select, const QString& order)
{
    return select + QStringLiteral(" ORDER BY ") + order;
}

}

RegisterList::RegisterList(Query& list) : list_(list) {}

const QList<GridColumn>& RegisterList::gridColumns()
{
    static const QList<GridColumn> columns{
        {"BBSZAM", "Bizszám"},       {"BCKOD", "CKód"},       {"BCIKKSZAM", "Cikkszám"},
        {"BBIZDATUM", "Dátum"},      {"BMNEM", "Mnem"},       {"BMENOV", "Mennyiség növ."},
        {"BMECSOK", "Menny.csökk."}, {"BEREDETI", "Eredeti"}, {"BSZOVEG", "Szöveg"},
        {"BPKOD", "Pkód"},           {"BRKOD", "Rkód"},       {"BDKOD", "Dkód"},
        {"BRKELT", "Kelt"},          {"IDB", "ID"},           {"BKOD", "BKód"}};
    return columns;
}

QString RegisterList::listSql()
{
    return ordered(JoinedSelect, NumberColumn);
}

QString RegisterList::plainListSql()
{
    return ordered(PlainSelect, NumberColumn);
}

QString RegisterList::markedSortSql(int position)
{
    return ordered(markedSelect(), QString::number(position));
}

void RegisterList::read(Statement statement, int position)
{
    // Set first: a statement that fails to open is still the one the list holds.
    statement_ = statement;
    position_ = position;
    switch (statement) {
    case Statement::WithItemAndPartner: rereadQuery(list_, listSql()); break;
    case Statement::LinesOnly: rereadQuery(list_, plainListSql()); break;
    case Statement::MarkedColumn: rereadQuery(list_, markedSortSql(position)); break;
    }
}

void RegisterList::readWithItemAndPartner()
{
    read(Statement::WithItemAndPartner, 0);
}

void RegisterList::readLinesOnly()
{
    read(Statement::LinesOnly, 0);
}

void RegisterList::readByPosition(int position)
{
    read(Statement::MarkedColumn, position);
}

void RegisterList::rereadOnLine(const QString& key)
{
    readLinesOnly();
    if (!key.isEmpty())
        list_.locate(QStringLiteral("BKOD"), key);
}

QString RegisterList::select() const
{
    switch (statement_) {
    case Statement::WithItemAndPartner: return JoinedSelect;
    case Statement::LinesOnly: return PlainSelect;
    case Statement::MarkedColumn: break;
    }
    return markedSelect();
}

// The list column the list is ordered by; -1 when it has no such column.
int RegisterList::orderColumn() const
{
    if (statement_ != Statement::MarkedColumn)
        return list_.columnIndex(NumberColumn);
    return position_ >= 1 && position_ <= list_.columnCount() ? position_ - 1 : -1;
}

bool RegisterList::inNumberOrder() const
{
    const int column = orderColumn();
    return column >= 0 && list_.column(column).name == QLatin1String("BBSZAM");
}

bool RegisterList::showChangedLine(const QString& id)
{
    if (!list_.isOpen() || list_.currentRow() < 0 ||
        list_.fieldByName(QStringLiteral("IDB")).asString() != id)
        return false;
    const int column = orderColumn();
    if (column < 0)
        return false;
    Query line(list_.transaction());
    line.setSql(select() + QStringLiteral(" WHERE bizmozg.idb = :p1"));
    line.paramByName(QStringLiteral("p1")).setText(id);
    line.open();
    // A line the joins now list more (or less) than once, or whose order value changed, may stand
    // elsewhere in the list.
    if (line.recordCount() != 1 || line.field(column).value() != list_.field(column).value() ||
        line.field(column).isNull() != list_.field(column).isNull())
        return false;
    list_.replaceRowFrom(list_.currentRow(), line);
    return true;
}
