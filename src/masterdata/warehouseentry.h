// The warehouse entry form TForm12 ("Raktár").
#pragma once

#include "masterentry.h"

class TForm12 : public MasterEntry {
    Q_OBJECT
public:
    explicit TForm12(QWidget* parent = nullptr);
};

extern TForm12* Form12;
