// Posting the purchase-ticket work rows into movement lines, and the closing pass that gives the lines
// of each item number the code of its item.
#pragma once

#include <QString>
#include <functional>

namespace TicketPosting {

// The movement type the form shows: its code (BMKOD) and short key (BMNEM), written as they stand.
struct MovementType {
    QString code;
    QString key;
};

// Hears the progress of a run: rows done, rows in all, and the document number given last (empty
// while none has been given).
using Progress = std::function<void(int done, int total, const QString& lastNumber)>;

// Posts every work row that no movement line carries yet. Each row is its own unit of work (its new
// item, new partner, counter advance and line), so a failing row is reported and rolled back alone
// and the run goes on. Returns false when the run had to stop because no unit of work could be run.
// `belowZero`, when given, receives how many of the stored lines took their item's stock on their date
// below zero (a ticket with a negative quantity); the run never stops for them.
bool postWorkRows(const MovementType& type, const Progress& progress = {}, int* belowZero = nullptr);

// Lines whose item number has an item row and of which at least one carries a code shorter than five
// characters all get the first code of that item number (in code order). A line whose item number has
// no item row, or only rows without a code, keeps its code. One statement per item number to change,
// all in one unit of work; a statement that fails is reported and the others still run.
void fillItemCodes();

}
