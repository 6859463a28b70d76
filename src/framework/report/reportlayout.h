// The layout step of preparing a report: places the template's bands on pages (title once, page
// header and footer on every page, a master data band per row, the summary at the end).
#pragma once

#include "reportfields.h"
#include "reportpages.h"
#include "reporttemplate.h"

#include <QSizeF>
#include <optional>

class ReportLayout {
public:
    // `pageSize` in millimetres, orientation applied.
    ReportLayout(const ReportTemplate& reportTemplate, QSizeF pageSize);

    // Runs the rows of the master data band's report dataset through their events and lays out the
    // pages. Throws ReportError for an unknown report dataset; errors of the events end it too.
    ReportPages run();

private:
    void startPage();
    void finishPage();
    void placeFlowing(const Band& band, int row);
    void place(const Band& band, double top, int row);
    double flowBottom() const;

    const ReportTemplate& template_;
    ReportPages result_;
    std::optional<FieldResolver> resolver_;
    double y_ = 0;
    bool pageHasFlow_ = false;
    QList<std::pair<int, int>> pageCountItems_;   // page and item holding the page count marker
};
