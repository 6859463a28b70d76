// Master rows from a spreadsheet: the four kinds of rows and their columns, each row's verdict against
// the file and the stored rows, and the storing of the new rows in one unit of work.
#pragma once

#include "sheetfile.h"

#include <QList>
#include <QString>
#include <QStringList>

enum class MasterKind { Items, Partners, Warehouses, MovementTypes };

struct ImportField {
    QString column;          // the database column, "CSZAM"
    QString caption;         // as the list or entry form shows it, "Cikkszám"
    QStringList headers;     // further header texts that name it (the other form's caption)
    bool required = false;   // a row without it is refused
    bool stored = true;      // false: a code the program gives itself, read only to find a stored row
    bool digitsOnly = false;
};

struct ImportKind {
    MasterKind kind;
    QString caption;     // in the kind chooser, "Cikkek"
    QString table;       // "cikk"
    QString newCode;     // the column the next-code rule fills, "CKOD"
    QString codeField;   // the field a row is found by first, "CSZAM"
    QString nameField;   // then by this one, "CMEGN"
    QList<ImportField> fields;
};

const QList<ImportKind>& importKinds();
const ImportKind& importKind(MasterKind kind);

struct ImportRow {
    enum class Verdict { New, StoredByCode, StoredByName, Refused };
    int line = 0;         // the row's number in the file
    QStringList values;   // one per field of the kind, trimmed
    Verdict verdict = Verdict::New;
    QString reason;    // refused: why; stored: the stored row's code and name
    QString newCode;   // new: the code the next-code rule gives it
};

struct ImportPreview {
    MasterKind kind = MasterKind::Items;
    QList<ImportRow> rows;
    QStringList ignoredHeaders;   // header texts of the file that name no field of the kind
    int count(ImportRow::Verdict verdict) const;
    const ImportRow* firstRefused() const;
    QString verdictText(const ImportRow& row) const;
};

// The verdict of every data row below the header row: the header is the first row (of the first few)
// naming a field of the kind, by caption or column name in any letter case. Reads the stored codes and
// names in one statement. Throws SheetError for a file without such a header, without a required
// column or with more rows than SheetFile::MaxRows.
ImportPreview classifyRows(MasterKind kind, const QList<SheetRow>& sheet);

// Stores the rows judged new, with codes from the next-code rule, in one unit of work through the one
// save path: all of them or none (its failure message is shown there). True when they were stored.
bool storeNewRows(const ImportPreview& preview);
