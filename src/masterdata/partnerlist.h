// The partner list TForm9 ("Partner").
#pragma once

#include "masterlist.h"

class TForm9 : public MasterList {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);
};

extern TForm9* Form9;
