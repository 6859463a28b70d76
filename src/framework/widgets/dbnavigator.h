// The navigator bar over a data source: first, prior, next and last row, and for tables the editing
// buttons. Each form says which buttons it shows.
#pragma once

#include "dataset.h"
#include "datasource.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QToolButton;

class DBNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
    Q_ENUM(Button)

    static QList<Button> moveButtons() { return {First, Prior, Next, Last}; }
    static QList<Button> allButtons();

    explicit DBNavigator(QWidget* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return source_; }
    Dataset* dataset() const;

    // Default: all buttons.
    void setVisibleButtons(const QList<Button>& buttons);
    // The button's widget; its objectName is the button's name ("First", "Prior", ...).
    QToolButton* button(Button which) const { return buttons_[which]; }

    // What a click on the button does; failures of the editing buttons show the server's text.
    void press(Button which);

signals:
    void clicked(DBNavigator::Button which);

private:
    void bindDataset(Dataset* dataset);
    void updateButtons();
    void runEditing(Button which);

    QToolButton* buttons_[Refresh + 1] = {};
    QPointer<DataSource> source_;
    QList<QMetaObject::Connection> connections_;
};
