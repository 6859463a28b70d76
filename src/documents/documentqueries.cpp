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
    MasterLookup lookup = movementTypePicker();
    lookup.work = Data->ZQ51;
    lookup.countByCode = QStringLiteral("SELECT mnem, count(mnem) as odb FROM mnem WHERE (mnem = :p1) GROUP BY mnem");
    lookup.rowByCode = QStringLiteral("SELECT * FROM mnem WHERE (mnem = :p1)");
    lookup.countByName = QStringLiteral("SELECT mnev, count(mnev) as ndb FROM mnem WHERE (mnev = :p1) GROUP BY mnev");
    lookup.rowByName = QStringLiteral("SELECT * FROM mnem WHERE (mnev = :p1)");
    lookup.table = QStringLiteral("mnem");
    lookup.codeColumn = QStringLiteral("mnem");
    lookup.nameColumn = QStringLiteral("mnev");
    return lookup;
}

MasterLookup itemLookup()
{
    MasterLookup lookup = itemPicker();
    lookup.work = Data->ZQ21;
    lookup.countByCode =
        QStringLiteral("SELECT cszam, count(cszam) as cdb FROM cikk WHERE (cszam = :p1) GROUP BY cszam");
    lookup.rowByCode = QStringLiteral("SELECT * FROM cikk WHERE (cszam = :p1)");
    lookup.countByName =
        QStringLiteral("SELECT cmegn, count(cmegn) as cdb FROM cikk WHERE (cmegn = :p1) GROUP BY cmegn");
    lookup.rowByName = QStringLiteral("SELECT * FROM cikk WHERE (cmegn = :p1)");
    lookup.table = QStringLiteral("cikk");
    lookup.codeColumn = QStringLiteral("cszam");
    lookup.nameColumn = QStringLiteral("cmegn");
    return lookup;
}

// Warehouses and partners are looked up by name only.
MasterLookup warehouseLookup()
{
    MasterLookup lookup;
    lookup.work = Data->ZQ41;
    lookup.countByName =
        QStringLiteral("SELECT RNEV, count(RNEV) as rdb FROM raktar WHERE (RNEV = :p1) GROUP BY RNEV");
    lookup.rowByName = QStringLiteral("SELECT * FROM raktar WHERE (RNEV = :p1)");
    lookup.list = Data->ZQ40;
    lookup.selection = &SharedState::SelectedWarehouseCode;
    lookup.openList = [](QWidget* parent) { runForm(Form11, parent); };
    lookup.table = QStringLiteral("raktar");
    lookup.nameColumn = QStringLiteral("rnev");
    return lookup;
}

MasterLookup partnerLookup()
{
    MasterLookup lookup;
    lookup.work = Data->ZQ31;
    lookup.countByName =
        QStringLiteral("SELECT PNEV, count(PNEV) as pdb FROM partner WHERE PNEV = :p1 GROUP BY PNEV");
    lookup.rowByName = QStringLiteral("SELECT * FROM partner WHERE (PNEV = :p1)");
    lookup.list = Data->ZQ30;
    lookup.selection = &SharedState::SelectedPartnerCode;
    lookup.openList = [](QWidget* parent) { runForm(Form9, parent); };
    lookup.table = QStringLiteral("partner");
    lookup.nameColumn = QStringLiteral("pnev");
    return lookup;
}
