// Master data from a spreadsheet: the verdict of every row, the files and rows that store nothing, the
// new rows stored with the next codes in one unit of work, the program's own export read back, and the
// reading of .xlsx and CSV files.
#include "cp1250.h"
#include "dbgrid.h"
#include "faultinjection.h"
#include "modalform.h"
#include "masterfixture.h"
#include "masterimportform.h"
#include "masterlist.h"
#include "sheetfile.h"
#include "testsupport.h"
#include "xlsxfixture.h"
#include "xlsxsheet.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString NothingRead = QStringLiteral("Előbb olvassa be a táblázatot a Beolvasás gombbal.");

QList<int> lines(const QList<SheetRow>& rows)
{
    QList<int> numbers;
    for (const SheetRow& row : rows)
        numbers << row.line;
    return numbers;
}

Rows cells(const QList<SheetRow>& rows)
{
    Rows all;
    for (const SheetRow& row : rows)
        all << row.cells;
    return all;
}

Rows sorted(Rows rows)
{
    std::sort(rows.begin(), rows.end());
    return rows;
}

QByteArray repeated(const QByteArray& line, int times)
{
    QByteArray all;
    all.reserve(line.size() * times);
    for (int i = 0; i < times; ++i)
        all += line;
    return all;
}

// Rows with one name each in the last column a sheet has.
QByteArray lastColumnRows(int count)
{
    QByteArray rows;
    for (int i = 1; i <= count; ++i)
        rows += "<row r=\"" + QByteArray::number(i) + "\"><c r=\"XFD" + QByteArray::number(i) +
                "\" t=\"inlineStr\"><is><t>Név</t></is></c></row>";
    return rows;
}

// Rows of different names, packed as tightly as a real sheet packs.
QByteArray manyRows(int count)
{
    QByteArray rows;
    for (int i = 0; i < count; ++i)
        rows += R"(<row><c t="inlineStr"><is><t>Partner )" + QByteArray::number(i) + "</t></is></c></row>";
    return rows;
}

}

class TestMasterImport : public MasterTest {
    Q_OBJECT

    QTemporaryDir files;

    QString writeFile(const QString& name, const QByteArray& content)
    {
        const QString path = files.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(path));
        file.write(content);
        return path;
    }

    QByteArray zipped(const QList<ZipPart>& parts)
    {
        const QString path = files.filePath(QStringLiteral("scratch.zip"));
        if (!writeZip(path, parts))
            qFatal("cannot write %s", qPrintable(path));
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    // Opens the import as the menu does, chooses the kind, reads `path` through the file dialog and hands
    // the form to `act`; the preview's model is checked by Qt's model tester all along.
    void inForm(MasterKind kind, const QString& path, const std::function<void(TMasterImportForm&)>& act)
    {
        bool ran = false;
        platform->addRun<TMasterImportForm>([&](TMasterImportForm& form) {
            ran = true;
            QAbstractItemModelTester tester(form.model(),
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
            form.ComboBox1->setCurrentIndex(form.ComboBox1->findData(int(kind)));
            platform->fileAnswers.push_back(path);
            QTest::mouseClick(form.Button1, Qt::LeftButton);
            act(form);
        });
        runForm(MasterImportForm, nullptr);
        QVERIFY(ran);
        QVERIFY(platform->fileAnswers.empty());
    }

    // Each row's verdict as the preview shows it, with the code a new row gets.
    static QStringList verdicts(const TMasterImportForm& form)
    {
        QStringList texts;
        const QAbstractItemModel* model = form.model();
        for (int row = 0; row < model->rowCount(); ++row) {
            QString text = model->index(row, 1).data().toString();
            const QString code = model->index(row, model->columnCount() - 1).data().toString();
            if (!code.isEmpty())
                text += QStringLiteral(" ") + code;
            texts << text;
        }
        return texts;
    }

    int storedCount(const QString& table)
    {
        return storedRows(*db, QStringLiteral("SELECT count(*) FROM ") + table).value(0).value(0).toInt();
    }

    void store(TMasterImportForm& form) { QTest::mouseClick(form.Button3, Qt::LeftButton); }

private slots:
    void initTestCase()
    {
        initTestLocale();
        QVERIFY(files.isValid());
    }

    void init()
    {
        startTest();
        connectData();
    }
    void cleanup()
    {
        FaultInjection::disarm();
        endTest();
    }

    void verdicts_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("expected");
        const int items = int(MasterKind::Items);
        const int partners = int(MasterKind::Partners);
        const int warehouses = int(MasterKind::Warehouses);
        const int movementTypes = int(MasterKind::MovementTypes);
        const QByteArray name75(75, 'x');

        QTest::newRow("new items get the next codes")
            << items << QByteArray("Cikkszám;Megnevezés\n500;Körte\n600;Szilva\n")
            << QStringList{"Új 11", "Új 12"};
        QTest::newRow("an item found by its number")
            << items << QByteArray("Cikkszám;Megnevezés\n300;Más név\n")
            << QStringList{"Már megvan kód szerint: 300 – Barack"};
        QTest::newRow("an item found by its name") << items << QByteArray("Cikkszám;Megnevezés\n900;alma\n")
                                                   << QStringList{"Már megvan név szerint: 100 – alma"};
        QTest::newRow("partners by name, their codes left to the program")
            << partners << QByteArray("Név;Helységnév\nalma;Pécs\nKiss Anna;Szeged\n")
            << QStringList{"Már megvan név szerint: 2 – alma", "Új 11"};
        QTest::newRow("a partner found by its code") << partners << QByteArray("Kód;Név\n10;Akárki\n")
                                                     << QStringList{"Már megvan kód szerint: 10 – Zab"};
        QTest::newRow("a text longer than its column")
            << partners << "Név\n" + name75 + "y\n"
            << QStringList{"Elutasítva: a(z) „Név” 76 karakter, legfeljebb 75 fér el"};
        QTest::newRow("a text as long as its column") << partners << "Név\n" + name75 + "\n"
                                                      << QStringList{"Új 11"};
        QTest::newRow("a character outside the code page")
            << warehouses << QByteArray("Név\nЖук\n")
            << QStringList{
                   "Elutasítva: a(z) „Név”: A(z) \"Ж\" karakter nem írható a WIN1250 kódlapú adatbázisba."};
        QTest::newRow("the code page's accented letters")
            << warehouses << QByteArray("Név\nŐrház űrlap\n") << QStringList{"Új 11"};
        QTest::newRow("a required value missing")
            << movementTypes << QByteArray("Mozgásnemkód;Megnevezés;+/-\nXX;Valami;\n")
            << QStringList{"Elutasítva: nincs megadva: „+/-”"};
        QTest::newRow("a name twice in the file")
            << partners << QByteArray("Név\nKiss\nKiss\n")
            << QStringList{"Új 11", "Elutasítva: a(z) 2. sor ismétlése"};
        QTest::newRow("a code twice in the file")
            << items << QByteArray("Cikkszám;Megnevezés\n500;A\n500;B\n")
            << QStringList{"Új 11", "Elutasítva: a(z) 2. sor ismétlése"};
        QTest::newRow("a tab in a text")
            << partners << QByteArray("Név;Utca\nKiss;\"Fő\tu. 1\"\n")
            << QStringList{"Elutasítva: a(z) „Utca” tabulátort vagy sortörést tartalmaz"};
        QTest::newRow("a line break in a text")
            << partners << QByteArray("Név;Utca\n\"Kiss\nAnna\";x\n")
            << QStringList{"Elutasítva: a(z) „Név” tabulátort vagy sortörést tartalmaz"};
        QTest::newRow("a decimal comma in an item number")
            << items << QByteArray("Cikkszám;Megnevezés\n\"12,5\";Körte\n")
            << QStringList{"Elutasítva: a(z) „Cikkszám” tizedes szám (12,5), kód csak egész lehet"};
        QTest::newRow("a decimal point in a movement-type code")
            << movementTypes << QByteArray("Mozgásnemkód;Megnevezés;+/-\n1.5;Valami;+\n")
            << QStringList{"Elutasítva: a(z) „Mozgásnemkód” tizedes szám (1.5), kód csak egész lehet"};
        QTest::newRow("letters in an item number")
            << items << QByteArray("Cikkszám;Megnevezés\n12A;Körte\n")
            << QStringList{"Elutasítva: a(z) „Cikkszám” csak számjegyekből állhat (12A)"};
        QTest::newRow("database column names as headers, commas")
            << warehouses << QByteArray("RNEV,RTELEP\nÚj raktár,Győr\n") << QStringList{"Új 11"};
        QTest::newRow("entry-form captions in any case, tabs, a blank row")
            << partners << QByteArray("NÉV\tIr.szám\n\nNagy Béla\t6720\n") << QStringList{"Új 11"};
    }

    // The verdicts as the preview shows them; nothing is stored by reading.
    void verdicts()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, expected);
        const QString path = writeFile(QStringLiteral("rows.csv"), csv);
        const QString table = importKind(MasterKind(kind)).table;
        inForm(MasterKind(kind), path, [&](TMasterImportForm& form) {
            QCOMPARE(verdicts(form), expected);
            QVERIFY(platform->messages.empty());
        });
        QCOMPARE(storedCount(table), 4);
    }

    // A header the kind has no field for is named under the preview, or its values would go unnoticed.
    void unknownColumnsAreNamed()
    {
        const QString path = writeFile(QStringLiteral("rows.csv"), "Név;Helység;;Megjegyzés\nKiss;Pécs;;x\n");
        inForm(MasterKind::Partners, path, [&](TMasterImportForm& form) {
            QCOMPARE(verdicts(form), QStringList{"Új 11"});
            QCOMPARE(form.Label3->text(), QStringLiteral("Új: 1    Már megvan: 0    Elutasítva: 0    "
                                                         "Nem beolvasott oszlopok: „Helység”, „Megjegyzés”"));
        });
    }

    void badFiles_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");   // the start of the message shown
        const int items = int(MasterKind::Items);
        const int partners = int(MasterKind::Partners);
        const QString notWorkbook = QStringLiteral("A fájl nem olvasható be Excel-munkafüzetként (xlsx): ");
        const QByteArray sheetStart = R"(<?xml version="1.0"?><worksheet><sheetData>)";

        QTest::newRow("an image named .csv")
            << items << "kep.csv" << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
            << "A fájl nem szöveges táblázat (CSV) és nem Excel-munkafüzet (xlsx).";
        QTest::newRow("a text named .xlsx")
            << items << "szoveg.xlsx" << QByteArray("Cikkszám\n300\n") << notWorkbook + "nem zip-tároló.";
        QTest::newRow("a broken zip") << items << "sérült.xlsx" << QByteArray("PK\x03\x04 nem zip tovább")
                                      << notWorkbook + "a zip-tároló sérült vagy nem zip";
        QTest::newRow("a zip without a workbook")
            << items << "zip.xlsx" << zipped({{"a.txt", "x"}})
            << notWorkbook + "hiányzik belőle a munkafüzet (xl/workbook.xml).";
        QTest::newRow("a zip bomb")
            << items << "bomba.xlsx"
            << zipped(workbookParts(sheetStart + QByteArray(XlsxSheet::MaxEntryBytes, ' ') +
                                    "</sheetData></worksheet>"))
            << notWorkbook + "a(z) xl/worksheets/adatok.xml rész kibontva nagyobb a megengedettnél";
        QTest::newRow("entities in the sheet")
            << items << "entitas.xlsx"
            << zipped(workbookParts(
                   R"(<?xml version="1.0"?><!DOCTYPE w [<!ENTITY a "aaaaaaaaaa">]><worksheet/>)"))
            << notWorkbook + "a(z) xl/worksheets/adatok.xml rész DTD-t tartalmaz.";
        QTest::newRow("a malformed sheet")
            << items << "rossz.xlsx" << zipped(workbookParts(sheetStart + "<row>"))
            << notWorkbook + "a(z) xl/worksheets/adatok.xml rész hibás XML";
        QTest::newRow("a shared string that is not there")
            << items << "kozos.xlsx"
            << zipped(workbookParts(
                   sheetStart + R"(<row r="1"><c r="A1" t="s"><v>5</v></c></row></sheetData></worksheet>)"))
            << notWorkbook + "a(z) 5. közös szöveg nem létezik.";
        QTest::newRow("a CSV without a header")
            << items << "fejlec.csv" << QByteArray("alma;körte\n1;2\n") << "A táblázatban nincs fejléc sor";
        QTest::newRow("an empty file")
            << partners << "ures.csv" << QByteArray() << "A táblázatban nincs fejléc sor";
        QByteArray strings;
        const QByteArray noHeader = sheetXml({{"x", "y"}, {"1", "2"}}, true, &strings);
        QTest::newRow("a workbook without a header")
            << partners << "fejlec.xlsx" << zipped(workbookParts(noHeader, strings))
            << "A táblázatban nincs fejléc sor";
        QTest::newRow("a required column missing")
            << partners << "nev.csv" << QByteArray("Kód;Irszám\n1;6720\n")
            << "A táblázat fejléc sorában nincs „Név” oszlop, pedig ez kötelező adat.";
        QTest::newRow("100,000 rows of CSV")
            << partners << "sok.csv"
            << "Név\n" + repeated("Kiss\n", 100000) << SheetFile::tooManyRows();
        QTest::newRow("50,001 rows under a header")
            << partners << "sok2.csv"
            << "Név\n" + repeated("Kiss\n", 50001) << SheetFile::tooManyRows();
        QTest::newRow("100,000 rows of a workbook")
            << partners << "sok.xlsx"
            << zipped(workbookParts(sheetStart + manyRows(100000) + "</sheetData></worksheet>"))
            << SheetFile::tooManyRows();
        const QString tooManyCells =
            QStringLiteral("A táblázat több mint %1 cellát tartalmaz").arg(SheetFile::MaxCells);
        QTest::newRow("a line of separators")
            << partners << "pontosvesszo.csv"
            << "Név\nKiss" + QByteArray(SheetFile::MaxCells, ';') << tooManyCells;
        QTest::newRow("cells in the last column")
            << partners << "szeles.xlsx"
            << zipped(workbookParts(sheetStart + lastColumnRows(200) + "</sheetData></worksheet>"))
            << tooManyCells;
        QTest::newRow("a quote never closed")
            << partners << "idezojel.csv" << QByteArray("Név\n\"Kiss\n")
            << "A(z) 2. sorban kezdődő, idézőjelbe tett mező nincs lezárva.";
    }

    // A file that cannot be read shows its message, leaves no preview, and the store has nothing to store.
    void badFiles()
    {
        QFETCH(int, kind);
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString path = writeFile(name, content);
        const QString table = importKind(MasterKind(kind)).table;
        inForm(MasterKind(kind), path, [&](TMasterImportForm& form) {
            QCOMPARE(form.model()->rowCount(), 0);
            store(form);
        });
        const QStringList shown = platform->messageTexts();
        QCOMPARE(shown.size(), 2);
        QVERIFY2(shown[0].startsWith(message), qPrintable(shown[0]));
        QCOMPARE(shown[1], NothingRead);
        QCOMPARE(storedCount(table), 4);
    }

    // 50,000 rows under a header are read and judged.
    void theRowLimitItself()
    {
        const QString path = writeFile(QStringLiteral("hatar.csv"), "Név\n" + repeated("Kiss\n", 50000));
        inForm(MasterKind::Partners, path, [&](TMasterImportForm& form) {
            QCOMPARE(form.model()->rowCount(), 50000);
            QCOMPARE(form.preview().count(ImportRow::Verdict::New), 1);
            QCOMPARE(form.preview().count(ImportRow::Verdict::Refused), 49999);
        });
        QVERIFY(platform->messages.empty());
    }

    // One refused row stops the whole store: bad input stores nothing.
    void aRefusedRowStoresNothing()
    {
        const QString path = writeFile(QStringLiteral("tab.csv"), "Név;Utca\nKiss;Fő u.\nNagy;\"Fő\tu.\"\n");
        inForm(MasterKind::Partners, path, [&](TMasterImportForm& form) {
            QCOMPARE(verdicts(form),
                     (QStringList{"Új 11", "Elutasítva: a(z) „Utca” tabulátort vagy sortörést tartalmaz"}));
            store(form);
        });
        QCOMPARE(
            platform->messageTexts(),
            QStringList{
                "A táblázat 1 sora hibás, ezért semmi sem került tárolásra.\rAz első: a(z) 3. sor: a(z) "
                "„Utca” tabulátort vagy sortörést tartalmaz.\rJavítsa a táblázatot, és olvassa be újra."});
        QCOMPARE(storedCount(QStringLiteral("partner")), 4);
    }

    // The rows read belong to the file named: typing another name forgets them.
    void anotherFileNameForgetsTheRows()
    {
        const QString path = writeFile(QStringLiteral("ok.csv"), "Név\nKiss\n");
        inForm(MasterKind::Partners, path, [&](TMasterImportForm& form) {
            QCOMPARE(verdicts(form), QStringList{"Új 11"});
            QTest::keyClick(form.Edit1, Qt::Key_Backspace);
            QCOMPARE(form.model()->rowCount(), 0);
            store(form);
        });
        QCOMPARE(platform->messageTexts(), QStringList{NothingRead});
        QCOMPARE(storedCount(QStringLiteral("partner")), 4);
    }

    void storesTheNewRows_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<Rows>("expected");
        QTest::newRow("items")
            << int(MasterKind::Items)
            << QByteArray("Cikkszám;Megnevezés;M.egység;Méret;Fajta\n500;Körte;kg;nagy;téli\n300;Más;;;\n600;"
                          "Szilva;db;;\n")
            << "SELECT ckod, cszam, cmegn, cme, cmeret, cfajta FROM cikk WHERE idc > 5 ORDER BY ckod"
            << Rows{{"11", "500", "Körte", "kg", "nagy", "téli"}, {"12", "600", "Szilva", "db", "", ""}};
        QTest::newRow("partners")
            << int(MasterKind::Partners)
            << QByteArray("Név;Irszám;Helységnév;Utca;Bank szla\nKiss Anna;6720;Szeged;Fő u. 1.;11700000-1\n")
            << "SELECT pkod, pnev, pirszam, phelyseg, putca, pbank FROM partner WHERE idp > 5"
            << Rows{{"11", "Kiss Anna", "6720", "Szeged", "Fő u. 1.", "11700000-1"}};
        QTest::newRow("warehouses, the file's code not taken")
            << int(MasterKind::Warehouses) << QByteArray("Kód;Név;Telephely\n77;Új raktár;Győr\n")
            << "SELECT rkod, rnev, rtelep FROM raktar WHERE idr > 5" << Rows{{"11", "Új raktár", "Győr"}};
        QTest::newRow("movement types")
            << int(MasterKind::MovementTypes)
            << QByteArray("Mozgásnemkód;Megnevezés;+/-\nSE;Selejt;-\nBE;Be;+\n")
            << "SELECT mkod, mnem, mnev, mncs FROM mnem WHERE idm > 5" << Rows{{"11", "SE", "Selejt", "-"}};
    }

    // The new rows go in with the next codes (a code that is not a number does not count); the rows
    // already stored stay as they were, and read again they are found.
    void storesTheNewRows()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, csv);
        QFETCH(QString, sql);
        QFETCH(Rows, expected);
        const ImportKind& k = importKind(MasterKind(kind));
        const QString codeColumn = k.newCode;
        db->exec({QStringLiteral("INSERT INTO %1 (%2) VALUES ('X99')").arg(k.table, codeColumn)});
        const QString everything = QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(k.table);
        const Rows before = storedRows(*db, everything);
        const QString path = writeFile(QStringLiteral("new.csv"), csv);
        inForm(MasterKind(kind), path, [&](TMasterImportForm& form) {
            store(form);
            QCOMPARE(form.preview().count(ImportRow::Verdict::New), 0);
            QCOMPARE(form.preview().count(ImportRow::Verdict::Refused), 0);
        });
        QCOMPARE(platform->messageTexts(),
                 QStringList{QStringLiteral("%1 új sor tárolva.").arg(expected.size())});
        QCOMPARE(storedRows(*db, sql), expected);
        QCOMPARE(storedRows(*db, everything).mid(0, before.size()), before);
    }

    // A fault at any statement of the store, or at its commit, leaves nothing stored: all or none. The
    // store judges the rows again (stored rows, next code), takes the next code and inserts three rows:
    // six statements, the last three of them the inserts.
    void aFaultAnywhereInTheStoreLeavesNothing()
    {
        using FaultInjection::Point;
        const QString path =
            writeFile(QStringLiteral("three.csv"), "Cikkszám;Megnevezés\n500;A\n600;B\n700;C\n");
        const QString failed =
            QStringLiteral("Hiba: a(z) cikkek tárolása nem sikerült, egy sor sem került tárolásra.");
        inForm(MasterKind::Items, path, [&](TMasterImportForm& form) {
            QStringList firstLines;
            for (int nth = 1; nth <= 6; ++nth) {
                platform->clearMessages();
                FaultInjection::failAt(Point::Statement, nth);
                store(form);
                QCOMPARE(platform->messages.size(), size_t(1));
                firstLines << platform->messageTexts()[0].section('\r', 0, 0);
                QCOMPARE(storedCount(QStringLiteral("cikk")), 4);
            }
            QCOMPARE(firstLines, (QStringList{"Hiba: a tárolt törzsadatok nem olvashatók.",
                                              "Hiba: a tárolt törzsadatok nem olvashatók.", failed, failed,
                                              failed, failed}));
            platform->clearMessages();
            FaultInjection::failAt(Point::Commit, 1);
            store(form);
            QCOMPARE(platform->messageTexts().value(0).section('\r', 0, 0), failed);
            QCOMPARE(storedCount(QStringLiteral("cikk")), 4);
            platform->clearMessages();
            FaultInjection::disarm();
            store(form);
            QCOMPARE(platform->messageTexts(), QStringList{"3 új sor tárolva."});
        });
        QCOMPARE(storedCount(QStringLiteral("cikk")), 7);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("columns");   // what the list shows of each row
        const QList<std::tuple<const char*, MasterKind, const char*>> members{
            {"items", MasterKind::Items, "cszam, cmegn, cmeret, cbizonylat, cme, cvtsz, crkod"},
            {"partners", MasterKind::Partners, "pnev, pirszam, phelyseg, putca, pbank"},
            {"warehouses", MasterKind::Warehouses, "rnev, rtelep"},
            {"movement types", MasterKind::MovementTypes, "mnem, mnev, mncs"}};
        for (const auto& [member, kind, columns] : members)
            for (ExportFormat format : {ExportFormat::Xlsx, ExportFormat::Csv})
                QTest::addRow("%s, %s", member, format == ExportFormat::Xlsx ? "xlsx" : "csv")
                    << QString::fromLatin1(member) << int(kind) << int(format)
                    << QString::fromLatin1(columns);
    }

    // A list exported by the program reads back: in the same database every row is found by its code;
    // in a new one every row is new and stored as it was.
    void roundTrip()
    {
        QFETCH(QString, member);
        QFETCH(int, kind);
        QFETCH(int, format);
        QFETCH(QString, columns);
        const ListMember& m = listMember(member);
        const QString path = files.filePath(format == int(ExportFormat::Xlsx) ? "lista.xlsx" : "lista.csv");
        platform->addRun<MasterList>([&](MasterList& list) {
            platform->fileAnswers.push_back(path);
            QVERIFY(list.DBGrid1->exportRows(ExportFormat(format)));
        });
        m.open();
        const QString select = QStringLiteral("SELECT %1 FROM %2").arg(columns, m.table);
        const Rows original = sorted(storedRows(*db, select));

        inForm(MasterKind(kind), path, [&](TMasterImportForm& form) {
            QCOMPARE(form.model()->rowCount(), 4);
            QCOMPARE(form.preview().count(ImportRow::Verdict::StoredByCode), 4);
        });
        QVERIFY2(platform->messages.empty(), qPrintable(platform->messageTexts().join(QLatin1Char('|'))));

        delete Data;
        db = std::make_unique<TestDatabase>();
        connectData();
        inForm(MasterKind(kind), path, [&](TMasterImportForm& form) {
            QCOMPARE(verdicts(form), (QStringList{"Új 1", "Új 2", "Új 3", "Új 4"}));
            store(form);
        });
        QCOMPARE(platform->messageTexts(), QStringList{"4 új sor tárolva."});
        QCOMPARE(sorted(storedRows(*db, select)), original);
    }

    // Shared strings with rich-text runs and phonetic hints, inline strings, numbers whole and decimal,
    // gaps between cells and rows, cells without a reference.
    void xlsxCells()
    {
        const QByteArray strings =
            R"(<?xml version="1.0"?><sst xmlns="x"><si><t>Cikkszám</t></si>)"
            R"(<si><r><t>Megne</t></r><r><rPr/><t>vezés</t></r><rPh><t>X</t></rPh></si>)"
            R"(<si><t xml:space="preserve"> Körte &amp; alma </t></si></sst>)";
        const QByteArray sheet =
            R"(<?xml version="1.0"?><worksheet xmlns="x"><sheetData>)"
            R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="C1" t="s"><v>1</v></c></row>)"
            R"(<row r="4"><c r="A4"><v>300</v></c><c r="C4" t="s"><v>2</v></c></row>)"
            R"(<row r="5"><c><v>12.5</v></c><c t="inlineStr"><is><t>sor</t></is></c><c t="str"><f>A1</f><v>képlet</v></c></row>)"
            R"(<row r="6"><c r="B6"><v>1E+3</v></c></row>)"
            R"(<row r="7"><c r="A7" t="inlineStr"><is><t>  </t></is></c></row>)"
            R"(</sheetData></worksheet>)";
        const QString path = files.filePath(QStringLiteral("cellak.xlsx"));
        QVERIFY(writeZip(path, workbookParts(sheet, strings)));
        const QList<SheetRow> rows = SheetFile::read(path);
        QCOMPARE(lines(rows), (QList<int>{1, 4, 5, 6}));
        QCOMPARE(cells(rows), (Rows{{"Cikkszám", "", "Megnevezés"},
                                    {"300", "", " Körte & alma "},
                                    {"12,5", "sor", "képlet"},
                                    {"", "1000"}}));
    }

    void relationshipTargets_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("part");
        QTest::newRow("relative") << "worksheets/sheet1.xml"
                                  << "xl/worksheets/sheet1.xml";
        QTest::newRow("absolute") << "/xl/strings.xml"
                                  << "xl/strings.xml";
        QTest::newRow("up and down") << "../xl/./a.xml"
                                     << "xl/a.xml";
        QTest::newRow("out of the container") << "../../etc/passwd"
                                              << "";
        QTest::newRow("a Windows path") << "C:\\sheet.xml"
                                        << "";
        QTest::newRow("a URI") << "http://example.org/sheet.xml"
                               << "";
    }

    // No relationship reaches outside the container.
    void relationshipTargets()
    {
        QFETCH(QString, target);
        QFETCH(QString, part);
        QCOMPARE(XlsxSheet::resolvePart(QStringLiteral("xl/"), target), part);
    }

    void csvVariants_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Rows>("expected");
        QTest::addColumn<QList<int>>("lines");
        QTest::newRow("UTF-8 with its BOM, semicolons, CRLF")
            << QByteArray("\xEF\xBB\xBFNév;Város\r\nÁrvíztűrő;Pécs\r\n")
            << Rows{{"Név", "Város"}, {"Árvíztűrő", "Pécs"}} << QList<int>{1, 2};
        QTest::newRow("commas, a quoted comma")
            << QByteArray("Név,Város\nKiss,\"Szeged, Alsóváros\"\n")
            << Rows{{"Név", "Város"}, {"Kiss", "Szeged, Alsóváros"}} << QList<int>{1, 2};
        QTest::newRow("tabs, no last line break")
            << QByteArray("Név\tVáros\nKiss\tPécs") << Rows{{"Név", "Város"}, {"Kiss", "Pécs"}}
            << QList<int>{1, 2};
        QTest::newRow("Windows-1250") << encodeCp1250(QStringLiteral("Név;Város\nŐsz Ödön;Győr\n"))
                                      << Rows{{"Név", "Város"}, {"Ősz Ödön", "Győr"}} << QList<int>{1, 2};
        QTest::newRow("quotes inside quotes, a separator inside")
            << QByteArray("Név;Megjegyzés\n\"Kiss \"\"Öcsi\"\"\";\"a;b\"\n")
            << Rows{{"Név", "Megjegyzés"}, {"Kiss \"Öcsi\"", "a;b"}} << QList<int>{1, 2};
        QTest::newRow("the export's title line, a line break in a field")
            << QByteArray("\xEF\xBB\xBF"
                          "Cikk\r\n\r\nCikkszám;Megnevezés\r\n300;\"Ba\r\nrack\"\r\n400;Zab\r\n")
            << Rows{{"Cikk"}, {"Cikkszám", "Megnevezés"}, {"300", "Ba\r\nrack"}, {"400", "Zab"}}
            << QList<int>{1, 3, 4, 6};
    }

    void csvVariants()
    {
        QFETCH(QByteArray, content);
        QFETCH(Rows, expected);
        QFETCH(QList<int>, lines);
        const QList<SheetRow> rows = SheetFile::readCsv(content);
        QCOMPARE(cells(rows), expected);
        QCOMPARE(::lines(rows), lines);
    }
};

QTEST_MAIN(TestMasterImport)
#include "tst_masterimport.moc"
