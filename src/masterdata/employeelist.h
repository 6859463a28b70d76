// The employee list TForm15 ("Dolgozó").
#pragma once

#include "masterlist.h"

class TForm15 : public MasterList {
    Q_OBJECT
public:
    explicit TForm15(QWidget* parent = nullptr);
};

extern TForm15* Form15;
