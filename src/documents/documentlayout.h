// The field layout shared by the document line form and the line viewer (drawn in documentlayout.ui):
// its figure columns, and the reading of the register's current line into the boxes.
#pragma once

#include "ui_documentlayout.h"

#include <QDialog>
#include <QList>

class Query;

// The boxes, labels and buttons are the Designer form's, under their numbered names (Edit1, Label1,
// Button1, Panel1...), and are members through the Ui base. Its one tab order serves both forms: the
// line form's display boxes and the viewer's disabled buttons take no focus and drop out of it.
class DocumentLineLayout : public QDialog, public Ui::DocumentLineLayout {
    Q_OBJECT
public:
    explicit DocumentLineLayout(QWidget* parent);

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
};
