// The about form's eleven lines from the maker's details.
#include "about.h"
#include "aboutmaker.h"

#include <QPushButton>
#include <QTextEdit>
#include <QTextOption>
#include <QVBoxLayout>

TForm23* Form23 = nullptr;

TForm23::TForm23(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form23"));
    setWindowTitle(QStringLiteral("Névjegy"));
    Memo1 = new QTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("Névjegy"));
    Memo1->setReadOnly(true);
    Memo1->setAcceptRichText(false);
    Memo1->document()->setDefaultTextOption(QTextOption(Qt::AlignHCenter));
    Memo1->setPlainText(
        QStringList{QStringLiteral("Varnel "), QStringLiteral("2011-2013"), QString(), MakerInfo::company,
                    QStringLiteral("Programozó: ") + MakerInfo::programmer, MakerInfo::address, QString(),
                    QStringLiteral("Tel./fax/üzenetrögzitö: ") + MakerInfo::phone,
                    QStringLiteral("Mobil: ") + MakerInfo::mobile, QString(),
                    QStringLiteral("E-mail: ") + MakerInfo::email}
            .join(QLatin1Char('\n')));
    Button1 = new QPushButton(QStringLiteral("Mégsem"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);
    resize(400, 300);
}
