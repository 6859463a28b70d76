// The document line form TForm18: one movement line typed in or corrected, its lookups, the item's
// stock figures, and its posting with the document number.
#pragma once

#include "documentlayout.h"

class Dataset;
class Query;
namespace DocumentPosting {
struct Line;
}

class TForm18 : public DocumentLineLayout {
    Q_OBJECT
public:
    explicit TForm18(QWidget* parent = nullptr);

    bool isNew() const;
    // For a change: the register's current line into the boxes. False (after the message) when it
    // cannot be read; the form is then not shown.
    bool LoadDocumentLine();
    // Arranges the figure columns by the movement sign and reveals the remaining fields.
    void FeltoltBizmozg();

    void done(int result) override;
    // A changed line's save keeps this list's rows over its commit, so that it can be shown in place.
    void keepOpenOverSave(Dataset* list) { keptOpen_ = list; }

signals:
    // A save ran (also one whose unit was rolled back) and the form is about to close: `changeSaved`
    // when a changed line `id` (its IDB) was stored, so that a list may show it in place.
    void posted(bool changeSaved, const QString& id);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QWidget*> laterFields() const;
    void makeDisplayOnly(QLineEdit* box);
    void openNew();
    void left(QObject* box, Qt::FocusReason reason);

    void leaveMovementType();
    void leaveItem();
    void leaveWarehouse();
    void leavePartner();
    void pickMovementType();
    void pickItem();
    void pickWarehouse();
    void pickPartner();
    void fillMovementType(const Query& row);
    void fillItem(const Query& row);
    void fillWarehouse(const Query& row);
    void fillPartner(const Query& row, bool picked);
    void appendToText(const QString& name);
    void showStockFigures();
    void fillValue(QLineEdit* value, QLineEdit* quantity, QLineEdit* price);

    void save();
    bool checked();
    bool stockConfirmed(const DocumentPosting::Line& line);

    bool shown_ = false;
    bool closing_ = false;
    Dataset* keptOpen_ = nullptr;
};

extern TForm18* Form18;
