// The card range list TForm24 ("Karton lista"): the lines of a range of items and movement types within
// a date range, line by line or summed per item and movement type, with the totals of the period.
#pragma once

#include "reportform.h"

class Dataset;
class QGroupBox;
class QRadioButton;

class TForm24 : public StockReportForm {
    Q_OBJECT
public:
    explicit TForm24(QWidget* parent = nullptr);

    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7;
    QPushButton *Button1, *Button2, *Button3, *Button4;
    QLabel *Label4, *Label5, *Label6, *Label7, *Label8;
    QGroupBox* GroupBox1;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void listInOrder(const QString& orderLine) override;
    bool collect() override;
    void print() override;

private:
    void bindRange(Query& query);
    void takeItem(QLineEdit* box, QLabel* label, const Dataset& row, bool withBatch);
    void takeMovementType(QLineEdit* box, QLabel* label, const Dataset& row);
};

extern TForm24* Form24;
