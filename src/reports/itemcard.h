// The item card TForm27 ("Cikk karton"): the lines of one item with its opening and closing balance.
#pragma once

#include "stockcard.h"

class QDate;

class TForm27 : public SingleKeyCard {
    Q_OBJECT
public:
    explicit TForm27(QWidget* parent = nullptr);

    // Collects the item's lines over the period at once, as another list opens the card on its row.
    void collectItem(const QString& item, const QString& description, const QDate& from, const QDate& to);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void lookUpItem();
    void pickItem();
    void takeItem(const class Dataset& row);
};

extern TForm27* Form27;
