// The lookup of a master code from a typed code or name, with the master list as the picker: an exact
// match is taken at once, anything else opens the list positioned on the text.
#pragma once

#include "sharedstate.h"

#include <QString>
#include <functional>

class Query;
class QWidget;

// Replaces the statement of `query`, binds p1 as text and opens it; the failure goes to the caller.
Query& openWith(Query& query, const QString& sql, const QString& p1);

// A text is taken as a code when it is empty or its first character comes before "A" (digits, blank,
// punctuation), and as a name otherwise.
bool isCodeText(const QString& text);

// One master table as a form looks it up: exact match first, else its list form as a picker.
struct MasterLookup {
    Query* work = nullptr;   // the count and row queries run here
    QString countByCode;     // column 1 of the count query is the count; empty: names only
    QString rowByCode;
    QString countByName;
    QString rowByName;
    Query* list = nullptr;   // the list form's own dataset, read after a pick
    QString SharedState::*selection = nullptr;
    std::function<void(QWidget* parent)> openList;
    // When set, a text longer than the compared column goes to the picker without a statement: it can
    // match no row, and the engine would refuse to compare it.
    QString table;
    QString codeColumn;
    QString nameColumn;
};

// The pick half of a lookup: the master's list form, the dataset it leaves on the picked row and the
// shared selection the list opens on. Each form adds its own work query and statements.
MasterLookup itemPicker();
MasterLookup movementTypePicker();
MasterLookup warehousePicker();

// A picker with the exact-match statements over `table`, written line by line ("SELECT c, count(c) as n",
// "FROM  table", "WHERE (c = :p1)", "GROUP BY c"; "SELECT *" for the row), run in `work`.
MasterLookup exactLookup(MasterLookup picker, Query* work, const QString& table, const QString& codeColumn,
                         const QString& codeCount, const QString& nameColumn, const QString& nameCount);
// CIKK in ZQ21 by item number or name, the item list TForm7 over ZQ20 as the picker.
MasterLookup itemNumberLookup();

// The exact-match half of a lookup: the work query standing on the first matching row, or nullptr when
// no row matches (no list is opened).
const Query* findMaster(const MasterLookup& lookup, const QString& text, bool byCode);

// The dataset whose current row holds the row found: the work query after an exact match, the list's
// dataset after the picker has closed (an empty list gives empty fields). `picked` tells which.
const Query& lookUpMaster(const MasterLookup& lookup, const QString& text, bool byCode, QWidget* parent,
                          bool* picked = nullptr);
// Opens the list at once, positioned on `text` (by code or by name).
const Query& pickMaster(const MasterLookup& lookup, const QString& text, bool byCode, QWidget* parent);
// The same with the list's lookup flag given ("T": the item list by batch number).
const Query& pickMaster(const MasterLookup& lookup, const QString& text, const QString& flag,
                        QWidget* parent);
