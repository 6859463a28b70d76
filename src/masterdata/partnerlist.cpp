// The partner list TForm9: its table, columns, orders, messages and template. A title click sorts by
// the position of the column the user has marked.
#include "partnerlist.h"

#include "data.h"
#include "partnerentry.h"

TForm9* Form9 = nullptr;

namespace {

MasterListMember partnerList()
{
    const ListOrder byName{"pnev", "Név"};
    MasterListMember s;
    s.formName = QStringLiteral("Form9");
    s.caption = QStringLiteral("Partner");
    s.clientSize = {645, 376};
    s.table = QStringLiteral("partner");
    s.listQuery = Data->ZQ30;
    s.listSource = Data->DSQ30;
    s.workQuery = Data->ZQ31;
    s.columns = {{"PKOD", "Kód"},   {"PNEV", "Név"},        {"PIRSZAM", "Irszám"}, {"PHELYSEG", "Helységnév"},
                 {"PUTCA", "Utca"}, {"PBANK", "Bank szla"}, {"IDP", "ID"}};
    s.detailTitle = QStringLiteral("Adata:");
    s.details = {{"ID:", {"IDP"}},
                 {"Kód:", {"PKOD"}},
                 {"Neve:", {"PNEV"}},
                 {"Cim:", {"PIRSZAM", "PHELYSEG", "PUTCA"}},
                 {"Bank számlaszám::", {"PBANK"}}};
    s.initialLabel = QStringLiteral("Sorrend: Oszlop megjelölés és klikk az oszlop fejlécre");
    s.creationOrder = QStringLiteral("pnev");
    s.showRules = {{QString(), byName, "PKOD", false}, {std::nullopt, byName, "PNEV", true}};
    s.searchValue = &SharedState::SelectedPartnerCode;
    s.searchOrder = byName;
    s.searchColumn = QStringLiteral("PNEV");
    s.searchOnKeyRelease = true;
    // The grid shows the partner columns in this order, so the marked column's position orders them.
    s.markedSortSql = [](int markedColumn, const QString&) {
        return QStringLiteral("SELECT PKOD,PNEV,PIRSZAM,PHELYSEG,PUTCA,PBANK,IDP FROM partner ORDER BY %1")
            .arg(markedColumn + 1);
    };
    s.usageColumn = QStringLiteral("bpkod");
    s.usageField = QStringLiteral("PKOD");
    s.idField = QStringLiteral("IDP");
    s.nameField = QStringLiteral("PNEV");
    s.deleteSql = QStringLiteral("DELETE FROM partner WHERE IDp = :p1");
    s.messages = {"A partnerre már van könyvelés !", "A partner már szerepel a könyvelésben !",
                  "Az utolsó partnersor nem törölhető ki.", "A partner sor törlölve!",
                  "Hiba91: partner DELETE törlésekor"};
    s.afterDelete = {std::nullopt, byName, "PKOD"};
    s.entryMode = &SharedState::PartnerEntryMode;
    s.newMode = QStringLiteral("Új partner");
    s.modifyMode = QStringLiteral("Partner módositás");
    s.openEntry = [](QWidget* parent, bool modify) { openEntryForm(Form10, parent, modify); };
    s.reportFile = QStringLiteral("VarnelPartner.frf");
    return s;
}

}

TForm9::TForm9(QWidget* parent) : MasterList(partnerList(), parent) {}
