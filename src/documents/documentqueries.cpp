// Shared statements of the document forms and the master-code lookup protocol.
#include "documentqueries.h"

#include "data.h"
#include "masterdataforms.h"
#include "modalform.h"

QString partnerAddress(const Query& partner)
{
    if (partner.currentRow() < 0)
        return QString();
    return partner.fieldByName(QStringLiteral("phelyseg")).asString() + QLatin1Char(' ') +
           partner.fieldByName(QStringLiteral("putca")).asString();
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
    lookup.countByCode =
        QStringLiteral("SELECT mnem, count(mnem) as odb FROM mnem WHERE (mnem = :p1) GROUP BY mnem");
    lookup.rowByCode = QStringLiteral("SELECT * FROM mnem WHERE (mnem = :p1)");
    lookup.countByName =
        QStringLiteral("SELECT mnev, count(mnev) as ndb FROM mnem WHERE (mnev = :p1) GROUP BY mnev");
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

namespace {

// Warehouses and partners are looked up by name only.
MasterLookup byName(Query* work, const QString& count, const QString& row, const QString& table,
                    const QString& name, Query* list, QString SharedState::*selection,
                    std::function<void(QWidget*)> openList)
{
    MasterLookup lookup;
    lookup.work = work;
    lookup.countByName = count;
    lookup.rowByName = row;
    lookup.list = list;
    lookup.selection = selection;
    lookup.openList = std::move(openList);
    lookup.table = table;
    lookup.nameColumn = name;
    return lookup;
}

}

MasterLookup warehouseLookup()
{
    return byName(
        Data->ZQ41,
        QStringLiteral("SELECT RNEV, count(RNEV) as rdb FROM raktar WHERE (RNEV = :p1) GROUP BY RNEV"),
        QStringLiteral("SELECT * FROM raktar WHERE (RNEV = :p1)"), QStringLiteral("raktar"),
        QStringLiteral("rnev"), Data->ZQ40, &SharedState::SelectedWarehouseCode,
        [](QWidget* parent) { runForm(Form11, parent); });
}

MasterLookup partnerLookup()
{
    return byName(
        Data->ZQ31,
        QStringLiteral("SELECT PNEV, count(PNEV) as pdb FROM partner WHERE PNEV = :p1 GROUP BY PNEV"),
        QStringLiteral("SELECT * FROM partner WHERE (PNEV = :p1)"), QStringLiteral("partner"),
        QStringLiteral("pnev"), Data->ZQ30, &SharedState::SelectedPartnerCode,
        [](QWidget* parent) { runForm(Form9, parent); });
}
