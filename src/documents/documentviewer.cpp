// The line viewer: the line form's layout without the stock column and without saving.
#include "documentviewer.h"

#include "sharedstate.h"

#include <QLineEdit>
#include <QPushButton>

TForm28* Form28 = nullptr;

TForm28::TForm28(QWidget* parent) : DocumentLineLayout(parent)
{
    setObjectName(QStringLiteral("Form28"));
    setWindowTitle(QStringLiteral("Megtekint"));
    setFixedSize(760, 440);
    // Read-only, yet the boxes take the focus so that their text can be selected and copied.
    for (QLineEdit* box : allBoxes())
        box->setReadOnly(true);
    for (QWidget* widget : stockColumn())
        widget->hide();
    Button3->hide();
    for (QPushButton* button : {Button1, Button2, Button4, Button5})
        button->setEnabled(false);
    connect(Button6, &QPushButton::clicked, this, &QDialog::reject);
}

bool TForm28::load()
{
    setWindowTitle(shared().DocumentMode);
    // An empty list shows empty boxes.
    const bool read = loadRegisterLine(false);
    // The figures stay as stored: only the column is chosen by the sign.
    showFigureColumn(isIncrease(Edit35->text()));
    return read;
}
