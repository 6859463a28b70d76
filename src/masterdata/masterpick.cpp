// The master pick of the import and item number change forms: the list form, then the picked row's
// fields into the boxes.
#include "masterpick.h"

#include "query.h"

#include <QLineEdit>

void pickIntoBoxes(const MasterLookup& lookup, const QString& text, bool byCode, QWidget* parent,
                   const QList<std::pair<const char*, QLineEdit*>>& boxes)
{
    const Query& row = pickMaster(lookup, text, byCode, parent);
    for (const auto& [field, box] : boxes)
        box->setText(row.fieldByName(QLatin1String(field)).asString());
}
