// The help form and the launch-form shape.
#include "helpform.h"
#include "platform.h"
#include "sharedstate.h"

#include <QHBoxLayout>
#include <QPushButton>

TForm29* Form29 = nullptr;

LaunchForm::LaunchForm(QWidget* parent, const QString& name, const QString& caption,
                       const QString& startCaption, std::function<void()> start)
    : QDialog(parent)
{
    setObjectName(name);
    setWindowTitle(caption);
    Button1 = new QPushButton(startCaption, this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button3 = new QPushButton(QStringLiteral("Mégsem"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button2 = new QPushButton(QStringLiteral("Bezárás"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    for (QPushButton* button : {Button1, Button2, Button3})
        button->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, std::move(start));
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Button1);
    layout->addStretch();
    layout->addWidget(Button3);
    layout->addWidget(Button2);
    resize(380, 90);
}

TForm29::TForm29(QWidget* parent)
    : LaunchForm(parent, QStringLiteral("Form29"), QStringLiteral("Súgó"), QStringLiteral("Segitség"),
                 [] { Platform::instance().showHelp(applicationHelpFile()); })
{
}
