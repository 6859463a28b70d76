// The raw-table maintenance form: tabs over the data module's tables, access codes and the M key.
#include "rawtables.h"
#include "data.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "modalform.h"
#include "passworddialog.h"
#include "sharedstate.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TForm19* Form19 = nullptr;

namespace {

struct RawTab {
    const char* caption;
    Table* TData::*table;
    DataSource* TData::*source;
    QStringList columns;   // empty: every column of the table
};

const QList<RawTab>& rawTabs()
{
    static const QList<RawTab> tabs{
        {"Bizmozg",
         &TData::IBTable1,
         &TData::DS1,
         {"IDB",     "BKOD",     "BCKOD",   "BBSZAM",  "BCIKKSZAM", "BBIZDATUM", "BMKOD",  "BMNEM",
          "BEAR",    "BMENOV",   "BMECSOK", "BERTNOV", "BERTCSOK",  "BATLAR",    "BTETEL", "BEREDETI",
          "BSZOVEG", "BMEGJEGY", "BPKOD",   "BRKOD",   "BDKOD",     "BFELADOTT", "BRKELT", "BKSZLA",
          "BTFSZAM", "BTOE",     "BTVK",    "BKFSZAM", "BKOE",      "BKVK",      "BMEMO"}},
        {"Cikk",
         &TData::IBTable2,
         &TData::DS2,
         {"IDC", "CKOD", "CSZAM", "CMEGN", "CMERET", "CVTSZ", "CME", "CEAR", "CKSZLA", "CRKOD", "CMEGJEGY",
          "CMEMO"}},
        {"Partner",
         &TData::IBTable3,
         &TData::DS3,
         {"IDP", "PKOD", "PNEV", "PIRSZAM", "PHELYSEG", "PUTCA", "PBANK"}},
        {"Raktar", &TData::IBTable4, &TData::DS4, {}},
        {"Mnem",
         &TData::IBTable5,
         &TData::DS5,
         {"IDM", "MKOD", "MNEM", "MNEV", "MNCS", "MKSZLA", "MFSZAM", "MOE", "MVK"}},
        {"Dolgozo", &TData::IBTable6, &TData::DS6, {"IDD", "DKOD", "DNEV"}},
        {"Bizszam", &TData::IBTable7, &TData::DS7, {"IDZ", "ZKOD", "ZBIZSZAM", "ZFELADAS"}},
        {"Munka",
         &TData::IBTable9,
         &TData::DS9,
         {"IDU",          "UKOD",        "UCKOD",        "UCIKKSZAM", "S_FELVKELT", "S_BSZAM",  "S_TERMEKKOD",
          "S_MEGNEVEZES", "S_BIZONYLAT", "S_BRUTTO",     "S_MEGY",    "S_EAR",      "S_FELVAR", "S_VTSZ",
          "O_KOD",        "O_NEV",       "O_HELYSEGNEV", "O_UTCA",    "O_IRSZAM",   "UMEGJEGY", "USZOVEG",
          "UMKOD",        "UMNEM",       "UMENOV",       "UMECSOK",   "UERTNOV",    "UERTCSOK"}},
        {"Felh",
         &TData::IBTable8,
         &TData::DS8,
         {"IDF", "FNEVE", "FHELYSEG", "FUTCA", "FIRSZAM", "FADOSZAM", "FBANKSZLA", "FADOAZON", "FMEGJ",
          "FKOD", "FSZERIA", "FVERZIO"}},
        {"Munka2",
         &TData::IBTable10,
         &TData::DS10,
         {"F_FELVKELT", "S_BSZAM", "S_TERMEKKOD", "S_MEGNEVEZES", "S_BIZONYLAT", "S_BRUTTO", "S_MEGY",
          "S_EAR", "S_FELVAR", "S_VTSZ", "O_KOD", "O_NEV", "O_HELYSEGNEV", "O_UTCA", "O_IRSZAM"}},
    };
    return tabs;
}

const QString FirstAccessCode = QStringLiteral("718260495");
const QString SecondAccessCode = QStringLiteral("kvb");

}

void unlockRawTables(bool withUserData)
{
    // MUNKA2 is never touched: it stays as it is, editable.
    const QList<Table*> nine{Data->IBTable1, Data->IBTable2, Data->IBTable3, Data->IBTable4, Data->IBTable5,
                             Data->IBTable6, Data->IBTable7, Data->IBTable8, Data->IBTable9};
    for (Table* table : nine)
        table->close();
    for (Table* table : nine)
        if (table != Data->IBTable8 || withUserData)
            table->setReadOnly(false);
    for (Table* table : nine)
        table->open();
}

TForm19::TForm19(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form19"));
    setWindowTitle(QStringLiteral("Adatok"));
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    int number = 0;
    for (const RawTab& tab : rawTabs()) {
        ++number;
        auto* page = new QWidget(PageControl1);
        page->setObjectName(QStringLiteral("TabSheet%1").arg(number));
        auto* grid = new DBGrid(page);
        grid->setObjectName(QStringLiteral("DBGrid%1").arg(number));
        grid->setAccessibleName(QString::fromLatin1(tab.caption));
        QList<GridColumn> columns;
        for (const QString& column : tab.columns)
            columns << GridColumn{column, column, -1};
        grid->setColumns(columns);
        auto* navigator = new DBNavigator(page);
        navigator->setObjectName(QStringLiteral("DBNavigator%1").arg(number));
        if (Data) {
            grid->setDataSource(Data->*tab.source);
            navigator->setDataSource(Data->*tab.source);
        }
        auto* layout = new QVBoxLayout(page);
        layout->addWidget(navigator);
        layout->addWidget(grid);
        PageControl1->addTab(page, QString::fromLatin1(tab.caption));
        grids << grid;
        navigators << navigator;
    }

    Button6 = new QPushButton(QStringLiteral("Szerkeszt"), this);
    Button6->setObjectName(QStringLiteral("Button6"));
    Button6->setAutoDefault(false);
    Button6->installEventFilter(this);
    Button1 = new QPushButton(QStringLiteral("Mégsem"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);
    connect(Button6, &QPushButton::clicked, this, &TForm19::Button6Click);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button6);
    buttons->addStretch();
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(buttons);
    resize(900, 560);
}

void TForm19::Button6Click()
{
    runForm(PasswordDlg, this);
    QString& typed = shared().MaintenancePassword;
    if (typed == FirstAccessCode) {
        typed.clear();
        unlockRawTables(false);
    } else if (typed == SecondAccessCode) {
        typed.clear();
        unlockRawTables(true);
    }
}

// "M" on "Szerkeszt" is the way in without the dialog.
bool TForm19::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Button6 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_M &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            unlockRawTables(false);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
