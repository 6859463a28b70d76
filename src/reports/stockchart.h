// The stock chart of an item or a batch number over a period: the running stock as a step line, from
// the opening balance and then after each line, with the increases and decreases as bars.
#pragma once

#include <QDate>
#include <QDialog>
#include <QList>
#include <QString>
#include <functional>

class Dataset;
class QChartView;
class QPushButton;
class StockReportForm;

struct StockMovement {
    QDate date;
    QString document;
    double increase = 0;
    double decrease = 0;
};

struct StockChartData {
    QString title;        // what the stock is of, and the period
    double opening = 0;   // the balance before the period
    QList<StockMovement> lines;
};

// The running stock: the opening balance, then the stock after each line in turn.
QList<double> runningStock(const StockChartData& data);

// The lines of a card's list in the order it shows them (columns BBIZDATUM, BBSZAM, BMENOV, BMECSOK).
QList<StockMovement> movementsOf(Dataset& lines);

class StockChartDialog : public QDialog {
    Q_OBJECT
public:
    explicit StockChartDialog(const StockChartData& data, QWidget* parent = nullptr);

    QChartView* chartView() const { return view_; }
    // The running stock drawn: the opening balance, then after each line.
    const QList<double>& stock() const { return stock_; }
    // The points of the step line: (category, stock), two for each change of stock.
    QList<QPointF> stepPoints() const { return steps_; }
    // Writes the chart as a PNG; false when the file cannot be written.
    bool savePng(const QString& path) const;

private:
    void print();
    void saveAsImage();

    QChartView* view_ = nullptr;
    QList<double> stock_;
    QList<QPointF> steps_;
    QPushButton* printButton_ = nullptr;
    QPushButton* imageButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

// A "Grafikon" button beside the form's print button, next in the tab order, that runs `show`.
QPushButton* addChartButton(StockReportForm& form, const std::function<void()>& show);

// Shows the chart modally through the platform.
void showStockChart(const StockChartData& data, QWidget* parent);
