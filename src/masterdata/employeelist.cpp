// The employee list TForm15: its table, columns, orders, messages and template. It always stands on the
// employee saved last; the "Kód" title click orders by the name, as the label it writes says.
#include "employeelist.h"

#include "data.h"
#include "employeeentry.h"

TForm15* Form15 = nullptr;

namespace {

MasterListMember employeeList()
{
    const ListOrder byName{"dnev", "Név"};
    MasterListMember s;
    s.formName = QStringLiteral("Form15");
    s.caption = QStringLiteral("Dolgozó");
    s.clientSize = {620, 347};
    s.table = QStringLiteral("dolgozo");
    s.listQuery = Data->ZQ60;
    s.listSource = Data->DSQ60;
    s.workQuery = Data->ZQ61;
    s.columns = {{"DKOD", "Kód"}, {"DNEV", "Név"}, {"IDD", "ID"}};
    s.detailTitle = QStringLiteral("Adata");
    s.details = {{"ID:", {"IDD"}}, {"Kód:", {"DKOD"}}, {"Neve:", {"DNEV"}}};
    s.initialLabel = QStringLiteral("Sorrend: klikk az oszlop fejlécre");
    s.creationOrder = QStringLiteral("dnev");
    s.showRules = {{std::nullopt, byName, "DKOD", false}};
    s.searchValue = &SharedState::SelectedEmployeeCode;
    s.searchOrder = byName;
    s.searchColumn = QStringLiteral("DNEV");
    s.titleSorts = {{"Kód", byName}};
    s.usageColumn = QStringLiteral("bdkod");
    s.usageField = QStringLiteral("DKOD");
    s.idField = QStringLiteral("IDD");
    s.nameField = QStringLiteral("DNEV");
    s.deleteSql = QStringLiteral("DELETE FROM dolgozo WHERE IDd = :p1");
    s.messages = {"A dolgozóra már van könyvelés !", "A dolgozó már szerepel a könyvelésben !",
                  "Az utolsó dolgozó sor nem törölhető ki.", "A dolgozó sor törlölve!",
                  "Hiba151: dolgozo DELETE törlésekor"};
    s.afterDelete = {std::nullopt, byName, "DKOD"};
    s.entryMode = &SharedState::EmployeeEntryMode;
    s.newMode = QStringLiteral("Új dolgozó");
    s.modifyMode = QStringLiteral("Dolgozó módositás");
    s.openEntry = [](QWidget* parent, bool modify) { openEntryForm(Form16, parent, modify); };
    s.reportFile = QStringLiteral("VarnelDolgozo.frf");
    s.printOrder = QStringLiteral("dnev");
    return s;
}

}

TForm15::TForm15(QWidget* parent) : MasterList(employeeList(), parent) {}
