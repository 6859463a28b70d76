// The master pick of the import and item number change forms: the list form, then the picked row's
// fields into the boxes.
#include "masterpick.h"

#include "query.h"

#include <QLineEdit>

void showInBoxes(const Query& row, const FieldBoxes& boxes)
{
    for (const auto& [field, box] : boxes)
        box->setText(row.fieldByName(QLatin1String(field)).asString());
}

void pickIntoBoxes(const MasterLookup& lookup, const QString& text, bool byCode, QWidget* parent,
                   const FieldBoxes& boxes)
{
    showInBoxes(pickMaster(lookup, text, byCode, parent), boxes);
}
