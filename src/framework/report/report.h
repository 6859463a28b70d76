// A report component: holds the template loaded last, prepares pages from the report datasets the
// template names, and shows them in the modal preview.
#pragma once

#include "reportpages.h"
#include "reporttemplate.h"
#include "reportvariables.h"

#include <QObject>
#include <QSizeF>
#include <optional>

class QWidget;

class Report : public QObject {
    Q_OBJECT
public:
    explicit Report(const QString& name, QObject* parent = nullptr);

    // Replaces the template by the file's; a bare name is looked up in the working folder. Throws
    // ReportError when the file cannot be opened or read; the old template then stays.
    void loadFromFile(const QString& fileName);
    bool isLoaded() const { return template_.has_value(); }
    QString fileName() const { return fileName_; }

    // The orientation of the pages and of the printer; landscape unless set otherwise.
    void setLandscape(bool landscape) { landscape_ = landscape; }
    bool isLandscape() const { return landscape_; }
    QSizeF pageSize() const;   // A4 in millimetres, orientation applied

    // Lays out the pages without a GUI, firing the report datasets' events. Throws on failure: no
    // template loaded, an unknown report dataset, or any error of a dataset or of its events.
    ReportPages prepare();
    // Prepares, then runs the preview modally through the platform. Nothing is shown when preparing
    // fails.
    void showPreview(QWidget* parent = nullptr);

private:
    std::optional<ReportTemplate> template_;
    QString fileName_;
    bool landscape_ = true;
};
