// The document register TForm17: every movement line, positioned on the line saved last, sortable by
// the marked column, with the buttons that open the line form and the viewer and delete a line.
#pragma once

#include "registerlist.h"

#include <QDialog>

class DBGrid;
class DBNavigator;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QWidget;
class TForm18;

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildDetails();
    void openNew();
    void modify();
    void openModification();
    void watchSave(TForm18& line);
    void linePosted(bool changed, const QString& id);
    void remove();
    void view();
    void sortByMarkedColumn();

    RegisterList list_;
};

extern TForm17* Form17;
