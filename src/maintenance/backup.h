// The database backup TForm34 ("Adatok mentése"): copies the database file to a file named by the
// date and time.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class TForm34;
}

class TForm34 : public QDialog {
    Q_OBJECT
public:
    explicit TForm34(QWidget* parent = nullptr);
    ~TForm34() override;

    QPushButton* Button1;   // "Mentés"
    QPushButton* Button2;   // "Honnan"
    QPushButton* Button3;   // "Hová"
    QLineEdit* Edit1;       // source path
    QLineEdit* Edit2;       // target path
    QLabel* Label1;

    static const QString SourceDialogTitle;
    static const QString TargetDialogTitle;
    static const QString SourceDialogFilter;
    static const QString TargetDialogFilter;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Button1Click();
    void Button2Click();
    void Button3Click();

    Ui::TForm34* ui;
    QString sourceDialogFile_;   // the source dialog's file name: what it last returned
    QString targetDialogFile_;   // the target dialog's file name
};

extern TForm34* Form34;
