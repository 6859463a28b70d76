// Report datasets and the registry through which templates find them by name.
#include "reportdataset.h"

#include <QList>

namespace {

QList<ReportDataset*>& registry()
{
    static QList<ReportDataset*> live;
    return live;
}

}

ReportDataset::ReportDataset(const QString& name, DataSource* source, QObject* parent)
    : QObject(parent), source_(source)
{
    setObjectName(name);
    registry().append(this);
}

ReportDataset::~ReportDataset()
{
    registry().removeOne(this);
}

Dataset* ReportDataset::dataset() const
{
    return source_ ? source_->dataset() : nullptr;
}

ReportDataset* ReportDataset::find(const QString& name)
{
    const QList<ReportDataset*>& live = registry();
    for (auto it = live.crbegin(); it != live.crend(); ++it) {
        if ((*it)->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return *it;
    }
    return nullptr;
}
