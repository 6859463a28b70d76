// The statements the document forms share: a one-parameter read, the partner's address, and the
// four master-code lookups of the line form.
#pragma once

#include "masterlookup.h"

#include <QString>
#include <functional>

class Query;
class QWidget;

// "phelyseg putca" of the partner's current row; empty when there is no row.
QString partnerAddress(const Query& partner);

// The text without the blanks (and control characters) at its end.
QString withoutTrailingBlanks(const QString& text);

// The four lookups of the line form, over the data module's queries.
MasterLookup movementTypeLookup();
MasterLookup itemLookup();
MasterLookup warehouseLookup();
MasterLookup partnerLookup();
