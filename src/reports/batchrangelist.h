// The batch-number range list TForm31 ("Tételszám lista"): the lines whose batch number lies within five
// position ranges, with their opening and closing balance.
#pragma once

#include "stockcard.h"

class TForm31 : public StockCard {
    Q_OBJECT
public:
    explicit TForm31(QWidget* parent = nullptr);

    QPushButton* Button1;
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8, *Edit9, *Edit10, *Edit11,
        *Edit12, *Edit13, *Edit14, *Edit15, *Edit16;

private:
    void pickBatch();
};

extern TForm31* Form31;
