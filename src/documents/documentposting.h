// Posting one document line: the insert with its document number or the update, as one unit of work
// with the counter advance. It takes the line's values, so it runs and is tested without any form.
#pragma once

#include "saveunit.h"

#include <QDate>
#include <QString>
#include <optional>

class Dataset;

namespace DocumentPosting {

// One movement line as the line form holds it. The figures are as typed: one that is not a number
// fails the posting's step with that reason.
struct Line {
    bool isNew = true;
    QString id;                  // IDB of the line changed
    qint64 proposedNumber = 0;   // a new line: the number the form showed when it opened
    QString key;                 // BKOD, kept as the current document key once stored
    QDate date;
    QString movementKey;     // BMNEM
    QString movementCode;    // BMKOD
    QString itemNumber;      // BCIKKSZAM
    QString itemCode;        // BCKOD
    QString price;           // BEAR, of the figure column the movement's sign chose
    QString quantityIn;      // BMENOV
    QString quantityOut;     // BMECSOK
    QString valueIn;         // BERTNOV
    QString valueOut;        // BERTCSOK
    QString employeeCode;    // BDKOD
    QString warehouseCode;   // BRKOD
    QString original;        // BEREDETI
    QString text;            // BSZOVEG
    QString partnerCode;     // BPKOD
    QString note;            // BMEGJEGY
    QString batch;           // BTETEL
};

struct Result {
    SaveOutcome outcome = SaveOutcome::GuardFailed;
    qint64 number = 0;   // a new line: the number it was stored with
};

// The names the question before a stock goes below zero shows beside the line's codes.
struct ShownNames {
    QString item;        // CMEGN
    QString unit;        // CME
    QString warehouse;   // RNEV
};

// Asked before `line` is stored when it lowers its item's stock on its date below zero, of all
// warehouses or of its own: the question, naming the stock before and after the line; none otherwise.
// None also when a figure is not a number or the stock cannot be read: the posting then reports why.
std::optional<QString> negativeStockQuestion(const Line& line, const ShownNames& names);

// Stores the line in one unit of work on the shared transaction; a new line first takes its number
// from the counter and, when another desk took the proposed one meanwhile, says which it got. Every
// message goes through the Platform. `keptOpen`, for a changed line, is a list that keeps its rows over
// the commit so that the change can be shown in place.
Result post(const Line& line, Dataset* keptOpen = nullptr);

}
