// Reading and advancing the document-number counter.
#include "documentcounter.h"
#include "data.h"
#include "dberror.h"

#include <ibase.h>

namespace {

struct CounterValue {
    QString text;   // as stored, so that the advance matches exactly the row it read
    qint64 number = 0;
};

CounterValue readCounter()
{
    Query& counter = *Data->ZQ70;
    counter.close();
    counter.clearSql();
    counter.addSql(QStringLiteral("SELECT  * FROM bizszam"));
    counter.open();
    if (counter.isEmpty())
        throw DbError(QStringLiteral("A bizonylatszámláló (BIZSZAM tábla) üres, nincs honnan számozni."));
    CounterValue value;
    value.text = counter.fieldByName(QStringLiteral("zbizszam")).asString();
    bool whole = false;
    value.number = value.text.trimmed().toLongLong(&whole);
    if (!whole || value.number < 0)
        throw DbError(QStringLiteral("A bizonylatszámláló értéke nem egész szám: \"%1\".").arg(value.text));
    return value;
}

bool lockConflict(const DbError& error)
{
    for (const DbError::StatusItem& item : error.status())
        if (item.code == isc_update_conflict || item.code == isc_deadlock || item.code == isc_lock_conflict)
            return true;
    return false;
}

}

namespace DocumentCounter {

qint64 next()
{
    return readCounter().number + 1;
}

qint64 take()
{
    // Each round either advances the counter or sees a number another desk committed meanwhile; a
    // handful of rounds is plenty, the bound only keeps a broken counter from spinning.
    CounterValue current = readCounter();
    for (int round = 0; round < 100; ++round) {
        const qint64 number = current.number + 1;
        Query& counter = *Data->ZQ70;
        counter.close();
        counter.clearSql();
        counter.addSql(QStringLiteral("UPDATE bizszam SET zbizszam = :p1 WHERE zbizszam = :p0"));
        counter.paramByName(QStringLiteral("p1")).setText(QString::number(number));
        counter.paramByName(QStringLiteral("p0")).setText(current.text);
        try {
            if (counter.execute() > 0)
                return number;
            current = readCounter();
        } catch (const DbError& error) {
            // The update waited for another desk's save that held the counter. Firebird 3 refuses it with
            // the same update conflict whether that save committed or the wait timed out (it does not
            // apply the update to the new committed value); a counter that has moved on says the save
            // committed, and the next round advances from its number. A counter still at the value read
            // was held for the whole timeout: the lock conflict is told.
            if (!lockConflict(error))
                throw;
            const CounterValue now = readCounter();
            if (now.text == current.text)
                throw;
            current = now;
        }
    }
    throw DbError(QStringLiteral("A bizonylatszámláló nem léptethető."));
}

}
