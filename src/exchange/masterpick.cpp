// The exchange forms' master pick: the list form, then the picked row's fields into the boxes.
#include "masterpick.h"

#include "query.h"

#include <QLineEdit>

MasterLookup pickerOf(Query* list, QString SharedState::*selection, std::function<void(QWidget*)> openList)
{
    MasterLookup lookup;
    lookup.list = list;
    lookup.selection = selection;
    lookup.openList = std::move(openList);
    return lookup;
}

void pickIntoBoxes(const MasterLookup& lookup, const QString& text, bool byCode, QWidget* parent,
                   const QList<std::pair<const char*, QLineEdit*>>& boxes)
{
    const Query& row = pickMaster(lookup, text, byCode, parent);
    for (const auto& [field, box] : boxes)
        box->setText(row.fieldByName(QLatin1String(field)).asString());
}
