// The loading splash: maker's credits on a purple panel; its timer closes it after 3000 ms.
#include "splash.h"
#include "aboutmaker.h"
#include "ui_splash.h"

#include <QTimer>

TAboutBox* AboutBox = nullptr;

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent), ui(new Ui::TAboutBox)
{
    ui->setupUi(this);
    setFixedSize(431, 305);
    ui->Label3->setText(QStringLiteral("Készítette: ") + MakerInfo::company);
    ui->Label4->setText(QStringLiteral("Programozó: ") + MakerInfo::programmer);
    ui->Label5->setText(MakerInfo::address);
    ui->Label6->setText(QStringLiteral("Telefon: ") + MakerInfo::phone);
    ui->Label9->setText(QStringLiteral("Mobil: ") + MakerInfo::mobile);
    ui->Label7->setText(QStringLiteral("E-mail: ") + MakerInfo::email);
    ui->Label10->setText(MakerInfo::web);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(3000);
    connect(Timer1, &QTimer::timeout, this, &QDialog::accept);
    Timer1->start();
}

TAboutBox::~TAboutBox()
{
    delete ui;
}
