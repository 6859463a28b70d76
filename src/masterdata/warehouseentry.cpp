// The warehouse entry form TForm12: its boxes, statements and messages. A modification never
// changes the warehouse's code.
#include "warehouseentry.h"

#include "data.h"
#include "warehouselist.h"

TForm12* Form12 = nullptr;

namespace {

MasterEntryMember warehouseEntry()
{
    MasterEntryMember s;
    s.formName = QStringLiteral("Form12");
    s.caption = QStringLiteral("Raktár");
    s.clientSize = {511, 123};
    s.table = QStringLiteral("raktar");
    s.listQuery = Data->ZQ40;
    s.workQuery = Data->ZQ41;
    s.idColumn = QStringLiteral("IDr");
    s.codeColumn = QStringLiteral("rkod");
    s.boxes = {{"Edit3", "Név", "rnev", "Nincs megadva a raktár név!"},
               {"Edit4", "Telep neve", "rtelep", ""}};
    s.mode = &SharedState::WarehouseEntryMode;
    s.newMode = QStringLiteral("Új raktár");
    s.searchValue = &SharedState::SelectedWarehouseCode;
    s.insertSql = QStringLiteral("INSERT INTO raktar ( rkod, rnev, rtelep) VALUES ( :p1, :p2, :p3 )");
    s.insertParams = {"Edit2", "Edit3", "Edit4"};
    s.updateSql = QStringLiteral("UPDATE raktar SET rnev = :p1, rtelep = :p2 WHERE IDr = :p0");
    s.updateParams = {"Edit3", "Edit4"};
    s.messages = {"Hiba121 a raktar módosítás Edit-ben való megjelenitésekor!",
                  "Hiba122: Újban, INSERT a raktárban ", "Hiba123: Módositás, Update a raktárban ",
                  "Hiba124: az append vagy edit közben a raktárban!"};
    s.listOrder = {"rnev", "Név"};
    s.listLocateColumn = QStringLiteral("RKOD");
    s.list = [] { return static_cast<MasterList*>(Form11); };
    return s;
}

}

TForm12::TForm12(QWidget* parent) : MasterEntry(warehouseEntry(), parent) {}
