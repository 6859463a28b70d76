// The master-code lookup protocol.
#include "masterlookup.h"

#include "columnwidths.h"
#include "data.h"
#include "masterdataforms.h"
#include "modalform.h"
#include "query.h"

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

const Query& lookUpMaster(const MasterLookup& lookup, const QString& text, bool byCode, QWidget* parent,
                          bool* picked)
{
    const bool code = byCode && !lookup.countByCode.isEmpty();
    bool found = false;
    Query& work = *lookup.work;
    if (fits(lookup.table, code ? lookup.codeColumn : lookup.nameColumn, text)) {
        openWith(work, code ? lookup.countByCode : lookup.countByName, text);
        found = work.currentRow() >= 0 && work.field(1).asInteger() != 0;
    }
    if (picked)
        *picked = !found;
    if (!found)
        return pickMaster(lookup, text, code, parent);
    return openWith(work, code ? lookup.rowByCode : lookup.rowByName, text);
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

MasterLookup itemPicker()
{
    return pickerOf(Data->ZQ20, &SharedState::SelectedItemNumber, [](QWidget* parent) { runForm(Form7, parent); });
}

MasterLookup movementTypePicker()
{
    return pickerOf(Data->ZQ50, &SharedState::SelectedMovementType,
                    [](QWidget* parent) { runForm(Form13, parent); });
}

MasterLookup warehousePicker()
{
    return pickerOf(Data->ZQ40, &SharedState::SelectedWarehouseCode, [](QWidget* parent) { runForm(Form11, parent); });
}
