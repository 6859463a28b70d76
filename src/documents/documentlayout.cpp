// The line form's and the viewer's common layout, and the reading of the register's current line.
#include "documentlayout.h"

#include "data.h"
#include "dberror.h"
#include "documentqueries.h"
#include "failurereason.h"
#include "platform.h"

#include <QLineEdit>

DocumentLineLayout::DocumentLineLayout(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
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
    return {Edit32, Edit36, Edit37, Edit11, Edit35, Edit10, Edit12, Edit33, Edit34,
            Edit13, Edit14, Edit15, Edit16, Edit17, Edit18, Edit19, Edit20, Edit24};
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

    showMovementType(
        openWith(*Data->ZQ51, QStringLiteral("SELECT * FROM mnem WHERE mnem = :p1"), text("BMNEM")));
    showItem(
        openWith(*Data->ZQ21, QStringLiteral("SELECT * FROM cikk WHERE cszam = :p1"), text("BCIKKSZAM")));

    Edit4->setText(text("BTETEL"));
    Edit5->setText(text("BSZOVEG"));
    Edit6->setText(text("BEREDETI"));
    Edit7->setText(text("BMEGJEGY"));
    Edit13->setText(text("BRKOD"));

    const Query& warehouse =
        openWith(*Data->ZQ41, QStringLiteral("SELECT * FROM raktar WHERE rkod = :p1"), text("BRKOD"));
    Edit8->setText(warehouse.fieldByName(QStringLiteral("rnev")).asString());

    Edit15->setText(text("BPKOD"));
    const Query& partner =
        openWith(*Data->ZQ31, QStringLiteral("SELECT * FROM partner WHERE pkod = :p1"), text("BPKOD"));
    Edit9->setText(partner.fieldByName(QStringLiteral("pnev")).asString());
    Edit14->setText(partnerAddress(partner));

    Edit21->setText(figure("BMENOV"));
    Edit22->setText(figure("BEAR"));
    Edit23->setText(figure("BERTNOV"));
    Edit25->setText(figure("BMECSOK"));
    Edit26->setText(figure("BEAR"));
    Edit27->setText(figure("BERTCSOK"));
}
