// The master-data list family: grid, detail box, search, title-click sorting, usage checks, deletion,
// the entry forms and printing, once for the five lists. Each member gives its differences as data.
#pragma once

#include "lazyrowmodel.h"
#include "masterread.h"
#include "sharedstate.h"

#include <QDialog>
#include <QSize>
#include <functional>
#include <optional>

class DBGrid;
class DBNavigator;
class DataSource;
class Query;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QFrame;

namespace Ui {
class MasterList;
}

// How the show step reads a lookup flag: the first rule whose flag matches wins.
struct ShowRule {
    std::optional<QString> flag;   // the LookupFlag value it applies to; none: any value
    ListOrder order;               // an empty orderBy leaves the list as it is
    QString locateColumn;          // positioned there by the search value; empty: not positioned
    bool clearsFlag = false;
};

// A header whose click re-reads the list in another order.
struct TitleSort {
    QString title;
    ListOrder order;
};

// One line of the detail box: its caption and the fields shown beside it.
struct DetailLine {
    QString caption;
    QStringList fields;
};

struct ListMessages {
    QString modifyRefused;
    QString deleteRefused;
    QString lastRow;
    QString deleted;
    QString deleteFailed;
};

struct MasterListMember {
    QString formName;   // the global variable's name, used as objectName
    QString caption;
    QSize clientSize;
    QString table;   // as the statements name it
    Query* listQuery = nullptr;
    DataSource* listSource = nullptr;
    Query* workQuery = nullptr;
    QList<GridColumn> columns;
    QString detailTitle;
    QList<DetailLine> details;
    QString initialLabel;
    QString creationOrder;

    // Show: an optional re-read first, then the rule of the lookup flag; search value for the locate.
    std::optional<ListOrder> showFirst;
    QList<ShowRule> showRules;
    QString SharedState::*searchValue = nullptr;

    // "Keres" and typing in the search box.
    ListOrder searchOrder;
    QString searchColumn;
    bool searchOnKeyRelease = false;   // with the typed character; on key press it lags one behind

    // Title click: by the clicked header's title, or (when set) by the column the user has marked.
    QList<TitleSort> titleSorts;
    std::function<QString(int markedColumn, const QString& markedField)> markedSortSql;

    // Usage check, row count and deletion.
    QString usageColumn;   // column of the movement lines that refers to the row
    QString usageField;    // the list's field whose value lines use
    QString idField;
    QString nameField;   // names the row in the question before a deletion
    QString deleteSql;
    ListMessages messages;
    ShowRule afterDelete;   // re-read and locate by the search value

    // The entry form: its mode, and how it is opened (modify: loaded from the current row first).
    QString SharedState::*entryMode = nullptr;
    QString newMode;
    QString modifyMode;
    std::function<void(QWidget* parent, bool modify)> openEntry;

    QString reportFile;
    QString printOrder;   // re-read in this order before printing; empty: as shown
};

class MasterList : public QDialog {
    Q_OBJECT
public:
    MasterList(MasterListMember member, QWidget* parent);
    ~MasterList() override;

    const MasterListMember& member() const { return member_; }
    void setOrderLabel(const QString& word);

    QLabel* Label18;
    QLabel* Label19;
    QLineEdit* Edit1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* Button5;
    QPushButton* Button6;
    QPushButton* Button7;
    DBGrid* DBGrid1;
    DBNavigator* DBNavigator1;
    QGroupBox* GroupBox1;
    QFrame* Panel1;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildDetails();
    void reread(const ListOrder& order);
    void rereadAndLocate(const ShowRule& rule, const QString& searchText);
    void showStep();
    void search(const QString& text);
    void titleClicked(int clickedColumn, int markedColumn);
    bool isUsed();
    void modify();
    void openEntry(bool modify);
    void remove();
    void print();

    MasterListMember member_;
    Ui::MasterList* ui;
    bool shown_ = false;
    bool picking_ = false;   // opened by a form for a lookup: a double click on a row picks it
};
