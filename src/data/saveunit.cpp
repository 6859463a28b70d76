// The one save path: start, steps, commit; the failing step's message and a rollback.
#include "saveunit.h"
#include "data.h"
#include "failurereason.h"
#include "platform.h"

SaveOutcome saveInOneUnit(const QList<SaveStep>& steps, const QString& guardMessage)
{
    Transaction& transaction = Data->IBTrans1;
    try {
        transaction.ensureActive();
    } catch (const std::exception& error) {
        Platform::instance().information(withReason(guardMessage, error));
        return SaveOutcome::GuardFailed;
    }

    const SaveStep* current = nullptr;
    try {
        for (const SaveStep& step : steps) {
            current = &step;
            step.run();
        }
        transaction.commit();
        return SaveOutcome::Saved;
    } catch (const std::exception& error) {
        const QString message = current ? current->failureMessage : guardMessage;
        Platform::instance().information(withReason(message, error));
    }

    try {
        if (transaction.isActive())
            transaction.rollback();
    } catch (const std::exception& error) {
        Platform::instance().information(withReason(guardMessage, error));
        return SaveOutcome::GuardFailed;
    }
    return SaveOutcome::StepFailed;
}
