// The rows step of preparing a report: opens a report dataset's query when it is closed, fires the
// open event once, and moves through the rows firing first or next before each row is laid out.
#pragma once

class Dataset;
class ReportDataset;

class ReportRows {
public:
    // Throws ReportError when the report dataset has no dataset behind it.
    explicit ReportRows(ReportDataset& reportDataset);

    // Opens the query (with the statement and parameters it last held) when it is closed, then fires
    // the open event. Errors of either end the preparation.
    void open();
    // Moves to the first row, then to each following one; fires the first or next event on arrival.
    // False, without an event, when there is no further row. The query stays open afterwards.
    bool nextRow();

    Dataset* dataset() const { return dataset_; }

private:
    ReportDataset& reportDataset_;
    Dataset* dataset_;
    bool started_ = false;
};
