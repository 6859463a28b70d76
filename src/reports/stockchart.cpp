// The stock chart dialog.
#include "stockchart.h"

#include "dataset.h"
#include "formats.h"
#include "platform.h"
#include "reportform.h"
#include "tableexport.h"

#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {

constexpr int MaxDateLabels = 8;

}

QList<double> runningStock(const StockChartData& data)
{
    QList<double> stock{data.opening};
    for (const StockMovement& line : data.lines)
        stock.append((stock.last() + line.increase) - line.decrease);
    return stock;
}

QList<StockMovement> movementsOf(Dataset& lines)
{
    QList<StockMovement> result;
    if (!lines.isOpen())
        return result;
    lines.recordCount();
    const int date = lines.columnIndex(QStringLiteral("BBIZDATUM"));
    const int document = lines.columnIndex(QStringLiteral("BBSZAM"));
    const int increase = lines.columnIndex(QStringLiteral("BMENOV"));
    const int decrease = lines.columnIndex(QStringLiteral("BMECSOK"));
    for (int row = 0; row < lines.fetchedCount(); ++row)
        result.append({lines.fieldAt(row, date).asDate(), lines.fieldAt(row, document).asString(),
                       lines.fieldAt(row, increase).asFloat(), lines.fieldAt(row, decrease).asFloat()});
    return result;
}

StockChartDialog::StockChartDialog(const StockChartData& data, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("StockChart"));
    setWindowTitle(QStringLiteral("Készlet grafikon"));
    resize(900, 560);

    stock_ = runningStock(data);
    const QList<double>& stock = stock_;
    // One category for the opening balance and one for each line; the axis needs distinct texts.
    QStringList categories{QStringLiteral("Nyitó")};
    auto* increases = new QBarSet(QStringLiteral("Növekedés"));
    auto* decreases = new QBarSet(QStringLiteral("Csökkenés"));
    increases->setColor(QColor(0x3a, 0x9a, 0x4a));
    decreases->setColor(QColor(0xc8, 0x3c, 0x32));
    *increases << 0;
    *decreases << 0;
    for (const StockMovement& line : data.lines) {
        QString label = Formats::formatDate(line.date);
        for (int n = 2; categories.contains(label); ++n)
            label = QStringLiteral("%1 (%2)").arg(Formats::formatDate(line.date)).arg(n);
        categories << label;
        *increases << line.increase;
        *decreases << -line.decrease;
    }
    auto* bars = new QStackedBarSeries;
    bars->append(increases);
    bars->append(decreases);

    // The stock holds until the next line changes it: a step at each category.
    auto* line = new QLineSeries;
    line->setName(QStringLiteral("Készlet"));
    QPen pen(QColor(0x1f, 0x4e, 0x9a));
    pen.setWidth(3);
    line->setPen(pen);
    for (int i = 0; i < stock.size(); ++i) {
        if (i > 0)
            steps_.append(QPointF(i, stock[i - 1]));
        steps_.append(QPointF(i, stock[i]));
    }
    steps_.append(QPointF(stock.size() - 0.5, stock.last()));
    line->append(steps_);

    auto* chart = new QChart;
    chart->setTitle(data.title);
    chart->addSeries(bars);
    chart->addSeries(line);
    // The dates under their lines; a long period labels every few lines so that the labels stay legible.
    auto* xAxis = new QCategoryAxis;
    xAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    xAxis->setRange(-0.5, categories.size() - 0.5);
    const int every = int(categories.size() + MaxDateLabels - 1) / MaxDateLabels;
    for (int i = 0; i < categories.size(); i += every)
        xAxis->append(categories[i], i);
    xAxis->setGridLineVisible(false);
    xAxis->setTitleText(QStringLiteral("Dátum"));
    auto* yAxis = new QValueAxis;
    yAxis->setTitleText(QStringLiteral("Mennyiség"));
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);
    bars->attachAxis(xAxis);
    bars->attachAxis(yAxis);
    line->attachAxis(xAxis);
    line->attachAxis(yAxis);
    double low = 0, high = 0;
    for (double value : stock) {
        low = qMin(low, value);
        high = qMax(high, value);
    }
    for (const StockMovement& movement : data.lines) {
        low = qMin(low, -movement.decrease);
        high = qMax(high, movement.increase);
    }
    yAxis->setRange(low, high == low ? low + 1 : high);
    yAxis->applyNiceNumbers();
    yAxis->setLabelFormat(yAxis->max() - yAxis->min() >= 10 ? QStringLiteral("%.0f")
                                                            : QStringLiteral("%.2f"));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale(QLocale::Hungarian, QLocale::Hungary));

    view_ = new QChartView(chart, this);
    view_->setObjectName(QStringLiteral("chartView"));
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setAccessibleName(QStringLiteral("Készlet grafikon"));
    view_->setAccessibleDescription(
        QStringLiteral("%1: nyitó készlet %2, záró készlet %3, %4 tétel")
            .arg(data.title, Formats::formatAmount(data.opening, 3), Formats::formatAmount(stock.last(), 3))
            .arg(data.lines.size()));
    view_->setFocusPolicy(Qt::StrongFocus);

    printButton_ = new QPushButton(QStringLiteral("&Nyomtatás"), this);
    printButton_->setObjectName(QStringLiteral("printButton"));
    imageButton_ = new QPushButton(QStringLiteral("&Mentés képként…"), this);
    imageButton_->setObjectName(QStringLiteral("imageButton"));
    imageButton_->setAccessibleName(QStringLiteral("Mentés képként"));
    closeButton_ = new QPushButton(QStringLiteral("&Bezárás"), this);
    closeButton_->setObjectName(QStringLiteral("closeButton"));
    closeButton_->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(printButton_);
    buttons->addWidget(imageButton_);
    buttons->addWidget(closeButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
    setTabOrder(view_, printButton_);
    setTabOrder(printButton_, imageButton_);
    setTabOrder(imageButton_, closeButton_);

    connect(printButton_, &QPushButton::clicked, this, &StockChartDialog::print);
    connect(imageButton_, &QPushButton::clicked, this, &StockChartDialog::saveAsImage);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::accept);
}

bool StockChartDialog::savePng(const QString& path) const
{
    // As the exports: complete or not at all, with the permissions of a new file.
    const QPixmap image = view_->grab();
    return TableExport::writeReplacing(path, [&image](const QString& temporaryPath) {
               return image.save(temporaryPath, "PNG") ? ExportResult{}
                                                       : ExportResult{ExportResult::Status::Failed, {}, 0};
           }).status == ExportResult::Status::Written;
}

void StockChartDialog::saveAsImage()
{
    QString path = Platform::instance().saveFileName(const_cast<StockChartDialog*>(this),
                                                     QStringLiteral("Grafikon mentése"), QString(),
                                                     QStringLiteral("PNG-kép (*.png)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        path += QLatin1String(".png");
    if (!savePng(path))
        Platform::instance().information(QStringLiteral("A kép nem menthető: %1").arg(path));
}

void StockChartDialog::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!Platform::instance().printDialog(printer, this))
        return;
    QPainter painter(&printer);
    const QRect page = painter.viewport();
    QSize size = view_->size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(view_->rect());
    view_->render(&painter);
}

// The print button's row holds the chart button right after it.
static bool insertAfter(QLayout* layout, QWidget* anchor, QWidget* widget)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == anchor) {
            if (auto* box = qobject_cast<QBoxLayout*>(layout)) {
                box->insertWidget(i + 1, widget);
                return true;
            }
        } else if (item->layout() && insertAfter(item->layout(), anchor, widget)) {
            return true;
        }
    }
    return false;
}

QPushButton* addChartButton(StockReportForm& form, const std::function<void()>& show)
{
    auto* button = new QPushButton(QStringLiteral("&Grafikon"), &form);
    button->setObjectName(QStringLiteral("chartButton"));
    button->setAccessibleName(QStringLiteral("Grafikon"));
    button->setToolTip(QStringLiteral("A készlet alakulása grafikonon"));
    if (form.layout())
        insertAfter(form.layout(), form.Button7, button);
    QWidget::setTabOrder(form.Button7, button);
    QObject::connect(button, &QPushButton::clicked, &form, [&form, show] {
        if (form.checkDates())
            show();
    });
    return button;
}

void showStockChart(const StockChartData& data, QWidget* parent)
{
    StockChartDialog dialog(data, parent);
    Platform::instance().runModal(&dialog);
}
