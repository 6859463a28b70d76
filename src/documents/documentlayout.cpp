// The line form's and the viewer's common layout, and the reading of the register's current line.
#include "documentlayout.h"

#include "buddies.h"
#include "data.h"
#include "dberror.h"
#include "documentqueries.h"
#include "failurereason.h"
#include "platform.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

DocumentLineLayout::DocumentLineLayout(QWidget* parent) : QDialog(parent)
{
    Label1 = addLabel("Label1", QStringLiteral("Bizonylat kelte:"));
    Edit1 = addBox("Edit1");
    Label18 = addLabel("Label18", QStringLiteral("Bizonylatszám:"));
    Edit32 = addBox("Edit32");
    Edit36 = addBox("Edit36", QStringLiteral("Bizonylat kódja"));
    Edit37 = addBox("Edit37", QStringLiteral("Bizonylat azonosítója"));
    Button1 = addButton("Button1", QStringLiteral("Mozgásnem"));
    Edit2 = addBox("Edit2", QStringLiteral("Mozgásnem"));
    Edit11 = addBox("Edit11", QStringLiteral("Mozgásnem neve"));
    Edit35 = addBox("Edit35", QStringLiteral("Mozgásnem előjele"));
    Edit10 = addBox("Edit10", QStringLiteral("Mozgásnem kódja"));
    Button2 = addButton("Button2", QStringLiteral("Cikkszám"));
    Edit3 = addBox("Edit3", QStringLiteral("Cikkszám"));
    Edit12 = addBox("Edit12", QStringLiteral("Cikk megnevezése"));
    Edit33 = addBox("Edit33", QStringLiteral("Cikk mérete"));
    Edit34 = addBox("Edit34", QStringLiteral("Cikk kódja"));
    Button4 = addButton("Button4", QStringLiteral("Raktár"));
    Edit8 = addBox("Edit8", QStringLiteral("Raktár"));
    Edit13 = addBox("Edit13", QStringLiteral("Raktár kódja"));
    Button5 = addButton("Button5", QStringLiteral("Partner"));
    Edit9 = addBox("Edit9", QStringLiteral("Partner"));
    Edit14 = addBox("Edit14", QStringLiteral("Partner címe"));
    Edit15 = addBox("Edit15", QStringLiteral("Partner kódja"));
    Label2 = addLabel("Label2", QStringLiteral("Tételszám:"));
    Edit4 = addBox("Edit4");
    Label6 = addLabel("Label6", QStringLiteral("Szöveg:"));
    Edit5 = addBox("Edit5");
    Label7 = addLabel("Label7", QStringLiteral("Eredeti bizonylat"));
    Edit6 = addBox("Edit6");
    Label5 = addLabel("Label5", QStringLiteral("Megjegyzés:"));
    Edit7 = addBox("Edit7");
    Button3 = addButton("Button3", QStringLiteral("OK"));
    Button6 = addButton("Button6", QStringLiteral("Mégsem"));
    setBuddies(this, {{"Label1", "Edit1"}, {"Label18", "Edit32"}, {"Label2", "Edit4"}, {"Label6", "Edit5"},
                      {"Label7", "Edit6"}, {"Label5", "Edit7"}});

    auto* fields = new QGridLayout;
    fields->setVerticalSpacing(2);
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(Edit1, 0, 1);
    fields->addWidget(Label18, 0, 2);
    fields->addWidget(Edit32, 0, 3);
    fields->addWidget(Edit36, 0, 4);
    fields->addWidget(Edit37, 0, 5);
    fields->addWidget(Button1, 1, 0);
    fields->addWidget(Edit2, 1, 1);
    fields->addWidget(Edit11, 1, 2, 1, 2);
    fields->addWidget(Edit35, 1, 4);
    fields->addWidget(Edit10, 1, 5);
    fields->addWidget(Button2, 2, 0);
    fields->addWidget(Edit3, 2, 1);
    fields->addWidget(Edit12, 2, 2, 1, 2);
    fields->addWidget(Edit33, 2, 4);
    fields->addWidget(Edit34, 2, 5);
    fields->addWidget(Button4, 3, 0);
    fields->addWidget(Edit8, 3, 1, 1, 4);
    fields->addWidget(Edit13, 3, 5);
    fields->addWidget(Button5, 4, 0);
    fields->addWidget(Edit9, 4, 1);
    fields->addWidget(Edit14, 4, 2, 1, 3);
    fields->addWidget(Edit15, 4, 5);
    const std::pair<QLabel*, QLineEdit*> texts[] = {{Label2, Edit4}, {Label6, Edit5}, {Label7, Edit6}, {Label5, Edit7}};
    int row = 5;
    for (const auto& [label, box] : texts) {
        fields->addWidget(label, row, 0);
        fields->addWidget(box, row++, 1, 1, 5);
    }
    fields->setColumnStretch(1, 2);
    fields->setColumnStretch(2, 2);
    fields->setColumnStretch(3, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Button3);
    buttons->addWidget(Button6);
    buttons->addStretch();

    auto* top = new QHBoxLayout;
    top->addLayout(fields, 1);
    top->addLayout(buttons);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    auto* figures = new QGridLayout(Panel1);
    figures->setVerticalSpacing(2);
    buildFigures(figures);

    auto* form = new QVBoxLayout(this);
    form->addLayout(top);
    form->addWidget(Panel1);

}

QLineEdit* DocumentLineLayout::addBox(const char* name, const QString& accessibleName)
{
    auto* box = new QLineEdit(this);
    box->setObjectName(QLatin1String(name));
    if (!accessibleName.isEmpty())
        box->setAccessibleName(accessibleName);
    return box;
}

QLabel* DocumentLineLayout::addLabel(const char* name, const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    return label;
}

QPushButton* DocumentLineLayout::addButton(const char* name, const QString& text)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

void DocumentLineLayout::buildFigures(QGridLayout* grid)
{
    const QString heads[] = {QStringLiteral("Megnevezés"), QStringLiteral("Varnel"), QStringLiteral("Növekedés"),
                             QStringLiteral("Csökkenés")};
    QLabel** headBoxes[] = {&Panel4, &Panel5, &Panel6, &Panel7};
    for (int column = 0; column < 4; ++column) {
        auto* head = new QLabel(heads[column], Panel1);
        head->setObjectName(QStringLiteral("Panel%1").arg(column + 4));
        head->setFrameShape(QFrame::Panel);
        head->setAlignment(Qt::AlignCenter);
        *headBoxes[column] = head;
        grid->addWidget(head, 0, column);
    }
    const QString rows[] = {QStringLiteral("M.egység"), QStringLiteral("Mennyiség"), QStringLiteral("Egységár"),
                            QStringLiteral("Érték")};
    QLineEdit** boxes[3][4] = {{&Edit16, &Edit17, &Edit18, &Edit19},
                               {&Edit20, &Edit21, &Edit22, &Edit23},
                               {&Edit24, &Edit25, &Edit26, &Edit27}};
    for (int row = 0; row < 4; ++row) {
        auto* label = new QLabel(rows[row], Panel1);
        label->setObjectName(QStringLiteral("Label%1").arg(row + 8));
        grid->addWidget(label, row + 1, 0);
        for (int column = 0; column < 3; ++column) {
            const int number = 16 + column * 4 + row;
            const QByteArray name = QStringLiteral("Edit%1").arg(number).toLatin1();
            QLineEdit* box = addBox(name.constData(), heads[column + 1] + QLatin1Char(' ') + rows[row]);
            box->setParent(Panel1);
            *boxes[column][row] = box;
            grid->addWidget(box, row + 1, column + 1);
        }
    }
}

QList<QWidget*> DocumentLineLayout::increaseColumn() const
{
    return {Panel6, Edit20, Edit21, Edit22, Edit23};
}

QList<QWidget*> DocumentLineLayout::decreaseColumn() const
{
    return {Panel7, Edit24, Edit25, Edit26, Edit27};
}

QList<QWidget*> DocumentLineLayout::stockColumn() const
{
    return {Panel5, Edit16, Edit17, Edit18, Edit19};
}

void DocumentLineLayout::showFigureColumn(bool increase)
{
    for (QWidget* widget : increaseColumn())
        widget->setVisible(increase);
    for (QWidget* widget : decreaseColumn())
        widget->setVisible(!increase);
}

QList<QLineEdit*> DocumentLineLayout::displayBoxes() const
{
    return {Edit32, Edit36, Edit37, Edit11, Edit35, Edit10, Edit12, Edit33, Edit34, Edit13, Edit14, Edit15,
            Edit16, Edit17, Edit18, Edit19, Edit20, Edit24};
}

QList<QLineEdit*> DocumentLineLayout::allBoxes() const
{
    return findChildren<QLineEdit*>();
}

void DocumentLineLayout::showMovementType(const Query& row)
{
    Edit10->setText(row.fieldByName(QStringLiteral("mkod")).asString());
    Edit11->setText(row.fieldByName(QStringLiteral("mnev")).asString());
    Edit35->setText(row.fieldByName(QStringLiteral("mncs")).asString());
}

// A removed item leaves every item box empty, the number included.
void DocumentLineLayout::showItem(const Query& row)
{
    Edit3->setText(row.fieldByName(QStringLiteral("cszam")).asString());
    Edit34->setText(row.fieldByName(QStringLiteral("ckod")).asString());
    Edit12->setText(row.fieldByName(QStringLiteral("cmegn")).asString());
    Edit33->setText(row.fieldByName(QStringLiteral("cmeret")).asString());
    const QString unit = row.fieldByName(QStringLiteral("cme")).asString();
    for (QLineEdit* box : {Edit16, Edit20, Edit24})
        box->setText(unit);
}

bool DocumentLineLayout::loadRegisterLine(bool requireRow)
{
    try {
        if (requireRow && (!Data->ZQ10->isOpen() || Data->ZQ10->currentRow() < 0))
            throw DbError(QStringLiteral("Nincs kiválasztott sor."));
        readRegisterLine();
        return true;
    } catch (const std::exception& error) {
        Platform::instance().information(
            withReason(QStringLiteral("Hiba181 a bizmozg módosítás Edit-ben való megjelenitésekor!"), error));
        return false;
    }
}

void DocumentLineLayout::readRegisterLine()
{
    const Query& line = *Data->ZQ10;
    auto text = [&line](const char* column) { return line.fieldByName(QLatin1String(column)).asString(); };
    auto figure = [&line](const char* column) {
        const Field value = line.fieldByName(QLatin1String(column));
        return value.isNull() ? QString() : value.asDecimal().toString();
    };

    Edit32->setText(text("BBSZAM"));
    Edit36->setText(text("BKOD"));
    Edit37->setText(text("IDB"));
    Edit1->setText(text("BBIZDATUM"));
    Edit2->setText(text("BMNEM"));

    showMovementType(openWith(*Data->ZQ51, QStringLiteral("SELECT * FROM mnem WHERE mnem = :p1"), text("BMNEM")));
    showItem(openWith(*Data->ZQ21, QStringLiteral("SELECT * FROM cikk WHERE cszam = :p1"), text("BCIKKSZAM")));

    Edit4->setText(text("BTETEL"));
    Edit5->setText(text("BSZOVEG"));
    Edit6->setText(text("BEREDETI"));
    Edit7->setText(text("BMEGJEGY"));
    Edit13->setText(text("BRKOD"));

    const Query& warehouse = openWith(*Data->ZQ41, QStringLiteral("SELECT * FROM raktar WHERE rkod = :p1"), text("BRKOD"));
    Edit8->setText(warehouse.fieldByName(QStringLiteral("rnev")).asString());

    Edit15->setText(text("BPKOD"));
    const Query& partner = openWith(*Data->ZQ31, QStringLiteral("SELECT * FROM partner WHERE pkod = :p1"), text("BPKOD"));
    Edit9->setText(partner.fieldByName(QStringLiteral("pnev")).asString());
    Edit14->setText(partnerAddress(partner));

    Edit21->setText(figure("BMENOV"));
    Edit22->setText(figure("BEAR"));
    Edit23->setText(figure("BERTNOV"));
    Edit25->setText(figure("BMECSOK"));
    Edit26->setText(figure("BEAR"));
    Edit27->setText(figure("BERTCSOK"));
}
