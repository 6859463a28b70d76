// The master-data import's rules: kinds, header mapping, verdicts and the one unit of work.
#include "masterimport.h"

#include "columnwidths.h"
#include "cp1250.h"
#include "data.h"
#include "dberror.h"
#include "newcode.h"
#include "saveunit.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>

namespace {

using Verdict = ImportRow::Verdict;

QList<ImportKind> makeKinds()
{
    ImportKind items{MasterKind::Items,
                     QStringLiteral("Cikkek"),
                     QStringLiteral("cikk"),
                     QStringLiteral("CKOD"),
                     QStringLiteral("CSZAM"),
                     QStringLiteral("CMEGN"),
                     {}};
    items.fields = {{"CSZAM", "Cikkszám", {}, true, true, true},
                    {"CMEGN", "Megnevezés", {}},
                    {"CMERET", "Méret", {}},
                    {"CBIZONYLAT", "Tételszám", {}},
                    {"CFAJTA", "Fajta", {}},
                    {"CBESOR", "Besorolás", {}},
                    {"CME", "M.egység", {}},
                    {"CVTSZ", "VTSZ", {}},
                    {"CRKOD", "Raktárkód", {}}};
    ImportKind partners{MasterKind::Partners,
                        QStringLiteral("Partnerek"),
                        QStringLiteral("partner"),
                        QStringLiteral("PKOD"),
                        QStringLiteral("PKOD"),
                        QStringLiteral("PNEV"),
                        {}};
    partners.fields = {{"PKOD", "Kód", {}, false, false},
                       {"PNEV", "Név", {}, true},
                       {"PIRSZAM", "Irszám", {"Ir.szám"}},
                       {"PHELYSEG", "Helységnév", {}},
                       {"PUTCA", "Utca", {}},
                       {"PBANK", "Bank szla", {"Bank", "Bank számlaszám"}}};
    ImportKind warehouses{MasterKind::Warehouses,
                          QStringLiteral("Raktárak"),
                          QStringLiteral("raktar"),
                          QStringLiteral("RKOD"),
                          QStringLiteral("RKOD"),
                          QStringLiteral("RNEV"),
                          {}};
    warehouses.fields = {{"RKOD", "Kód", {}, false, false},
                         {"RNEV", "Név", {}, true},
                         {"RTELEP", "Telephely", {"Telep neve"}}};
    ImportKind movementTypes{MasterKind::MovementTypes,
                             QStringLiteral("Mozgásnemek"),
                             QStringLiteral("mnem"),
                             QStringLiteral("MKOD"),
                             QStringLiteral("MNEM"),
                             QStringLiteral("MNEV"),
                             {}};
    movementTypes.fields = {{"MNEM", "Mozgásnemkód", {"Mozgásnem kódja"}, true},
                            {"MNEV", "Megnevezés", {"Megnevezése"}, true},
                            {"MNCS", "+/-", {}, true}};
    return {items, partners, warehouses, movementTypes};
}

// Header texts compare without letter case, blanks and a closing colon: "Ir. szám:" names "Ir.szám".
QString headerKey(const QString& text)
{
    QString key = text.toLower();
    key.remove(QRegularExpression(QStringLiteral("\\s")));
    if (key.endsWith(QLatin1Char(':')))
        key.chop(1);
    return key;
}

// The file column of each field (-1: not in the file), or an empty list when the row names none.
QList<int> mapHeader(const ImportKind& kind, const QStringList& cells)
{
    QList<int> columns(kind.fields.size(), -1);
    bool any = false;
    for (int f = 0; f < kind.fields.size(); ++f) {
        const ImportField& field = kind.fields[f];
        QStringList names = field.headers;
        names << field.caption << field.column;
        for (int c = 0; c < cells.size() && columns[f] < 0; ++c)
            for (const QString& name : std::as_const(names))
                if (headerKey(cells[c]) == headerKey(name) && !headerKey(name).isEmpty()) {
                    columns[f] = c;
                    any = true;
                    break;
                }
    }
    return any ? columns : QList<int>();
}

// Blanks at either end go; tabs and line breaks stay, so that they can be refused.
QString trimmedBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QString quotedName(const QString& caption)
{
    return QStringLiteral("„%1”").arg(caption);
}

// Why a value cannot be stored in its field; empty when it can.
QString valueFault(const ImportKind& kind, const ImportField& field, const QString& value)
{
    static const QRegularExpression breaks(QStringLiteral("[\\t\\r\\n]"));
    static const QRegularExpression decimal(QStringLiteral("^[+-]?[0-9]*[.,][0-9]+$"));
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    const QString name = quotedName(field.caption);
    if (value.contains(breaks))
        return QStringLiteral("a(z) %1 tabulátort vagy sortörést tartalmaz").arg(name);
    if (value.isEmpty())
        return field.required ? QStringLiteral("nincs megadva: %1").arg(name) : QString();
    const bool isCode = field.column == kind.codeField || field.digitsOnly;
    if (isCode && decimal.match(value).hasMatch())
        return QStringLiteral("a(z) %1 tizedes szám (%2), kód csak egész lehet").arg(name, value);
    if (field.digitsOnly && !digits.match(value).hasMatch())
        return QStringLiteral("a(z) %1 csak számjegyekből állhat (%2)").arg(name, value);
    const int width = columnWidth(kind.table, field.column);
    if (width > 0 && value.size() > width)
        return QStringLiteral("a(z) %1 %2 karakter, legfeljebb %3 fér el")
            .arg(name)
            .arg(value.size())
            .arg(width);
    try {
        encodeCp1250(value);
    } catch (const DbError& error) {
        return QStringLiteral("a(z) %1: %2").arg(name, error.message());
    }
    return {};
}

struct Stored {
    QHash<QString, QString> nameByCode;
    QHash<QString, QString> codeByName;
};

Stored readStored(const ImportKind& kind)
{
    Query query(Data->IBTrans1);
    query.setSql(QStringLiteral("SELECT %1 AS code, %2 AS name FROM %3")
                     .arg(kind.codeField, kind.nameField, kind.table));
    query.open();
    Stored stored;
    for (query.first(); !query.eof(); query.next()) {
        const QString code = query.fieldByName(QStringLiteral("code")).asString().trimmed();
        const QString name = query.fieldByName(QStringLiteral("name")).asString().trimmed();
        if (!code.isEmpty())
            stored.nameByCode.insert(code, name);
        if (!name.isEmpty() && !stored.codeByName.contains(name))
            stored.codeByName.insert(name, code);
    }
    query.close();
    return stored;
}

int fieldIndex(const ImportKind& kind, const QString& column)
{
    for (int i = 0; i < kind.fields.size(); ++i)
        if (kind.fields[i].column == column)
            return i;
    return -1;
}

}

const QList<ImportKind>& importKinds()
{
    static const QList<ImportKind> kinds = makeKinds();
    return kinds;
}

const ImportKind& importKind(MasterKind kind)
{
    for (const ImportKind& k : importKinds())
        if (k.kind == kind)
            return k;
    return importKinds().first();
}

int ImportPreview::count(ImportRow::Verdict verdict) const
{
    return int(std::count_if(rows.cbegin(), rows.cend(),
                             [verdict](const ImportRow& r) { return r.verdict == verdict; }));
}

const ImportRow* ImportPreview::firstRefused() const
{
    for (const ImportRow& row : rows)
        if (row.verdict == Verdict::Refused)
            return &row;
    return nullptr;
}

QString ImportPreview::verdictText(const ImportRow& row) const
{
    switch (row.verdict) {
    case Verdict::New: return QStringLiteral("Új");
    case Verdict::StoredByCode: return QStringLiteral("Már megvan kód szerint: %1").arg(row.reason);
    case Verdict::StoredByName: return QStringLiteral("Már megvan név szerint: %1").arg(row.reason);
    case Verdict::Refused: return QStringLiteral("Elutasítva: %1").arg(row.reason);
    }
    return {};
}

ImportPreview classifyRows(MasterKind kindId, const QList<SheetRow>& sheet)
{
    const ImportKind& kind = importKind(kindId);
    QList<int> columns;
    qsizetype headerAt = 0;
    for (; headerAt < sheet.size() && headerAt < SheetFile::MaxLeadingRows && columns.isEmpty(); ++headerAt)
        columns = mapHeader(kind, sheet[headerAt].cells);
    if (columns.isEmpty()) {
        QStringList captions;
        for (const ImportField& field : kind.fields)
            captions << quotedName(field.caption);
        throw SheetError(
            QStringLiteral("A táblázatban nincs fejléc sor: az első sorok egyike sem nevezi meg a(z) "
                           "%1 egyik oszlopát sem (%2).")
                .arg(kind.caption.toLower(), captions.join(QStringLiteral(", "))));
    }
    for (int f = 0; f < kind.fields.size(); ++f)
        if (kind.fields[f].required && columns[f] < 0)
            throw SheetError(
                QStringLiteral("A táblázat fejléc sorában nincs %1 oszlop, pedig ez kötelező adat.")
                    .arg(quotedName(kind.fields[f].caption)));
    if (sheet.size() - headerAt > SheetFile::MaxRows)
        throw SheetError(SheetFile::tooManyRows());
    // A column the header names but no field takes is left out of the store; the preview says so, so
    // that a town under a header of another wording is not lost unnoticed.
    QStringList ignoredHeaders;
    const QStringList& header = sheet[headerAt - 1].cells;
    for (int c = 0; c < header.size(); ++c)
        if (!columns.contains(c) && !trimmedBlanks(header[c]).isEmpty())
            ignoredHeaders << quotedName(trimmedBlanks(header[c]));

    const Stored stored = readStored(kind);
    const int codeAt = fieldIndex(kind, kind.codeField);
    const int nameAt = fieldIndex(kind, kind.nameField);
    QHash<QString, int> fileCodes;
    QHash<QString, int> fileNames;
    qint64 next = nextCode(kind.table, kind.newCode).toLongLong();

    ImportPreview preview;
    preview.kind = kindId;
    preview.ignoredHeaders = ignoredHeaders;
    for (qsizetype r = headerAt; r < sheet.size(); ++r) {
        ImportRow row;
        row.line = sheet[r].line;
        for (int f = 0; f < kind.fields.size(); ++f)
            row.values << (columns[f] >= 0 ? trimmedBlanks(sheet[r].cells.value(columns[f])) : QString());
        for (int f = 0; f < kind.fields.size() && row.reason.isEmpty(); ++f)
            row.reason = valueFault(kind, kind.fields[f], row.values[f]);
        const QString code = row.values.value(codeAt);
        const QString name = row.values.value(nameAt);
        if (row.reason.isEmpty()) {
            const int earlier = !code.isEmpty() && fileCodes.contains(code)   ? fileCodes.value(code)
                                : !name.isEmpty() && fileNames.contains(name) ? fileNames.value(name)
                                                                              : 0;
            if (earlier > 0)
                row.reason = QStringLiteral("a(z) %1. sor ismétlése").arg(earlier);
        }
        if (!row.reason.isEmpty()) {
            row.verdict = Verdict::Refused;
        } else if (!code.isEmpty() && stored.nameByCode.contains(code)) {
            row.verdict = Verdict::StoredByCode;
            row.reason = code + QStringLiteral(" – ") + stored.nameByCode.value(code);
        } else if (!name.isEmpty() && stored.codeByName.contains(name)) {
            row.verdict = Verdict::StoredByName;
            row.reason = stored.codeByName.value(name) + QStringLiteral(" – ") + name;
        } else {
            row.verdict = Verdict::New;
            row.newCode = QString::number(next++);
        }
        if (row.verdict != Verdict::Refused) {
            if (!code.isEmpty())
                fileCodes.insert(code, row.line);
            if (!name.isEmpty())
                fileNames.insert(name, row.line);
        }
        preview.rows << row;
    }
    return preview;
}

bool storeNewRows(const ImportPreview& preview)
{
    const ImportKind& kind = importKind(preview.kind);
    QStringList columns{kind.newCode};
    QList<int> fields;
    for (int f = 0; f < kind.fields.size(); ++f)
        if (kind.fields[f].stored) {
            columns << kind.fields[f].column;
            fields << f;
        }
    QStringList marks;
    for (int i = 1; i <= columns.size(); ++i)
        marks << QStringLiteral(":p%1").arg(i);
    const QString sql =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(kind.table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    const SaveStep step{
        QStringLiteral("Hiba: a(z) %1 tárolása nem sikerült, egy sor sem került tárolásra.")
            .arg(kind.caption.toLower()),
        [&] {
            // The codes are taken again inside the unit: another desk may have added rows since the preview.
            qint64 next = nextCode(kind.table, kind.newCode).toLongLong();
            Query insert(Data->IBTrans1);
            insert.setSql(sql);
            for (const ImportRow& row : preview.rows) {
                if (row.verdict != Verdict::New)
                    continue;
                const QString code = QString::number(next++);
                requireFits(kind.table, kind.newCode, code);
                insert.paramByName(QStringLiteral("p1")).setText(code);
                for (int i = 0; i < fields.size(); ++i)
                    insert.paramByName(QStringLiteral("p%1").arg(i + 2)).setText(row.values[fields[i]]);
                insert.execute();
            }
        }};
    return saveInOneUnit({step},
                         QStringLiteral("Hiba: a tranzakció nem indítható, semmi sem került tárolásra.")) ==
           SaveOutcome::Saved;
}
