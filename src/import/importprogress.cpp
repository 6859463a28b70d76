// The progress dialog of the import's long steps.
#include "importprogress.h"

ImportProgress::ImportProgress(QWidget* parent, const QString& label, int total)
    : dialog_(label, QString(), 0, total, parent)
{
    dialog_.setWindowTitle(QStringLiteral("Adatok átvétele"));
    dialog_.setCancelButton(nullptr);
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(500);
    dialog_.setAutoReset(false);
    dialog_.setValue(0);
}

ImportProgress::~ImportProgress()
{
    dialog_.close();
}

void ImportProgress::setDone(int done)
{
    // Each update lets the dialog paint; every row would make the repaint cost more than the row.
    if (done % 50 == 0 || done == dialog_.maximum())
        dialog_.setValue(done);
}
