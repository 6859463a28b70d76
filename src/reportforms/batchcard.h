// The batch-number card TForm30 ("Tételszám karton"): the lines of one batch number with its opening
// and closing balance.
#pragma once

#include "stockcard.h"

class TForm30 : public StockCard {
    Q_OBJECT
public:
    explicit TForm30(QWidget* parent = nullptr);

    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QLineEdit* Edit5;
    QLineEdit* Edit6;
    QLineEdit* Edit7;
    QPushButton* Button1;
    QLabel* Label4;

private:
    void pickBatch();
};

extern TForm30* Form30;
