// The rows step of preparing a report: opens a report dataset's query when it is closed, fires the
// open event once, and moves through the rows firing first or next before each row is laid out.
#pragma once

class Dataset;
class ReportDataset;

class ReportRows {
public:
    // Throws ReportError when the report dataset has no dataset behind it.
    explicit ReportRows(ReportDataset& reportDataset);
    // Puts the query back on the row it stood on before the report, so that a list stays where the
    // user left it and a lookup after printing still hands back that row.
    ~ReportRows();
    ReportRows(const ReportRows&) = delete;
    ReportRows& operator=(const ReportRows&) = delete;

    // Opens the query (with the statement and parameters it last held) when it is closed, then fires
    // the open event. Errors of either end the preparation.
    void open();
    // Moves to the first row, then to each following one, firing the first or next event on arrival;
    // false when there is no such row. The first event fires on an empty result too (the events then
    // read zeros, so a card without lines ends with a running stock of 0); a next event only on a row.
    // The query stays open afterwards.
    bool nextRow();

    Dataset* dataset() const { return dataset_; }

private:
    bool atEnd() const;

    ReportDataset& reportDataset_;
    Dataset* dataset_;
    bool started_ = false;
    int startRow_ = -1;
};
