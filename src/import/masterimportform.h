// The master-data import TMasterImportForm ("Törzsadatok beolvasása táblázatból"): the file and the kind
// of rows, a preview of every row's verdict, and the storing of the new rows.
#pragma once

#include "masterimport.h"

#include <QAbstractTableModel>
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace Ui {
class MasterImportForm;
}

// The preview's rows: the file row, the verdict, the fields of the kind and the code a new row gets.
class ImportPreviewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void setPreview(const ImportPreview& preview);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    ImportPreview preview_;
};

class TMasterImportForm : public QDialog {
    Q_OBJECT
public:
    explicit TMasterImportForm(QWidget* parent = nullptr);
    ~TMasterImportForm() override;

    QLineEdit* Edit1;
    QPushButton* Button1;   // picks the file and reads it
    QComboBox* ComboBox1;   // the kind of rows
    QPushButton* Button2;   // reads the file named in Edit1
    QTableView* TableView1;
    QLabel* Label3;         // the counts of the verdicts
    QPushButton* Button3;   // stores the new rows
    QPushButton* Button4;

    const ImportPreview& preview() const { return preview_; }
    ImportPreviewModel* model() const { return model_; }

private:
    void pickFile();
    void readFile();
    bool judge();
    void showPreview();
    void store();
    MasterKind kind() const;

    Ui::MasterImportForm* ui;
    ImportPreviewModel* model_;
    QList<SheetRow> sheet_;
    ImportPreview preview_;
    bool read_ = false;       // the file was read into sheet_
    bool fitsKind_ = false;   // and it has the header of the kind chosen, within the row limit
};

extern TMasterImportForm* MasterImportForm;
