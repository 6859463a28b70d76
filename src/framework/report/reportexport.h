// A report's pages as a table for the spreadsheet export.
#pragma once

#include "reportpages.h"
#include "tableexport.h"

#include <memory>

// A report's pages as a table: the title band's lines as head lines, the page header's texts on the
// first page as column titles, one row per master data row with its texts put under the titles they
// stand under, and the summary band's lines as totals. Numbers (right-aligned texts that read as
// numbers) and dates become numbers and dates again.
ExportTable reportTable(const ReportPages& pages, const QString& sheetName,
                        std::unique_ptr<ExportRows>& rowsHolder);
