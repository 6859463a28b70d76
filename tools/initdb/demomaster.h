// Demo master data: warehouses, employees, movement types, partners, items and the user's own data.
#pragma once

#include "demodata.h"

class Connection;
class Transaction;

// Inserts the master rows in the counts the options give and commits; returns what the movement lines
// need to refer to them.
DemoWorld insertDemoMasterData(Connection& connection, const DemoOptions& options);

// The partners the options ask for: a number given, or the named ones and one producer for 20 items.
int demoPartnerCount(const DemoOptions& options);

// Codes of one table share their width, so that their text order is their numeric order and the entry
// forms' "last code plus one" gives a fresh code: 1..9, 10..99, 100..999 and so on.
QString demoCode(int index, int count);

// Runs one INSERT per row, binding :p1, :p2, ... as text.
void insertTextRows(Transaction& transaction, const QString& sql, const std::vector<QStringList>& rows);
