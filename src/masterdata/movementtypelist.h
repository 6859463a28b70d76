// The movement-type list TForm13 ("Mozgásnem").
#pragma once

#include "masterlist.h"

class TForm13 : public MasterList {
    Q_OBJECT
public:
    explicit TForm13(QWidget* parent = nullptr);
};

extern TForm13* Form13;
