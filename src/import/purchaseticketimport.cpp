// The purchase-ticket import TForm25: picking the movement type, reading the ticket file into MUNKA2
// and posting the work rows.
#include "purchaseticketimport.h"

#include "columnwidths.h"
#include "data.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "failurereason.h"
#include "fixedfolders.h"
#include "importposting.h"
#include "importprogress.h"
#include "importreader.h"
#include "masterpick.h"
#include "masterread.h"
#include "platform.h"
#include "sharedstate.h"
#include "ui_purchaseticketimport.h"

#include <QDir>
#include <memory>

TForm25* Form25 = nullptr;

namespace {

const QString NoMovementType = QStringLiteral("Nincs megadva mozgásnem!");
const QString DeleteFailed = QStringLiteral("Hiba255: munka2 DELETE törlésekor");
const QString InsertFailed = QStringLiteral("Hiba257: XML -böl  INSERT munka2 -be ");
const QString ReadDone = QStringLiteral("Adatok beolvasva. ");
const QString PostingDone = QStringLiteral("Adatátvétel  -feladás- befejezödött ");
const QString BelowZero =
    QStringLiteral("A feladott tételek közül %1 a tétel keltekor nulla alá vitte a cikk készletét.");
const QString DialogTitle = QStringLiteral("Megnyitásra kerülö file neve:");
const QString DialogFilter = QStringLiteral("XML files (*.XML *.xml);;All files (*)");

void inform(const QString& text)
{
    Platform::instance().information(text);
}

}

TForm25::TForm25(QWidget* parent)
    : QDialog(parent), ui(new Ui::PurchaseTicketImport), fileName_(defaultFileName())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Form25"));
    Button1 = ui->Button1;
    Button3 = ui->Button3;
    Button4 = ui->Button4;
    Button5 = ui->Button5;
    Edit2 = ui->Edit2;
    Edit3 = ui->Edit3;
    Edit10 = ui->Edit10;
    Edit11 = ui->Edit11;
    Edit35 = ui->Edit35;
    Label1 = ui->Label1;
    DBGrid1 = ui->DBGrid1;
    DBNavigator1 = ui->DBNavigator1;

    limitToColumn(Edit2, QStringLiteral("BIZMOZG"), QStringLiteral("BMNEM"));
    DBGrid1->setReadOnly(true);
    DBGrid1->setDataSource(Data->DSQ100);
    DBNavigator1->setDataSource(Data->DSQ100);
    DBNavigator1->setVisibleButtons(DBNavigator::moveButtons());

    connect(Button4, &QPushButton::clicked, this, &TForm25::pickMovementType);
    connect(Button5, &QPushButton::clicked, this, &TForm25::readFile);
    connect(Button1, &QPushButton::clicked, this, &TForm25::post);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
}

TForm25::~TForm25()
{
    delete ui;
}

QString TForm25::defaultFolder()
{
    return localFolder(QStringLiteral("C:\\varnel2011\\"));
}

// The list is left however the person leaves it; its current row is the pick.
void TForm25::pickMovementType()
{
    pickIntoBoxes(movementTypePicker(), Edit2->text(), false, this,
                  {{"mnem", Edit2}, {"mkod", Edit10}, {"mnev", Edit11}, {"mncs", Edit35}});
}

// A cancelled dialog still reads the file it names: the one chosen last, at first the default name
// in the current folder.
void TForm25::readFile()
{
    if (!movementTypeGiven())
        return;
    const QString shownName =
        QDir::isRelativePath(fileName_) ? QDir(defaultFolder()).filePath(fileName_) : fileName_;
    const QString chosen = Platform::instance().openFileName(this, DialogTitle, shownName, DialogFilter);
    if (!chosen.isEmpty())
        fileName_ = chosen;

    // The work table is emptied only for a file that parsed: a wrong file leaves the last reading.
    PurchaseTicketFile file;
    if (!file.load(fileName_)) {
        inform(file.errorText());
        return;
    }
    readRecords(file);
    rereadQuery(*Data->ZQ100, QStringLiteral("SELECT * FROM munka2"));
    inform(ReadDone);
}

void TForm25::readRecords(const PurchaseTicketFile& file)
{
    Query& work = *Data->ZQ100;
    try {
        work.setSql(QStringLiteral("DELETE FROM munka2"));
        work.execute();
    } catch (const std::exception& error) {
        inform(withReason(DeleteFailed, error));
    }
    {
        ImportProgress progress(this, QStringLiteral("Beolvasás..."), file.recordCount());
        for (int i = 0; i < file.recordCount(); ++i) {
            try {
                insertintotable(work, file.values(i), i + 1);
            } catch (const RecordError& error) {
                inform(error.text());
                break;
            } catch (const std::exception& error) {
                inform(withReason(InsertFailed, error));
            }
            progress.setDone(i + 1);
        }
    }
    // The rows read are kept at once, so that a row that later fails to post cannot roll them back.
    try {
        Data->IBTrans1.commit();
    } catch (const std::exception& error) {
        inform(withReason(InsertFailed, error));
        try {
            Data->IBTrans1.rollback();
        } catch (const std::exception&) {
            // Nothing is left to undo that the message has not told.
        }
    }
}

// A short code typed by hand is not enough: the type has to be picked, for reading and for posting alike.
bool TForm25::movementTypeGiven()
{
    if (!Edit10->text().trimmed().isEmpty())
        return true;
    inform(NoMovementType);
    Edit2->setFocus();
    return false;
}

// The rows an earlier reading left in the work table are posted only under a picked movement type.
void TForm25::post()
{
    if (!movementTypeGiven())
        return;
    std::unique_ptr<ImportProgress> progress;
    const auto show = [&](int done, int total, const QString& lastNumber) {
        if (!progress)
            progress = std::make_unique<ImportProgress>(this, QStringLiteral("Feladás..."), total);
        progress->setDone(done);
        if (!lastNumber.isEmpty())
            Edit3->setText(lastNumber);
    };
    int belowZero = 0;
    const bool completed = TicketPosting::postWorkRows({Edit10->text(), Edit2->text()}, show, &belowZero);
    progress.reset();
    if (!completed)
        return;
    TicketPosting::fillItemCodes();
    inform(belowZero > 0 ? PostingDone + QLatin1Char('\r') + BelowZero.arg(belowZero) : PostingDone);
    accept();
}
