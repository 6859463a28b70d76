// A drop-down that lists one field of every row of a data source; choosing an entry makes that row
// the dataset's current row.
#pragma once

#include "dataset.h"
#include "datasource.h"

#include <QComboBox>
#include <QPointer>

class DBLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DBLookupComboBox(QWidget* parent = nullptr);

    void setListSource(DataSource* source);
    DataSource* listSource() const { return source_; }
    void setListField(const QString& fieldName);
    QString listField() const { return listField_; }

    // Reads every row of the dataset again (the list needs them all) and shows its current row.
    void reload();

    void hidePopup() override;

signals:
    // The popup has closed; a choice made in it has already moved the dataset.
    void dropDownClosed();
    void focusLost();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void bindDataset(Dataset* dataset);
    void showCurrentRow();
    void onActivated(int index);
    void reportClose();

    QPointer<DataSource> source_;
    QString listField_;
    QList<QMetaObject::Connection> connections_;
    bool loading_ = false;
    bool stale_ = false;     // the rows changed since the list was read
    bool closing_ = false;   // the popup has closed; dropDownClosed is still to be sent
};
