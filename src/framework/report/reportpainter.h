// The painting step: laid-out pages drawn on any paint device (preview, printer, PDF).
#pragma once

#include "reportpages.h"

#include <QPageLayout>
#include <QPointF>

class QPainter;
class QPrinter;

namespace ReportPainter {

// Draws one page with its top left corner at `origin` (device pixels), `pixelsPerMm` device pixels
// to the millimetre.
void paintPage(QPainter& painter, const ReportPage& page, double pixelsPerMm, QPointF origin = {});

// The page layout (A4, orientation from the page size, no margins: the template has its own).
QPageLayout pageLayout(const ReportPages& pages);

// Prints the pages of the printer's page range (all when none is chosen).
void print(const ReportPages& pages, QPrinter& printer);

// Writes the pages to a PDF file; throws ReportError when the file cannot be written.
void writePdf(const ReportPages& pages, const QString& fileName);

}
