// The year-opening notes TForm33: the SQL to run by hand when a new year is opened. Shown and
// editable on screen, never stored or run.
#pragma once

#include <QDialog>

class QPlainTextEdit;

class TForm33 : public QDialog {
    Q_OBJECT
public:
    explicit TForm33(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1;

    static QString notes();
};

extern TForm33* Form33;
