// The raw-table maintenance TForm19 ("Adatok"): every base table in a grid with a navigator, the
// protected ones unlocked by an access code.
#pragma once

#include <QDialog>
#include <QList>

class DBGrid;
class DBNavigator;
class QPushButton;
class QTabWidget;

class TForm19 : public QDialog {
    Q_OBJECT
public:
    explicit TForm19(QWidget* parent = nullptr);

    QTabWidget* PageControl1;
    QList<DBGrid*> grids;             // DBGrid1 .. DBGrid10, one per tab
    QList<DBNavigator*> navigators;   // DBNavigator1 .. DBNavigator10
    QPushButton* Button6;             // "Szerkeszt"
    QPushButton* Button1;             // "Mégsem"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Button6Click();
};

extern TForm19* Form19;

// Makes the protected tables editable for the rest of the run: the nine tables are closed, the flags of
// the set lifted, and the nine opened again (each from its first row). `withUserData` adds FELH.
void unlockRawTables(bool withUserData);
