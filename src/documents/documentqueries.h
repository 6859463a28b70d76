// The statements the document forms share: a one-parameter read, the partner's address, and the
// lookup of a master code from a typed code or name, with the master list as the picker.
#pragma once

#include "sharedstate.h"

#include <QString>
#include <functional>

class Query;
class QWidget;

// Replaces the statement of `query`, binds p1 as text and opens it; the failure goes to the caller.
Query& openWith(Query& query, const QString& sql, const QString& p1);

// "phelyseg putca" of the partner's current row; empty when there is no row.
QString partnerAddress(const Query& partner);

// The text without the blanks (and control characters) at its end.
QString withoutTrailingBlanks(const QString& text);

// A text is taken as a code when it is empty or its first character comes before "A" (digits, blank,
// punctuation), and as a name otherwise.
bool isCodeText(const QString& text);

// One master table as the line form looks it up: exact match first, else its list form as a picker.
struct MasterLookup {
    Query* work = nullptr;            // the count and row queries run here
    QString countByCode;              // column 1 of the count query is the count; empty: names only
    QString rowByCode;
    QString countByName;
    QString rowByName;
    Query* list = nullptr;            // the list form's own dataset, read after a pick
    QString SharedState::*selection = nullptr;
    std::function<void(QWidget* parent)> openList;
};

// The dataset whose current row holds the row found: the work query after an exact match, the list's
// dataset after the picker has closed (an empty list gives empty fields). `picked` tells which.
const Query& lookUpMaster(const MasterLookup& lookup, const QString& text, bool byCode, QWidget* parent,
                          bool* picked = nullptr);
// Opens the list at once, positioned on `text` (by code or by name).
const Query& pickMaster(const MasterLookup& lookup, const QString& text, bool byCode, QWidget* parent);

// The four lookups of the line form, over the data module's queries.
MasterLookup movementTypeLookup();
MasterLookup itemLookup();
MasterLookup warehouseLookup();
MasterLookup partnerLookup();
