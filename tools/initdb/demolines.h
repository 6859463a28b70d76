// Demo movement lines: two years of purchases, purchase tickets, sales and stock-taking differences.
#pragma once

#include "demodata.h"

// Inserts `count` lines over the `years` ending with DemoOptions::LastYear in date order, one document
// number each (1, 2, 3, ...), with every movement type of the world, never issuing more of an item than
// is in stock, and sets the document-number counter to the last number used. Commits in blocks.
void insertDemoLines(Connection& connection, const DemoWorld& world, int count, int years,
                     const DemoProgress& progress);
