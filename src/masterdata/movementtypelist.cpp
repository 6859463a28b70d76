// The movement-type list TForm13: its table, columns, orders by lookup flag, messages and template. A
// movement type is protected by its short key MNEM, which the movement lines carry.
#include "movementtypelist.h"

#include "data.h"
#include "movementtypeentry.h"

TForm13* Form13 = nullptr;

namespace {

MasterListMember movementTypeList()
{
    const QString word = QStringLiteral("Mozgásnem");
    const ListOrder byKey{"mnem", word};
    MasterListMember s;
    s.formName = QStringLiteral("Form13");
    s.caption = QStringLiteral("Mozgásnem");
    s.clientSize = {575, 385};
    s.table = QStringLiteral("mnem");
    s.listQuery = Data->ZQ50;
    s.listSource = Data->DSQ50;
    s.workQuery = Data->ZQ51;
    s.columns = {
        {"MNEM", "Mozgásnemkód"}, {"MNEV", "Megnevezés"}, {"MNCS", "+/-"}, {"IDM", "IDM"}, {"MKOD", "MKOD"}};
    s.detailTitle = QStringLiteral("Adata");
    s.details = {{"ID:", {"IDM"}},
                 {"Kód:", {"MKOD"}},
                 {"Mozgásnem:", {"MNEM"}},
                 {"+ / -", {"MNCS"}},
                 {"Megnevezés:", {"MNEV"}}};
    s.initialLabel = QStringLiteral("Sorrend: klikk az oszlop fejlécre");
    s.creationOrder = QStringLiteral("mnem");
    // Whatever the order, the label names the movement type; an unknown flag leaves the list unread.
    s.showRules = {{QString(), {"mkod", word}, "MKOD", false},
                   {"1", byKey, "MNEM", true},
                   {"x", {"mnev", word}, "MNEV", true},
                   {std::nullopt, {QString(), word}, QString(), false}};
    s.searchValue = &SharedState::SelectedMovementType;
    s.searchOrder = byKey;
    s.searchColumn = QStringLiteral("MNEM");
    s.titleSorts = {{"Mozgásnemkód", {"mnem", "mozgásnem"}}, {"Megnevezés", {"mnev", "név"}}};
    s.usageColumn = QStringLiteral("bmnem");
    s.usageField = QStringLiteral("MNEM");
    s.idField = QStringLiteral("IDM");
    s.nameField = QStringLiteral("MNEV");
    s.deleteSql = QStringLiteral("DELETE FROM mnem WHERE IDm = :p1");
    s.messages = {"A mozgásnemre már van könyvelés !", "A menm már szerepel a könyvelésben !",
                  "Az utolsó mnem sor nem törölhető ki.", "A mozgásnem sor törlölve!",
                  "Hiba131: mnem DELETE törlésekor"};
    s.afterDelete = {std::nullopt, byKey, "MNEM"};
    s.entryMode = &SharedState::MovementTypeEntryMode;
    s.newMode = QStringLiteral("Új mozgásnem");
    s.modifyMode = QStringLiteral("Mozgásnem módositás");
    s.openEntry = [](QWidget* parent, bool modify) { openEntryForm(Form14, parent, modify); };
    s.reportFile = QStringLiteral("VarnelMnem.frf");
    s.printOrder = QStringLiteral("mnem");
    return s;
}

}

TForm13::TForm13(QWidget* parent) : MasterList(movementTypeList(), parent) {}
