// The item entry form TForm8 ("Cikk bevitel"), with its warehouse lookup.
#pragma once

#include "masterentry.h"

class TForm8 : public MasterEntry {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);

    QPushButton* Button1;   // "Raktár": picks the warehouse in the warehouse list
    QLineEdit* Edit8;       // warehouse name, only the search text of the lookup
    QLineEdit* Edit9;       // warehouse code, saved as crkod

protected:
    void loadExtra() override;

private:
    void lookUpWarehouse();
};

extern TForm8* Form8;
