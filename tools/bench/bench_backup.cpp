// bench_backup: times the backup form's "Mentés" on a database the program holds open (backup lock,
// copy, fix-up of the copy) beside a plain `cp` of the same file.
//   bench_backup DATABASE TARGET_FOLDER [--keep]
// DATABASE should be a copy of your own: the program opens it exclusively while the benchmark runs.
// The copies are removed at the end; --keep leaves the backup copy (bench_backup.FDB) for checking.
#include "backup.h"
#include "benchsupport.h"
#include "connection.h"
#include "data.h"
#include "scriptedplatform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTextStream>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    const bool keep = args.size() == 4 && args[3] == QStringLiteral("--keep");
    if (args.size() != 3 && !keep) {
        out << "usage: bench_backup DATABASE TARGET_FOLDER [--keep]\n";
        return 2;
    }
    const QString database = QFileInfo(args[1]).absoluteFilePath();
    const QDir targetFolder(args[2]);
    const QString backupCopy = targetFolder.absoluteFilePath(QStringLiteral("bench_backup.FDB"));
    const QString plainCopy = targetFolder.absoluteFilePath(QStringLiteral("bench_cp.FDB"));
    QFile::remove(backupCopy);
    QFile::remove(plainCopy);

    // A plain copy before and after, so that neither side alone has the file in the page cache.
    auto plainCp = [&](const char* when) {
        QElapsedTimer timer;
        timer.start();
        const int exit = QProcess::execute(QStringLiteral("cp"), {database, plainCopy});
        const qint64 elapsed = timer.elapsed();
        out << "plain cp (" << when << "): " << elapsed << " ms (exit " << exit << ")\n";
        QFile::remove(plainCopy);
        return elapsed;
    };
    const qint64 cpBefore = plainCp("before");

    Connection::prepareEmbeddedEnvironment();
    ScriptedPlatform& platform = ScriptedPlatform::install();
    Data = new TData(database);
    Data->connectAndOpenTables();
    out << "database: " << database << " (" << QFileInfo(database).size() / (1024 * 1024) << " MB)\n";

    TForm34 form;
    form.show();
    form.Edit1->setText(database);
    form.Edit2->setText(backupCopy);
    QElapsedTimer timer;
    timer.start();
    form.Button1->click();
    const qint64 backupMs = timer.elapsed();
    out << "backup form (lock, copy, unlock, nbackup -F): " << backupMs << " ms: "
        << platform.messageTexts().join(QStringLiteral(" | ")).replace(QLatin1Char('\r'), QLatin1Char(' '))
        << "\n";
    delete Data;
    Data = nullptr;

    const qint64 cpAfter = plainCp("after");
    out.flush();
    benchRow(QStringLiteral("backup copy (Mentés)"), double(backupMs), double(std::min(cpBefore, cpAfter)),
             QStringLiteral("engine column: a plain cp of the file"));
    if (!keep)
        QFile::remove(backupCopy);
    return 0;
}
