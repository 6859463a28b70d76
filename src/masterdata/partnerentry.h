// The partner entry form TForm10 ("Partner bevitel").
#pragma once

#include "masterentry.h"

class TForm10 : public MasterEntry {
    Q_OBJECT
public:
    explicit TForm10(QWidget* parent = nullptr);
};

extern TForm10* Form10;
