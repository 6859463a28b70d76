// Laid-out report pages: every text item with its place in millimetres, ready to paint or to read.
#pragma once

#include "reporttemplate.h"

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

struct ReportItem {
    QRectF rect;   // on the page, in millimetres
    QString text;
    FontStyle font;
    Qt::Alignment alignment;
    int frame = 0;
    bool wordWrap = false;
    BandKind band = BandKind::Title;
    int row = -1;   // the master data row it belongs to, from 0; -1 for other bands
};

struct ReportPage {
    QList<ReportItem> items;

    QStringList texts() const;   // in the order they were laid out
};

struct ReportPages {
    QSizeF pageSize;   // millimetres, orientation applied
    QList<ReportPage> pages;
    // Field names that were neither a column of the band's dataset nor a report variable; they were
    // written as empty text.
    QStringList unresolvedNames;

    int pageCount() const { return int(pages.size()); }
    QStringList texts() const;                    // every page, in order
    QStringList bandTexts(BandKind kind) const;   // the items of one kind of band, in order
    QList<QStringList> rows() const;              // the texts of each master data row
};
