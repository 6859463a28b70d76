// The progress dialog of the import's long steps (reading the file, posting the rows).
#pragma once

#include <QProgressDialog>

// Appears only when the step takes longer than a moment; it has no cancel button, because a step
// stopped half way would leave the user guessing what was done.
class ImportProgress {
public:
    ImportProgress(QWidget* parent, const QString& label, int total);
    ~ImportProgress();
    void setDone(int done);

private:
    QProgressDialog dialog_;
};
