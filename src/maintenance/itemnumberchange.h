// The item number change TForm32 ("Cikkszám csere"): moves chosen movement lines from one item to another.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace Ui {
class ItemNumberChange;
}

class TForm32 : public QDialog {
    Q_OBJECT
public:
    explicit TForm32(QWidget* parent = nullptr);
    ~TForm32() override;

    QPushButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button8;
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8;
    QLabel* Label5;
    QListWidget* CheckListBox1;

private:
    void pickItem(QLineEdit* number, QLineEdit* name, QLineEdit* code, QLineEdit* batch);
    void collect();
    void showCollected();
    void setAllChecked(bool checked);
    bool takeNewItem();
    void replace();

    Ui::ItemNumberChange* ui;
    QString newItemNumber_;   // the item number the new item's boxes were filled for
};

extern TForm32* Form32;
