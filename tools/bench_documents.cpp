// Benchmark of the document register over a large database (1,000,000 lines): opening the register,
// "last row", a sort by a marked column and the save of a new line, each beside the same statements
// run bare through the data layer. Works on a copy of the database it is given; prints times in ms.
#include "data.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "documentlineform.h"
#include "documentregister.h"
#include "formats.h"
#include "modalform.h"
#include "query.h"
#include "scriptedplatform.h"
#include "sharedstate.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <functional>

namespace {

double timed(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

void leave(QLineEdit* box)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(box, &out);
}

QString firstValue(const QString& sql)
{
    Query query(Data->IBTrans1);
    query.setSql(sql);
    query.open();
    return query.field(0).asString();
}

void row(const char* what, double form, double bare, const QString& note = {})
{
    std::printf("  %-34s %9.1f ms %9.1f ms  %s\n", what, form, bare, qPrintable(note));
}

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_documents VARNEL2013.FDB (made by varnel-initdb --lines 1000000)\n");
        return 2;
    }
    Formats::initialise(QLocale(QLocale::Hungarian, QLocale::Hungary));
    Connection::prepareEmbeddedEnvironment();
    QTemporaryDir temporary(QDir::tempPath() + QStringLiteral("/bench_documents-XXXXXX"));
    const QString path = temporary.filePath(QStringLiteral("VARNEL2013.FDB"));
    if (!QFile::copy(QString::fromLocal8Bit(argv[1]), path)) {
        std::fprintf(stderr, "cannot copy %s\n", argv[1]);
        return 1;
    }
    ScriptedPlatform& platform = ScriptedPlatform::install();
    Data = new TData(path);
    Data->connectAndOpenTables();
    shared().CurrentEmployeeCode = QStringLiteral("1");
    const QString item = firstValue(QStringLiteral("SELECT FIRST 1 cszam FROM cikk ORDER BY cszam"));
    const QString type = firstValue(QStringLiteral("SELECT FIRST 1 mnem FROM mnem WHERE mncs = '+' ORDER BY mnem"));
    const QString lines = firstValue(QStringLiteral("SELECT count(*) FROM bizmozg"));

    Query bare(Data->IBTrans1);
    auto openBare = [&bare](const QString& sql) {
        bare.close();
        bare.setSql(sql);
        bare.open();
    };
    openBare(TForm17::listSql());   // warms the page cache for both sides
    bare.close();

    double openForm = 0, openBareTime = 0, lastForm = 0, lastBare = 0, sortForm = 0, sortBare = 0;
    double saveForm = 0, saveBare = 0, changeForm = 0, changeBare = 0;
    int fetchedOpen = 0, fetchedSave = 0, fetchedChange = 0;
    QElapsedTimer opening;
    platform.modalRuns.push_back([&](QDialog* dialog) {
        openForm = opening.nsecsElapsed() / 1e6;
        fetchedOpen = Data->ZQ10->fetchedCount();
        auto& form = *static_cast<TForm17*>(dialog);
        openBareTime = timed([&] { openBare(TForm17::listSql()); });

        // A save as it follows the opening, first bare (counter, insert, commit, the list read again; the
        // commit closes the register's list too), then through the line form, which reads the list again.
        saveBare = timed([&] {
            Query counter(Data->IBTrans1);
            counter.setSql(QStringLiteral("UPDATE bizszam SET zbizszam = CAST(CAST(zbizszam AS BIGINT) + 1 AS VARCHAR(10))"));
            counter.execute();
            Query insert(Data->IBTrans1);
            insert.setSql(QStringLiteral("INSERT INTO bizmozg (bbszam, bcikkszam, bbizdatum, bmnem, bear, bmenov, bmecsok, "
                                         "bertnov, bertcsok) VALUES ('x', :p1, CURRENT_DATE, :p2, 2, 1, 0, 2, 0)"));
            insert.paramByName(QStringLiteral("p1")).setText(item);
            insert.paramByName(QStringLiteral("p2")).setText(type);
            insert.execute();
            Data->IBTrans1.commit();
            openBare(TForm17::plainListSql());
        });
        bare.close();

        platform.modalRuns.push_back([&](QDialog* lineDialog) {
            auto& line = *static_cast<TForm18*>(lineDialog);
            line.Edit2->setText(type);
            leave(line.Edit2);
            line.Edit3->setText(item);
            leave(line.Edit3);
            line.Edit21->setText(QStringLiteral("1"));
            line.Edit22->setText(QStringLiteral("2"));
            line.Edit23->setText(QStringLiteral("2"));
            saveForm = timed([&] { line.Button3->click(); });
            fetchedSave = Data->ZQ10->fetchedCount();
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(form.Button2, Qt::LeftButton);

        // Then the moves that read far into the list (after a save it is the lines alone).
        openBare(TForm17::plainListSql());
        lastForm = timed([&] { form.DBNavigator1->press(DBNavigator::Last); });
        lastBare = timed([&] { bare.last(); });
        bare.close();

        form.DBGrid1->setMarkedColumn(3);
        sortForm = timed([&] { emit form.DBGrid1->horizontalHeader()->sectionClicked(8); });
        sortBare = timed([&] { openBare(TForm17::markedSortSql(4)); });
        bare.close();

        // A change of the line that is last by date: the list is read again in number order and
        // positioned on the changed line, fetching as far as that line stands.
        Data->ZQ10->last();
        const QString key = Data->ZQ10->fieldByName(QStringLiteral("BKOD")).asString();
        const QString id = Data->ZQ10->fieldByName(QStringLiteral("IDB")).asString();
        platform.modalRuns.push_back([&](QDialog* lineDialog) {
            auto& line = *static_cast<TForm18*>(lineDialog);
            leave(line.Edit2);
            changeForm = timed([&] { line.Button3->click(); });
            fetchedChange = Data->ZQ10->fetchedCount();
            return int(QDialog::Rejected);
        });
        QTest::keyClick(form.Button3, 'J');
        changeBare = timed([&] {
            Query update(Data->IBTrans1);
            update.setSql(QStringLiteral("UPDATE bizmozg SET brkelt = CURRENT_DATE WHERE IDb = :p0"));
            update.paramByName(QStringLiteral("p0")).setText(id);
            update.execute();
            Data->IBTrans1.commit();
            openBare(TForm17::plainListSql());
            bare.locate(QStringLiteral("BKOD"), key);
        });
        bare.close();

        return int(QDialog::Rejected);
    });
    opening.start();
    runForm(Form17, nullptr);

    std::printf("document register over %s lines                register    bare statement\n", qPrintable(lines));
    row("open (create, list, position)", openForm, openBareTime, QStringLiteral("%1 rows fetched").arg(fetchedOpen));
    row("last row", lastForm, lastBare);
    row("sort by marked column (Dátum)", sortForm, sortBare);
    row("save a new line, list re-read", saveForm, saveBare, QStringLiteral("%1 rows fetched after").arg(fetchedSave));
    row("save a change, list re-positioned", changeForm, changeBare,
        QStringLiteral("%1 rows fetched after").arg(fetchedChange));
    if (!platform.messageTexts().isEmpty())
        std::printf("messages: %s\n", qPrintable(platform.messageTexts().join(QStringLiteral(" | "))));
    bare.close();
    delete Data;
    return 0;
}
