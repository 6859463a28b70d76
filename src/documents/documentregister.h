// The document register TForm17: every movement line, positioned on the line saved last, sortable by
// the marked column, with the buttons that open the line form and the viewer and delete a line.
#pragma once

#include <QDialog>

class DBGrid;
class DBNavigator;
class Query;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;

class TForm17 : public QDialog {
    Q_OBJECT
public:
    explicit TForm17(QWidget* parent = nullptr);

    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QLabel* Label18;
    DBGrid* DBGrid1;
    DBNavigator* DBNavigator1;
    QGroupBox* GroupBox1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* Button5;

    // The register's list statement, in document-number order (text order: "10" before "9").
    static QString listSql();
    // The list as the line form and the delete leave it: the lines alone, in document-number order.
    static QString plainListSql();
    // The 15 grid columns first, then every other column, ordered by select-list position `position`.
    static QString markedSortSql(int position);
    // After a saved change of the list's current line `id` (its IDB): reads that line again by its key
    // with the list's own select and shows it in place, when the list holds one of the register's
    // statements and the change cannot have moved the line in its order. False when the list has to be
    // read again.
    static bool showChangedLine(Query& list, const QString& id);
    // True when the list is in document-number order.
    static bool inNumberOrder(const Query& list);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildDetails();
    void openNew();
    void modify();
    void openModification();
    void remove();
    void view();
    void sortByMarkedColumn();
};

extern TForm17* Form17;
