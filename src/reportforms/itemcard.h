// The item card TForm27 ("Cikk karton"): the lines of one item with its opening and closing balance.
#pragma once

#include "stockcard.h"

class TForm27 : public StockCard {
    Q_OBJECT
public:
    explicit TForm27(QWidget* parent = nullptr);

    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QLineEdit* Edit5;
    QLineEdit* Edit6;
    QLineEdit* Edit7;
    QPushButton* Button1;
    QLabel* Label4;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void lookUpItem();
    void pickItem();
    void takeItem(const class Dataset& row);
};

extern TForm27* Form27;
