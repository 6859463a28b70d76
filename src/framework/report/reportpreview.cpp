// The preview window.
#include "reportpreview.h"

#include "exportcommands.h"
#include "platform.h"
#include "reportexport.h"
#include "reportpainter.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int PageGap = 12;
const QList<int> ZoomPercents = {50, 75, 100, 125, 150, 200};
constexpr int PageWidth = 0;   // the zoom box's entry that fits the page to the window's width

}

ReportPreviewCanvas::ReportPreviewCanvas(const ReportPages& pages, QWidget* parent)
    : QWidget(parent), pages_(pages)
{
    setObjectName(QStringLiteral("previewCanvas"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Dark);
}

void ReportPreviewCanvas::setZoom(double zoom)
{
    zoom_ = zoom;
    resize(sizeHint());
    update();
}

double ReportPreviewCanvas::pixelsPerMm() const
{
    return zoom_ * logicalDpiX() / 25.4;
}

QSize ReportPreviewCanvas::pageSizePixels() const
{
    return QSize(qRound(pages_.pageSize.width() * pixelsPerMm()),
                 qRound(pages_.pageSize.height() * pixelsPerMm()));
}

QSize ReportPreviewCanvas::sizeHint() const
{
    const QSize page = pageSizePixels();
    const int count = qMax(1, pages_.pageCount());
    return QSize(page.width() + 2 * PageGap, count * (page.height() + PageGap) + PageGap);
}

void ReportPreviewCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QSize page = pageSizePixels();
    const int left = qMax(PageGap, (width() - page.width()) / 2);
    for (int index = 0; index < pages_.pageCount(); ++index) {
        const QRect pageRect(QPoint(left, PageGap + index * (page.height() + PageGap)), page);
        if (!pageRect.intersects(event->rect()))
            continue;
        painter.fillRect(pageRect, Qt::white);
        ReportPainter::paintPage(painter, pages_.pages[index], pixelsPerMm(), pageRect.topLeft());
    }
}

ReportPreview::ReportPreview(ReportPages pages, QWidget* parent) : QDialog(parent), pages_(std::move(pages))
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(QStringLiteral("Nyomtatási kép"));
    // Most of the screen, so that a landscape page fitted to the width is large enough to read.
    const QRect screen = this->screen()->availableGeometry();
    resize(screen.size() * 0.9);
    move(screen.center() - rect().center());

    zoomBox_ = new QComboBox(this);
    zoomBox_->setObjectName(QStringLiteral("zoomBox"));
    zoomBox_->addItem(QStringLiteral("Oldalszélesség"), PageWidth);
    for (int percent : ZoomPercents)
        zoomBox_->addItem(QStringLiteral("%1%").arg(percent), percent);
    zoomBox_->setCurrentIndex(0);
    printButton_ = new QPushButton(QStringLiteral("Nyomtatás"), this);
    printButton_->setObjectName(QStringLiteral("printButton"));
    excelButton_ = new QPushButton(QStringLiteral("Excel"), this);
    excelButton_->setObjectName(QStringLiteral("excelButton"));
    excelButton_->setAccessibleName(QStringLiteral("Exportálás Excelbe"));
    pdfButton_ = new QPushButton(QStringLiteral("PDF"), this);
    pdfButton_->setObjectName(QStringLiteral("pdfButton"));
    pdfButton_->setAccessibleName(QStringLiteral("Exportálás PDF-be"));
    exitButton_ = new QPushButton(QStringLiteral("Kilépés"), this);
    exitButton_->setObjectName(QStringLiteral("exitButton"));
    auto* pageLabel = new QLabel(QStringLiteral("%1 oldal").arg(pages_.pageCount()), this);
    pageLabel->setObjectName(QStringLiteral("pageLabel"));

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("Nagyítás:"), this));
    bar->addWidget(zoomBox_);
    bar->addWidget(printButton_);
    bar->addWidget(excelButton_);
    bar->addWidget(pdfButton_);
    bar->addWidget(exitButton_);
    bar->addStretch();
    bar->addWidget(pageLabel);

    canvas_ = new ReportPreviewCanvas(pages_, this);
    scrollArea_ = new QScrollArea(this);
    scrollArea_->setObjectName(QStringLiteral("scrollArea"));
    scrollArea_->setBackgroundRole(QPalette::Dark);
    scrollArea_->setAlignment(Qt::AlignHCenter);
    scrollArea_->setWidget(canvas_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(scrollArea_);

    connect(zoomBox_, &QComboBox::currentIndexChanged, this, &ReportPreview::zoomChosen);
    connect(printButton_, &QPushButton::clicked, this, &ReportPreview::printPages);
    connect(excelButton_, &QPushButton::clicked, this, &ReportPreview::exportSpreadsheet);
    connect(pdfButton_, &QPushButton::clicked, this, &ReportPreview::exportPdf);
    connect(exitButton_, &QPushButton::clicked, this, &QDialog::accept);
    applyZoom();
}

void ReportPreview::zoomChosen(int)
{
    applyZoom();
}

void ReportPreview::applyZoom()
{
    const int percent = zoomBox_->currentData().toInt();
    if (percent != PageWidth) {
        canvas_->setZoom(percent / 100.0);
        return;
    }
    // The width left for the page once the vertical scroll bar, which several pages need, is there.
    layout()->activate();
    const int available =
        scrollArea_->contentsRect().width() -
        scrollArea_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollArea_) - 2 * PageGap;
    const double pageAtFull = pages_.pageSize.width() * canvas_->logicalDpiX() / 25.4;
    canvas_->setZoom(qMax(0.1, available / pageAtFull));
}

void ReportPreview::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (zoomBox_ && zoomBox_->currentData().toInt() == PageWidth)
        applyZoom();
}

void ReportPreview::printPages()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(ReportPainter::pageLayout(pages_));
    printer.setFromTo(1, pages_.pageCount());
    printer.setPrintRange(QPrinter::AllPages);
    if (Platform::instance().printDialog(printer, this))
        ReportPainter::print(pages_, printer);
}

void ReportPreview::exportSpreadsheet()
{
    std::unique_ptr<ExportRows> rows;
    const ExportTable table =
        reportTable(pages_, parentWidget() ? parentWidget()->windowTitle() : windowTitle(), rows);
    ExportCommands::exportTable(this, ExportFormat::Xlsx, table);
}

// The PDF goes straight to the file, without the print dialog.
void ReportPreview::exportPdf()
{
    ExportCommands::exportPdf(this, [this](const QString& path) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageLayout(ReportPainter::pageLayout(pages_));
        ReportPainter::print(pages_, printer);
        return printer.printerState() != QPrinter::Error;
    });
}
