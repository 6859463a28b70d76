// The master-code lookup protocol.
#include "masterlookup.h"

#include "columnwidths.h"
#include "data.h"
#include "masterdataforms.h"
#include "modalform.h"
#include "query.h"

#include <tuple>

namespace {

bool fits(const QString& table, const QString& column, const QString& text)
{
    const int width = table.isEmpty() ? 0 : columnWidth(table, column);
    return width == 0 || text.size() <= width;
}

}

Query& openWith(Query& query, const QString& sql, const QString& p1)
{
    query.close();
    query.clearSql();
    query.addSql(sql);
    query.paramByName(QStringLiteral("p1")).setText(p1);
    query.open();
    return query;
}

bool isCodeText(const QString& text)
{
    return text.isEmpty() || text.at(0) < QLatin1Char('A');
}

const Query& pickMaster(const MasterLookup& lookup, const QString& text, const QString& flag, QWidget* parent)
{
    shared().*lookup.selection = text;
    shared().LookupFlag = flag;
    lookup.openList(parent);
    return *lookup.list;
}

const Query& pickMaster(const MasterLookup& lookup, const QString& text, bool byCode, QWidget* parent)
{
    return pickMaster(lookup, text, byCode ? QStringLiteral("1") : QStringLiteral("x"), parent);
}

const Query* findMaster(const MasterLookup& lookup, const QString& text, bool byCode)
{
    const bool code = byCode && !lookup.countByCode.isEmpty();
    Query& work = *lookup.work;
    if (!fits(lookup.table, code ? lookup.codeColumn : lookup.nameColumn, text))
        return nullptr;
    openWith(work, code ? lookup.countByCode : lookup.countByName, text);
    if (work.currentRow() < 0 || work.field(1).asInteger() == 0)
        return nullptr;
    return &openWith(work, code ? lookup.rowByCode : lookup.rowByName, text);
}

const Query& lookUpMaster(const MasterLookup& lookup, const QString& text, bool byCode, QWidget* parent,
                          bool* picked)
{
    const Query* found = findMaster(lookup, text, byCode);
    if (picked)
        *picked = !found;
    if (!found)
        return pickMaster(lookup, text, byCode && !lookup.countByCode.isEmpty(), parent);
    return *found;
}

namespace {

MasterLookup pickerOf(Query* list, QString SharedState::*selection, std::function<void(QWidget*)> openList)
{
    MasterLookup lookup;
    lookup.list = list;
    lookup.selection = selection;
    lookup.openList = std::move(openList);
    return lookup;
}

}

namespace {

QString lines(const QStringList& statement)
{
    return statement.join(QLatin1Char('\n'));
}

// "SELECT c, count(c) as n", "FROM  table", "WHERE (c = :p1)", "GROUP BY c" and the row statement.
std::pair<QString, QString> statements(const QString& table, const QString& column, const QString& count)
{
    const QString from = QStringLiteral("FROM  ") + table;
    const QString where = QStringLiteral("WHERE (%1 = :p1)").arg(column);
    return {lines({QStringLiteral("SELECT %1, count(%1) as %2").arg(column, count), from, where,
                   QStringLiteral("GROUP BY ") + column}),
            lines({QStringLiteral("SELECT *"), from, where})};
}

}

MasterLookup exactLookup(MasterLookup picker, Query* work, const QString& table, const QString& codeColumn,
                         const QString& codeCount, const QString& nameColumn, const QString& nameCount)
{
    picker.work = work;
    std::tie(picker.countByCode, picker.rowByCode) = statements(table, codeColumn, codeCount);
    std::tie(picker.countByName, picker.rowByName) = statements(table, nameColumn, nameCount);
    picker.table = table;
    picker.codeColumn = codeColumn;
    picker.nameColumn = nameColumn;
    return picker;
}

MasterLookup itemNumberLookup()
{
    return exactLookup(itemPicker(), Data->ZQ21, QStringLiteral("cikk"), QStringLiteral("cszam"),
                       QStringLiteral("cdb"), QStringLiteral("cmegn"), QStringLiteral("cdb"));
}

MasterLookup itemPicker()
{
    return pickerOf(Data->ZQ20, &SharedState::SelectedItemNumber,
                    [](QWidget* parent) { runForm(Form7, parent); });
}

MasterLookup movementTypePicker()
{
    return pickerOf(Data->ZQ50, &SharedState::SelectedMovementType,
                    [](QWidget* parent) { runForm(Form13, parent); });
}

MasterLookup warehousePicker()
{
    return pickerOf(Data->ZQ40, &SharedState::SelectedWarehouseCode,
                    [](QWidget* parent) { runForm(Form11, parent); });
}
