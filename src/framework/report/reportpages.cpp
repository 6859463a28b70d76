// Reading the texts of laid-out pages.
#include "reportpages.h"

QStringList ReportPage::texts() const
{
    QStringList result;
    result.reserve(items.size());
    for (const ReportItem& item : items)
        result.append(item.text);
    return result;
}

QStringList ReportPages::texts() const
{
    QStringList result;
    for (const ReportPage& page : pages)
        result += page.texts();
    return result;
}

QStringList ReportPages::bandTexts(BandKind kind) const
{
    QStringList result;
    for (const ReportPage& page : pages) {
        for (const ReportItem& item : page.items) {
            if (item.band == kind)
                result.append(item.text);
        }
    }
    return result;
}

QList<QStringList> ReportPages::rows() const
{
    QList<QStringList> result;
    for (const ReportPage& page : pages) {
        for (const ReportItem& item : page.items) {
            if (item.row < 0)
                continue;
            while (result.size() <= item.row)
                result.append(QStringList());
            result[item.row].append(item.text);
        }
    }
    return result;
}
