// The about form TForm23 ("Névjegy"): who made the system and how to reach them.
#pragma once

#include <QDialog>

class QPushButton;
class QTextEdit;

class TForm23 : public QDialog {
    Q_OBJECT
public:
    explicit TForm23(QWidget* parent = nullptr);

    QTextEdit* Memo1;       // read-only, centred: the eleven lines
    QPushButton* Button1;   // "Mégsem"
};

extern TForm23* Form23;
