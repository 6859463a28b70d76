// The one save path of the program: one unit of work on the shared transaction, with the numbered
// message of the step that failed and its reason.
#pragma once

#include <QList>
#include <QString>
#include <functional>

struct SaveStep {
    QString failureMessage;      // shown, with the reason on its second line, when this step fails
    std::function<void()> run;   // throws on failure
};

enum class SaveOutcome {
    Saved,        // every step ran and the unit was committed
    StepFailed,   // a step (or the commit, which counts as the last step) failed; all was rolled back
    GuardFailed   // the transaction could not be started, or the rollback failed, or the server
                  // connection broke (nothing stored, or when it broke in the commit, not known; the
                  // message says which): the form stays open with its values for the next try
};

// Starts Data->IBTrans1 when it is not active, runs the steps in order and commits. A failing step rolls
// the whole unit back, so a later step's failure also undoes the earlier steps' work. Every message goes
// through the Platform. A broken server connection is dropped and attached again on the next save.
SaveOutcome saveInOneUnit(const QList<SaveStep>& steps, const QString& guardMessage);
