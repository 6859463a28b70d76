// Posting a document line: the insert with its document number or the update, and the counter advance,
// as one unit of work.
#include "documentposting.h"

#include "data.h"
#include "dberror.h"
#include "decimal.h"
#include "documentcounter.h"
#include "formats.h"
#include "platform.h"
#include "sharedstate.h"
#include "stockondate.h"

#include <functional>

namespace DocumentPosting {

namespace {

const QString InsertSql =
    QStringLiteral("INSERT INTO bizmozg ( bbszam, bcikkszam, bbizdatum, bmnem, bear, bmenov, bmecsok, "
                   "bertnov, bertcsok, bdkod, "
                   "brkod, brkelt, beredeti, bszoveg, bpkod, bckod, bmegjegy, bmkod, btetel) VALUES ( :p2, "
                   ":p3, :p4, :p5, :p6, :p7, "
                   ":p8, :p9, :p10, :p11, :p12, :p13, :p14, :p15, :p16, :p17, :p18, :p19, :p20)");
const QString UpdateSql = QStringLiteral(
    "UPDATE bizmozg SET bckod = :p1, bcikkszam = :p2, bbizdatum = :p3, bmnem = :p4, bear = :p5, bmenov = "
    ":p6, "
    "bmecsok = :p7, bertnov = :p8, bertcsok = :p9, bdkod = :p10, brkod = :p11, brkelt = :p12, beredeti = "
    ":p13, "
    "bszoveg = :p14, bpkod = :p15, bmegjegy = :p17, bmkod = :p18, btetel = :p19 WHERE IDb = :p0");

const QString InsertFailed = QStringLiteral("Hiba182: Újban, INSERT a bizmozg-ban ");
const QString CounterFailed = QStringLiteral("Hiba188:  UPDATE Bizszam -ba ");
const QString UpdateFailed = QStringLiteral("Hiba183: Módositás, Update a bizmozg-ban ");
const QString GuardFailed = QStringLiteral("Hiba184: az append vagy edit közben a bizmozg-ban!");

Decimal figure(const QString& text)
{
    const std::optional<Decimal> value = Decimal::parse(text);
    if (!value)
        throw DbError(QStringLiteral("A(z) \"%1\" nem szám.").arg(text));
    return *value;
}

// One written column: its parameter in the insert and in the update, and how its value is bound.
struct LineColumn {
    int insertParam;
    int updateParam;
    std::function<void(Param&)> bind;
};

void bindLine(Query& statement, const Line& line)
{
    auto text = [](const QString& value) { return [&value](Param& p) { p.setText(value); }; };
    auto number = [](const QString& value) { return [&value](Param& p) { p.setDecimal(figure(value)); }; };
    const QList<LineColumn> columns{
        {3, 2, text(line.itemNumber)},
        {4, 3, [&line](Param& p) { p.setDate(line.date); }},
        {5, 4, text(line.movementKey)},
        {6, 5, number(line.price)},
        {7, 6, number(line.quantityIn)},
        {8, 7, number(line.quantityOut)},
        {9, 8, number(line.valueIn)},
        {10, 9, number(line.valueOut)},
        {11, 10, text(line.employeeCode)},
        {12, 11, text(line.warehouseCode)},
        {13, 12, [](Param& p) { p.setDate(QDate::currentDate()); }},
        {14, 13, text(line.original)},
        {15, 14, text(line.text)},
        {16, 15, text(line.partnerCode)},
        {17, 1, text(line.itemCode)},
        {18, 17, text(line.note)},
        {19, 18, text(line.movementCode)},
        {20, 19, text(line.batch)},
    };
    for (const LineColumn& column : columns) {
        const int param = line.isNew ? column.insertParam : column.updateParam;
        column.bind(statement.paramByName(QStringLiteral("p%1").arg(param)));
    }
}

}

std::optional<QString> negativeStockQuestion(const Line& line, const ShownNames& names)
{
    const std::optional<Decimal> in = Decimal::parse(line.quantityIn);
    const std::optional<Decimal> out = Decimal::parse(line.quantityOut);
    if (!in || !out)
        return std::nullopt;
    StockOnDate::Shortfall stock;
    try {
        stock = StockOnDate::shortfall(line.itemNumber, line.warehouseCode, line.date, *in - *out,
                                       line.isNew ? QString() : line.id);
    } catch (const DbError&) {
        return std::nullopt;
    }
    if (!stock.any())
        return std::nullopt;
    const auto quantity = [&names](Decimal value) {
        return QStringList{value.toString(), names.unit.trimmed()}.join(QLatin1Char(' ')).trimmed();
    };
    const auto figures = [&quantity](Decimal before, Decimal after) {
        return QStringLiteral("a tétel előtt %1, utána %2.").arg(quantity(before), quantity(after));
    };
    QStringList text{
        QStringLiteral("A(z) %1 cikk készlete a bizonylat keltekor (%2) nulla alá csökkenne.")
            .arg(
                QStringList{line.itemNumber.trimmed(), names.item.trimmed()}.join(QLatin1Char(' ')).trimmed(),
                Formats::formatDate(line.date))};
    if (stock.total)
        text << QStringLiteral("Összes raktár: ") + figures(stock.totalBefore, stock.totalAfter);
    if (stock.warehouse) {
        const QString code = line.warehouseCode.trimmed();
        const QString name = names.warehouse.trimmed();
        text << (name.isEmpty() ? QStringLiteral("A(z) %1 kódú raktár").arg(code)
                                : QStringLiteral("%1 (%2)").arg(name, code)) +
                    QStringLiteral(": ") + figures(stock.warehouseBefore, stock.warehouseAfter);
    }
    text << QStringLiteral("Mégis rögzíti a tételt?");
    return text.join(QLatin1Char('\r'));
}

Result post(const Line& line, Dataset* keptOpen)
{
    Query& statement = *Data->ZQ11;
    Result result;
    result.number = line.proposedNumber;
    QList<SaveStep> steps;
    if (line.isNew) {
        // The counter first: the line then carries a number that no other line can have taken. The
        // counter's lock, which other desks wait for, is held from here to the commit, with only the
        // insert that needs the number between; advancing it after the insert would take a second
        // write of the line to set its number, no shorter.
        steps << SaveStep{CounterFailed, [&] { result.number = DocumentCounter::take(); }};
        steps << SaveStep{
            InsertFailed, [&] {
                statement.setSql(InsertSql);
                bindLine(statement, line);
                statement.paramByName(QStringLiteral("p2")).setText(QString::number(result.number));
                statement.execute();
                shared().CurrentDocumentKey = line.key;
            }};
    } else {
        steps << SaveStep{UpdateFailed, [&] {
                              statement.setSql(UpdateSql);
                              bindLine(statement, line);
                              statement.paramByName(QStringLiteral("p0")).setText(line.id);
                              statement.execute();
                              shared().CurrentDocumentKey = line.key;
                          }};
    }
    const bool keep = keptOpen && !line.isNew;
    if (keep)
        keptOpen->keepRowsOverNextEnd(true);
    result.outcome = saveInOneUnit(steps, GuardFailed);
    if (keep)
        keptOpen->keepRowsOverNextEnd(false);
    if (result.outcome == SaveOutcome::Saved && line.isNew && result.number != line.proposedNumber)
        Platform::instance().information(
            QStringLiteral(
                "A bizonylat a(z) %1 számot kapta, mert a(z) %2 számot közben más már felhasználta.")
                .arg(result.number)
                .arg(line.proposedNumber));
    return result;
}

}
