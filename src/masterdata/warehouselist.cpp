// The warehouse list TForm11: its table, columns, orders, messages and template.
#include "warehouselist.h"

#include "data.h"
#include "warehouseentry.h"

TForm11* Form11 = nullptr;

namespace {

MasterListMember warehouseList()
{
    const QString name = QStringLiteral("Név");
    MasterListMember s;
    s.formName = QStringLiteral("Form11");
    s.caption = QStringLiteral("Raktár");
    s.clientSize = {649, 364};
    s.table = QStringLiteral("raktar");
    s.listQuery = Data->ZQ40;
    s.listSource = Data->DSQ40;
    s.workQuery = Data->ZQ41;
    s.columns = {{"RKOD", "Kód"}, {"RNEV", "Név", 300}, {"RTELEP", "Telephely"}, {"IDR", "ID"}};
    s.detailTitle = QStringLiteral("Adata");
    s.details = {{"Neve:", {"RNEV"}}, {"Telephely:", {"RTELEP"}}, {"ID:", {"IDR"}}, {"Kód:", {"RKOD"}}};
    s.initialLabel = QStringLiteral("Sorrend: klikk az oszlop fejlécre");
    s.creationOrder = QStringLiteral("rnev");
    s.showRules = {{QString(), {"rnev", name}, "RKOD", false}, {std::nullopt, {"rnev", name}, "RNEV", true}};
    s.searchValue = &SharedState::SelectedWarehouseCode;
    s.searchOrder = {"rnev", name};
    s.searchColumn = QStringLiteral("RNEV");
    s.titleSorts = {{"Kód", {"rkod", "Kód"}}, {"Név", {"rnev", name}}};
    s.usageColumn = QStringLiteral("brkod");
    s.usageField = QStringLiteral("RKOD");
    s.idField = QStringLiteral("IDR");
    s.nameField = QStringLiteral("RNEV");
    s.deleteSql = QStringLiteral("DELETE FROM raktar WHERE IDr = :p1");
    s.messages = {"A rktárra már van könyvelés !", "A raktár már szerepel a könyvelésben !",
                  "Az utolsó raktársor nem törölhető ki.", "A raktár sor törlölve!",
                  "Hiba111: raktar DELETE törlésekor"};
    s.afterDelete = {std::nullopt, {"rnev", name}, "RKOD"};
    s.entryMode = &SharedState::WarehouseEntryMode;
    s.newMode = QStringLiteral("Új raktár");
    s.modifyMode = QStringLiteral("Raktár módositás");
    s.openEntry = [](QWidget* parent, bool modify) { openEntryForm(Form12, parent, modify); };
    s.reportFile = QStringLiteral("VarnelRaktar.frf");
    return s;
}

}

TForm11::TForm11(QWidget* parent) : MasterList(warehouseList(), parent) {}
