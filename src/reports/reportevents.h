// The events of the data module's report datasets: the running stock of the item and batch-number
// cards, and the opening and closing stock of each item of the item summary.
#pragma once

class TData;

// Installs the events on frDBDataSet1, frDBTetelszam (running stock) and frDBDataSet2 (item summary).
void installReportEvents(TData& data);
