// The posting run of the purchase-ticket import and its closing item-code pass.
#include "importposting.h"

#include "data.h"
#include "decimal.h"
#include "documentcounter.h"
#include "failurereason.h"
#include "newcode.h"
#include "platform.h"
#include "saveunit.h"
#include "sharedstate.h"
#include "stockondate.h"

#include <QDate>
#include <QList>

namespace TicketPosting {

namespace {

const QString ItemInsertFailed = QStringLiteral("Hiba251: Import a XML -böl, INSERT a cikkben ");
const QString PartnerInsertFailed = QStringLiteral("Hiba252: Import a XML -böl, INSERT a partnerbe ");
const QString LineInsertFailed = QStringLiteral("Hiba253: Feladás XML -böl INSERT a bizmozg ");
const QString CounterFailed = QStringLiteral("Hiba254:  UPDATE Sorszam -ba ");
const QString ItemCodeFailed = QStringLiteral("Hiba255:  UPDATE Bizmozg BCKOD -ba beiráskor ");

// One MUNKA2 row as the run needs it. The rows are read before the run, because every row's commit
// closes the datasets of the transaction, the work-table query among them.
struct WorkRow {
    QDate date;
    QString ticket, itemNumber, name, batch, unit, vtsz, producerCode, producerName, town, street, postCode;
    Decimal quantity, price, value;

    QString reference() const { return QStringLiteral("F.jegy: ") + ticket; }
};

void setStatement(Query& query, std::initializer_list<QString> lines)
{
    query.clearSql();
    for (const QString& line : lines)
        query.addSql(line);
}

void bindTexts(Query& query, int first, std::initializer_list<QString> values)
{
    int number = first;
    for (const QString& value : values)
        query.paramByName(QStringLiteral("p%1").arg(number++)).setText(value);
}

QList<WorkRow> readWorkRows()
{
    Query& query = *Data->ZQ12;
    setStatement(query, {QStringLiteral("SELECT * FROM munka2")});
    query.open();
    QList<WorkRow> rows;
    for (; !query.eof(); query.next()) {
        auto text = [&](const char* column) { return query.fieldByName(QLatin1String(column)).asString(); };
        auto number = [&](const char* column) {
            return query.fieldByName(QLatin1String(column)).asDecimal();
        };
        rows.append({query.fieldByName(QStringLiteral("F_FELVKELT")).asDate(), text("S_BSZAM"),
                     text("S_TERMEKKOD"), text("S_MEGNEVEZES"), text("S_BIZONYLAT"), text("S_MEGY"),
                     text("S_VTSZ"), text("O_KOD"), text("O_NEV"), text("O_HELYSEGNEV"), text("O_UTCA"),
                     text("O_IRSZAM"), number("S_BRUTTO"), number("S_EAR"), number("S_FELVAR")});
    }
    query.close();
    return rows;
}

qint64 countOf(std::initializer_list<QString> lines, std::initializer_list<QString> values)
{
    Query& query = *Data->ZQ12;
    setStatement(query, lines);
    bindTexts(query, 1, values);
    query.open();
    const qint64 count = query.fieldByName(QStringLiteral("db")).asInteger();
    query.close();
    return count;
}

bool isPosted(const WorkRow& row)
{
    return countOf({QStringLiteral("SELECT count(BEREDETI) AS db"), QStringLiteral("FROM BIZMOZG"),
                    QStringLiteral("WHERE (BEREDETI = :p1) AND (BCIKKSZAM = :p2)")},
                   {row.reference(), row.itemNumber}) != 0;
}

bool itemExists(const WorkRow& row)
{
    return countOf({QStringLiteral("SELECT count(cszam) AS db"), QStringLiteral("FROM cikk"),
                    QStringLiteral("WHERE cszam = :p1")},
                   {row.itemNumber}) != 0;
}

// Partners are matched by name alone: a producer known under another code keeps it.
bool partnerExists(const WorkRow& row)
{
    return countOf({QStringLiteral("SELECT count(pnev) AS db"), QStringLiteral("FROM partner"),
                    QStringLiteral("WHERE pnev = :p1")},
                   {row.producerName}) != 0;
}

// The new item carries the code its line carries, so that the two can be found from each other.
void insertItem(const WorkRow& row, const QString& code)
{
    Query& query = *Data->ZQ12;
    setStatement(query,
                 {QStringLiteral("INSERT INTO cikk ( ckod, cszam, cmegn, cmeret, cme, cvtsz,  cbizonylat  )"),
                  QStringLiteral("VALUES (:p1, :p2, :p3, :p4, :p5, :p6, :p7)")});
    bindTexts(query, 1, {code, row.itemNumber, row.name, QStringLiteral(" "), row.unit, row.vtsz, row.batch});
    query.execute();
}

void insertPartner(const WorkRow& row)
{
    Query& query = *Data->ZQ12;
    setStatement(query, {QStringLiteral("INSERT INTO partner ( pKod, pnev, pirszam, phelyseg, putca)"),
                         QStringLiteral("VALUES (:p1, :p2, :p3, :p4, :p5)")});
    bindTexts(query, 1, {row.producerCode, row.producerName, row.postCode, row.town, row.street});
    query.execute();
}

// Whatever the movement type's direction, a ticket is a receipt: quantity and value go to the
// increase columns.
void insertLine(const WorkRow& row, const MovementType& type, const QString& number, const QString& itemCode)
{
    Query& query = *Data->ZQ12;
    setStatement(
        query,
        {QStringLiteral("INSERT INTO bizmozg ( BBSZAM, BCKOD, BCIKKSZAM, BBIZDATUM, BMKOD, BMNEM, BEAR, "
                        "BMENOV, BMECSOK, BERTNOV, BERTCSOK, BTETEL, BEREDETI, BSZOVEG, BPKOD, BDKOD, "
                        "BFELADOTT, BRKELT  )"),
         QStringLiteral("VALUES (:p1, :p2, :p3, :p4, :p5, :p6, :p7, :p8, :p9, :p10, :p11, :p12, :p13, "
                        ":p14, :p15, :p16, :p17, :p18)")});
    bindTexts(query, 1, {number, itemCode, row.itemNumber});
    query.paramByName(QStringLiteral("p4")).setDate(row.date);
    bindTexts(query, 5, {type.code, type.key});
    query.paramByName(QStringLiteral("p7")).setDecimal(row.price);
    query.paramByName(QStringLiteral("p8")).setDecimal(row.quantity);
    query.paramByName(QStringLiteral("p9")).setDecimal(Decimal());
    query.paramByName(QStringLiteral("p10")).setDecimal(row.value);
    query.paramByName(QStringLiteral("p11")).setDecimal(Decimal());
    bindTexts(query, 12,
              {row.batch, row.reference(), row.producerName, row.producerCode, shared().CurrentEmployeeCode,
               QString()});
    query.paramByName(QStringLiteral("p18")).setDate(QDate::currentDate());
    query.execute();
}

enum class RowOutcome { Posted, Skipped, Failed, Stopped };

// The checks read outside the unit of work; the writes of the row are one unit, so that its item,
// partner, number and line are stored together or not at all.
RowOutcome postRow(const WorkRow& row, const MovementType& type, QString* number, bool* belowZero)
{
    if (isPosted(row))
        return RowOutcome::Skipped;
    // A ticket carries no warehouse: only the stock of all warehouses is looked at.
    *belowZero = StockOnDate::shortfall(row.itemNumber, QString(), row.date, row.quantity).any();
    const bool newItem = !itemExists(row);
    const bool newPartner = !partnerExists(row);
    QString itemCode;
    QString taken;
    QList<SaveStep> steps;
    if (newItem)
        steps.append({ItemInsertFailed, [&] {
                          itemCode = nextCode(QStringLiteral("cikk"), QStringLiteral("ckod"));
                          insertItem(row, itemCode);
                      }});
    if (newPartner)
        steps.append({PartnerInsertFailed, [&] { insertPartner(row); }});
    steps.append({CounterFailed, [&] { taken = QString::number(DocumentCounter::take()); }});
    steps.append({LineInsertFailed, [&] { insertLine(row, type, taken, itemCode); }});
    switch (saveInOneUnit(steps, LineInsertFailed)) {
    case SaveOutcome::Saved: *number = taken; return RowOutcome::Posted;
    case SaveOutcome::StepFailed: return RowOutcome::Failed;
    case SaveOutcome::GuardFailed: break;
    }
    return RowOutcome::Stopped;
}

}

bool postWorkRows(const MovementType& type, const Progress& progress, int* belowZero)
{
    const QList<WorkRow> rows = readWorkRows();
    QString lastNumber;
    if (belowZero)
        *belowZero = 0;
    for (int i = 0; i < rows.size(); ++i) {
        bool lineBelowZero = false;
        const RowOutcome outcome = postRow(rows[i], type, &lastNumber, &lineBelowZero);
        // A unit of work that cannot even start or roll back would fail the same way for every row.
        if (outcome == RowOutcome::Stopped)
            return false;
        if (belowZero && outcome == RowOutcome::Posted && lineBelowZero)
            ++*belowZero;
        if (progress)
            progress(i + 1, int(rows.size()), lastNumber);
    }
    return true;
}

void fillItemCodes()
{
    // The item numbers whose lines would change: at least one line with a short code, and at least one
    // line that does not carry the item's first code yet. Item rows without a code never blank a line.
    // The lines are read in one natural scan and grouped ("|| ''" keeps the optimizer off the item-number
    // index, whose order would fetch a million lines one random page at a time).
    Query& query = *Data->ZQ12;
    setStatement(
        query,
        {QStringLiteral("SELECT t.cszam, t.ckod"),
         QStringLiteral("FROM (SELECT cszam, MIN(ckod) AS ckod FROM cikk WHERE ckod <> '' GROUP BY cszam) t"),
         QStringLiteral(
             "JOIN (SELECT k, MIN(CHAR_LENGTH(COALESCE(bckod, ''))) AS shortest, MIN(bckod) AS lo,"),
         QStringLiteral("             MAX(bckod) AS hi, COUNT(bckod) AS coded, COUNT(*) AS all_lines"),
         QStringLiteral(
             "      FROM (SELECT bcikkszam || '' AS k, bckod FROM bizmozg) GROUP BY k) g ON g.k = t.cszam"),
         QStringLiteral(
             "WHERE g.shortest < 5 AND (g.lo <> t.ckod OR g.hi <> t.ckod OR g.coded < g.all_lines)")});
    query.open();
    QList<std::pair<QString, QString>> changes;
    for (; !query.eof(); query.next())
        changes.append({query.fieldByName(QStringLiteral("cszam")).asString(),
                        query.fieldByName(QStringLiteral("ckod")).asString()});
    query.close();

    // One unit of work: an update that fails (a line locked by another desk) is reported and the pass
    // goes on; the next pass finds what it left, so one commit serves instead of one per item number.
    const auto updateAll = [&] {
        for (const auto& [itemNumber, code] : changes) {
            try {
                setStatement(query,
                             {QStringLiteral("UPDATE   Bizmozg"), QStringLiteral("SET   BCKOD     = :p1"),
                              QStringLiteral("WHERE BCIKKSZAM = :p2 AND BCKOD IS DISTINCT FROM :p1")});
                bindTexts(query, 1, {code, itemNumber});
                query.execute();
            } catch (const std::exception& error) {
                // A lost server ends the pass: the unit of work says so once and stores nothing of it.
                if (connectionLost(error))
                    throw;
                Platform::instance().information(withReason(ItemCodeFailed, error));
            }
        }
    };
    if (!changes.isEmpty())
        saveInOneUnit({{ItemCodeFailed, updateAll}}, ItemCodeFailed);
}

}
