// Shared statements of the document forms and the master-code lookup protocol.
#include "documentqueries.h"

#include "data.h"
#include "masterdataforms.h"
#include "modalform.h"

QString partnerAddress(const Query& partner)
{
    if (partner.currentRow() < 0)
        return QString();
    return partner.fieldByName(QStringLiteral("phelyseg")).asString() + QLatin1Char(' ')
           + partner.fieldByName(QStringLiteral("putca")).asString();
}

QString withoutTrailingBlanks(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).unicode() <= ' ')
        --end;
    return text.left(end);
}

MasterLookup movementTypeLookup()
{
    return {Data->ZQ51,
            QStringLiteral("SELECT mnem, count(mnem) as odb FROM mnem WHERE (mnem = :p1) GROUP BY mnem"),
            QStringLiteral("SELECT * FROM mnem WHERE (mnem = :p1)"),
            QStringLiteral("SELECT mnev, count(mnev) as ndb FROM mnem WHERE (mnev = :p1) GROUP BY mnev"),
            QStringLiteral("SELECT * FROM mnem WHERE (mnev = :p1)"),
            Data->ZQ50, &SharedState::SelectedMovementType,
            [](QWidget* parent) { runForm(Form13, parent); }};
}

MasterLookup itemLookup()
{
    return {Data->ZQ21,
            QStringLiteral("SELECT cszam, count(cszam) as cdb FROM cikk WHERE (cszam = :p1) GROUP BY cszam"),
            QStringLiteral("SELECT * FROM cikk WHERE (cszam = :p1)"),
            QStringLiteral("SELECT cmegn, count(cmegn) as cdb FROM cikk WHERE (cmegn = :p1) GROUP BY cmegn"),
            QStringLiteral("SELECT * FROM cikk WHERE (cmegn = :p1)"),
            Data->ZQ20, &SharedState::SelectedItemNumber,
            [](QWidget* parent) { runForm(Form7, parent); }};
}

MasterLookup warehouseLookup()
{
    return {Data->ZQ41, QString(), QString(),
            QStringLiteral("SELECT RNEV, count(RNEV) as rdb FROM raktar WHERE (RNEV = :p1) GROUP BY RNEV"),
            QStringLiteral("SELECT * FROM raktar WHERE (RNEV = :p1)"),
            Data->ZQ40, &SharedState::SelectedWarehouseCode,
            [](QWidget* parent) { runForm(Form11, parent); }};
}

MasterLookup partnerLookup()
{
    return {Data->ZQ31, QString(), QString(),
            QStringLiteral("SELECT PNEV, count(PNEV) as pdb FROM partner WHERE PNEV = :p1 GROUP BY PNEV"),
            QStringLiteral("SELECT * FROM partner WHERE (PNEV = :p1)"),
            Data->ZQ30, &SharedState::SelectedPartnerCode,
            [](QWidget* parent) { runForm(Form9, parent); }};
}
