// The events of the data module's report datasets: the running stock of the item and batch-number
// cards, and the opening and closing stock of each item of the item summary.
#pragma once

class TData;

// The stock brought forward by the collection of the card about to be printed: the printed running
// stock of the cards starts from it, so that each printed line shows the stock after it and the last
// one the closing balance.
void setCardOpeningStock(double opening);

// Installs the events on frDBDataSet1, frDBTetelszam (running stock) and frDBDataSet2 (item summary).
void installReportEvents(TData& data);
