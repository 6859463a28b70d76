// A label bound to one field of a data source's current row, refreshed whenever that row changes.
#pragma once

#include "dataset.h"
#include "datasource.h"

#include <QLabel>
#include <QPointer>

class DBText : public QLabel {
    Q_OBJECT
public:
    explicit DBText(QWidget* parent = nullptr);
    DBText(DataSource* source, const QString& fieldName, QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return source_; }
    void setFieldName(const QString& fieldName);
    QString fieldName() const { return fieldName_; }

    // Re-reads the field: its text as shown, empty when the dataset is closed, empty or lacks the field.
    void refresh();

private:
    void bindDataset(Dataset* dataset);

    QPointer<DataSource> source_;
    QString fieldName_;
    QList<QMetaObject::Connection> connections_;
};
