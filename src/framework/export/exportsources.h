// The rows an export reads: a dataset as a grid shows it, a fresh cursor over a query's statement, or
// the laid-out pages of a report.
#pragma once

#include "tableexport.h"

#include <QPointer>
#include <memory>

class Dataset;
class Query;
class Cursor;
struct ColumnInfo;

// One exported column of a dataset: its field and its title.
struct ExportField {
    QString field;
    QString title;
};

// The type of an exported column from the dataset column it shows.
ExportColumn exportColumn(const ColumnInfo& info, const QString& title);

// The rows a dataset holds and fetches, from its first row; the dataset keeps every row it fetched.
class DatasetRows : public ExportRows {
public:
    DatasetRows(Dataset* dataset, const QList<ExportField>& fields);
    QList<ExportColumn> columns() const override { return columns_; }
    bool nextBlock(int count, QList<ExportRow>& rows) override;

private:
    QPointer<Dataset> dataset_;
    QList<ExportColumn> columns_;
    QList<int> indexes_;
    int next_ = 0;
};

// The rows of a query's statement and parameters read again through a cursor of its own, so that only
// one block is ever in memory however long the list.
class QueryStreamRows : public ExportRows {
public:
    QueryStreamRows(Query& query, const QList<ExportField>& fields);
    ~QueryStreamRows() override;
    QList<ExportColumn> columns() const override { return columns_; }
    bool nextBlock(int count, QList<ExportRow>& rows) override;

private:
    std::unique_ptr<Query> query_;
    std::unique_ptr<Cursor> cursor_;
    QList<ExportColumn> columns_;
    QList<int> indexes_;
};

// The cells of a dataset field: null, a number, a date or a text.
QVariant exportCell(const class Field& field);
