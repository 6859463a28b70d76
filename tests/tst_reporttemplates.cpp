// The eleven report templates, each laid out over the statement its form builds on demo-like data:
// every field must find its column or variable, every row must be printed, and the pages must paint.
#include "data.h"
#include "formats.h"
#include "report.h"
#include "reportevents.h"
#include "reportpreview.h"
#include "reportpainter.h"
#include "reportvariables.h"
#include "scriptedplatform.h"
#include "sharedstate.h"
#include "testdatabase.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString CardCondition =
    QStringLiteral("WHERE ( bcikkszam = :p1 ) AND ( bbizdatum >= :p2 ) AND ( bbizdatum <= :p3 )");
const QString RangeCondition = QStringLiteral(
    "WHERE ( bcikkszam >= :p1 ) AND ( bcikkszam <= :p2 ) AND ( bmnem >= :p3 ) AND ( bmnem <= :p4 ) "
    "AND ( bbizdatum >= :p5 ) AND ( bbizdatum <= :p6 )");
const QString BatchCondition = QStringLiteral(
    "WHERE  ( SUBSTRING(BTETEL FROM 1 FOR 3) >= :p1 ) AND ( SUBSTRING(BTETEL FROM 1 FOR 3) <= :p2 ) "
    "AND ( SUBSTRING(BTETEL FROM 4 FOR 1) >= :p3 ) AND ( SUBSTRING(BTETEL FROM 4 FOR 1) <= :p4 )\n"
    "AND ( SUBSTRING(BTETEL FROM 5 FOR 1) >= :p5 ) AND ( SUBSTRING(BTETEL FROM 5 FOR 1) <= :p6 ) "
    "AND ( SUBSTRING(BTETEL FROM 6 FOR 1) >= :p7 ) AND ( SUBSTRING(BTETEL FROM 6 FOR 1) <= :p8 )\n"
    "AND ( SUBSTRING(BTETEL FROM 7 FOR 1) >= :p9 ) AND ( SUBSTRING(BTETEL FROM 7 FOR 1) <= :p10 ) "
    "AND ( bbizdatum >= :p11 ) AND ( bbizdatum <= :p12 )");

// "p2=date:2024-01-01" binds a date, "p1=A1" a text.
void bind(Query& query, const QStringList& params)
{
    for (const QString& param : params) {
        const QString name = param.section(QLatin1Char('='), 0, 0);
        const QString value = param.section(QLatin1Char('='), 1);
        if (value.startsWith(QLatin1String("date:")))
            query.paramByName(name).setDate(QDate::fromString(value.mid(5), Qt::ISODate));
        else
            query.paramByName(name).setText(value);
    }
}

// The variables the forms' collections set, as they set them: headings and amount texts as texts.
void setCollectedVariables()
{
    ReportVariables& v = reportVariables();
    const QStringList texts = {"vcikk=1001",          "vcnev=Alma Jonatán I. osztály ABC1E10",
                               "vkelttol=2024.01.01", "vkeltig=2024.01.31",
                               "vathoznov=100,000",   "vathozcsok=0,000",
                               "vathozat=100,000",    "vsum_nov=5,000",
                               "vsum_csok=30,000",    "vsum_egyenleg=75,000",
                               "vsum_ertek=1 250,00", "vcikktol=1001",
                               "vcikkig=2001",        "vmnemtol=BE",
                               "vmnemig=KI",          "vtetel123tol=ABC",
                               "vtetel123ig=XYZ",     "vtetel4tol=1",
                               "vtetel4ig=9",         "vtetel5tol=E",
                               "vtetel5ig=V",         "vtetel6tol=1",
                               "vtetel6ig=9",         "vtetel7tol=0",
                               "vtetel7ig=9"};
    for (const QString& pair : texts)
        v.set(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
    shared().SummaryDateFrom = QStringLiteral("2024.01.01");
    shared().SummaryDateTo = QStringLiteral("2024.01.31");
}

}

class TestReportTemplates : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void templateLaysOutAndPaints_data();
    void templateLaysOutAndPaints();
    void printPathShowsThePreviewOrTheError();

private:
    TestDatabase db_;
    std::unique_ptr<TData> data_;
    QTemporaryDir pdfDir_;
};

void TestReportTemplates::initTestCase()
{
    initTestLocale();
    db_.exec({
        "INSERT INTO raktar (rkod, rnev, rtelep) VALUES ('1', 'Központi raktár', 'Szeged')",
        "INSERT INTO raktar (rkod, rnev, rtelep) VALUES ('2', 'Hűtőház', 'Kecskemét')",
        "INSERT INTO mnem (mkod, mnem, mnev, mncs) VALUES ('1', 'BE', 'Beszerzés', '+')",
        "INSERT INTO mnem (mkod, mnem, mnev, mncs) VALUES ('2', 'KI', 'Kiadás', '-')",
        "INSERT INTO partner (pkod, pnev, pirszam, phelyseg, putca, pbank) "
        "VALUES ('1', 'Őrség Kft.', '9941', 'Őriszentpéter', 'Fő út 1.', '11773016-12345678')",
        "INSERT INTO partner (pkod, pnev, pirszam, phelyseg, putca, pbank) "
        "VALUES ('2', 'Tóth és Társa Bt.', '6000', 'Kecskemét', 'Árpád tér 4.', '')",
        "INSERT INTO dolgozo (dkod, dnev) VALUES ('1', 'Kovács Éva')",
        "INSERT INTO dolgozo (dkod, dnev) VALUES ('2', 'Szűcs Árpád')",
        "INSERT INTO cikk (ckod, cszam, cmegn, cmeret, cbizonylat, cvtsz, cme, crkod) "
        "VALUES ('1', '1001', 'Alma Jonatán', 'I. osztály', 'ABC1E10', '0808', 'kg', '1')",
        "INSERT INTO cikk (ckod, cszam, cmegn, cmeret, cbizonylat, cvtsz, cme, crkod) "
        "VALUES ('2', '1002', 'Körte Vilmos', 'II. osztály', 'ABC2F25', '0808', 'kg', '1')",
        "INSERT INTO cikk (ckod, cszam, cmegn, cmeret, cbizonylat, cvtsz, cme, crkod) "
        "VALUES ('3', '2001', 'Szőlő Olaszrizling', '', 'XYZ3G31', '0806', 'kg', '2')",
    });
    QStringList lines;
    const char* items[][2] = {{"1001", "ABC1E10"}, {"1002", "ABC2F25"}, {"2001", "XYZ3G31"}};
    for (int i = 0; i < 30; ++i) {
        const auto& item = items[i % 3];
        const bool increase = i % 4 != 3;
        lines.append(
            QStringLiteral(
                "INSERT INTO bizmozg (bbszam, bckod, bcikkszam, bbizdatum, bmkod, bmnem, bear, bmenov, "
                "bmecsok, "
                "bertnov, bertcsok, btetel, beredeti, bszoveg, bmegjegy, bpkod, brkod, bdkod, brkelt) VALUES "
                "('%1', '%2', '%3', '%4', '%5', '%6', 250.5, %7, %8, %9, %10, '%11', 'Eredeti', 'Szállítás "
                "%1', "
                "'Megjegyzés', '1', '1', '1', '2024-02-01')")
                .arg(i + 1)
                .arg(i % 3 + 1)
                .arg(item[0])
                .arg(QDate(2023, 12, 20).addDays(i * 2).toString(Qt::ISODate))
                .arg(increase ? "1" : "2", increase ? "BE" : "KI")
                .arg(increase ? i + 10 : 0)
                .arg(increase ? 0 : i)
                .arg(increase ? (i + 10) * 250.5 : 0)
                .arg(increase ? 0 : i * 250.5)
                .arg(item[1]));
    }
    db_.exec(lines);

    data_ = std::make_unique<TData>(db_.path());
    Data = data_.get();
    data_->connectAndOpenTables();
    installReportEvents(*data_);
    setCollectedVariables();
    QVERIFY(pdfDir_.isValid());
}

void TestReportTemplates::cleanupTestCase()
{
    data_.reset();
}

void TestReportTemplates::templateLaysOutAndPaints_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("params");
    QTest::addColumn<QString>("title");

    const QStringList card = {"p1=1001", "p2=date:2024-01-01", "p3=date:2024-01-31"};
    const QStringList range = {"p1=1001",           "p2=2001", "p3=BE", "p4=KI", "p5=date:2024-01-01",
                               "p6=date:2024-01-31"};
    const QStringList batch = {"p1=ABC",
                               "p2=XYZ",
                               "p3=1",
                               "p4=9",
                               "p5=E",
                               "p6=V",
                               "p7=1",
                               "p8=9",
                               "p9=0",
                               "p10=9",
                               "p11=date:2024-01-01",
                               "p12=date:2024-01-31"};

    QTest::newRow("warehouses") << "VarnelRaktar.frf"
                                << "ZQ40"
                                << "SELECT * FROM raktar ORDER BY rnev" << QStringList() << "Raktárak";
    QTest::newRow("movement types") << "VarnelMnem.frf"
                                    << "ZQ50"
                                    << "SELECT * FROM mnem ORDER BY mnem" << QStringList() << "Mozgásnemek";
    QTest::newRow("partners") << "VarnelPartner.frf"
                              << "ZQ30"
                              << "SELECT * FROM partner ORDER BY pnev" << QStringList() << "Partnerek";
    QTest::newRow("partners by column")
        << "VarnelPartner.frf"
        << "ZQ30"
        << "SELECT PKOD,PNEV,PIRSZAM,PHELYSEG,PUTCA,PBANK,IDP FROM partner ORDER BY 2" << QStringList()
        << "Partnerek";
    QTest::newRow("items") << "VarnelCikk.frf"
                           << "ZQ20"
                           << "SELECT * FROM cikk ORDER BY cmegn" << QStringList() << "Cikkek";
    QTest::newRow("employees") << "VarnelDolgozo.frf"
                               << "ZQ60"
                               << "SELECT * FROM dolgozo ORDER BY dnev" << QStringList() << "Dolgozók";
    QTest::newRow("item card") << "VarnelKarton.frf"
                               << "ZQ11"
                               << "SELECT *\nFROM bizmozg\n" + CardCondition + "\nORDER BY bbizdatum, bbszam"
                               << card << "Cikk karton";
    QTest::newRow("item card by title")
        << "VarnelKarton.frf"
        << "ZQ11"
        << "SELECT *\nFROM bizmozg\nJOIN cikk ON cszam = bcikkszam\n" + CardCondition + "\nORDER BY BMENOV"
        << card << "Cikk karton";
    QTest::newRow("batch card")
        << "VarnelTetel.frf"
        << "ZQ11"
        << "SELECT *\nFROM bizmozg\nWHERE ( BTETEL = :p1 ) AND ( bbizdatum >= :p2 ) AND "
           "( bbizdatum <= :p3 )\nORDER BY bbizdatum, bbszam"
        << QStringList{"p1=ABC1E10", "p2=date:2024-01-01", "p3=date:2024-01-31"} << "Tételszám karton";
    QTest::newRow("batch list") << "VarnelTeteltolig.frf"
                                << "ZQ11"
                                << "SELECT *\nFROM bizmozg\nJOIN cikk ON CBIZONYLAT = BTETEL\n" +
                                       BatchCondition + "\nORDER BY bbizdatum, bbszam"
                                << batch << "Tételszám lista";
    QTest::newRow("card range, lines") << "VarnelKartontolig.frf"
                                       << "ZQ11"
                                       << "SELECT *\nFROM bizmozg\nJOIN cikk ON cszam = bcikkszam\n"
                                          "JOIN mnem ON mnem = bmnem\n" +
                                              RangeCondition + "\nORDER BY bcikkszam, bbizdatum, bbszam"
                                       << range << "Karton lista";
    QTest::newRow("card range, summed")
        << "VarnelKartontolig2.frf"
        << "ZQ11"
        << "SELECT bcikkszam, cmegn, cbizonylat, bmnem, mnev, SUM(bmenov) AS sum_bmenov, "
           "SUM(bmecsok) AS sum_bmecsok, SUM(bertnov-bertcsok) AS sum_ertek\n"
           "FROM bizmozg\nJOIN cikk ON cszam = bcikkszam\nJOIN mnem ON mnem = bmnem\n" +
               RangeCondition +
               "\nGROUP BY bcikkszam, cmegn, cbizonylat, bmnem, mnev\n"
               "ORDER BY bcikkszam, cmegn, cbizonylat, bmnem, mnev"
        << range << "Karton lista - összesített";
    QTest::newRow("item summary")
        << "VarnelOsszesito.frf"
        << "ZQ11"
        << "SELECT bcikkszam, cmegn, SUM(bmenov) AS sum_nov, SUM(bmecsok) AS sum_csok\n"
           "FROM bizmozg\nJOIN cikk ON cszam = bcikkszam\n"
           "WHERE ( bbizdatum >= :p1 ) AND ( bbizdatum <= :p2 )\n"
           "GROUP BY bcikkszam, cmegn\nORDER BY bcikkszam"
        << QStringList{"p1=date:2024-01-01", "p2=date:2024-01-31"} << "Cikkszámonkénti összesítő lista";
}

void TestReportTemplates::templateLaysOutAndPaints()
{
    QFETCH(QString, file);
    QFETCH(QString, query);
    QFETCH(QString, sql);
    QFETCH(QStringList, params);
    QFETCH(QString, title);

    Query* rows = data_->findChild<Query*>(query);
    QVERIFY(rows);
    rows->close();
    rows->clearSql();
    for (const QString& line : sql.split(QLatin1Char('\n')))
        rows->addSql(line);
    bind(*rows, params);
    rows->open();
    const int rowCount = rows->recordCount();
    QVERIFY(rowCount > 0);

    Report& report = *data_->frNyomtat;
    report.loadFromFile(QDir(QStringLiteral(VARNEL_TEMPLATE_DIR)).filePath(file));
    const ReportPages pages = report.prepare();

    QCOMPARE(pages.unresolvedNames, QStringList());
    QCOMPARE(pages.rows().size(), rowCount);
    QCOMPARE(pages.bandTexts(BandKind::Title).value(0), title);
    for (const QStringList& row : pages.rows())
        QVERIFY2(!row.join(QString()).isEmpty(), "a printed row without any text");

    // VARNEL_REPORT_PDF_DIR keeps the PDFs for a person to look at.
    const QString keep = qEnvironmentVariable("VARNEL_REPORT_PDF_DIR");
    const QString pdf =
        QDir(keep.isEmpty() ? pdfDir_.path() : keep)
            .filePath(QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_') + ".pdf");
    ReportPainter::writePdf(pages, pdf);
    QVERIFY(QFileInfo(pdf).size() > 1000);
}

void TestReportTemplates::printPathShowsThePreviewOrTheError()
{
    // The print buttons name bare files, read from the working folder.
    QTemporaryDir workingFolder;
    for (const QString& name : {QStringLiteral("VarnelKarton.frf"), QStringLiteral("VarnelOsszesito.frf")})
        QVERIFY(QFile::copy(QDir(QStringLiteral(VARNEL_TEMPLATE_DIR)).filePath(name),
                            workingFolder.filePath(name)));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(workingFolder.path());
    Query& lines = *data_->ZQ11;
    lines.close();
    lines.clearSql();
    lines.addSql("SELECT *\nFROM bizmozg\n" + CardCondition + "\nORDER BY bbizdatum, bbszam");
    bind(lines, {"p1=1001", "p2=date:2024-01-01", "p3=date:2024-01-31"});

    ScriptedPlatform& platform = ScriptedPlatform::install();
    QStringList previewTitles;
    platform.addRun<ReportPreview>([&](ReportPreview& preview) {
        previewTitles = preview.pages().bandTexts(BandKind::Title);
        return 0;
    });
    data_->ShowReportFile(QStringLiteral("VarnelKarton.frf"));
    QCOMPARE(platform.shownDialogs, QStringList{"ReportPreview"});
    QCOMPARE(previewTitles.value(0), QStringLiteral("Cikk karton"));

    QString missing;
    try {
        data_->ShowReportFile(QStringLiteral("VarnelNincs.frf"));
    } catch (const std::exception& error) {
        missing = QString::fromUtf8(error.what());
    }
    QVERIFY2(missing.contains(workingFolder.filePath(QStringLiteral("VarnelNincs.frf"))),
             qPrintable(missing));

    // The item summary printed before any collection of this run: the error, and no preview.
    shared().SummaryDateFrom.clear();
    QString summaryError;
    try {
        data_->ShowReportFile(QStringLiteral("VarnelOsszesito.frf"));
    } catch (const std::exception& error) {
        summaryError = QString::fromUtf8(error.what());
    }
    setCollectedVariables();
    QDir::setCurrent(previous);
    QCOMPARE(summaryError, QStringLiteral("Az összesítő időszakának dátuma nem érvényes: \"\"."));
    QCOMPARE(platform.shownDialogs, QStringList{"ReportPreview"});
}

QTEST_MAIN(TestReportTemplates)
#include "tst_reporttemplates.moc"
