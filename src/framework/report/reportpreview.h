// The modal preview of prepared pages: zoom, print, export to a spreadsheet or a PDF, and exit.
#pragma once

#include "reportpages.h"

#include <QDialog>

class QComboBox;
class QPushButton;
class QScrollArea;

// The pages one under the other at the chosen zoom; paints only the pages in view.
class ReportPreviewCanvas : public QWidget {
    Q_OBJECT
public:
    ReportPreviewCanvas(const ReportPages& pages, QWidget* parent = nullptr);

    void setZoom(double zoom);
    double zoom() const { return zoom_; }
    double pixelsPerMm() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSize pageSizePixels() const;

    const ReportPages& pages_;
    double zoom_ = 1.0;
};

class ReportPreview : public QDialog {
    Q_OBJECT
public:
    explicit ReportPreview(ReportPages pages, QWidget* parent = nullptr);

    const ReportPages& pages() const { return pages_; }
    ReportPreviewCanvas* canvas() const { return canvas_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void zoomChosen(int index);
    void applyZoom();
    void printPages();
    void exportSpreadsheet();
    void exportPdf();

    ReportPages pages_;
    QComboBox* zoomBox_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QPushButton* excelButton_ = nullptr;
    QPushButton* pdfButton_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    QScrollArea* scrollArea_ = nullptr;
    ReportPreviewCanvas* canvas_ = nullptr;
};
