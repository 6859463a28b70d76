// The warehouse list TForm11 ("Raktár").
#pragma once

#include "masterlist.h"

class TForm11 : public MasterList {
    Q_OBJECT
public:
    explicit TForm11(QWidget* parent = nullptr);
};

extern TForm11* Form11;
