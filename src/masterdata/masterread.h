// Re-reading a master list query in a given order, and the order label's wording.
#pragma once

#include <QString>

class Query;

// A re-read of a list: the column it is ordered by and the word its order label names.
struct ListOrder {
    QString orderBy;     // empty: the list is not re-read
    QString labelWord;   // empty: the order label stays as it is
};

// Replaces the query's statement by `sql` and opens it; the failure goes to the caller.
void rereadQuery(Query& query, const QString& sql);
// "SELECT * FROM table ORDER BY column".
QString orderedSelect(const QString& table, const QString& orderBy);
// The order label for a column word: "A lista, "Név" szerint" for "Név".
QString orderLabel(const QString& word);
