// The movement-type entry form TForm14: its boxes, statements and messages.
#include "movementtypeentry.h"

#include "data.h"
#include "movementtypelist.h"

TForm14* Form14 = nullptr;

namespace {

MasterEntryMember movementTypeEntry()
{
    MasterEntryMember s;
    s.formName = QStringLiteral("Form14");
    s.caption = QStringLiteral("Mozgásnem bevitel");
    s.clientSize = {513, 146};
    s.table = QStringLiteral("mnem");
    s.listQuery = Data->ZQ50;
    s.workQuery = Data->ZQ51;
    s.idColumn = QStringLiteral("IDm");
    s.codeColumn = QStringLiteral("mkod");
    s.boxes = {{"Edit3", "Mozgásnem kódja", "mnem", "Nincs megadva a mnem!"},
               {"Edit4", "Megnevezése", "mnev", "Nincs megadva a megnevezés!"},
               {"Edit5", "+ /- ", "mncs", "Nincs megadva a +/-!"}};
    s.mode = &SharedState::MovementTypeEntryMode;
    s.newMode = QStringLiteral("Új mozgásnem");
    s.searchValue = &SharedState::SelectedMovementType;
    s.insertSql = QStringLiteral("INSERT INTO mnem ( mkod, mnem, mnev, mncs ) VALUES ( :p1, :p2, :p3, :p4 )");
    s.insertParams = {"Edit2", "Edit3", "Edit4", "Edit5"};
    s.updateSql = QStringLiteral("UPDATE mnem SET mnem = :p1, mnev = :p2, mncs = :p3 WHERE IDm = :p0");
    s.updateParams = {"Edit3", "Edit4", "Edit5"};
    s.messages = {"Hiba141 a mnem módosítás Edit-ben való megjelenitésekor!",
                  "Hiba142: Újban, INSERT a mnemben ", "Hiba143: Módositás, Update a menmben ",
                  "Hiba144: az append vagy edit közben a mnemben!"};
    s.listOrder = {"mnem", "Mnem"};
    s.listLocateColumn = QStringLiteral("MKOD");
    s.list = [] { return static_cast<MasterList*>(Form13); };
    return s;
}

}

TForm14::TForm14(QWidget* parent) : MasterEntry(movementTypeEntry(), parent) {}
