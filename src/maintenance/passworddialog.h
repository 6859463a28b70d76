// The password dialog TPasswordDlg ("Jelszó") of the raw-table maintenance.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPasswordDlg(QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* Password;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

    // However the dialog closes (OK, Cancel, Esc, the close box), the typed text goes into the shared
    // MaintenancePassword.
    void done(int result) override;
};

extern TPasswordDlg* PasswordDlg;
