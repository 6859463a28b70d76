// The item summary TForm26 ("Cikkszámonkénti összesítö lista"): each item's increases and decreases
// within a date range; the printout adds each item's opening and closing stock.
#pragma once

#include "reportform.h"

class TForm26 : public StockReportForm {
    Q_OBJECT
public:
    explicit TForm26(QWidget* parent = nullptr);

    QPushButton* chartButton;   // "Grafikon": the stock chart of the current row's item

protected:
    void listInOrder(const QString& orderLine) override;
    bool collect() override;
    void print() override;

private:
    void showChart();
};

extern TForm26* Form26;
