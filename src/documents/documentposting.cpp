// Posting a document line: the checks, the insert with its document number or the update, and the
// register read again. The line and the counter advance are one unit of work.
#include "data.h"
#include "dberror.h"
#include "decimal.h"
#include "documentcounter.h"
#include "documentlineform.h"
#include "documentqueries.h"
#include "documentregister.h"
#include "formats.h"
#include "masterread.h"
#include "platform.h"
#include "saveunit.h"
#include "sharedstate.h"

#include <QLabel>
#include <QLineEdit>

namespace {

const QString InsertSql = QStringLiteral(
    "INSERT INTO bizmozg ( bbszam, bcikkszam, bbizdatum, bmnem, bear, bmenov, bmecsok, bertnov, bertcsok, bdkod, "
    "brkod, brkelt, beredeti, bszoveg, bpkod, bckod, bmegjegy, bmkod, btetel) VALUES ( :p2, :p3, :p4, :p5, :p6, :p7, "
    ":p8, :p9, :p10, :p11, :p12, :p13, :p14, :p15, :p16, :p17, :p18, :p19, :p20)");
const QString UpdateSql = QStringLiteral(
    "UPDATE bizmozg SET bckod = :p1, bcikkszam = :p2, bbizdatum = :p3, bmnem = :p4, bear = :p5, bmenov = :p6, "
    "bmecsok = :p7, bertnov = :p8, bertcsok = :p9, bdkod = :p10, brkod = :p11, brkelt = :p12, beredeti = :p13, "
    "bszoveg = :p14, bpkod = :p15, bmegjegy = :p17, bmkod = :p18, btetel = :p19 WHERE IDb = :p0");

const QString InsertFailed = QStringLiteral("Hiba182: Újban, INSERT a bizmozg-ban ");
const QString CounterFailed = QStringLiteral("Hiba188:  UPDATE Bizszam -ba ");
const QString UpdateFailed = QStringLiteral("Hiba183: Módositás, Update a bizmozg-ban ");
const QString GuardFailed = QStringLiteral("Hiba184: az append vagy edit közben a bizmozg-ban!");

Decimal figure(const QLineEdit* box)
{
    const std::optional<Decimal> value = Decimal::parse(box->text());
    if (!value)
        throw DbError(QStringLiteral("A(z) \"%1\" nem szám.").arg(box->text()));
    return *value;
}

// One written column: its parameter in the insert and in the update, and how its value is bound.
struct LineColumn {
    int insertParam;
    int updateParam;
    std::function<void(Param&)> bind;
};

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

void TForm18::save()
{
    if (!checked())
        return;
    const bool isNewLine = isNew();
    // The number shown when the form opened; without one (the counter could not be read) nothing is
    // stored until the counter can be read.
    bool numbered = false;
    const qint64 proposed = Edit32->text().toLongLong(&numbered);
    if (isNewLine && !numbered) {
        try {
            Edit32->setText(QString::number(DocumentCounter::next()));
        } catch (const DbError& error) {
            Platform::instance().information(error.message());
        }
        return;
    }

    const QDate date = *Formats::parseDate(Edit1->text());
    const bool increase = isIncrease(Edit35->text());
    auto text = [](const QLineEdit* box) { return [box](Param& p) { p.setText(box->text()); }; };
    auto number = [](const QLineEdit* box) { return [box](Param& p) { p.setDecimal(figure(box)); }; };
    const QList<LineColumn> columns{
        {3, 2, text(Edit3)},
        {4, 3, [date](Param& p) { p.setDate(date); }},
        {5, 4, text(Edit2)},
        {6, 5, number(increase ? Edit22 : Edit26)},
        {7, 6, number(Edit21)},
        {8, 7, number(Edit25)},
        {9, 8, number(Edit23)},
        {10, 9, number(Edit27)},
        {11, 10, [](Param& p) { p.setText(shared().CurrentEmployeeCode); }},
        {12, 11, text(Edit13)},
        {13, 12, [](Param& p) { p.setDate(QDate::currentDate()); }},
        {14, 13, text(Edit6)},
        {15, 14, text(Edit5)},
        {16, 15, text(Edit15)},
        {17, 1, text(Edit34)},
        {18, 17, text(Edit7)},
        {19, 18, text(Edit10)},
        {20, 19, text(Edit4)},
    };
    auto bindLine = [&columns, isNewLine](Query& statement) {
        for (const LineColumn& column : columns) {
            const int param = isNewLine ? column.insertParam : column.updateParam;
            column.bind(statement.paramByName(QStringLiteral("p%1").arg(param)));
        }
    };

    Query& line = *Data->ZQ11;
    qint64 taken = proposed;
    QList<SaveStep> steps;
    if (isNewLine) {
        // The counter first: the line then carries a number that no other line can have taken.
        steps << SaveStep{CounterFailed, [&taken, proposed] { taken = DocumentCounter::take(proposed); }};
        steps << SaveStep{InsertFailed, [&] {
            line.setSql(InsertSql);
            bindLine(line);
            line.paramByName(QStringLiteral("p2")).setText(QString::number(taken));
            line.execute();
            shared().CurrentDocumentKey = Edit36->text();
        }};
    } else {
        steps << SaveStep{UpdateFailed, [&] {
            line.setSql(UpdateSql);
            bindLine(line);
            line.paramByName(QStringLiteral("p0")).setText(Edit37->text());
            line.execute();
            shared().CurrentDocumentKey = Edit36->text();
        }};
    }
    // A changed line is shown again in place: the register's list stays open over the commit.
    Query& list = *Data->ZQ10;
    list.keepRowsOverNextEnd(!isNewLine);
    const SaveOutcome outcome = saveInOneUnit(steps, GuardFailed);
    list.keepRowsOverNextEnd(false);
    if (outcome == SaveOutcome::GuardFailed)
        return;
    if (outcome == SaveOutcome::Saved && isNewLine && taken != proposed)
        Platform::instance().information(
            QStringLiteral("A bizonylat a(z) %1 számot kapta, mert a(z) %2 számot közben más már felhasználta.")
                .arg(taken)
                .arg(proposed));
    const bool inPlace =
        outcome == SaveOutcome::Saved && !isNewLine && TForm17::showChangedLine(list, Edit37->text());
    if (!inPlace)
        rereadRegister();
    else if (Form17 && TForm17::inNumberOrder(list))
        Form17->Label18->setText(orderLabel(QStringLiteral("Bizonylat")));
    accept();
}

void TForm18::rereadRegister()
{
    Query& list = *Data->ZQ10;
    rereadQuery(list, TForm17::plainListSql());
    const QString key = shared().CurrentDocumentKey;
    if (!key.isEmpty())
        list.locate(QStringLiteral("BKOD"), key);
    if (Form17)
        Form17->Label18->setText(orderLabel(QStringLiteral("Bizonylat")));
}
