// The item list TForm7: its table, columns, orders by lookup flag, messages and template. A title click
// sorts by the column the user has marked.
#include "itemlist.h"

#include "data.h"
#include "itementry.h"

TForm7* Form7 = nullptr;

namespace {

MasterListMember itemList()
{
    const ListOrder byName{"cmegn", "Megnevezés"};
    MasterListMember s;
    s.formName = QStringLiteral("Form7");
    s.caption = QStringLiteral("Cikk");
    s.clientSize = {648, 446};
    s.table = QStringLiteral("cikk");
    s.listQuery = Data->ZQ20;
    s.listSource = Data->DSQ20;
    s.workQuery = Data->ZQ21;
    s.columns = {{"CSZAM", "Cikkszám"},   {"CBIZONYLAT", "Tételszám"},
                 {"CMEGN", "Megnevezés"}, {"CMERET", "Méret"},
                 {"CVTSZ", "VTSZ"},       {"CME", "M.egység"},
                 {"CRKOD", "Raktárkód"},  {"IDC", "ID"},
                 {"CKOD", "Kód"},         {"IDC", "IDC"}};
    s.detailTitle = QStringLiteral("Adata");
    s.details = {{"ID", {"IDC"}},           {"Kód", {"CKOD"}},       {"Cikkszám", {"CSZAM"}},
                 {"Megnevezés", {"CMEGN"}}, {"Méret", {"CMERET"}},   {"M.egység", {"CME"}},
                 {"VTSZ", {"CVTSZ"}},       {"Raktárkód", {"CRKOD"}}};
    s.initialLabel = QStringLiteral("Sorrend: Oszlop megjelölés és klikk az oszlop fejlécre");
    s.creationOrder = QStringLiteral("cmegn");
    s.showFirst = byName;
    s.showRules = {{QString(), {"ckod", "Kód"}, "CKOD", false},
                   {"1", {"cszam", "Cikkszám"}, "CSZAM", true},
                   {"x", byName, "CMEGN", true},
                   {"T", {"cBizonylat", "Tételszám"}, "CBIZONYLAT", true}};
    s.searchValue = &SharedState::SelectedItemNumber;
    s.searchOrder = {"cMegn", "Megnevezés"};
    s.searchColumn = QStringLiteral("CMEGN");
    s.searchOnKeyRelease = true;
    s.markedSortSql = [](int, const QString& field) {
        return QStringLiteral("SELECT * FROM cikk ORDER BY ") + field;
    };
    s.usageColumn = QStringLiteral("bckod");
    s.usageField = QStringLiteral("CKOD");
    s.idField = QStringLiteral("IDC");
    s.nameField = QStringLiteral("CMEGN");
    s.deleteSql = QStringLiteral("DELETE FROM cikk WHERE IDc = :p1");
    s.messages = {"A cikkre már van könyvelés !", "A cikk már szerepel a könyvelésben !",
                  "Az utolsó cikksor nem törölhető ki.", "A cikk sor törlölve!",
                  "Hiba71: cikk DELETE törlésekor"};
    s.afterDelete = {std::nullopt, byName, "CKOD"};
    s.entryMode = &SharedState::ItemEntryMode;
    s.newMode = QStringLiteral("Új cikk");
    s.modifyMode = QStringLiteral("Cikk módositás");
    s.openEntry = [](QWidget* parent, bool modify) { openEntryForm(Form8, parent, modify); };
    s.reportFile = QStringLiteral("VarnelCikk.frf");
    return s;
}

}

TForm7::TForm7(QWidget* parent) : MasterList(itemList(), parent) {}
