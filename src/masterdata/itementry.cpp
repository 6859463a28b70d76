// The item entry form TForm8: its boxes, statements and messages, the digits-only item number box and
// the warehouse lookup. A modification never changes the item's code.
#include "itementry.h"

#include "columnwidths.h"
#include "data.h"
#include "itemlist.h"
#include "keyfilters.h"
#include "warehouselist.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

TForm8* Form8 = nullptr;

namespace {

MasterEntryMember itemEntry()
{
    MasterEntryMember s;
    s.formName = QStringLiteral("Form8");
    s.caption = QStringLiteral("Cikk bevitel");
    s.clientSize = {507, 281};
    s.table = QStringLiteral("cikk");
    s.listQuery = Data->ZQ20;
    s.workQuery = Data->ZQ21;
    s.idColumn = QStringLiteral("IDc");
    s.codeColumn = QStringLiteral("ckod");
    s.boxes = {{"Edit3", "Cikkszám", "cszam", "Nincs megadva a cikkszám!"},
               {"Edit4", "Megnevezés", "cmegn", ""},
               {"Edit5", "Méret", "cmeret", ""},
               {"Edit10", "Tételszám", "cbizonylat", ""},
               {"Edit11", "Fajta", "cfajta", ""},
               {"Edit12", "Besorolás", "cbesor", ""},
               {"Edit6", "M.egység", "cme", ""},
               {"Edit7", "VTSZ", "cvtsz", ""}};
    s.boxesFirst = true;
    s.mode = &SharedState::ItemEntryMode;
    s.newMode = QStringLiteral("Új cikk");
    s.searchValue = &SharedState::SelectedItemNumber;
    s.insertSql = QStringLiteral(
        "INSERT INTO cikk ( ckod, cszam, cmegn, cmeret, cme, cvtsz, crkod, cbizonylat, cfajta, cbesor ) "
        "VALUES ( :p1, :p2, :p3, :p4, :p5, :p6, :p7, :p8, :p9, :p10)");
    s.insertParams = {"Edit2", "Edit3", "Edit4",  "Edit5",  "Edit6",
                      "Edit7", "Edit9", "Edit10", "Edit11", "Edit12"};
    s.updateSql = QStringLiteral(
        "UPDATE cikk SET cszam = :p1, cmegn = :p2, cmeret = :p3, cme = :p4, cvtsz = :p5, crkod = :p6, "
        "cbizonylat = :p7, cfajta = :p8, cbesor = :p9 WHERE IDc = :p0");
    s.updateParams = {"Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit9", "Edit10", "Edit11", "Edit12"};
    s.messages = {"Hiba81 a cikk módosítás Edit-ben való megjelenitésekor!",
                  "Hiba82: Újban, INSERT a cikkben ", "Hiba83: Módositás, Update a cikkben ",
                  "Hiba84: az append vagy edit közben a cikkben!"};
    s.listOrder = {"cmegn", "Megnevezés"};
    s.listLocateColumn = QStringLiteral("CKOD");
    s.list = [] { return static_cast<MasterList*>(Form7); };
    return s;
}

}

TForm8::TForm8(QWidget* parent)
    : MasterEntry(itemEntry(), parent), Button1(new QPushButton(QStringLiteral("Raktár"), this)),
      Edit8(new QLineEdit(this)), Edit9(new QLineEdit(this))
{
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);
    Edit8->setObjectName(QStringLiteral("Edit8"));
    Edit9->setObjectName(QStringLiteral("Edit9"));
    makeReadOnly(Edit9);
    limitToColumn(Edit8, QStringLiteral("raktar"), QStringLiteral("rnev"));
    QGridLayout* grid = boxLayout();
    const int row = grid->rowCount();
    grid->addWidget(Button1, row, 0);
    grid->addWidget(Edit8, row, 1, 1, 2);
    grid->addWidget(Edit9, row, 3);
    setTabOrder(lastBox(), Button1);
    setTabOrder(Button1, Edit8);
    setTabOrder(Edit8, Edit9);
    installDigitsFilter(box(QStringLiteral("Edit3")));
    connect(Button1, &QPushButton::clicked, this, &TForm8::lookUpWarehouse);
}

void TForm8::loadExtra()
{
    const QString code = member().listQuery->fieldByName(QStringLiteral("crkod")).asString();
    Edit9->setText(code);
    // The warehouse work query, not the item's: ZQ21 keeps what the item statements left in it.
    Query& warehouse = *Data->ZQ41;
    warehouse.setSql(QStringLiteral("SELECT * FROM raktar WHERE rkod = :p1"));
    warehouse.paramByName(QStringLiteral("p1")).setText(code);
    warehouse.open();
    Edit8->setText(warehouse.fieldByName(QStringLiteral("rnev")).asString());
}

// The typed name is only the search text; the code saved is the one of the warehouse picked.
void TForm8::lookUpWarehouse()
{
    shared().SelectedWarehouseCode = Edit8->text();
    shared().LookupFlag = QStringLiteral("x");
    runForm(Form11, this);
    Edit8->setText(Data->ZQ40->fieldByName(QStringLiteral("rnev")).asString());
    Edit9->setText(Data->ZQ40->fieldByName(QStringLiteral("rkod")).asString());
}
