// The shared parts of the stock report forms.
#include "reportform.h"

#include "data.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "formats.h"
#include "platform.h"
#include "query.h"
#include "reportvariables.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

DateBox* datePicker(QWidget* parent, const QString& name, const QDate& date)
{
    auto* picker = new DateBox(date, parent);
    picker->setObjectName(name);
    return picker;
}

}

StockReportForm::StockReportForm(const QString& formName, const QString& caption, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(formName);
    setWindowTitle(caption);
    const int year = QDate::currentDate().year();
    DateTimePicker1 = datePicker(this, QStringLiteral("DateTimePicker1"), QDate(year, 1, 1));
    DateTimePicker2 = datePicker(this, QStringLiteral("DateTimePicker2"), QDate(year, 12, 31));
    DateTimePicker1->setAccessibleName(QStringLiteral("Dátum -tól"));
    DateTimePicker2->setAccessibleName(QStringLiteral("Dátum -ig"));
    Label18 = addLabel(QStringLiteral("Label18"), QStringLiteral("Lista sorrend:"));
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setReadOnly(true);
    DBGrid1->setDataSource(Data->DS11);
    DBGrid1->setAccessibleName(QStringLiteral("Lista"));
    DBNavigator1 = new DBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setDataSource(Data->DS11);
    DBNavigator1->setVisibleButtons(DBNavigator::moveButtons());
    Button5 = addButton(QStringLiteral("Button5"), QStringLiteral("Kigyüjtés"));
    Button6 = addButton(QStringLiteral("Button6"), QStringLiteral("Mégsem"));
    Button7 = addButton(QStringLiteral("Button7"), QStringLiteral("Nyomtat"));
    connect(Button5, &QPushButton::clicked, this, [this] {
        if (checkDates())
            collectClicked();
    });
    connect(Button6, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button7, &QPushButton::clicked, this, &StockReportForm::printClicked);
    connect(DBGrid1, &DBGrid::titleClicked, this, [this](int clicked, int) { titleClicked(clicked); });
}

QString StockReportForm::sortText(const QString& word)
{
    return QStringLiteral("A lista \"%1\" szerint").arg(word);
}

QString StockReportForm::collectFirstText()
{
    return QStringLiteral("Előbb gyűjtse ki az adatokat a „Kigyüjtés” gombbal!");
}

// The shared query outlives the forms: until this form has collected, it holds another form's lines, or
// none at all.
bool StockReportForm::requireCollection() const
{
    if (!collected_)
        Platform::instance().information(collectFirstText());
    return collected_;
}

void StockReportForm::collectClicked()
{
    const bool before = collected_;
    // Cleared first: a collection that fails half way leaves ZQ11 with only part of its statements.
    collected_ = false;
    collected_ = collect() || before;
}

void StockReportForm::printClicked()
{
    if (requireCollection())
        print();
}

bool StockReportForm::checkDates()
{
    for (DateBox* box : {DateTimePicker1, DateTimePicker2}) {
        if (!box->date().isValid()) {
            Platform::instance().information(QStringLiteral("Hibás dátum!"));
            box->setFocus();
            return false;
        }
    }
    return true;
}

void StockReportForm::setColumns(const QList<GridColumn>& columns)
{
    DBGrid1->setColumns(columns);
}

void StockReportForm::showSortText(const QString& word)
{
    Label18->setText(sortText(word));
}

void StockReportForm::setPeriodVariables()
{
    reportVariables().set(QStringLiteral("vkelttol"), Formats::formatDate(DateTimePicker1->date()));
    reportVariables().set(QStringLiteral("vkeltig"), Formats::formatDate(DateTimePicker2->date()));
}

void StockReportForm::titleClicked(int column)
{
    const QString title = DBGrid1->columnTitle(column);
    for (const TitleOrder& order : std::as_const(titleOrders_)) {
        if (order.title == title) {
            if (!checkDates())
                return;
            listInOrder(order.orderLine);
            showSortText(order.word);
            return;
        }
    }
}

QBoxLayout* StockReportForm::dateRow()
{
    auto* row = new QHBoxLayout;
    QLabel* date = addLabel(QStringLiteral("Label1"), QStringLiteral("&Dátum:"));
    date->setBuddy(DateTimePicker1);
    row->addWidget(date);
    row->addWidget(DateTimePicker1);
    row->addWidget(addLabel(QStringLiteral("Label2"), QStringLiteral("-tól")));
    row->addWidget(DateTimePicker2);
    QLabel* to = addLabel(QStringLiteral("Label3"), QStringLiteral("-ig"));
    to->setBuddy(DateTimePicker2);
    row->addWidget(to);
    row->addStretch(1);
    return row;
}

QBoxLayout* StockReportForm::buttonRow()
{
    auto* row = new QHBoxLayout;
    row->addWidget(DBNavigator1);
    row->addStretch(1);
    row->addWidget(Button5);
    row->addWidget(Button7);
    row->addWidget(Button6);
    return row;
}

QLabel* StockReportForm::addLabel(const QString& name, const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    return label;
}

QLineEdit* StockReportForm::addBox(const QString& name, const QString& accessibleName)
{
    auto* box = new QLineEdit(this);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    return box;
}

QLineEdit* StockReportForm::addReadOnlyBox(const QString& name, const QString& accessibleName)
{
    QLineEdit* box = addBox(name, accessibleName);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight);
    QPalette grey = box->palette();
    grey.setColor(QPalette::Base, palette().color(QPalette::Window));
    box->setPalette(grey);
    return box;
}

QPushButton* StockReportForm::addButton(const QString& name, const QString& text)
{
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

void StockReportForm::setFocusOrder(const QList<QWidget*>& widgets)
{
    for (int i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

void buildStatement(Query& query, const QStringList& lines)
{
    query.close();
    query.clearSql();
    for (const QString& line : lines)
        query.addSql(line);
}
