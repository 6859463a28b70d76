// The movement-type entry form TForm14 ("Mozgásnem bevitel").
#pragma once

#include "masterentry.h"

class TForm14 : public MasterEntry {
    Q_OBJECT
public:
    explicit TForm14(QWidget* parent = nullptr);
};

extern TForm14* Form14;
