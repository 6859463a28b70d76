// The database backup form: defaults on every show, the two dialogs, and the copy with its outcome.
#include "backup.h"
#include "backupcopy.h"
#include "data.h"
#include "fixedfolders.h"
#include "platform.h"
#include "ui_backup.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

TForm34* Form34 = nullptr;

const QString TForm34::SourceDialogTitle = QStringLiteral("Varnel 2013. évi adatok mentése innen");
const QString TForm34::TargetDialogTitle = QStringLiteral("Varnel 2013. évi adatok mentése ide");
// One entry described as "*.fdb" that lists only the database file (either spelling of its name).
const QString TForm34::SourceDialogFilter = QStringLiteral("*.fdb (varnel2013.fdb VARNEL2013.FDB)");
const QString TForm34::TargetDialogFilter = QStringLiteral("*.fdb (*.fdb *.FDB)");

namespace {

const QString BackupFolder = QStringLiteral("c:\\varnel2013\\");
const QString DatabaseName = QStringLiteral("varnel2013.fdb");

const QString MissingSource = QStringLiteral("Hiba! A \"Honnan\" -ban megadott fálj nem létezik.");
const QString Copied = QStringLiteral("Az adatbázis átmásolva a \"Hová\" könyvtárba. Kérem ellenőrizze le.");
const QString NotCopied = QStringLiteral("Hiba! Az adatbázis nem lett átmásolva a \"Hová\" könyvtárba.");

// The folder the target dialog last confirmed, for the rest of the run. A file dialog does not move
// the program's working folder here: the report templates, the help file and the database are found
// there.
QString& targetDialogFolder()
{
    static QString folder;
    return folder;
}

QString withSlash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// The database file in the working folder: its name as written, in whatever letter case the file
// system holds it.
QString databaseInWorkingFolder()
{
    const QDir folder = QDir::current();
    if (!folder.exists(DatabaseName)) {
        const QStringList found = folder.entryList({DatabaseName}, QDir::Files);
        if (!found.isEmpty())
            return folder.absoluteFilePath(found.first());
    }
    return folder.absoluteFilePath(DatabaseName);
}

}

TForm34::TForm34(QWidget* parent) : QDialog(parent), ui(new Ui::TForm34)
{
    ui->setupUi(this);
    Button1 = ui->Button1;
    Button2 = ui->Button2;
    Button3 = ui->Button3;
    Edit1 = ui->Edit1;
    Edit2 = ui->Edit2;
    Label1 = ui->Label1;
    connect(Button1, &QPushButton::clicked, this, &TForm34::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm34::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm34::Button3Click);
}

TForm34::~TForm34()
{
    delete ui;
}

void TForm34::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Edit1->setText(databaseInWorkingFolder());
    Edit2->setText(withSlash(localFolder(BackupFolder)) + backupFileName(QDateTime::currentDateTime()));
    targetDialogFile_ = Edit2->text();
}

void TForm34::Button2Click()
{
    const QString chosen = Platform::instance().openFileName(
        this, SourceDialogTitle, sourceDialogFile_.isEmpty() ? QDir::currentPath() : sourceDialogFile_,
        SourceDialogFilter);
    if (!chosen.isEmpty())
        sourceDialogFile_ = chosen;
    // A cancel gives back what the dialog held before; before any choice the box keeps its path.
    if (!sourceDialogFile_.isEmpty())
        Edit1->setText(sourceDialogFile_);
}

void TForm34::Button3Click()
{
    QString& folder = targetDialogFolder();
    if (folder.isEmpty())
        folder = QDir::currentPath();
    const QString chosen =
        Platform::instance().saveFileName(this, TargetDialogTitle, targetDialogFile_, TargetDialogFilter);
    if (!chosen.isEmpty()) {
        targetDialogFile_ = chosen;
        folder = QFileInfo(chosen).absolutePath();
    }
    // Only the folder counts: the name is always a new backup file name.
    Edit2->setText(withSlash(folder) + backupFileName(QDateTime::currentDateTime()));
}

void TForm34::Button1Click()
{
    const QString source = localFolder(Edit1->text());
    const QString target = localFolder(Edit2->text());
    if (!QFileInfo(source).isFile()) {
        Platform::instance().information(MissingSource);
        return;
    }
    // The proposed folder is ours to make (nothing else does on a new installation); a folder the user
    // chose or typed elsewhere has to exist.
    QString failure;
    const QString targetFolder = QDir::cleanPath(QFileInfo(target).absolutePath());
    if (targetFolder == QDir::cleanPath(localFolder(BackupFolder)))
        failure = makeOwnFolder(targetFolder);
    if (failure.isEmpty()) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        failure = copyDatabaseFile(Data ? &Data->ZCon1 : nullptr, source, target);
        QGuiApplication::restoreOverrideCursor();
    }
    Platform::instance().information(failure.isEmpty() ? Copied : NotCopied + QLatin1Char('\r') + failure);
}
