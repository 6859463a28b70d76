// A report's laid-out pages read back as a table for the export.
#include "reportexport.h"

#include "formats.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

// Items whose tops lie within this many millimetres stand on one line.
constexpr double LineTolerance = 1.0;

QList<QList<const ReportItem*>> linesOf(QList<const ReportItem*> items)
{
    std::stable_sort(items.begin(), items.end(), [](const ReportItem* a, const ReportItem* b) {
        return a->rect.top() < b->rect.top() - LineTolerance ||
               (qAbs(a->rect.top() - b->rect.top()) <= LineTolerance && a->rect.left() < b->rect.left());
    });
    QList<QList<const ReportItem*>> lines;
    for (const ReportItem* item : items) {
        if (lines.isEmpty() || qAbs(lines.last().first()->rect.top() - item->rect.top()) > LineTolerance)
            lines.append(QList<const ReportItem*>());
        lines.last().append(item);
    }
    return lines;
}

QString joined(const QList<const ReportItem*>& line)
{
    QStringList texts;
    for (const ReportItem* item : line)
        if (!item->text.trimmed().isEmpty())
            texts << item->text.simplified();
    return texts.join(QLatin1String("   "));
}

// A text as the cell it shows: a number when it is right-aligned and reads as one, a date when it is a
// whole date in the short date format.
QVariant reportCell(const ReportItem& item, int* decimals)
{
    const QString text = item.text.trimmed();
    if (text.isEmpty())
        return {};
    if (text.size() == Formats::shortDateFormat().size()) {
        if (const auto date = Formats::parseDate(text))
            return *date;
    }
    static const QRegularExpression numeric(QStringLiteral("^-?[0-9][0-9 \u00A0.]*(,[0-9]+)?$"));
    if ((item.alignment & Qt::AlignRight) && numeric.match(text).hasMatch()) {
        if (const auto number = Formats::parseNumber(text)) {
            const int comma = int(text.indexOf(Formats::decimalSeparator()));
            *decimals = qMax(*decimals, comma < 0 ? 0 : int(text.size()) - comma - 1);
            return *number;
        }
    }
    return text;
}

class ReportRows : public ExportRows {
public:
    QList<ExportColumn> columns() const override { return columns_; }
    bool nextBlock(int count, QList<ExportRow>& rows) override
    {
        const int end = int(qMin<qsizetype>(rows_.size(), next_ + count));
        for (; next_ < end; ++next_)
            rows.append(rows_[next_]);
        return next_ < rows_.size();
    }

    QList<ExportColumn> columns_;
    QList<ExportRow> rows_;
    int next_ = 0;
};

// The column under the edge a text is aligned to (the right edge for right-aligned texts, the left
// otherwise), so that a wide summary text stays under the title it starts at; the column it overlaps
// most when no column lies there.
int columnOf(const QList<std::pair<double, double>>& spans, const ReportItem& item)
{
    constexpr double Inside = 0.5;
    const double edge =
        (item.alignment & Qt::AlignRight) ? item.rect.right() - Inside : item.rect.left() + Inside;
    for (int i = 0; i < spans.size(); ++i)
        if (edge >= spans[i].first && edge <= spans[i].second)
            return i;
    int best = 0;
    double bestScore = -1e9;
    for (int i = 0; i < spans.size(); ++i) {
        const double overlap =
            qMin(spans[i].second, item.rect.right()) - qMax(spans[i].first, item.rect.left());
        if (overlap > bestScore) {
            bestScore = overlap;
            best = i;
        }
    }
    return best;
}

}

ExportTable reportTable(const ReportPages& pages, const QString& sheetName,
                        std::unique_ptr<ExportRows>& rowsHolder)
{
    auto rows = std::make_unique<ReportRows>();
    ExportTable table;
    table.sheetName = sheetName;
    QList<const ReportItem*> title, header, summary;
    QList<QList<const ReportItem*>> data;
    for (int page = 0; page < pages.pageCount(); ++page) {
        for (const ReportItem& item : pages.pages[page].items) {
            if (item.row >= 0) {
                while (data.size() <= item.row)
                    data.append(QList<const ReportItem*>());
                data[item.row].append(&item);
            } else if (item.band == BandKind::Title) {
                title.append(&item);
            } else if (item.band == BandKind::PageHeader && page == 0) {
                header.append(&item);
            } else if (item.band == BandKind::Summary) {
                summary.append(&item);
            }
        }
    }
    for (const auto& line : linesOf(title))
        table.headLines << joined(line);
    // The page header's last line titles the columns; lines above it belong to the head.
    QList<QList<const ReportItem*>> headerLines = linesOf(header);
    QList<const ReportItem*> titles =
        headerLines.isEmpty() ? QList<const ReportItem*>() : headerLines.takeLast();
    for (const auto& line : std::as_const(headerLines))
        table.headLines << joined(line);
    if (titles.isEmpty() && !data.isEmpty())
        titles = linesOf(data.first()).value(0);
    QList<std::pair<double, double>> spans;
    for (const ReportItem* item : std::as_const(titles)) {
        spans.append({item->rect.left(), item->rect.right()});
        rows->columns_.append({item->row >= 0 ? QString() : item->text.simplified()});
    }
    if (spans.isEmpty()) {
        spans.append({0, pages.pageSize.width()});
        rows->columns_.append(ExportColumn());
    }
    QList<int> decimals(spans.size(), 0);
    QList<bool> numeric(spans.size(), true), dated(spans.size(), true), filled(spans.size(), false);
    const auto cellsOf = [&](const QList<const ReportItem*>& items, bool typed) {
        ExportRow row(spans.size());
        for (const ReportItem* item : items) {
            const int column = columnOf(spans, *item);
            int places = 0;
            QVariant cell = reportCell(*item, &places);
            if (cell.isNull())
                continue;
            if (!row[column].isNull())   // two texts under one title stay together as text
                cell = row[column].toString() + QLatin1Char(' ') + item->text.trimmed();
            row[column] = cell;
            if (typed) {
                filled[column] = true;
                numeric[column] = numeric[column] && cell.typeId() == QMetaType::Double;
                dated[column] = dated[column] && cell.typeId() == QMetaType::QDate;
                decimals[column] = qMax(decimals[column], places);
            }
        }
        return row;
    };
    for (const auto& items : std::as_const(data))
        rows->rows_.append(cellsOf(items, true));
    for (const auto& line : linesOf(summary))
        table.totals.append(cellsOf(line, false));
    for (int i = 0; i < spans.size(); ++i) {
        if (filled[i] && numeric[i])
            rows->columns_[i] = {rows->columns_[i].title, ExportColumn::Kind::Number, decimals[i]};
        else if (filled[i] && dated[i])
            rows->columns_[i].kind = ExportColumn::Kind::Date;
        else if (filled[i]) {   // a column of mixed cells is text throughout
            for (ExportRow& row : rows->rows_) {
                if (row[i].typeId() == QMetaType::QDate)
                    row[i] = Formats::formatDate(row[i].toDate());
                else if (row[i].typeId() == QMetaType::Double)
                    row[i] = Formats::formatGeneral(row[i].toDouble());
            }
        }
    }
    table.rows = rows.get();
    rowsHolder = std::move(rows);
    return table;
}
