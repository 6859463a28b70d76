// Moving through a report dataset's rows with its events.
#include "reportrows.h"

#include "dataset.h"
#include "reportdataset.h"
#include "reporterror.h"

ReportRows::ReportRows(ReportDataset& reportDataset)
    : reportDataset_(reportDataset), dataset_(reportDataset.dataset())
{
    if (!dataset_) {
        throw ReportError(QStringLiteral("The report dataset \"%1\" has no data source")
                              .arg(reportDataset.objectName()));
    }
}

void ReportRows::open()
{
    if (!dataset_->isOpen())
        dataset_->open();
    started_ = false;
    if (reportDataset_.onOpen)
        reportDataset_.onOpen();
}

bool ReportRows::nextRow()
{
    const bool first = !started_;
    if (first) {
        started_ = true;
        dataset_->first();
    } else {
        dataset_->next();
    }
    if (dataset_->isEmpty() || dataset_->eof())
        return false;
    const std::function<void()>& event = first ? reportDataset_.onFirst : reportDataset_.onNext;
    if (event)
        event();
    return true;
}
