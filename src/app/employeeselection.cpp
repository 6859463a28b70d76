// The employee selection: the current row of the employee table is the chosen employee, whichever way
// the form is closed.
#include "employeeselection.h"
#include "data.h"
#include "dblookupcombobox.h"
#include "mainwindow.h"
#include "sharedstate.h"
#include "ui_employeeselection.h"

#include <QLabel>

TForm4* Form4 = nullptr;

TForm4::TForm4(QWidget* parent) : QDialog(parent), ui(new Ui::TForm4)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Form4"));
    DBLookupComboBox1 = ui->DBLookupComboBox1;
    Button2 = ui->Button2;
    Button3 = ui->Button3;
    Label1 = ui->Label1;
    DBLookupComboBox1->setListSource(Data->DS6);
    DBLookupComboBox1->setListField(QStringLiteral("DNEV"));
    connect(DBLookupComboBox1, &DBLookupComboBox::dropDownClosed, this, &TForm4::takeCurrentEmployee);
    connect(DBLookupComboBox1, &DBLookupComboBox::focusLost, this, &TForm4::takeCurrentEmployee);
    connect(Button2, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
}

TForm4::~TForm4()
{
    delete ui;
}

void TForm4::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A save elsewhere may have committed and closed the table: read it again each time.
    Table* employees = Data->IBTable6;
    employees->close();
    employees->open();
    employees->last();
    DBLookupComboBox1->reload();
    // On a new database the list is empty: say where the employees are entered first.
    Label1->setVisible(employees->currentRow() < 0);
}

void TForm4::takeCurrentEmployee()
{
    Table* employees = Data->IBTable6;
    const bool hasRow = employees->isOpen() && employees->currentRow() >= 0;
    shared().CurrentEmployeeCode =
        hasRow ? employees->fieldByName(QStringLiteral("DKOD")).asString() : QString();
    const QString name = hasRow ? employees->fieldByName(QStringLiteral("DNEV")).asString() : QString();
    shared().CurrentCaption = QStringLiteral("Varnel - ") + name.left(25) + QStringLiteral("  2011-2013");
    if (Form1)
        Form1->setWindowTitle(shared().CurrentCaption);
    setWindowTitle(shared().CurrentCaption);
}

void TForm4::done(int result)
{
    takeCurrentEmployee();
    if (Form1)
        Form1->unlockMenu();
    QDialog::done(result);
}
