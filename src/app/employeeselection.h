// The employee selection TForm4: who records the documents; closing it unlocks the main menu.
#pragma once

#include <QDialog>

class DBLookupComboBox;
class QLabel;
class QPushButton;

namespace Ui {
class TForm4;
}

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
    ~TForm4() override;

    DBLookupComboBox* DBLookupComboBox1;
    QPushButton* Button2;
    QPushButton* Button3;
    // How to go on when there is no employee to choose yet.
    QLabel* Label1;

    // Closing by either button or the window's close box.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The employee table's current row becomes the chosen employee; both captions show it.
    void takeCurrentEmployee();

    Ui::TForm4* ui;
};

extern TForm4* Form4;
