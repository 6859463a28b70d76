// Painting laid-out pages.
#include "reportpainter.h"

#include "reporterror.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace {

constexpr double MmPerPoint = 25.4 / 72.0;
constexpr double FrameWidthMm = 0.2;
constexpr double TextPaddingMm = 1.0;

QFont deviceFont(const FontStyle& style, double pixelsPerMm)
{
    QFont font(style.family);
    // Pixel sizes keep the text in proportion on devices of any resolution and at any zoom.
    font.setPixelSize(qMax(1, qRound(style.pointSize * MmPerPoint * pixelsPerMm)));
    font.setBold(style.bold);
    font.setItalic(style.italic);
    return font;
}

void paintFrame(QPainter& painter, const QRectF& rect, int frame)
{
    if (frame & FrameLeft)
        painter.drawLine(rect.topLeft(), rect.bottomLeft());
    if (frame & FrameTop)
        painter.drawLine(rect.topLeft(), rect.topRight());
    if (frame & FrameRight)
        painter.drawLine(rect.topRight(), rect.bottomRight());
    if (frame & FrameBottom)
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
}

// `failure`: what the user is told when the device refuses the painter.
void paintPages(const ReportPages& pages, QPagedPaintDevice& device, int fromPage, int toPage,
                const QString& failure)
{
    QPainter painter;
    if (!painter.begin(&device))
        throw ReportError(failure);
    const double pixelsPerMm = device.logicalDpiX() / 25.4;
    for (int index = fromPage; index <= toPage; ++index) {
        if (index > fromPage)
            device.newPage();
        ReportPainter::paintPage(painter, pages.pages[index], pixelsPerMm);
    }
    painter.end();
}

}

namespace ReportPainter {

void paintPage(QPainter& painter, const ReportPage& page, double pixelsPerMm, QPointF origin)
{
    painter.save();
    QPen pen(Qt::black);
    pen.setWidthF(FrameWidthMm * pixelsPerMm);
    painter.setPen(pen);
    const FontStyle* currentStyle = nullptr;
    for (const ReportItem& item : page.items) {
        const QRectF rect(origin.x() + item.rect.x() * pixelsPerMm, origin.y() + item.rect.y() * pixelsPerMm,
                          item.rect.width() * pixelsPerMm, item.rect.height() * pixelsPerMm);
        if (item.frame)
            paintFrame(painter, rect, item.frame);
        if (item.text.isEmpty())
            continue;
        const FontStyle& style = item.font;
        if (!currentStyle || currentStyle->family != style.family ||
            currentStyle->pointSize != style.pointSize || currentStyle->bold != style.bold ||
            currentStyle->italic != style.italic) {
            painter.setFont(deviceFont(style, pixelsPerMm));
            currentStyle = &style;
        }
        const double padding = TextPaddingMm * pixelsPerMm;
        const QRectF textRect = rect.adjusted(padding, 0, -padding, 0);
        const int flags = int(item.alignment) | (item.wordWrap ? Qt::TextWordWrap : Qt::TextSingleLine);
        // drawText clips to the rectangle by itself when the text does not fit.
        painter.drawText(textRect, flags, item.text);
    }
    painter.restore();
}

QPageLayout pageLayout(const ReportPages& pages)
{
    const bool landscape = pages.pageSize.width() > pages.pageSize.height();
    return QPageLayout(QPageSize(QPageSize::A4), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

void print(const ReportPages& pages, QPrinter& printer)
{
    if (pages.pages.isEmpty())
        return;
    printer.setFullPage(true);
    printer.setPageLayout(pageLayout(pages));
    int fromPage = 0;
    int toPage = pages.pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        fromPage = qMin(printer.fromPage() - 1, toPage);
        toPage = qMin(qMax(printer.toPage() - 1, fromPage), toPage);
    }
    paintPages(pages, printer, fromPage, toPage,
               QStringLiteral("A jelentés nem nyomtatható a választott nyomtatóra."));
}

void writePdf(const ReportPages& pages, const QString& fileName)
{
    if (pages.pages.isEmpty())
        return;
    QPdfWriter writer(fileName);
    writer.setResolution(600);
    writer.setPageLayout(pageLayout(pages));
    writer.setCreator(QStringLiteral("Varnel"));
    paintPages(
        pages, writer, 0, pages.pageCount() - 1,
        QStringLiteral("A(z) \"%1\" PDF-fájl nem írható.").arg(QFileInfo(fileName).absoluteFilePath()));
}

}
