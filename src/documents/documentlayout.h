// The field layout shared by the document line form and the line viewer: the boxes, pick buttons and
// the figure grid, and the reading of the register's current line into them.
#pragma once

#include <QDialog>
#include <QList>

class Query;
class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

class DocumentLineLayout : public QDialog {
    Q_OBJECT
public:
    explicit DocumentLineLayout(QWidget* parent);

    QLabel *Label1, *Label2, *Label5, *Label6, *Label7, *Label18;
    QLineEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8, *Edit9, *Edit10, *Edit11,
              *Edit12, *Edit13, *Edit14, *Edit15, *Edit16, *Edit17, *Edit18, *Edit19, *Edit20, *Edit21,
              *Edit22, *Edit23, *Edit24, *Edit25, *Edit26, *Edit27, *Edit32, *Edit33, *Edit34, *Edit35,
              *Edit36, *Edit37;
    QPushButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6;
    QFrame* Panel1;
    QLabel *Panel4, *Panel5, *Panel6, *Panel7;

    // The increase column (Edit20..Edit23 with its head) and the decrease column (Edit24..Edit27).
    QList<QWidget*> increaseColumn() const;
    QList<QWidget*> decreaseColumn() const;
    QList<QWidget*> stockColumn() const;
    // Exactly one of the two figure columns is visible.
    void showFigureColumn(bool increase);
    static bool isIncrease(const QString& sign) { return sign == QLatin1String("+"); }

    // Every box of the form that only shows what a lookup or the loader put there.
    QList<QLineEdit*> displayBoxes() const;
    QList<QLineEdit*> allBoxes() const;

protected:
    // readRegisterLine() with the message of a failure; false when it failed. `requireRow`: an empty
    // list counts as a failure.
    bool loadRegisterLine(bool requireRow);
    // The boxes a movement type's row and an item's row fill, wherever the row comes from.
    void showMovementType(const Query& row);
    void showItem(const Query& row);
    // The register's current line with the names of its codes; throws on a failing read or lookup.
    // A code without its master row leaves the looked-up boxes empty (for an item, the number too).
    void readRegisterLine();

private:
    QLineEdit* addBox(const char* name, const QString& accessibleName = {});
    QLabel* addLabel(const char* name, const QString& text);
    QPushButton* addButton(const char* name, const QString& text);
    void buildFigures(QGridLayout* grid);
};
