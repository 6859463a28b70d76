// The e-mail form: drive and folder choice with the file lookup, "Küldés1" through the platform's mail,
// the clipboard, and "Küldés2" opening a prepared message.
#include "email.h"
#include "aboutmaker.h"
#include "fixedfolders.h"
#include "platform.h"
#include "ui_email.h"

#include <QDir>
#include <QFileSystemModel>
#include <QStorageInfo>
#include <QUrl>

TForm22* Form22 = nullptr;

const QString TForm22::StartingFolder = QStringLiteral("c:\\Program Files\\Zantor\\varnel2011\\");
const QString TForm22::FileName = QStringLiteral("varnel2011.fdb");
const QString TForm22::Subject = QStringLiteral("Varnel adatok");
const QString TForm22::Body = QStringLiteral("Varnel adatok elküldése ellenőrzésre");

namespace {

const QString NothingChosen = QStringLiteral("Nincs kiválasztva! ");
const QString OpenedInMailProgram = QStringLiteral(
    "A gépen nincs levelet továbbító sendmail program, ezért a levél a levelezőprogramban nyílt meg "
    "a csatolt fájllal.\rKérem, onnan küldje el.");

}

QString TForm22::mailtoText()
{
    return QStringLiteral("mailto:") + MakerInfo::supportEmail +
           QStringLiteral(" ?subject=Varnel adatok &body=Varnel adatok elküldése ellenőrzésre. "
                          "Figyelmeztetés: csatolt fálj mellékelni kell! ");
}

TForm22::TForm22(QWidget* parent) : QDialog(parent), ui(new Ui::TForm22), folders_(new QFileSystemModel(this))
{
    ui->setupUi(this);
    Edit1 = ui->Edit1;
    DriveComboBox1 = ui->DriveComboBox1;
    DirectoryListBox1 = ui->DirectoryListBox1;
    FileListBox1 = ui->FileListBox1;
    Button3 = ui->Button3;
    Button4 = ui->Button4;
    Button6 = ui->Button6;
    Button5 = ui->Button5;
    ui->Label4->setBuddy(Edit1);
    FileListBox1->hide();

    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            DriveComboBox1->addItem(QDir::toNativeSeparators(volume.rootPath()), volume.rootPath());

    folders_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    folders_->setRootPath(QDir::rootPath());
    DirectoryListBox1->setModel(folders_);
    for (int column = 1; column < folders_->columnCount(); ++column)
        DirectoryListBox1->hideColumn(column);

    // The tree fills its folders in the background; the chosen folder is brought into view once they are
    // there.
    connect(folders_, &QFileSystemModel::directoryLoaded, this, [this] {
        QMetaObject::invokeMethod(
            this, [this] { DirectoryListBox1->scrollTo(DirectoryListBox1->currentIndex()); },
            Qt::QueuedConnection);
    });
    connect(DriveComboBox1, &QComboBox::activated, this,
            [this](int index) { setFolder(DriveComboBox1->itemData(index).toString()); });
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!following_ && current.isValid())
                    folderChanged(folders_->filePath(current));
            });
    connect(Button3, &QPushButton::clicked, this, &TForm22::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm22::Button4Click);
    connect(Button6, &QPushButton::clicked, this, &TForm22::Button6Click);
    connect(Button5, &QPushButton::clicked, this, &QDialog::reject);
}

TForm22::~TForm22()
{
    delete ui;
}

void TForm22::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The program's old folder where it exists; otherwise the working folder.
    const QString start = localFolder(StartingFolder);
    setFolder(QFileInfo(start).isDir() ? start : QDir::currentPath());
}

void TForm22::setFolder(const QString& folder)
{
    const QString path = QDir(folder).absolutePath();
    // The tree and the drive chooser follow the folder without counting as a change of their own.
    following_ = true;
    const QModelIndex index = folders_->index(path);
    if (index.isValid()) {
        DirectoryListBox1->setCurrentIndex(index);
        DirectoryListBox1->scrollTo(index);
    }
    const QString volume = QStorageInfo(path).rootPath();
    const int drive = DriveComboBox1->findData(volume);
    if (drive >= 0)
        DriveComboBox1->setCurrentIndex(drive);
    following_ = false;
    folderChanged(path);
}

// The file lookup: the folder's entries named like the file looked for (letter case ignored, as the
// program's own folders were named without regard to it).
void TForm22::folderChanged(const QString& folder)
{
    folder_ = folder;
    const QStringList found = QDir(folder).entryList({FileName}, QDir::Files, QDir::Name);
    FileListBox1->clear();
    FileListBox1->addItems(found);
    if (found.isEmpty())
        Edit1->clear();
    else
        Edit1->setText(QDir(folder).filePath(found.first()));
}

void TForm22::Button3Click()
{
    if (Edit1->text().isEmpty()) {
        Platform::instance().information(NothingChosen);
        return;
    }
    const MailResult result =
        Platform::instance().sendMail({MakerInfo::supportEmail, Subject, Body, Edit1->text()});
    // A sent mail is found among the sent letters, as the form's text says; nothing to add then.
    if (result.route == MailResult::Route::OpenedInMailProgram)
        Platform::instance().information(OpenedInMailProgram);
    else if (result.route == MailResult::Route::Failed)
        Platform::instance().information(result.error);
}

void TForm22::Button4Click()
{
    Edit1->selectAll();
    Platform::instance().setClipboardText(Edit1->text());
}

void TForm22::Button6Click()
{
    Platform::instance().openUrl(QUrl(mailtoText()));
}
