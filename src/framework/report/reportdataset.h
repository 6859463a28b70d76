// A named report dataset over a data source, with the open, first and next events that run while a
// report is prepared. Templates find the live datasets by name.
#pragma once

#include "datasource.h"

#include <QObject>
#include <QPointer>
#include <functional>

class Dataset;

class ReportDataset : public QObject {
    Q_OBJECT
public:
    ReportDataset(const QString& name, DataSource* source, QObject* parent = nullptr);
    ~ReportDataset() override;

    DataSource* source() const { return source_; }
    void setSource(DataSource* source) { source_ = source; }
    // The dataset behind the data source, or nullptr.
    Dataset* dataset() const;

    // Empty means no event. Open runs once before the first row; first and next run after the
    // dataset has moved to a row and before that row is laid out.
    std::function<void()> onOpen, onFirst, onNext;

    // The live report dataset with this objectName (letter case ignored); the newest when several
    // share it; nullptr when none.
    static ReportDataset* find(const QString& name);

private:
    QPointer<DataSource> source_;
};
