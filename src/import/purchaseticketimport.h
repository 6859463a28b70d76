// The purchase-ticket import TForm25 ("Adatok átvétele a felvásárlási jegyböl"): the movement type, the
// reading of the ticket file into the work table MUNKA2, and the posting run.
#pragma once

#include <QDialog>

class DBGrid;
class DBNavigator;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class PurchaseTicketImport;
}

class TForm25 : public QDialog {
    Q_OBJECT
public:
    explicit TForm25(QWidget* parent = nullptr);
    ~TForm25() override;

    // The file dialog's defaults: the folder and the file name it opens on.
    static QString defaultFolder();
    static QString defaultFileName() { return QStringLiteral("dravo_varnelhez.xml"); }

    QPushButton* Button1;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* Button5;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QLineEdit* Edit10;
    QLineEdit* Edit11;
    QLineEdit* Edit35;
    QLabel* Label1;
    DBGrid* DBGrid1;
    DBNavigator* DBNavigator1;

private:
    void pickMovementType();
    bool movementTypeGiven();
    void readFile();
    void readRecords(const class PurchaseTicketFile& file);
    void post();

    Ui::PurchaseTicketImport* ui;
    // The name the file dialog holds: read also when the dialog is cancelled.
    QString fileName_;
};

extern TForm25* Form25;
