// The password dialog: both buttons only close it; the text is taken whichever closed it.
#include "passworddialog.h"
#include "sharedstate.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TPasswordDlg* PasswordDlg = nullptr;

TPasswordDlg::TPasswordDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PasswordDlg"));
    setWindowTitle(QStringLiteral("Jelszó"));
    Label1 = new QLabel(QStringLiteral("&Kérem adja meg a jelszót"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Password = new QLineEdit(this);
    Password->setObjectName(QStringLiteral("Password"));
    Password->setEchoMode(QLineEdit::Password);
    Label1->setBuddy(Password);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);   // Esc rejects as well

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Password);
    layout->addLayout(buttons);
    resize(300, 120);
}

void TPasswordDlg::done(int result)
{
    shared().MaintenancePassword = Password->text();
    QDialog::done(result);
}
