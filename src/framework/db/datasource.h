// A named binding point between a dataset and the grids, labels and report datasets that show it.
#pragma once

#include <QObject>

class Dataset;

class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(Dataset* dataset = nullptr, QObject* parent = nullptr)
        : QObject(parent), dataset_(dataset)
    {
    }
    Dataset* dataset() const { return dataset_; }
    void setDataset(Dataset* dataset) { dataset_ = dataset; }

private:
    Dataset* dataset_;
};
