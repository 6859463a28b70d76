// The stock on hand TStockOnHandForm ("Készlet"): every item's stock and value on a date, optionally per
// warehouse or for one warehouse, searched as the user types, with the totals under the list.
#pragma once

#include "reportform.h"

#include <QDate>
#include <QTimer>

class QCheckBox;
class QStyledItemDelegate;

class TStockOnHandForm : public StockReportForm {
    Q_OBJECT
public:
    explicit TStockOnHandForm(QWidget* parent = nullptr);

    // How long typing may pause before the list is read again.
    static constexpr int SearchDelay = 300;
    // The marker of a negative stock in the "Negatív" column.
    static QString negativeMarker();

    QLineEdit* Edit1;       // search: item number, name or batch number
    QLineEdit* Edit2;       // warehouse code; empty: every warehouse
    QPushButton* Button2;   // picks the warehouse in its list
    QLabel* Label4;         // the warehouse's name
    QCheckBox* CheckBox1;   // "Raktáranként"
    QLabel* Label6;         // total stock
    QLabel* Label8;         // total value
    QStyledItemDelegate* negativeRows;

    // Opens the item card on the current row, then lists again on the same row.
    void openItemCard();

protected:
    void listInOrder(const QString& orderLine) override;
    bool collect() override;
    void print() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setWarehouseColumn(bool shown);
    void showTotals(const QString& warehouse, const QString& search);
    void lookUpWarehouse(bool pick);
    void relistSoon();

    QString orderLine_;
    QDate listedDate_;
    QString listedWarehouse_;
    QTimer relist_;
};

extern TStockOnHandForm* StockOnHandForm;

// The list's one grouped statement: :p1 the date, :p2 the warehouse code, :p3 the search text.
QStringList stockOnHandStatement(bool perWarehouse, bool oneWarehouse, bool searched,
                                 const QString& orderLine);
// The order the list opens in.
QString stockOnHandOrder();
