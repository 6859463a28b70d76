// The base of the stock report forms: the date range, the list over ZQ11 with its navigator, the sort
// text, the title-click orders and the collect, close and print buttons; a form prints only what it has
// collected itself.
#pragma once

#include "datebox.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class DBGrid;
class DBNavigator;
class Query;
class QBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
struct GridColumn;

// A column title whose click re-reads the list with another order line.
struct TitleOrder {
    QString title;
    QString orderLine;
    QString word;   // named by the sort text
};

class StockReportForm : public QDialog {
    Q_OBJECT
public:
    StockReportForm(const QString& formName, const QString& caption, QWidget* parent);

    // "A lista "Dátum" szerint".
    static QString sortText(const QString& word);
    // What printing or the chart says before the form has collected.
    static QString collectFirstText();
    // False, after "Hibás dátum!" with the focus on the box, while a date box holds no date.
    bool checkDates();

    DateBox* DateTimePicker1;
    DateBox* DateTimePicker2;
    QLabel* Label18;
    DBGrid* DBGrid1;
    DBNavigator* DBNavigator1;
    QPushButton* Button5;
    QPushButton* Button6;
    QPushButton* Button7;

protected:
    // The list statement with the given order line, opened in ZQ11.
    virtual void listInOrder(const QString& orderLine) = 0;
    // False when the form refused to collect, having said why; what it held before then stays.
    virtual bool collect() = 0;
    virtual void print() = 0;

    // True once a collection of this form has succeeded: only then does ZQ11 hold this form's lines and
    // the report variables this form's figures. Otherwise says so and returns false.
    bool requireCollection() const;

    void setColumns(const QList<GridColumn>& columns);
    void setTitleOrders(QList<TitleOrder> orders) { titleOrders_ = std::move(orders); }
    void showSortText(const QString& word);
    // vkelttol and vkeltig: the two dates in the short date format.
    void setPeriodVariables();

    // "Dátum:" with the two pickers and their "-tól", "-ig".
    QBoxLayout* dateRow();
    QBoxLayout* buttonRow();
    QLabel* addLabel(const QString& name, const QString& text);
    QLineEdit* addBox(const QString& name, const QString& accessibleName);
    QLineEdit* addReadOnlyBox(const QString& name, const QString& accessibleName);
    QPushButton* addButton(const QString& name, const QString& text);
    // The focus order, first to last.
    void setFocusOrder(const QList<QWidget*>& widgets);

    // What the "Kigyüjtés" button does; a form that lists at once calls it itself.
    void collectClicked();

private:
    void titleClicked(int column);
    void printClicked();

    QList<TitleOrder> titleOrders_;
    bool collected_ = false;
};

// Closes the query and replaces its statement by the lines.
void buildStatement(Query& query, const QStringList& lines);
