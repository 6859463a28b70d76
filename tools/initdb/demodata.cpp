// The demo database: master data first, then the movement lines that use it.
#include "demodata.h"

#include "demolines.h"
#include "demomaster.h"

void fillDemoData(Connection& connection, const DemoOptions& options, const DemoProgress& progress)
{
    const DemoWorld world = insertDemoMasterData(connection, options);
    insertDemoLines(connection, world, options.lines, options.years, progress);
}
