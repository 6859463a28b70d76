// Moving through a report dataset's rows with its events.
#include "reportrows.h"

#include "dataset.h"
#include "reportdataset.h"
#include "reporterror.h"

ReportRows::ReportRows(ReportDataset& reportDataset)
    : reportDataset_(reportDataset), dataset_(reportDataset.dataset())
{
    if (!dataset_) {
        throw ReportError(QStringLiteral("A(z) \"%1\" adatkészlethez nem tartozik adatforrás.")
                              .arg(reportDataset.objectName()));
    }
}

ReportRows::~ReportRows()
{
    if (dataset_ && dataset_->isOpen() && startRow_ >= 0)
        dataset_->moveTo(startRow_);
}

void ReportRows::open()
{
    if (!dataset_->isOpen())
        dataset_->open();
    startRow_ = dataset_->currentRow();
    started_ = false;
    if (reportDataset_.onOpen)
        reportDataset_.onOpen();
}

bool ReportRows::nextRow()
{
    if (!started_) {
        started_ = true;
        dataset_->first();
        if (reportDataset_.onFirst)
            reportDataset_.onFirst();
        return !atEnd();
    }
    dataset_->next();
    if (atEnd())
        return false;
    if (reportDataset_.onNext)
        reportDataset_.onNext();
    return true;
}

bool ReportRows::atEnd() const
{
    return dataset_->isEmpty() || dataset_->eof();
}
