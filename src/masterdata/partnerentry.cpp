// The partner entry form TForm10: its boxes, statements and messages. A modification never changes
// the partner's code.
#include "partnerentry.h"

#include "data.h"
#include "partnerlist.h"

TForm10* Form10 = nullptr;

namespace {

MasterEntryMember partnerEntry()
{
    MasterEntryMember s;
    s.formName = QStringLiteral("Form10");
    s.caption = QStringLiteral("Partner bevitel");
    s.clientSize = {513, 185};
    s.table = QStringLiteral("partner");
    s.listQuery = Data->ZQ30;
    s.workQuery = Data->ZQ31;
    s.idColumn = QStringLiteral("IDp");
    s.codeColumn = QStringLiteral("pkod");
    s.boxes = {{"Edit3", "Név", "pNev", "Nincs megadva a név!"},
               {"Edit4", "Ir.szám", "pIrszam", ""},
               {"Edit5", "Helységnév", "pHelyseg", ""},
               {"Edit6", "Utca", "pUtca", ""},
               {"Edit7", "Bank", "pBank", ""}};
    s.mode = &SharedState::PartnerEntryMode;
    s.newMode = QStringLiteral("Új partner");
    s.searchValue = &SharedState::SelectedPartnerCode;
    s.insertSql = QStringLiteral("INSERT INTO partner ( pkod, pnev, pirszam, phelyseg, putca, pbank) VALUES "
                                 "( :p1, :p2, :p3, :p4, :p5, :p6)");
    s.insertParams = {"Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7"};
    s.updateSql = QStringLiteral("UPDATE partner SET pnev = :p1, pirszam = :p2, phelyseg = :p3, putca = :p4, "
                                 "pbank = :p5 WHERE IDp = :p0");
    s.updateParams = {"Edit3", "Edit4", "Edit5", "Edit6", "Edit7"};
    s.messages = {"Hiba101 a partner módosítás Edit-ben való megjelenitésekor!",
                  "Hiba102: Újban, INSERT a partnerben ", "Hiba13: Módositás, Update a partnerben ",
                  "Hiba104: az append vagy edit közben a partnerben!"};
    s.listOrder = {"pnev", "Név"};
    s.listLocateColumn = QStringLiteral("PKOD");
    s.list = [] { return static_cast<MasterList*>(Form9); };
    return s;
}

}

TForm10::TForm10(QWidget* parent) : MasterEntry(partnerEntry(), parent) {}
