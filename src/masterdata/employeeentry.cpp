// The employee entry form TForm16: its boxes, statements and messages. A modification writes the
// (unchanged) code back with the name.
#include "employeeentry.h"

#include "data.h"
#include "employeelist.h"

TForm16* Form16 = nullptr;

namespace {

MasterEntryMember employeeEntry()
{
    MasterEntryMember s;
    s.formName = QStringLiteral("Form16");
    s.caption = QStringLiteral("Dolgozó bevitel");
    s.clientSize = {513, 106};
    s.table = QStringLiteral("dolgozo");
    s.listQuery = Data->ZQ60;
    s.workQuery = Data->ZQ61;
    s.idColumn = QStringLiteral("IDd");
    s.codeColumn = QStringLiteral("dkod");
    s.boxes = {{"Edit3", "Név", "dnev", "Nincs megadva a dolgozó!"}};
    s.mode = &SharedState::EmployeeEntryMode;
    s.newMode = QStringLiteral("Új dolgozó");
    s.searchValue = &SharedState::SelectedEmployeeCode;
    s.insertSql = QStringLiteral("INSERT INTO dolgozo ( dkod, dnev ) VALUES ( :p1, :p2 )");
    s.insertParams = {"Edit2", "Edit3"};
    s.updateSql = QStringLiteral("UPDATE dolgozo SET dkod = :p1, dnev = :p2 WHERE IDd = :p0");
    s.updateParams = {"Edit2", "Edit3"};
    s.messages = {"Hiba161 a dolgozo módosítás Edit-ben való megjelenitésekor!",
                  "Hiba162: Újban, INSERT a dolgozoban ", "Hiba163: Módositás, Update a dolgozóban ",
                  "Hiba164: az append vagy edit közben a dolgozóban!"};
    s.listOrder = {"dnev", "Név"};
    s.listLocateColumn = QStringLiteral("DKOD");
    s.list = [] { return static_cast<MasterList*>(Form15); };
    return s;
}

}

TForm16::TForm16(QWidget* parent) : MasterEntry(employeeEntry(), parent) {}
