// Item and movement-type lookups by code or name, with the master list as the fallback.
#include "codelookup.h"

#include "columnwidths.h"
#include "data.h"
#include "masterdataforms.h"
#include "modalform.h"
#include "query.h"
#include "reportform.h"

LookupKind itemLookup()
{
    return {QStringLiteral("cikk"), QStringLiteral("cszam"), QStringLiteral("cdb"), QStringLiteral("cmegn"),
            QStringLiteral("cdb"), Data->ZQ21, Data->ZQ20, &SharedState::SelectedItemNumber,
            [](QWidget* parent) { runForm(Form7, parent); }};
}

LookupKind movementTypeLookup()
{
    return {QStringLiteral("mnem"), QStringLiteral("mnem"), QStringLiteral("odb"), QStringLiteral("mnev"),
            QStringLiteral("ndb"), Data->ZQ51, Data->ZQ50, &SharedState::SelectedMovementType,
            [](QWidget* parent) { runForm(Form13, parent); }};
}

bool isCodeText(const QString& text)
{
    return text.isEmpty() || text.at(0) < QLatin1Char('A');
}

Dataset& lookUp(const LookupKind& kind, const QString& text, QWidget* parent)
{
    const bool byCode = isCodeText(text);
    const QString& column = byCode ? kind.codeColumn : kind.nameColumn;
    const QString& count = byCode ? kind.codeCount : kind.nameCount;
    Query& work = *kind.work;
    const QString from = QStringLiteral("FROM  ") + kind.table;
    const QString where = QStringLiteral("WHERE (%1 = :p1)").arg(column);

    // A text longer than the column matches no row; the engine would refuse to compare it instead.
    if (const int width = columnWidth(kind.table, column); width > 0 && text.size() > width)
        return pick(kind, text, byCode ? QStringLiteral("1") : QStringLiteral("x"), parent);

    buildStatement(work, {QStringLiteral("SELECT %1, count(%1) as %2").arg(column, count), from, where,
                          QStringLiteral("GROUP BY ") + column});
    work.paramByName(QStringLiteral("p1")).setText(text);
    work.open();
    if (work.fieldByName(count).asInteger() != 0) {
        buildStatement(work, {QStringLiteral("SELECT *"), from, where});
        work.paramByName(QStringLiteral("p1")).setText(text);
        work.open();
        return work;
    }
    return pick(kind, text, byCode ? QStringLiteral("1") : QStringLiteral("x"), parent);
}

Dataset& pick(const LookupKind& kind, const QString& text, const QString& flag, QWidget* parent)
{
    shared().*kind.searchValue = text;
    shared().LookupFlag = flag;
    kind.openList(parent);
    return *kind.list;
}

QString joinedFields(const Dataset& row, const QStringList& columns)
{
    QStringList values;
    for (const QString& column : columns)
        values << row.fieldByName(column).asString();
    return values.join(QLatin1Char(' '));
}
