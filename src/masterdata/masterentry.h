// The master-data entry family: load for modification, the new code, validation and the one save path
// with its hand-back to the list, once for the five entry forms. Each member gives its differences as data.
#pragma once

#include "masterread.h"
#include "modalform.h"
#include "sharedstate.h"

#include <QDialog>
#include <QSize>
#include <QStringList>
#include <functional>

class MasterList;
class Query;
class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class MasterEntry;
}

// An editable box with its label and the column it is loaded from.
struct EntryBox {
    QString name;   // objectName, "Edit3"
    QString label;
    QString column;     // empty: not loaded from the list
    QString required;   // the message when it is left empty; empty: optional
};

struct EntryMessages {
    QString load;
    QString insert;
    QString update;
    QString transaction;
};

struct MasterEntryMember {
    QString formName;
    QString caption;
    QSize clientSize;
    QString table;
    Query* listQuery = nullptr;
    Query* workQuery = nullptr;
    QString idColumn;          // shown in Edit1
    QString codeColumn;        // shown in Edit2
    QList<EntryBox> boxes;     // in tab order
    bool boxesFirst = false;   // the tab order starts with the boxes, not with the buttons

    QString SharedState::*mode = nullptr;
    QString newMode;
    QString SharedState::*searchValue = nullptr;

    QString insertSql;
    QStringList insertParams;   // boxes bound to :p1, :p2, ...
    QString updateSql;
    QStringList updateParams;   // boxes bound to :p1, :p2, ...; :p0 is Edit1
    EntryMessages messages;

    ListOrder listOrder;                 // the list re-read after a save
    QString listLocateColumn;            // positioned there by the search value
    std::function<MasterList*()> list;   // the open list form, if any
};

class MasterEntry : public QDialog {
    Q_OBJECT
public:
    MasterEntry(MasterEntryMember member, QWidget* parent);
    ~MasterEntry() override;

    const MasterEntryMember& member() const { return member_; }
    bool isNew() const { return shared().*member_.mode == member_.newMode; }

    // Modification: the caption and the boxes from the list's current row. False, with the member's
    // message shown, when the row cannot be read; the form is then not shown.
    bool load();

    QLineEdit* box(const QString& name) const;

    QLineEdit* Edit1;
    QLineEdit* Edit2;
    QPushButton* Button2;
    QPushButton* Button3;
    QFrame* Panel1;

protected:
    void showEvent(QShowEvent* event) override;
    // A member's boxes that its columns do not fill.
    virtual void loadExtra() {}
    QGridLayout* boxLayout() const;
    QLineEdit* lastBox() const;
    static void makeReadOnly(QLineEdit* box);

private:
    void addBoxes();
    void orderTabs();
    void newCode();
    bool validate();
    void save();
    void bindBoxes(Query& query, const QStringList& names);
    void rereadList();

    MasterEntryMember member_;
    Ui::MasterEntry* ui;
    bool shown_ = false;
};

// Opens a member's entry form; a modification is loaded before it is shown.
template <class Entry>
void openEntryForm(Entry*& global, QWidget* parent, bool modify)
{
    if (modify)
        runForm<Entry>(global, parent, [](Entry& form) { return form.load(); });
    else
        runForm<Entry>(global, parent);
}
