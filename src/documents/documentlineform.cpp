// The document line form: stages, lookups, stock figures, the value by double-click and the keys.
#include "documentlineform.h"

#include "columnwidths.h"
#include "data.h"
#include "datebox.h"
#include "dberror.h"
#include "documentcounter.h"
#include "documentposting.h"
#include "documentqueries.h"
#include "failurereason.h"
#include "focusexit.h"
#include "formats.h"
#include "keyfilters.h"
#include "platform.h"
#include "sharedstate.h"

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TForm18* Form18 = nullptr;

TForm18::TForm18(QWidget* parent) : DocumentLineLayout(parent)
{
    setObjectName(QStringLiteral("Form18"));
    setWindowTitle(QStringLiteral("Bizonylat bevitel"));
    setFixedSize(760, 470);

    for (QLineEdit* box : displayBoxes())
        makeDisplayOnly(box);
    for (QWidget* widget : laterFields())
        widget->hide();
    for (QWidget* widget : increaseColumn() + decreaseColumn())
        widget->hide();

    // A box takes at most what its column holds; a box that also takes a name to look up takes what
    // the name's column holds.
    limitToColumn(Edit2, QStringLiteral("MNEM"), QStringLiteral("MNEV"));
    limitToColumn(Edit3, QStringLiteral("CIKK"), QStringLiteral("CMEGN"));
    limitToColumn(Edit8, QStringLiteral("RAKTAR"), QStringLiteral("RNEV"));
    limitToColumn(Edit9, QStringLiteral("PARTNER"), QStringLiteral("PNEV"));
    limitToColumn(Edit4, QStringLiteral("BIZMOZG"), QStringLiteral("BTETEL"));
    limitToColumn(Edit5, QStringLiteral("BIZMOZG"), QStringLiteral("BSZOVEG"));
    limitToColumn(Edit6, QStringLiteral("BIZMOZG"), QStringLiteral("BEREDETI"));
    limitToColumn(Edit7, QStringLiteral("BIZMOZG"), QStringLiteral("BMEGJEGY"));

    installDateBox(Edit1);
    for (QLineEdit* box : {Edit21, Edit22, Edit23, Edit25, Edit26, Edit27})
        installNumberFilter(box);
    Edit1->setFocus();
    installEnterFocusMovement(this);
    for (QLineEdit* box : {Edit2, Edit3, Edit8, Edit9, Edit7, Edit23, Edit27})
        box->installEventFilter(this);

    connect(Button1, &QPushButton::clicked, this, &TForm18::pickMovementType);
    connect(Button2, &QPushButton::clicked, this, &TForm18::pickItem);
    connect(Button4, &QPushButton::clicked, this, &TForm18::pickWarehouse);
    connect(Button5, &QPushButton::clicked, this, &TForm18::pickPartner);
    connect(Button3, &QPushButton::clicked, this, &TForm18::save);
    connect(Button6, &QPushButton::clicked, this, &QDialog::reject);
}

bool TForm18::isNew() const
{
    return shared().DocumentMode == QStringLiteral("Új bizonylat");
}

QList<QWidget*> TForm18::laterFields() const
{
    return {Button3, Button2, Edit3, Edit12,  Edit33, Edit34, Label2,  Edit4, Label6, Edit5, Label7,
            Edit6,   Label5,  Edit7, Button4, Edit8,  Edit13, Button5, Edit9, Edit14, Edit15};
}

void TForm18::makeDisplayOnly(QLineEdit* box)
{
    box->setReadOnly(true);
    box->setEnabled(false);
    box->setFocusPolicy(Qt::NoFocus);
    QPalette grey = box->palette();
    grey.setColor(QPalette::Base, grey.color(QPalette::Window));
    box->setPalette(grey);
}

void TForm18::showEvent(QShowEvent* event)
{
    DocumentLineLayout::showEvent(event);
    if (!shown_) {
        shown_ = true;
        Edit1->setFocus();
        if (isNew())
            openNew();
    }
}

void TForm18::openNew()
{
    Edit1->setText(Formats::formatDate(QDate::currentDate()));
    Edit20->clear();
    Edit24->clear();
    for (QLineEdit* box : {Edit21, Edit22, Edit23, Edit25, Edit26, Edit27})
        box->setText(QStringLiteral("0"));
    Edit1->selectAll();
    try {
        Edit32->setText(QString::number(DocumentCounter::next()));
    } catch (const DbError& error) {
        Edit32->clear();
        Platform::instance().information(failureReason(error));
    }
}

bool TForm18::LoadDocumentLine()
{
    setWindowTitle(shared().DocumentMode);
    // An empty list has no line to change: saving it would update nothing and report success.
    return loadRegisterLine(true);
}

void TForm18::done(int result)
{
    closing_ = true;
    DocumentLineLayout::done(result);
}

void TForm18::FeltoltBizmozg()
{
    const bool increase = isIncrease(Edit35->text());
    showFigureColumn(increase);
    for (QLineEdit* box : increase ? QList<QLineEdit*>{Edit25, Edit27} : QList<QLineEdit*>{Edit21, Edit23})
        box->setText(QStringLiteral("0"));
    for (QWidget* widget : laterFields())
        widget->show();
}

bool TForm18::eventFilter(QObject* watched, QEvent* event)
{
    if (isFocusExit(event) && !closing_ && isVisible()) {
        left(watched, static_cast<QFocusEvent*>(event)->reason());
    } else if (event->type() == QEvent::MouseButtonDblClick && watched == Edit23) {
        fillValue(Edit23, Edit21, Edit22);
    } else if (event->type() == QEvent::MouseButtonDblClick && watched == Edit27) {
        fillValue(Edit27, Edit25, Edit26);
    }
    return DocumentLineLayout::eventFilter(watched, event);
}

void TForm18::left(QObject* box, Qt::FocusReason reason)
{
    if (box == Edit2)
        leaveMovementType();
    else if (box == Edit3)
        leaveItem();
    else if (box == Edit8)
        leaveWarehouse();
    else if (box == Edit9)
        leavePartner();
    else if (box == Edit7)
        (isIncrease(Edit35->text()) ? Edit21 : Edit25)->setFocus(Qt::TabFocusReason);
    else if ((box == Edit23 || box == Edit27) && reason == Qt::TabFocusReason)
        // After the last figure comes saving, not a second pass through the date and the lookups.
        Button3->setFocus(Qt::TabFocusReason);
}

void TForm18::leaveMovementType()
{
    const QString text = Edit2->text();
    QString refusal;
    if (withoutTrailingBlanks(text).isEmpty())
        refusal = QStringLiteral("Nincs megadva a mozgásnem!");
    else if (text.size() > 3)
        refusal = QStringLiteral("A mozgásnem hossza több mint három karakter!");
    if (!refusal.isEmpty()) {
        Platform::instance().information(refusal);
        Edit2->setFocus();
        return;
    }
    fillMovementType(lookUpMaster(movementTypeLookup(), text, isCodeText(text), this));
    FeltoltBizmozg();
    Edit3->setFocus(Qt::TabFocusReason);
}

void TForm18::pickMovementType()
{
    const QString text = Edit2->text();
    fillMovementType(pickMaster(movementTypeLookup(), text, isCodeText(text), this));
    FeltoltBizmozg();
}

void TForm18::fillMovementType(const Query& row)
{
    Edit2->setText(row.fieldByName(QStringLiteral("mnem")).asString());
    showMovementType(row);
    appendToText(Edit11->text());
}

// A second pass through the same lookup must not write the name twice.
void TForm18::appendToText(const QString& name)
{
    const QString text = Edit5->text().trimmed();
    const QString word = name.trimmed();
    if (word.isEmpty() || text == word || text.endsWith(QLatin1Char(' ') + word))
        return;
    Edit5->setText((text + QLatin1Char(' ') + word).trimmed());
}

void TForm18::leaveItem()
{
    const QString text = Edit3->text();
    if (withoutTrailingBlanks(text).isEmpty()) {
        Platform::instance().information(QStringLiteral("Nincs megadva a cikkszam!"));
        Edit3->setFocus();
        return;
    }
    fillItem(lookUpMaster(itemLookup(), text, isCodeText(text), this));
    showStockFigures();
}

void TForm18::pickItem()
{
    const QString text = Edit3->text();
    fillItem(pickMaster(itemLookup(), text, isCodeText(text), this));
}

void TForm18::fillItem(const Query& row)
{
    showItem(row);
    Edit4->setText(row.fieldByName(QStringLiteral("cbizonylat")).asString());
}

// Every line of the item counts, of every warehouse and date, each valued at its own unit price.
void TForm18::showStockFigures()
{
    const Query& sums =
        openWith(*Data->ZQ11,
                 QStringLiteral("SELECT SUM(bmenov -bmecsok) AS sum_menny, SUM((bmenov * bear) - "
                                "(bmecsok * bear)) AS sum_ertek FROM bizmozg WHERE bcikkszam = :p1"),
                 Edit3->text());
    const Field quantity = sums.fieldByName(QStringLiteral("sum_menny"));
    const Field value = sums.fieldByName(QStringLiteral("sum_ertek"));
    Edit17->setText(quantity.isNull() ? QString() : quantity.asDecimal().toString());
    Edit19->setText(value.isNull() ? QString() : value.asDecimal().toString());
    if (quantity.asFloat() > 0 && value.asFloat() > 0)
        Edit18->setText(Formats::formatAmount(value.asFloat() / quantity.asFloat(), 2));
}

void TForm18::leaveWarehouse()
{
    fillWarehouse(lookUpMaster(warehouseLookup(), Edit8->text(), false, this));
    Edit9->setFocus(Qt::TabFocusReason);
}

void TForm18::pickWarehouse()
{
    fillWarehouse(pickMaster(warehouseLookup(), Edit8->text(), false, this));
}

void TForm18::fillWarehouse(const Query& row)
{
    Edit13->setText(row.fieldByName(QStringLiteral("rkod")).asString());
    Edit8->setText(row.fieldByName(QStringLiteral("rnev")).asString());
}

void TForm18::leavePartner()
{
    bool picked = false;
    const Query& row = lookUpMaster(partnerLookup(), Edit9->text(), false, this, &picked);
    fillPartner(row, picked);
    Edit4->setFocus(Qt::TabFocusReason);
}

void TForm18::pickPartner()
{
    fillPartner(pickMaster(partnerLookup(), Edit9->text(), false, this), true);
}

void TForm18::fillPartner(const Query& row, bool picked)
{
    Edit15->setText(row.fieldByName(QStringLiteral("pkod")).asString());
    Edit9->setText(row.fieldByName(QStringLiteral("pnev")).asString());
    Edit14->setText(partnerAddress(row));
    if (picked)
        appendToText(Edit9->text());
}

void TForm18::fillValue(QLineEdit* value, QLineEdit* quantity, QLineEdit* price)
{
    const std::optional<double> q = Formats::parseNumber(quantity->text());
    const std::optional<double> p = Formats::parseNumber(price->text());
    if (!q || !p) {
        const QString bad = q ? price->text() : quantity->text();
        Platform::instance().information(QStringLiteral("\"%1\" nem érvényes szám.").arg(bad));
        return;
    }
    value->setText(Formats::formatGeneral(*q * *p));
}

bool TForm18::checked()
{
    Platform& platform = Platform::instance();
    auto refuse = [&platform](const QString& message, QLineEdit* focus) {
        platform.information(message);
        focus->setFocus();
        return false;
    };
    if (!Formats::parseDate(Edit1->text()))
        return refuse(QStringLiteral("Hibás dátum!"), Edit1);
    if (withoutTrailingBlanks(Edit10->text()).isEmpty())
        return refuse(QStringLiteral("Nincs megadva mozgásnem!"), Edit2);
    if (withoutTrailingBlanks(Edit34->text()).isEmpty())
        return refuse(QStringLiteral("Nincs megadva cikkszám!"), Edit3);
    if (withoutTrailingBlanks(Edit21->text()).isEmpty() || withoutTrailingBlanks(Edit25->text()).isEmpty())
        return refuse(QStringLiteral("Nincs megadva mennyiség!"), Edit9);
    return true;
}

// A line that takes its item's stock below zero is stored only when the user says so; "Nem" goes back
// to the quantity.
bool TForm18::stockConfirmed(const DocumentPosting::Line& line)
{
    const std::optional<QString> question =
        DocumentPosting::negativeStockQuestion(line, {Edit12->text(), Edit16->text(), Edit8->text()});
    if (!question || Platform::instance().question(*question))
        return true;
    (isIncrease(Edit35->text()) ? Edit21 : Edit25)->setFocus();
    return false;
}

void TForm18::save()
{
    if (!checked())
        return;
    DocumentPosting::Line line;
    line.isNew = isNew();
    // The number shown when the form opened; without one (the counter could not be read) nothing is
    // stored until the counter can be read.
    bool numbered = false;
    line.proposedNumber = Edit32->text().toLongLong(&numbered);
    if (line.isNew && !numbered) {
        try {
            Edit32->setText(QString::number(DocumentCounter::next()));
        } catch (const DbError& error) {
            Platform::instance().information(failureReason(error));
        }
        return;
    }
    const bool increase = isIncrease(Edit35->text());
    line.id = Edit37->text();
    line.key = Edit36->text();
    line.date = *Formats::parseDate(Edit1->text());
    line.movementKey = Edit2->text();
    line.movementCode = Edit10->text();
    line.itemNumber = Edit3->text();
    line.itemCode = Edit34->text();
    line.price = (increase ? Edit22 : Edit26)->text();
    line.quantityIn = Edit21->text();
    line.quantityOut = Edit25->text();
    line.valueIn = Edit23->text();
    line.valueOut = Edit27->text();
    line.employeeCode = shared().CurrentEmployeeCode;
    line.warehouseCode = Edit13->text();
    line.original = Edit6->text();
    line.text = Edit5->text();
    line.partnerCode = Edit15->text();
    line.note = Edit7->text();
    line.batch = Edit4->text();
    if (!stockConfirmed(line))
        return;
    const DocumentPosting::Result result = DocumentPosting::post(line, keptOpen_);
    if (result.outcome == SaveOutcome::GuardFailed)
        return;
    emit posted(result.outcome == SaveOutcome::Saved && !line.isNew, line.id);
    accept();
}
