// The batch-number card TForm30 ("Tételszám karton"): the lines of one batch number with its opening
// and closing balance.
#pragma once

#include "stockcard.h"

class TForm30 : public SingleKeyCard {
    Q_OBJECT
public:
    explicit TForm30(QWidget* parent = nullptr);

private:
    void pickBatch();
};

extern TForm30* Form30;
