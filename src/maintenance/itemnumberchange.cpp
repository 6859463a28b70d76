// The item number change TForm32: picking the old and the new item, collecting the old item's lines
// into MUNKA and the check list, and rewriting the checked lines.
#include "itemnumberchange.h"

#include "buddies.h"
#include "columnwidths.h"
#include "data.h"
#include "failurereason.h"
#include "masterpick.h"
#include "platform.h"
#include "saveunit.h"
#include "sharedstate.h"
#include "ui_itemnumberchange.h"

TForm32* Form32 = nullptr;

namespace {

const QString NoOldItem = QStringLiteral("Hiba ! Régi cikkszám nincs megadva. ");
const QString DeleteFailed = QStringLiteral("Hiba: munka DELETE törlésekor");
const QString CollectFailed = QStringLiteral("Hiba: cikkszám INSERT a munka-ba ");
const QString NoNewItem = QStringLiteral("Hiba ! Új cikkszám nincs kiválasztva. ");
const QString ReplaceFailed = QStringLiteral("Hiba: Csere, Update a bizmozg-ban ");
const QString Replaced = QStringLiteral("A csere végrehajtva. ");
const QString MemoPrefix = QStringLiteral("Csere elött:  ");

QString entryText(const QString& documentNumber, const QString& itemNumber, const QString& batch)
{
    return documentNumber + QStringLiteral("  ") +
           (QStringLiteral("  Régi cikkszám: ") + itemNumber).left(50) + QStringLiteral("  ") +
           (QStringLiteral("  Tételszám: ") + batch).left(100);
}

constexpr int DocumentNumberRole = Qt::UserRole;

}

TForm32::TForm32(QWidget* parent) : QDialog(parent), ui(new Ui::ItemNumberChange)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Form32"));
    Button1 = ui->Button1;
    Button2 = ui->Button2;
    Button3 = ui->Button3;
    Button4 = ui->Button4;
    Button5 = ui->Button5;
    Button6 = ui->Button6;
    Button8 = ui->Button8;
    Edit1 = ui->Edit1;
    Edit2 = ui->Edit2;
    Edit3 = ui->Edit3;
    Edit4 = ui->Edit4;
    Edit5 = ui->Edit5;
    Edit6 = ui->Edit6;
    Edit7 = ui->Edit7;
    Edit8 = ui->Edit8;
    Label5 = ui->Label5;
    CheckListBox1 = ui->CheckListBox1;
    setBuddies(this, {{"Label1", "Edit1"},
                      {"Label2", "Edit3"},
                      {"Label3", "Edit4"},
                      {"Label4", "Edit5"},
                      {"Label5", "CheckListBox1"}});
    limitToColumn(Edit1, QStringLiteral("BIZMOZG"), QStringLiteral("BCIKKSZAM"));
    limitToColumn(Edit2, QStringLiteral("BIZMOZG"), QStringLiteral("BCIKKSZAM"));

    connect(Button4, &QPushButton::clicked, this, [this] { pickItem(Edit1, Edit3, Edit4, Edit5); });
    connect(Button5, &QPushButton::clicked, this, [this] { pickItem(Edit2, Edit6, Edit7, Edit8); });
    connect(Button6, &QPushButton::clicked, this, &TForm32::collect);
    connect(Button8, &QPushButton::clicked, this, [this] { setAllChecked(true); });
    connect(Button3, &QPushButton::clicked, this, [this] { setAllChecked(false); });
    connect(Button1, &QPushButton::clicked, this, &TForm32::replace);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

TForm32::~TForm32()
{
    delete ui;
}

// The list is left however the person leaves it; its current row is the pick. A text that begins
// below "A" (a digit, a blank, most punctuation, or nothing) is looked up as an item number.
void TForm32::pickItem(QLineEdit* number, QLineEdit* name, QLineEdit* code, QLineEdit* batch)
{
    pickIntoBoxes(itemPicker(), number->text(), isCodeText(number->text()), this,
                  {{"cszam", number}, {"cmegn", name}, {"ckod", code}, {"cbizonylat", batch}});
    if (number == Edit2)
        newItemNumber_ = Edit2->text();
}

// The lines get one item's number, code and batch text. A text typed over the picked number (or without
// a pick) is looked up exactly, by number or by name as a pick would take it, and its item shown; a
// text that matches no item leaves no item chosen.
bool TForm32::takeNewItem()
{
    const QString typed = Edit2->text();
    if (typed == newItemNumber_ && !Edit7->text().isEmpty())
        return true;
    for (QLineEdit* box : {Edit6, Edit7, Edit8})
        box->clear();
    newItemNumber_.clear();
    const Query* row =
        typed.trimmed().isEmpty() ? nullptr : findMaster(itemNumberLookup(), typed, isCodeText(typed));
    if (!row)
        return false;
    showInBoxes(*row, {{"cszam", Edit2}, {"cmegn", Edit6}, {"ckod", Edit7}, {"cbizonylat", Edit8}});
    newItemNumber_ = Edit2->text();
    return !Edit7->text().isEmpty();
}

// The emptying is undone with a failed copy, so the list then shows what MUNKA held before.
void TForm32::collect()
{
    if (Edit1->text().isEmpty()) {
        Platform::instance().information(NoOldItem);
        return;
    }
    Query& work = *Data->ZQ90;
    try {
        work.setSql(QStringLiteral("DELETE FROM munka"));
        work.execute();
    } catch (const std::exception& error) {
        Platform::instance().information(withReason(DeleteFailed, error));
    }
    const QString oldNumber = Edit1->text();
    saveInOneUnit({{CollectFailed,
                    [&] {
                        work.clearSql();
                        work.addSql(
                            QStringLiteral("INSERT INTO munka ( Uckod, Ucikkszam, s_Bszam, s_bizonylat)"));
                        work.addSql(QStringLiteral("SELECT       bCkod, bCikkszam,  bBszam,      bTetel"));
                        work.addSql(QStringLiteral("FROM bizmozg"));
                        work.addSql(QStringLiteral("WHERE  bCikkszam = :p1"));
                        work.paramByName(QStringLiteral("p1")).setText(oldNumber);
                        work.execute();
                    }}},
                  CollectFailed);
    showCollected();
}

void TForm32::showCollected()
{
    Query& work = *Data->ZQ90;
    work.clearSql();
    work.addSql(QStringLiteral("SELECT  *"));
    work.addSql(QStringLiteral("FROM munka"));
    work.addSql(QStringLiteral("ORDER BY s_Bszam"));
    work.open();
    CheckListBox1->clear();
    for (; !work.eof(); work.next()) {
        const QString number = work.fieldByName(QStringLiteral("s_Bszam")).asString();
        auto* item =
            new QListWidgetItem(entryText(number, work.fieldByName(QStringLiteral("Ucikkszam")).asString(),
                                          work.fieldByName(QStringLiteral("s_bizonylat")).asString()),
                                CheckListBox1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setData(DocumentNumberRole, number);
    }
}

void TForm32::setAllChecked(bool checked)
{
    for (int i = 0; i < CheckListBox1->count(); ++i)
        CheckListBox1->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

// Each checked line is its own unit of work: a failing one is rolled back alone and the rest go on.
void TForm32::replace()
{
    bool chosen = false;
    try {
        chosen = takeNewItem();
    } catch (const std::exception& error) {
        Platform::instance().information(withReason(NoNewItem, error));
        return;
    }
    if (!chosen) {
        Platform::instance().information(NoNewItem);
        return;
    }
    Query& work = *Data->ZQ90;
    for (int i = 0; i < CheckListBox1->count(); ++i) {
        const QListWidgetItem* item = CheckListBox1->item(i);
        if (item->checkState() != Qt::Checked)
            continue;
        saveInOneUnit(
            {{ReplaceFailed,
              [&] {
                  work.clearSql();
                  work.addSql(QStringLiteral("UPDATE bizmozg"));
                  work.addSql(QStringLiteral("SET  bckod     = :p1,"));
                  work.addSql(QStringLiteral("bCikkszam = :p2,"));
                  work.addSql(QStringLiteral("bTetel    = :p3,"));
                  work.addSql(QStringLiteral("bmemo     = :p4"));
                  work.addSql(QStringLiteral("WHERE bBszam    = :p0"));
                  work.paramByName(QStringLiteral("p0")).setText(item->data(DocumentNumberRole).toString());
                  work.paramByName(QStringLiteral("p1")).setText(Edit7->text());
                  work.paramByName(QStringLiteral("p2")).setText(Edit2->text());
                  work.paramByName(QStringLiteral("p3")).setText(Edit8->text());
                  work.paramByName(QStringLiteral("p4")).setText(MemoPrefix + item->text());
                  work.execute();
              }}},
            ReplaceFailed);
    }
    Platform::instance().information(Replaced);
    CheckListBox1->clear();
}
