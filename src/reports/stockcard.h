// The card family: the item card, the batch-number card and the batch-number range list. Each collects
// the opening balance before the from-date, the period totals and the closing balance of the lines its
// key selects, lists those lines, and prints them with the running stock. A member gives its key boxes,
// conditions, list statements, orders and report as data.
#pragma once

#include "lazyrowmodel.h"
#include "reportform.h"

#include <functional>
#include <utility>

class QLayout;

struct StockCardMember {
    QList<GridColumn> columns;
    QLayout* keyArea = nullptr;   // the member's own controls, above the dates
    QList<QWidget*> focusOrder;
    // The key boxes, bound as texts to :p1, :p2, ... in this order; the dates follow them.
    QList<QLineEdit*> keyBoxes;
    QStringList openingCondition;   // the lines dated before the from-date
    QStringList periodCondition;    // the lines of the period
    QStringList collectedList;      // SELECT and FROM (and JOIN) lines of the collection's list
    QStringList sortedList;         // the same for the title-click orders
    QList<TitleOrder> titleOrders;
    // A range of one indexed column that the key conditions imply, made from the key boxes at each
    // collection; it changes no result, it lets the engine walk the index instead of every line. A
    // bound left empty is not applied.
    struct ImpliedRange {
        QString above;   // the column's values are greater than this
        QString below;   // and less than this
    };
    QString impliedRangeColumn;
    std::function<ImpliedRange()> impliedRange;
    // Report variables set by the collection from the text a box or a label shows at that moment.
    QList<std::pair<QString, QWidget*>> keyVariables;
    QString reportFile;
    // Said instead of collecting when every key box is empty; empty: an empty key is collected.
    QString missingKeyMessage;
    bool emptiesListOnOpening = true;
    bool enterMovesFocus = true;
};

class StockCard : public StockReportForm {
    Q_OBJECT
public:
    // `openingBoxNames`: the names of the increase, decrease and balance boxes of the opening row.
    StockCard(const QString& formName, const QString& caption, const QStringList& openingBoxNames,
              QWidget* parent);

    QLabel* Label5;
    QLabel* Label8;
    QList<QLineEdit*> openingBoxes;   // increases, decreases, balance before the from-date
    QList<QLineEdit*> periodBoxes;    // Edit5, Edit6, Edit7: increases, decreases, closing balance
    // The balance before the from-date of the last collection, unrounded: the printed running stock and
    // the chart start from it.
    double openingStock() const { return openingStock_; }

protected:
    void setUp(StockCardMember member);
    void listInOrder(const QString& orderLine) override;
    bool collect() override;
    void print() override;

private:
    void openList(const QStringList& head, const QString& orderLine);
    void bind(Query& query, int dateCount);
    // The condition lines with the implied range added, and the query's statement built from them.
    void buildWithRange(Query& query, const QStringList& head, const QStringList& condition,
                        const QStringList& tail);
    void showAmounts(const QList<QLineEdit*>& boxes, const QStringList& variables,
                     const QList<double>& values);

    StockCardMember member_;
    double openingStock_ = 0;
};

// The cards keyed by one box: Edit1 with its button Button1 and the description line Label4; the opening
// figures stand in Edit3, Edit4 and Edit2.
class SingleKeyCard : public StockCard {
    Q_OBJECT
public:
    SingleKeyCard(const QString& formName, const QString& caption, const QString& buttonCaption,
                  const QString& keyName, QWidget* parent);

    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit4;
    QLineEdit* Edit5;
    QLineEdit* Edit6;
    QLineEdit* Edit7;
    QPushButton* Button1;
    QLabel* Label4;
    QPushButton* chartButton = nullptr;   // "Grafikon"

protected:
    // The stock chart of the collected lines, from the opening balance.
    void showChart();
    // The key row: the button before or after Edit1, the description line last.
    QLayout* keyArea(bool buttonFirst);
    // The focus order after the key and the dates: the list, then the figures and the buttons.
    QList<QWidget*> focusOrderAfterDates() const;
};

// The 23 columns of the item card, and those of the batch-number forms with "Bizonylat" first.
QList<GridColumn> itemCardColumns();
QList<GridColumn> batchCardColumns();
// The title-click orders of the item card, and those of the batch-number forms (date first).
QList<TitleOrder> itemCardOrders();
QList<TitleOrder> batchCardOrders();
