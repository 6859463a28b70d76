// The employee entry form TForm16 ("Dolgozó bevitel").
#pragma once

#include "masterentry.h"

class TForm16 : public MasterEntry {
    Q_OBJECT
public:
    explicit TForm16(QWidget* parent = nullptr);
};

extern TForm16* Form16;
