// The one save path: start, steps, commit; the failing step's message and a rollback.
#include "saveunit.h"
#include "data.h"
#include "failurereason.h"
#include "platform.h"

namespace {

// A broken server connection: the message says what became of the unit and what to do, the
// connection attaches again on the next save, and the caller keeps the form open with its values.
SaveOutcome connectionLostOutcome(const QString& message, const std::exception& error, bool committing)
{
    Connection& connection = Data->ZCon1;
    if (connection.isConnected())
        connection.dropLost();
    const QString advice =
        committing
            ? QStringLiteral("A kapcsolat a mentés lezárása közben szakadt meg, ezért nem tudható, hogy az "
                             "adatok bekerültek-e az adatbázisba. Amikor a szerver ismét elérhető, nézze "
                             "meg a listában, és csak akkor mentse újra, ha nincs ott.")
            : QStringLiteral("Ez a mentés nem történt meg, semmi sem került az adatbázisba. A beírt adatok "
                             "megmaradtak: amikor a szerver ismét elérhető, mentse újra, a program magától "
                             "újra kapcsolódik.");
    Platform::instance().information(withReason(message, error) + QLatin1Char('\r') + advice);
    return SaveOutcome::GuardFailed;
}

}

SaveOutcome saveInOneUnit(const QList<SaveStep>& steps, const QString& guardMessage)
{
    Transaction& transaction = Data->IBTrans1;
    try {
        transaction.ensureActive();
    } catch (const std::exception& error) {
        if (connectionLost(error))
            return connectionLostOutcome(guardMessage, error, false);
        Platform::instance().information(withReason(guardMessage, error));
        return SaveOutcome::GuardFailed;
    }

    const SaveStep* current = nullptr;
    bool committing = false;
    try {
        for (const SaveStep& step : steps) {
            current = &step;
            step.run();
        }
        committing = true;
        transaction.commit();
        return SaveOutcome::Saved;
    } catch (const std::exception& error) {
        const QString message = current ? current->failureMessage : guardMessage;
        if (connectionLost(error))
            return connectionLostOutcome(message, error, committing);
        Platform::instance().information(withReason(message, error));
    }

    try {
        if (transaction.isActive())
            transaction.rollback();
    } catch (const std::exception& error) {
        if (connectionLost(error))
            return connectionLostOutcome(guardMessage, error, false);
        Platform::instance().information(withReason(guardMessage, error));
        return SaveOutcome::GuardFailed;
    }
    return SaveOutcome::StepFailed;
}
