// The help form TForm29 ("Súgó"), and the shape it shares with the remote-support form: one button
// that starts something outside the program and two that close the form.
#pragma once

#include <QDialog>
#include <functional>

class QPushButton;

class LaunchForm : public QDialog {
    Q_OBJECT
public:
    QPushButton* Button1;   // starts
    QPushButton* Button2;   // "Bezárás"
    QPushButton* Button3;   // "Mégsem"

protected:
    LaunchForm(QWidget* parent, const QString& name, const QString& caption, const QString& startCaption,
               std::function<void()> start);
};

class TForm29 : public LaunchForm {
    Q_OBJECT
public:
    explicit TForm29(QWidget* parent = nullptr);
};

extern TForm29* Form29;
