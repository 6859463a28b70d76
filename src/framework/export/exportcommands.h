// The export as the user starts it: the file name asked through the platform, a progress dialog that
// can cancel, and a failure shown in a message.
#pragma once

#include "exportsources.h"

class Dataset;
class QMenu;
class QWidget;

namespace ExportCommands {

// The file-dialog filters and suffixes of the formats.
QString filter(ExportFormat format);

// Asks for a file name and writes the table there; false when nothing was written.
bool exportTable(QWidget* parent, ExportFormat format, const ExportTable& table);

// Exports the fields of a dataset as a grid shows them: a query through a cursor of its own, any other
// dataset through its own rows.
bool exportDataset(QWidget* parent, ExportFormat format, Dataset* dataset, const QList<ExportField>& fields,
                   const QString& title);

// The grid's context menu entries "Exportálás Excelbe…" and "Exportálás CSV-be…".
void addMenuActions(QMenu& menu, const std::function<void(ExportFormat)>& run);

// Asks for a .pdf file name and has `print` write the PDF to the file it is given; false when nothing
// was written.
bool exportPdf(QWidget* parent, const std::function<bool(const QString&)>& print);

}
