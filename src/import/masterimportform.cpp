// The master-data import form: the file and the kind, the preview, and the storing of the new rows.
#include "masterimportform.h"

#include "buddies.h"
#include "dberror.h"
#include "failurereason.h"
#include "platform.h"
#include "ui_masterimportform.h"

#include <QBrush>
#include <QFileInfo>
#include <QHeaderView>

TMasterImportForm* MasterImportForm = nullptr;

namespace {

using Verdict = ImportRow::Verdict;

void inform(const QString& text)
{
    Platform::instance().information(text);
}

const QString ReadFailed = QStringLiteral("Hiba: a tárolt törzsadatok nem olvashatók.");

}

void ImportPreviewModel::setPreview(const ImportPreview& preview)
{
    beginResetModel();
    preview_ = preview;
    endResetModel();
}

int ImportPreviewModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(preview_.rows.size());
}

int ImportPreviewModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(importKind(preview_.kind).fields.size()) + 3;
}

QVariant ImportPreviewModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= preview_.rows.size())
        return {};
    const ImportRow& row = preview_.rows[index.row()];
    if (role == Qt::ForegroundRole && row.verdict == Verdict::Refused)
        return QBrush(Qt::darkRed);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const int fields = int(row.values.size());
    if (index.column() == 0)
        return row.line;
    if (index.column() == 1)
        return preview_.verdictText(row);
    if (index.column() - 2 < fields)
        return row.values[index.column() - 2];
    return row.newCode;
}

QVariant ImportPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    const QList<ImportField>& fields = importKind(preview_.kind).fields;
    if (section == 0)
        return QStringLiteral("Sor");
    if (section == 1)
        return QStringLiteral("Eredmény");
    if (section - 2 < fields.size())
        return fields[section - 2].caption;
    return QStringLiteral("Új kód");
}

TMasterImportForm::TMasterImportForm(QWidget* parent)
    : QDialog(parent), ui(new Ui::MasterImportForm), model_(new ImportPreviewModel(this))
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("MasterImportForm"));
    Edit1 = ui->Edit1;
    Button1 = ui->Button1;
    ComboBox1 = ui->ComboBox1;
    Button2 = ui->Button2;
    TableView1 = ui->TableView1;
    Label3 = ui->Label3;
    Button3 = ui->Button3;
    Button4 = ui->Button4;
    setBuddies(this, {{"Label1", "Edit1"}, {"Label2", "ComboBox1"}});
    for (const ImportKind& kind : importKinds())
        ComboBox1->addItem(kind.caption, int(kind.kind));
    TableView1->setModel(model_);
    TableView1->horizontalHeader()->setStretchLastSection(true);
    // The "Sor" column numbers the rows as the file does; the view's own numbers would differ from it.
    TableView1->verticalHeader()->hide();
    connect(Button1, &QPushButton::clicked, this, &TMasterImportForm::pickFile);
    connect(Button2, &QPushButton::clicked, this, &TMasterImportForm::readFile);
    connect(Button3, &QPushButton::clicked, this, &TMasterImportForm::store);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
    // The rows shown are always those of the file named: another name forgets them until it is read.
    connect(Edit1, &QLineEdit::textEdited, this, [this] {
        read_ = false;
        sheet_.clear();
        preview_ = ImportPreview{kind(), {}, {}};
        showPreview();
    });
    // Another kind re-judges the rows already read; the file is not read again.
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this] {
        if (read_) {
            judge();
            showPreview();
        }
    });
}

TMasterImportForm::~TMasterImportForm()
{
    delete ui;
}

MasterKind TMasterImportForm::kind() const
{
    return MasterKind(ComboBox1->currentData().toInt());
}

void TMasterImportForm::pickFile()
{
    const QString path = Platform::instance().openFileName(
        this, QStringLiteral("Törzsadatok beolvasása"), QFileInfo(Edit1->text()).absolutePath(),
        QStringLiteral("Táblázatok (*.xlsx *.csv *.txt);;Excel-munkafüzet (*.xlsx);;CSV-fájl (*.csv *.txt);;"
                       "Minden fájl (*)"));
    if (path.isEmpty())
        return;
    Edit1->setText(path);
    readFile();
}

// A file that cannot be read leaves an empty preview: nothing of an earlier file can be stored by mistake.
void TMasterImportForm::readFile()
{
    if (Edit1->text().trimmed().isEmpty()) {
        pickFile();
        return;
    }
    read_ = false;
    sheet_.clear();
    preview_ = ImportPreview{kind(), {}, {}};
    try {
        sheet_ = SheetFile::read(Edit1->text().trimmed());
        read_ = true;
    } catch (const SheetError& error) {
        inform(error.text());
    }
    if (read_)
        judge();
    showPreview();
}

bool TMasterImportForm::judge()
{
    fitsKind_ = false;
    try {
        preview_ = classifyRows(kind(), sheet_);
        fitsKind_ = true;
        return true;
    } catch (const SheetError& error) {
        inform(error.text());
    } catch (const DbError& error) {
        // The file is sound: the next store judges it again.
        fitsKind_ = true;
        inform(withReason(ReadFailed, error));
    }
    preview_ = ImportPreview{kind(), {}, {}};
    return false;
}

void TMasterImportForm::showPreview()
{
    model_->setPreview(preview_);
    TableView1->resizeColumnsToContents();
    if (preview_.rows.isEmpty()) {
        Label3->setText(QStringLiteral("Nincs beolvasott sor."));
        return;
    }
    QString counts = QStringLiteral("Új: %1    Már megvan: %2    Elutasítva: %3")
                         .arg(preview_.count(Verdict::New))
                         .arg(preview_.count(Verdict::StoredByCode) + preview_.count(Verdict::StoredByName))
                         .arg(preview_.count(Verdict::Refused));
    if (!preview_.ignoredHeaders.isEmpty())
        counts += QStringLiteral("    Nem beolvasott oszlopok: %1")
                      .arg(preview_.ignoredHeaders.join(QStringLiteral(", ")));
    Label3->setText(counts);
}

// Stores only a file without refused rows: a refused row is bad input, and bad input stores nothing.
// The rows are judged once more first, against what is stored now.
void TMasterImportForm::store()
{
    if (!read_ || !fitsKind_) {
        inform(QStringLiteral("Előbb olvassa be a táblázatot a Beolvasás gombbal."));
        return;
    }
    const bool judged = judge();
    showPreview();
    if (!judged)
        return;
    if (const ImportRow* refused = preview_.firstRefused()) {
        inform(QStringLiteral(
                   "A táblázat %1 sora hibás, ezért semmi sem került tárolásra.\rAz első: a(z) %2. sor: "
                   "%3.\rJavítsa a táblázatot, és olvassa be újra.")
                   .arg(preview_.count(Verdict::Refused))
                   .arg(refused->line)
                   .arg(refused->reason));
        return;
    }
    const int fresh = preview_.count(Verdict::New);
    if (fresh == 0) {
        inform(QStringLiteral("A táblázatban nincs új sor, semmi sem került tárolásra."));
        return;
    }
    if (!storeNewRows(preview_))
        return;
    inform(QStringLiteral("%1 új sor tárolva.").arg(fresh));
    judge();
    showPreview();
}
