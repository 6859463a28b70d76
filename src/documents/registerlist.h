// The document register's list: the movement lines with the grid's columns, the statements it is read
// with, the order it stands in, and a saved change shown again in place.
#pragma once

#include "lazyrowmodel.h"

#include <QList>
#include <QString>

class Query;

class RegisterList {
public:
    // The statement the list was read with last; each is in document-number order (text order: "10"
    // before "9") except the marked column's.
    enum class Statement {
        WithItemAndPartner,   // every line with its item's and partner's columns, as the register opens
        LinesOnly,            // the lines alone, as a save or a deletion leaves them
        MarkedColumn          // the grid's columns first, then every other, by a select-list position
    };

    // Over the data module's list query, which the register has just read (or is about to).
    explicit RegisterList(Query& list);

    // The 15 columns of the register's grid.
    static const QList<GridColumn>& gridColumns();
    static QString listSql();
    static QString plainListSql();
    static QString markedSortSql(int position);

    Query& query() const { return list_; }

    void readWithItemAndPartner();
    void readLinesOnly();
    // Ordered by select-list position `position` (1 is the grid's first column).
    void readByPosition(int position);
    // After a save the list could not show in place: the lines alone, on the line with `key` if any.
    void rereadOnLine(const QString& key);

    // True when the list is in document-number order.
    bool inNumberOrder() const;
    // After a saved change of the current line `id` (its IDB): reads that line again by its key with
    // the list's own select and shows it in place, when the change cannot have moved it in the list's
    // order. False when the list has to be read again.
    bool showChangedLine(const QString& id);

private:
    int orderColumn() const;
    QString select() const;
    void read(Statement statement, int position);

    Query& list_;
    Statement statement_ = Statement::WithItemAndPartner;
    int position_ = 0;   // MarkedColumn: the select-list position ordered by
};
