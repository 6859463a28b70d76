// The item list TForm7 ("Cikk").
#pragma once

#include "masterlist.h"

class TForm7 : public MasterList {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);
};

extern TForm7* Form7;
