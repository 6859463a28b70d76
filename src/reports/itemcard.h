// The item card TForm27 ("Cikk karton"): the lines of one item with its opening and closing balance.
#pragma once

#include "stockcard.h"

class TForm27 : public SingleKeyCard {
    Q_OBJECT
public:
    explicit TForm27(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void lookUpItem();
    void pickItem();
    void takeItem(const class Dataset& row);
};

extern TForm27* Form27;
