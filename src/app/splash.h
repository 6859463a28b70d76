// The loading splash shown for three seconds at start-up.
#pragma once

#include <QDialog>

class QTimer;

namespace Ui {
class TAboutBox;
}

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

    QTimer* Timer1;

private:
    Ui::TAboutBox* ui;
};

extern TAboutBox* AboutBox;
