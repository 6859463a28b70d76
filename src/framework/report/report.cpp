// The report component.
#include "report.h"

#include "platform.h"
#include "reporterror.h"
#include "reportlayout.h"
#include "reportpreview.h"

#include <QPageSize>

Report::Report(const QString& name, QObject* parent) : QObject(parent)
{
    setObjectName(name);
}

void Report::loadFromFile(const QString& fileName)
{
    template_ = ReportTemplate::load(fileName);
    fileName_ = fileName;
}

QSizeF Report::pageSize() const
{
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    return landscape_ ? a4.transposed() : a4;
}

ReportPages Report::prepare()
{
    if (!template_)
        throw ReportError(QStringLiteral("A(z) \"%1\" jelentéshez nincs sablon betöltve.").arg(objectName()));
    return ReportLayout(*template_, pageSize()).run();
}

void Report::showPreview(QWidget* parent)
{
    ReportPreview preview(prepare(), parent);
    Platform::instance().runModal(&preview);
}
