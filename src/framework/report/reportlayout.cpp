// Laying out bands on pages.
#include "reportlayout.h"

#include "reportdataset.h"
#include "reporterror.h"
#include "reportrows.h"

namespace {

// Rounding of band heights must not push a band that just fits onto the next page.
constexpr double Tolerance = 0.001;

}

ReportLayout::ReportLayout(const ReportTemplate& reportTemplate, QSizeF pageSize) : template_(reportTemplate)
{
    result_.pageSize = pageSize;
}

ReportPages ReportLayout::run()
{
    std::optional<ReportRows> rows;
    const Band* master = template_.band(BandKind::MasterData);
    if (master) {
        ReportDataset* reportDataset = ReportDataset::find(master->dataset);
        if (!reportDataset)
            throw ReportError(QStringLiteral("A sablonban megnevezett \"%1\" adatkészlet nem létezik.")
                                  .arg(master->dataset));
        rows.emplace(*reportDataset);
        rows->open();
    }
    resolver_.emplace(rows ? rows->dataset() : nullptr, QDate::currentDate(), &result_.unresolvedNames);

    startPage();
    for (int row = 0; rows && rows->nextRow(); ++row)
        placeFlowing(*master, row);
    if (const Band* summary = template_.band(BandKind::Summary))
        placeFlowing(*summary, -1);
    finishPage();

    const QString pageCount = QString::number(result_.pageCount());
    for (const auto& [page, item] : pageCountItems_) {
        QString& text = result_.pages[page].items[item].text;
        text.replace(PageCountMarker, pageCount);
    }
    return std::move(result_);
}

void ReportLayout::startPage()
{
    result_.pages.append(ReportPage());
    y_ = template_.margin;
    pageHasFlow_ = false;
    if (result_.pageCount() == 1) {
        if (const Band* title = template_.band(BandKind::Title)) {
            place(*title, y_, -1);
            y_ += title->height;
        }
    }
    if (const Band* header = template_.band(BandKind::PageHeader)) {
        place(*header, y_, -1);
        y_ += header->height;
    }
}

void ReportLayout::finishPage()
{
    if (const Band* footer = template_.band(BandKind::PageFooter))
        place(*footer, result_.pageSize.height() - template_.margin - footer->height, -1);
}

double ReportLayout::flowBottom() const
{
    const Band* footer = template_.band(BandKind::PageFooter);
    return result_.pageSize.height() - template_.margin - (footer ? footer->height : 0);
}

void ReportLayout::placeFlowing(const Band& band, int row)
{
    // A band taller than an empty page stays where it is rather than breaking pages for ever.
    if (y_ + band.height > flowBottom() + Tolerance && pageHasFlow_) {
        finishPage();
        startPage();
    }
    place(band, y_, row);
    y_ += band.height;
    pageHasFlow_ = true;
}

void ReportLayout::place(const Band& band, double top, int row)
{
    const int pageIndex = result_.pageCount() - 1;
    QList<ReportItem>& items = result_.pages[pageIndex].items;
    for (const TextObject& object : band.objects) {
        ReportItem item;
        item.rect = object.rect.translated(template_.margin, top);
        item.text = resolver_->text(object, pageIndex + 1);
        item.font = object.font;
        item.alignment = object.alignment;
        item.frame = object.frame;
        item.wordWrap = object.wordWrap;
        item.band = band.kind;
        item.row = row;
        if (item.text.contains(PageCountMarker))
            pageCountItems_.append({pageIndex, int(items.size())});
        items.append(std::move(item));
    }
}
