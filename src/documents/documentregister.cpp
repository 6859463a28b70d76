// The document register: list, positioning, sorting by the marked column, check before a modification,
// deletion, and the line form and viewer it opens.
#include "documentregister.h"

#include "data.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "dbtext.h"
#include "documentlineform.h"
#include "documentqueries.h"
#include "documentviewer.h"
#include "failurereason.h"
#include "masterread.h"
#include "modalform.h"
#include "platform.h"
#include "sharedstate.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TForm17* Form17 = nullptr;

namespace {

QPushButton* barButton(QWidget* parent, const char* name, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

}

TForm17::TForm17(QWidget* parent) : QDialog(parent), list_(*Data->ZQ10)
{
    setObjectName(QStringLiteral("Form17"));
    setWindowTitle(QStringLiteral("Bizonylat"));
    resize(900, 560);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Bizonylat"));

    Label18 = new QLabel(QStringLiteral("Sorrend: Oszlop megjelölés és klikk az oszlop fejlécre"), TabSheet1);
    Label18->setObjectName(QStringLiteral("Label18"));
    DBGrid1 = new DBGrid(TabSheet1);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Bizonylat"));
    DBGrid1->setReadOnly(true);
    // Tab leaves the grid for the buttons; the arrow keys move within it.
    DBGrid1->setTabKeyNavigation(false);
    DBGrid1->setColumns(RegisterList::gridColumns());
    DBGrid1->setDataSource(Data->DSQ10);
    DBNavigator1 = new DBNavigator(TabSheet1);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setDataSource(Data->DSQ10);
    DBNavigator1->setVisibleButtons(DBNavigator::moveButtons());
    GroupBox1 = new QGroupBox(QStringLiteral("A sor adata"), TabSheet1);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    buildDetails();

    auto* page = new QVBoxLayout(TabSheet1);
    page->addWidget(Label18);
    page->addWidget(DBGrid1, 1);
    auto* detailRow = new QHBoxLayout;
    detailRow->addWidget(DBNavigator1, 0, Qt::AlignTop);
    detailRow->addWidget(GroupBox1, 1);
    page->addLayout(detailRow);

    Button2 = barButton(this, "Button2", QStringLiteral("Új"));
    // The command of every working day, at the key desktop programs use for "new".
    Button2->setShortcut(QKeySequence::New);
    Button2->setToolTip(
        QStringLiteral("Új bizonylatsor (%1)").arg(Button2->shortcut().toString(QKeySequence::NativeText)));
    Button3 = barButton(this, "Button3", QStringLiteral("Módosít"));
    Button4 = barButton(this, "Button4", QStringLiteral("Töröl"));
    Button1 = barButton(this, "Button1", QStringLiteral("Megtekint"));
    Button5 = barButton(this, "Button5", QStringLiteral("Mégsem"));
    auto* bar = new QHBoxLayout;
    for (QPushButton* button : {Button2, Button3, Button4, Button1, Button5})
        bar->addWidget(button);

    auto* form = new QVBoxLayout(this);
    form->addWidget(PageControl1, 1);
    form->addLayout(bar);

    // The bar reads Új, Módosít, Töröl, Megtekint, Mégsem; the focus runs Új, Módosít, Mégsem,
    // Megtekint, Töröl, so that a slip of the Tab key lands on closing rather than on deleting.
    const QList<QWidget*> chain{DBGrid1, Button2, Button3, Button5, Button1, Button4};
    for (int i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    DBGrid1->setFocus();

    connect(Button2, &QPushButton::clicked, this, &TForm17::openNew);
    connect(Button3, &QPushButton::clicked, this, &TForm17::modify);
    connect(Button4, &QPushButton::clicked, this, &TForm17::remove);
    connect(Button1, &QPushButton::clicked, this, &TForm17::view);
    connect(Button5, &QPushButton::clicked, this, &QDialog::reject);
    connect(DBGrid1, &DBGrid::titleClicked, this, &TForm17::sortByMarkedColumn);
    Button3->installEventFilter(this);

    list_.readWithItemAndPartner();
    const QString key = shared().CurrentDocumentKey;
    if (!key.isEmpty())
        Data->ZQ10->locate(QStringLiteral("BKOD"), key);
}

void TForm17::buildDetails()
{
    struct Line {
        const char* caption;
        QStringList fields;
    };
    const Line lines[] = {{"Bizonylatszám: ", {"BBSZAM"}},
                          {"Cikkszám:", {"BCIKKSZAM", "BCKOD"}},
                          {"Dátum", {"BBIZDATUM"}},
                          {"Mozgásnem:", {"BMNEM"}},
                          {"Mennyiség:", {"BMENOV", "BMECSOK"}},
                          {"Éték:", {"BERTNOV", "BERTCSOK"}},
                          {"Eredeti:", {"BEREDETI"}},
                          {"Szöveg:", {"BSZOVEG"}},
                          {"ID:", {"IDB"}},
                          {"Kód:", {"BKOD"}}};
    auto* grid = new QGridLayout(GroupBox1);
    grid->setVerticalSpacing(0);
    int number = 0;
    int row = 0;
    for (const Line& line : lines) {
        // Two detail lines side by side keep the box low enough for the grid to stay the main part.
        const int column = (row % 2) * 3;
        grid->addWidget(new QLabel(QString::fromUtf8(line.caption), GroupBox1), row / 2, column);
        for (int i = 0; i < line.fields.size(); ++i) {
            auto* text = new DBText(Data->DSQ10, line.fields[i], GroupBox1);
            text->setObjectName(QStringLiteral("DBText%1").arg(++number));
            text->setTextInteractionFlags(Qt::TextSelectableByMouse);
            grid->addWidget(text, row / 2, column + 1 + i);
        }
        ++row;
    }
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(5, 1);
}

void TForm17::openNew()
{
    shared().DocumentMode = QStringLiteral("Új bizonylat");
    runForm<TForm18>(Form18, this, [this](TForm18& form) {
        watchSave(form);
        return true;
    });
}

// Only a warning: a later line of the same item may have to be corrected as well, but the user decides.
void TForm17::modify()
{
    const Query& list = *Data->ZQ10;
    const QString number = list.fieldByName(QStringLiteral("BBSZAM")).asString();
    Query& check = openWith(
        *Data->ZQ11, QStringLiteral("SELECT * FROM bizmozg WHERE bcikkszam = :p1 ORDER BY bbizdatum, bbszam"),
        list.fieldByName(QStringLiteral("BCIKKSZAM")).asString());
    check.last();
    if (check.fieldByName(QStringLiteral("BBSZAM")).asString() != number)
        Platform::instance().confirmYesOnly(
            QStringLiteral("A cikkre ezen biz.dátum után már van könyvelve!"));
    openModification();
}

void TForm17::openModification()
{
    shared().DocumentMode = QStringLiteral("Bizonylat módositás");
    runForm<TForm18>(Form18, this, [this](TForm18& form) {
        watchSave(form);
        // A changed line is shown again in place: the list stays open over the save's commit.
        form.keepOpenOverSave(&list_.query());
        return form.LoadDocumentLine();
    });
}

void TForm17::watchSave(TForm18& line)
{
    connect(&line, &TForm18::posted, this, &TForm17::linePosted);
}

// The list follows a save before the line form closes: in place when a saved change cannot have moved
// the line, otherwise read again on the saved line.
void TForm17::linePosted(bool changed, const QString& id)
{
    const bool inPlace = changed && list_.showChangedLine(id);
    if (!inPlace)
        list_.rereadOnLine(shared().CurrentDocumentKey);
    if (!inPlace || list_.inNumberOrder())
        Label18->setText(orderLabel(QStringLiteral("Bizonylat")));
}

// Asked first, "Nem" the default; no commit: the deletion waits in the open transaction, so the next
// save's commit (or the end of the run) keeps it and a failing save's rollback brings the line back.
void TForm17::remove()
{
    Platform& platform = Platform::instance();
    const QString failed = QStringLiteral("Hiba: bizonylat DELETE törlésekor");
    const Query& list = *Data->ZQ10;
    if (list.currentRow() < 0) {
        platform.information(failed + QStringLiteral("\rA lista üres: nincs törölhető bizonylat."));
    } else if (!platform.question(QStringLiteral("Biztosan törli a(z) %1 számú bizonylatot?")
                                      .arg(list.fieldByName(QStringLiteral("BBSZAM")).asString()))) {
        return;
    } else {
        try {
            Query& work = *Data->ZQ11;
            const QString id = list.fieldByName(QStringLiteral("IDB")).asString();
            work.close();
            work.clearSql();
            work.addSql(QStringLiteral("DELETE FROM bizmozg WHERE IDb = :p1"));
            work.paramByName(QStringLiteral("p1")).setText(id);
            work.execute();
            platform.information(QStringLiteral("A bizonylat törlölve!"));
        } catch (const std::exception& error) {
            platform.information(withReason(failed, error));
        }
    }
    list_.readLinesOnly();
}

void TForm17::view()
{
    shared().DocumentMode = QStringLiteral("Bizonylat megtekintés");
    runForm<TForm28>(Form28, this, [](TForm28& form) { return form.load(); });
}

// The clicked title does not matter: the list is ordered by the column the cell cursor stands in.
void TForm17::sortByMarkedColumn()
{
    list_.readByPosition(DBGrid1->markedColumn() + 1);
}

bool TForm17::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Button3 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // The keyboard way into a modification skips the check.
        if (key->text().size() == 1 && QStringLiteral("JjMm").contains(key->text())) {
            openModification();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
