// Finding an item or a movement type from a typed code or name, and picking one in its master list.
#pragma once

#include "sharedstate.h"

#include <QString>
#include <QStringList>
#include <functional>

class Dataset;
class Query;
class QWidget;

// What a lookup needs to know of one master table.
struct LookupKind {
    QString table;
    QString codeColumn;       // "cszam"
    QString codeCount;        // the count alias of the code statement: "cdb"
    QString nameColumn;       // "cmegn"
    QString nameCount;
    Query* work = nullptr;    // the query the lookup statements run in
    Query* list = nullptr;    // the master list's query, standing on the picked row after it closed
    QString SharedState::*searchValue = nullptr;
    std::function<void(QWidget* parent)> openList;
};

LookupKind itemLookup();           // CIKK in ZQ21, the item list TForm7 over ZQ20
LookupKind movementTypeLookup();   // MNEM in ZQ51, the movement-type list TForm13 over ZQ50

// A text is a code when it is empty or its first character comes before "A".
bool isCodeText(const QString& text);

// Finds the row by the code or the name the text gives (the first row when several share it); when
// there is none, the master list opens on the text and its row is taken. Returns the dataset standing
// on the row found.
Dataset& lookUp(const LookupKind& kind, const QString& text, QWidget* parent);
// Opens the master list on the text with the lookup flag given; returns its query on the row left
// selected, however the list was closed.
Dataset& pick(const LookupKind& kind, const QString& text, const QString& flag, QWidget* parent);

// The row's values of the columns, joined by single blanks.
QString joinedFields(const Dataset& row, const QStringList& columns);
