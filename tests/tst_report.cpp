// The report engine: reading templates, the rows with their events, fields and formats, pages, painting
// and the preview, over a real database.
#include "datasource.h"
#include "formats.h"
#include "query.h"
#include "report.h"
#include "reportdataset.h"
#include "reporterror.h"
#include "reportpainter.h"
#include "reportpreview.h"
#include "reportvariables.h"
#include "scriptedplatform.h"
#include "testdatabase.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString DatasetName = QStringLiteral("frTestLines");

QString reportXml(const QString& bands, const QString& rootAttributes = QString())
{
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<report margin=\"10\" %1>\n%2\n</report>\n")
        .arg(rootAttributes, bands);
}

QString masterBand(const QString& objects, const QString& height = QStringLiteral("5"))
{
    return QStringLiteral("<band kind=\"masterdata\" dataset=\"%1\" height=\"%2\">%3</band>")
        .arg(DatasetName, height, objects);
}

QString textObject(const QString& text, const QString& format = QStringLiteral("text"))
{
    return QStringLiteral("<text left=\"0\" width=\"50\" format=\"%1\">%2</text>")
        .arg(format, text.toHtmlEscaped());
}

}

class TestReport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void templateErrors_data();
    void templateErrors();
    void missingTemplateKeepsTheLoadedOne();
    void bareNameIsReadFromTheWorkingFolder();
    void engineErrors_data();
    void engineErrors();

    void eventsFireOncePerRowBeforeItsLayout();
    void queryKeepsItsRowAfterTheReport();
    void closedQueryIsOpenedWithItsLastParameters();
    void emptyResultFiresOpenAndFirst();
    void eventErrorEndsPreparation();

    void fieldFormats_data();
    void fieldFormats();
    void unknownNamesAreEmptyAndListed();

    void pagesRepeatHeaderAndFooter();
    void orientation();

    void pdfIsWritten();
    void printerGetsTheChosenPages();
    void previewZoomsPrintsAndExits();
    void failedPreparationShowsNoPreview();

private:
    void sixtyRows();
    QString writeTemplate(const QString& name, const QString& xml);
    Report& loaded(const QString& xml);

    TestDatabase db_;
    std::unique_ptr<Connection> connection_;
    std::unique_ptr<Query> lines_;
    std::unique_ptr<DataSource> source_;
    std::unique_ptr<ReportDataset> reportDataset_;
    std::unique_ptr<Report> report_;
    QTemporaryDir dir_;
    QStringList events_;
};

void TestReport::initTestCase()
{
    initTestLocale();
    db_.exec({
        QStringLiteral("INSERT INTO bizmozg (bbszam, bbizdatum, bmenov, bmecsok, bszoveg) "
                       "VALUES ('1', '2024-01-05', 10, 0, 'Áru be')"),
        QStringLiteral("INSERT INTO bizmozg (bbszam, bbizdatum, bmenov, bmecsok, bszoveg) "
                       "VALUES ('2', '2024-01-06', 0, 1234.5, 'Kiadás')"),
        QStringLiteral("INSERT INTO bizmozg (bbszam, bbizdatum, bmenov, bmecsok, bszoveg) "
                       "VALUES ('3', '2024-01-07', 2.25, NULL, 'Ökör')"),
    });
    connection_ = db_.connect();
    lines_ = std::make_unique<Query>(connection_->transaction());
    source_ = std::make_unique<DataSource>(lines_.get());
    reportDataset_ = std::make_unique<ReportDataset>(DatasetName, source_.get());
    report_ = std::make_unique<Report>(QStringLiteral("frNyomtat"));
    QVERIFY(dir_.isValid());
}

void TestReport::init()
{
    lines_->close();
    lines_->clearSql();
    lines_->addSql(QStringLiteral("SELECT bbszam, bbizdatum, bmenov, bmecsok, bszoveg FROM bizmozg"));
    lines_->addSql(QStringLiteral("ORDER BY bbszam"));
    lines_->open();
    reportDataset_->onOpen = [this] { events_.append(QStringLiteral("open")); };
    reportDataset_->onFirst = [this] {
        events_.append(QStringLiteral("first ") + lines_->fieldByName("bbszam").asString());
    };
    reportDataset_->onNext = [this] {
        events_.append(QStringLiteral("next ") + lines_->fieldByName("bbszam").asString());
    };
    events_.clear();
}

QString TestReport::writeTemplate(const QString& name, const QString& xml)
{
    const QString path = dir_.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    file.write(xml.toUtf8());
    return path;
}

Report& TestReport::loaded(const QString& xml)
{
    report_->loadFromFile(writeTemplate(QStringLiteral("Test.frf"), xml));
    return *report_;
}

void TestReport::templateErrors_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("reason");   // after the file name, with the line the fault is on

    QTest::newRow("not xml") << QStringLiteral("<report><band")
                             << QStringLiteral("az XML szerkezete nem olvasható (1. sor, 13. oszlop).");
    QTest::newRow("root") << QStringLiteral("<page/>")
                          << QStringLiteral("a gyökérelem nem <report> (1. sor).");
    QTest::newRow("element") << reportXml(QStringLiteral("<page/>"))
                             << QStringLiteral("ismeretlen elem: <page> (3. sor).");
    QTest::newRow("band kind") << reportXml(QStringLiteral("<band kind=\"detail\" height=\"5\"/>"))
                               << QStringLiteral("ismeretlen sávtípus: \"detail\" (3. sor).");
    QTest::newRow("master without dataset")
        << reportXml(QStringLiteral("<band kind=\"masterdata\" height=\"5\"/>"))
        << QStringLiteral("a masterdata sávból hiányzik a dataset jellemző (3. sor).");
    QTest::newRow("two titles")
        << reportXml(QStringLiteral("<band kind=\"title\" height=\"5\"/><band kind=\"title\" height=\"5\"/>"))
        << QStringLiteral("második \"title\" sáv; egy sávtípus csak egyszer szerepelhet (3. sor).");
    QTest::newRow("height") << reportXml(QStringLiteral("<band kind=\"title\" height=\"five\"/>"))
                            << QStringLiteral("a(z) height=\"five\" érték nem szám (3. sor).");
    QTest::newRow("format") << reportXml(
                                   masterBand(textObject(QStringLiteral("[x]"), QStringLiteral("money"))))
                            << QStringLiteral("ismeretlen formátum: \"money\" (3. sor).");
    QTest::newRow("alignment")
        << reportXml(QStringLiteral(
               "<band kind=\"title\" height=\"5\"><text width=\"9\" align=\"middle\">x</text></band>"))
        << QStringLiteral("ismeretlen igazítás: \"middle\" (3. sor).");
    QTest::newRow("frame")
        << reportXml(QStringLiteral(
               "<band kind=\"title\" height=\"5\"><text width=\"9\" frame=\"lx\">x</text></band>"))
        << QStringLiteral("ismeretlen keret: \"lx\" (3. sor).");
    QTest::newRow("no width") << reportXml(QStringLiteral(
                                     "<band kind=\"title\" height=\"5\"><text>x</text></band>"))
                              << QStringLiteral("a szövegmezőnek nincs szélessége (3. sor).");
    QTest::newRow("object") << reportXml(QStringLiteral("<band kind=\"title\" height=\"5\"><line/></band>"))
                            << QStringLiteral("ismeretlen objektum: <line> (3. sor).");
}

void TestReport::templateErrors()
{
    QFETCH(QString, xml);
    QFETCH(QString, reason);
    const QString path = writeTemplate(QStringLiteral("Broken.frf"), xml);
    try {
        Report(QStringLiteral("r")).loadFromFile(path);
        QFAIL("a broken template was accepted");
    } catch (const ReportError& error) {
        QCOMPARE(error.message(), QStringLiteral("A(z) \"%1\" jelentéssablon hibás: %2").arg(path, reason));
    }
}

void TestReport::missingTemplateKeepsTheLoadedOne()
{
    Report& report = loaded(reportXml(masterBand(textObject(QStringLiteral("[bbszam]")))));
    try {
        report.loadFromFile(dir_.filePath(QStringLiteral("VarnelNincs.frf")));
        QFAIL("a missing template was accepted");
    } catch (const std::exception& error) {
        QCOMPARE(QString::fromUtf8(error.what()),
                 QStringLiteral("A(z) \"%1\" fájl nem nyitható meg. A fájl nem létezik.")
                     .arg(dir_.filePath(QStringLiteral("VarnelNincs.frf"))));
    }
    QCOMPARE(report.prepare().rows().size(), 3);
}

void TestReport::bareNameIsReadFromTheWorkingFolder()
{
    writeTemplate(QStringLiteral("VarnelProba.frf"),
                  reportXml(QStringLiteral("<band kind=\"title\" height=\"5\">%1</band>")
                                .arg(textObject(QStringLiteral("Próba")))));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    Report report(QStringLiteral("r"));
    report.loadFromFile(QStringLiteral("VarnelProba.frf"));
    QDir::setCurrent(previous);
    QCOMPARE(report.prepare().texts(), QStringList{QStringLiteral("Próba")});
}

void TestReport::engineErrors_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("message");   // <dir>: the test's folder

    QTest::newRow("missing template")
        << "load VarnelNincs.frf"
        << "A(z) \"<dir>/VarnelNincs.frf\" fájl nem nyitható meg. A fájl nem létezik.";
    QTest::newRow("template is a folder") << "load alma.frf"
                                          << "A(z) \"<dir>/alma.frf\" fájl nem nyitható meg. Ez egy mappa.";
    QTest::newRow("nothing loaded") << "prepare"
                                    << "A(z) \"frUres\" jelentéshez nincs sablon betöltve.";
    QTest::newRow("unknown dataset") << "prepare frNincsIlyen"
                                     << "A sablonban megnevezett \"frNincsIlyen\" adatkészlet nem létezik.";
    QTest::newRow("dataset without data source")
        << "prepare frForrasNelkul"
        << "A(z) \"frForrasNelkul\" adatkészlethez nem tartozik adatforrás.";
    QTest::newRow("PDF into a missing folder") << "pdf nincs/mappa.pdf"
                                               << "A(z) \"<dir>/nincs/mappa.pdf\" PDF-fájl nem írható.";
}

// The errors of the engine that reach a person, each with its Hungarian text and its technical detail.
void TestReport::engineErrors()
{
    QFETCH(QString, step);
    QFETCH(QString, message);
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("alma.frf")));
    ReportDataset withoutSource(QStringLiteral("frForrasNelkul"), nullptr);
    const QString argument = step.section(QLatin1Char(' '), 1);
    Report report(QStringLiteral("frUres"));
    try {
        if (step.startsWith(QLatin1String("load"))) {
            report.loadFromFile(dir_.filePath(argument));
        } else if (step.startsWith(QLatin1String("prepare"))) {
            if (!argument.isEmpty())
                report.loadFromFile(writeTemplate(
                    QStringLiteral("Test.frf"),
                    reportXml(QStringLiteral("<band kind=\"masterdata\" dataset=\"%1\" height=\"5\">"
                                             "<text width=\"9\">x</text></band>")
                                  .arg(argument))));
            report.prepare();
        } else {
            report.loadFromFile(
                writeTemplate(QStringLiteral("Test.frf"), reportXml(masterBand(textObject("[bbszam]")))));
            ReportPainter::writePdf(report.prepare(), dir_.filePath(argument));
        }
        QFAIL("the step did not fail");
    } catch (const ReportError& error) {
        QCOMPARE(error.message(), QString(message).replace(QLatin1String("<dir>"), dir_.path()));
        QCOMPARE(QString::fromUtf8(error.what()), error.message());
    }
}

void TestReport::eventsFireOncePerRowBeforeItsLayout()
{
    // The event's record is read back by the row it belongs to: it must be there before the row is laid out.
    reportDataset_->onFirst = [this] {
        events_.append(QStringLiteral("first"));
        reportVariables().set(QStringLiteral("vesemeny"), events_.join(QLatin1Char(',')));
    };
    reportDataset_->onNext = [this] {
        events_.append(QStringLiteral("next"));
        reportVariables().set(QStringLiteral("vesemeny"), events_.join(QLatin1Char(',')));
    };
    Report& report = loaded(reportXml(masterBand(textObject(QStringLiteral("[bbszam]: [vesemeny]")))));
    const ReportPages pages = report.prepare();

    QCOMPARE(events_, (QStringList{"open", "first", "next", "next"}));
    const QList<QStringList> expected = {
        {"1: open,first"}, {"2: open,first,next"}, {"3: open,first,next,next"}};
    QCOMPARE(pages.rows(), expected);
    QVERIFY(lines_->isOpen());
}

void TestReport::queryKeepsItsRowAfterTheReport()
{
    lines_->moveTo(1);
    Report& report = loaded(reportXml(masterBand(textObject(QStringLiteral("[bbszam]")))));
    QCOMPARE(report.prepare().rows().size(), 3);
    QCOMPARE(lines_->currentRow(), 1);
    QCOMPARE(lines_->fieldByName("bbszam").asString(), QStringLiteral("2"));
}

void TestReport::closedQueryIsOpenedWithItsLastParameters()
{
    lines_->close();
    lines_->clearSql();
    lines_->addSql(
        QStringLiteral("SELECT bbszam, bszoveg FROM bizmozg WHERE bbszam >= :p1 ORDER BY bbszam DESC"));
    lines_->paramByName(QStringLiteral("p1")).setText(QStringLiteral("2"));
    lines_->open();
    lines_->close();

    Report& report = loaded(reportXml(masterBand(textObject(QStringLiteral("[bbszam] [bszoveg]")))));
    const QList<QStringList> expected = {{"3 Ökör"}, {"2 Kiadás"}};
    QCOMPARE(report.prepare().rows(), expected);
    QCOMPARE(events_, (QStringList{"open", "first 3", "next 2"}));
    QVERIFY(lines_->isOpen());
}

void TestReport::emptyResultFiresOpenAndFirst()
{
    lines_->close();
    lines_->clearSql();
    lines_->addSql(QStringLiteral("SELECT bbszam FROM bizmozg WHERE 1 = 0"));
    Report& report = loaded(reportXml(masterBand(textObject(QStringLiteral("[bbszam]"))) +
                                      QStringLiteral("<band kind=\"summary\" height=\"5\">%1</band>")
                                          .arg(textObject(QStringLiteral("Összesen")))));
    const ReportPages pages = report.prepare();
    QCOMPARE(events_, (QStringList{"open", "first "}));
    QVERIFY(pages.rows().isEmpty());
    QCOMPARE(pages.texts(), QStringList{"Összesen"});
}

void TestReport::eventErrorEndsPreparation()
{
    reportDataset_->onNext = [] { throw ReportError(QStringLiteral("Hibás sor.")); };
    Report& report = loaded(reportXml(masterBand(textObject(QStringLiteral("[bbszam]")))));
    try {
        report.prepare();
        QFAIL("the event's error did not end the preparation");
    } catch (const std::exception& error) {
        QCOMPARE(QString::fromStdString(error.what()), QStringLiteral("Hibás sor."));
    }
}

void TestReport::fieldFormats_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("expected");

    const QString grouped = QStringLiteral("1") + Formats::thousandsSeparator() + QStringLiteral("234");
    QTest::newRow("text of a number") << "[bmecsok]"
                                      << "text" << 1 << "1234,5";
    QTest::newRow("general number") << "[bmenov]"
                                    << "number" << 2 << "2,25";
    QTest::newRow("amount 2") << "[bmecsok]"
                              << "amount2" << 1 << grouped + ",50";
    QTest::newRow("amount 3") << "[bmenov]"
                              << "amount3" << 0 << "10,000";
    QTest::newRow("null amount") << "[bmecsok]"
                                 << "amount3" << 2 << "";
    QTest::newRow("date") << "[bbizdatum]"
                          << "date" << 0 << "2024.01.05";
    QTest::newRow("text of a date") << "[bbizdatum]"
                                    << "text" << 0 << "2024.01.05";
    QTest::newRow("accents") << "[bszoveg]"
                             << "text" << 2 << "Ökör";
    QTest::newRow("column name in capitals") << "[BSZOVEG]"
                                             << "text" << 1 << "Kiadás";
    QTest::newRow("text variable stays as set") << "[vszoveg]"
                                                << "amount3" << 0 << "1 234,500";
    QTest::newRow("number variable, amount") << "Áthozat: [vszam]"
                                             << "amount3" << 0 << "Áthozat: " + grouped + ",500";
    QTest::newRow("number variable, general") << "[vszam]"
                                              << "text" << 0 << "1234,5";
    QTest::newRow("variable name in capitals") << "[VSZAM]"
                                               << "number" << 0 << "1234,5";
    QTest::newRow("two fields") << "[bbszam]/[bszoveg]"
                                << "text" << 0 << "1/Áru be";
    QTest::newRow("unclosed bracket") << "[bbszam"
                                      << "text" << 0 << "[bbszam";
}

void TestReport::fieldFormats()
{
    QFETCH(QString, text);
    QFETCH(QString, format);
    QFETCH(int, row);
    QFETCH(QString, expected);
    reportVariables().set(QStringLiteral("vszoveg"), QStringLiteral("1 234,500"));
    reportVariables().set(QStringLiteral("vszam"), 1234.5);

    const QList<QStringList> rows = loaded(reportXml(masterBand(textObject(text, format)))).prepare().rows();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[row], QStringList{expected});
}

void TestReport::unknownNamesAreEmptyAndListed()
{
    Report& report =
        loaded(reportXml(masterBand(textObject(QStringLiteral("<[cmegn]>"))) +
                         QStringLiteral("<band kind=\"pagefooter\" height=\"5\">%1</band>")
                             .arg(textObject(QStringLiteral("[vsoha] [PAGE#] [TOTALPAGES] [DATE]")))));
    const ReportPages pages = report.prepare();
    QCOMPARE(pages.rows().first(), QStringList{"<>"});
    QCOMPARE(pages.bandTexts(BandKind::PageFooter),
             QStringList{QStringLiteral(" 1 1 ") + Formats::formatDate(QDate::currentDate())});
    QCOMPARE(pages.unresolvedNames, (QStringList{"cmegn", "vsoha"}));
}

void TestReport::sixtyRows()
{
    lines_->close();
    lines_->clearSql();
    lines_->addSql(QStringLiteral(
        "WITH RECURSIVE n AS (SELECT 1 AS i FROM rdb$database UNION ALL SELECT i + 1 FROM n WHERE i < 60) "
        "SELECT i AS bbszam FROM n"));
}

void TestReport::pagesRepeatHeaderAndFooter()
{
    sixtyRows();
    const QString band = QStringLiteral("<band kind=\"%1\" height=\"%2\">%3</band>");
    Report& report = loaded(reportXml(
        band.arg("title", "20", textObject("Cím")) + band.arg("pageheader", "10", textObject("Fejléc")) +
        masterBand(textObject("[bbszam]"), "10") + band.arg("summary", "30", textObject("Összesen")) +
        band.arg("pagefooter", "10", textObject("Oldal [PAGE#]/[TOTALPAGES]"))));
    const ReportPages pages = report.prepare();

    QVERIFY(pages.pageCount() >= 3);
    QStringList rowTexts;
    for (int index = 0; index < pages.pageCount(); ++index) {
        const QString number = QString::number(index + 1);
        QStringList texts = pages.pages[index].texts();
        QCOMPARE(texts.takeLast(), QStringLiteral("Oldal %1/%2").arg(number).arg(pages.pageCount()));
        if (index == 0)
            QCOMPARE(texts.takeFirst(), QStringLiteral("Cím"));
        QCOMPARE(texts.takeFirst(), QStringLiteral("Fejléc"));
        if (index == pages.pageCount() - 1)
            QCOMPARE(texts.takeLast(), QStringLiteral("Összesen"));
        QVERIFY2(!texts.isEmpty(), "a page without rows");
        rowTexts += texts;
        for (const ReportItem& item : pages.pages[index].items) {
            QVERIFY(item.rect.top() >= 10 - 0.001);
            QVERIFY(item.rect.bottom() <= pages.pageSize.height() - 10 + 0.001);
        }
    }
    QStringList expected;
    for (int i = 1; i <= 60; ++i)
        expected.append(QString::number(i));
    QCOMPARE(rowTexts, expected);
}

void TestReport::orientation()
{
    Report& report = loaded(reportXml(QString()));
    QCOMPARE(report.prepare().pageSize, QSizeF(297, 210));
    report.setLandscape(false);
    QCOMPARE(report.prepare().pageSize, QSizeF(210, 297));
    report.setLandscape(true);
}

void TestReport::pdfIsWritten()
{
    const ReportPages pages = loaded(reportXml(masterBand(textObject("[bszoveg]")))).prepare();
    const QString path = dir_.filePath(QStringLiteral("proba.pdf"));
    ReportPainter::writePdf(pages, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    QVERIFY_THROWS_EXCEPTION(ReportError,
                             ReportPainter::writePdf(pages, dir_.filePath("nincs/ilyen/mappa.pdf")));
}

void TestReport::printerGetsTheChosenPages()
{
    sixtyRows();
    const ReportPages pages = loaded(reportXml(masterBand(textObject("[bbszam]"), "10"))).prepare();
    QVERIFY(pages.pageCount() >= 3);
    const QString path = dir_.filePath(QStringLiteral("nyomtato.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    ReportPainter::print(pages, printer);

    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    QCOMPARE(pdf.count("/Type /Page\n"), 2);
}

void TestReport::previewZoomsPrintsAndExits()
{
    ScriptedPlatform& platform = ScriptedPlatform::install();
    platform.printDialogAnswers.push_back(false);
    int widthAt100 = 0;
    int widthAt200 = 0;
    QString pageLabel;
    bool openedFitted = false;
    platform.modalRuns.push_back([&](QDialog* dialog) {
        auto* canvas = dialog->findChild<ReportPreviewCanvas*>(QStringLiteral("previewCanvas"));
        auto* zoom = dialog->findChild<QComboBox*>(QStringLiteral("zoomBox"));
        auto* area = dialog->findChild<QScrollArea*>(QStringLiteral("scrollArea"));
        // Opens on most of the screen with the whole width of the landscape page in view, and using it.
        const QSize screen = dialog->screen()->availableGeometry().size();
        QCoreApplication::processEvents();
        openedFitted = dialog->width() >= screen.width() * 8 / 10 &&
                       dialog->height() >= screen.height() * 8 / 10 &&
                       zoom->currentText() == QStringLiteral("Oldalszélesség") &&
                       area->horizontalScrollBar()->maximum() == 0 &&
                       canvas->width() >= area->viewport()->width() * 9 / 10;
        zoom->setCurrentIndex(zoom->findData(100));
        widthAt100 = canvas->width();
        zoom->setCurrentIndex(zoom->findData(200));
        widthAt200 = canvas->width();
        pageLabel = dialog->findChild<QLabel*>(QStringLiteral("pageLabel"))->text();
        canvas->grab();   // paints the visible pages
        dialog->findChild<QPushButton*>(QStringLiteral("printButton"))->click();
        dialog->findChild<QPushButton*>(QStringLiteral("exitButton"))->click();
        return int(dialog->result());
    });
    loaded(reportXml(masterBand(textObject("[bszoveg]")))).showPreview();

    QCOMPARE(platform.shownDialogs, QStringList{"ReportPreview"});
    QCOMPARE(platform.printDialogs, 1);
    QCOMPARE(pageLabel, QStringLiteral("1 oldal"));
    QVERIFY(openedFitted);
    QVERIFY(widthAt200 > widthAt100 * 3 / 2);
}

void TestReport::failedPreparationShowsNoPreview()
{
    ScriptedPlatform& platform = ScriptedPlatform::install();
    reportDataset_->onFirst = [] { throw ReportError(QStringLiteral("hiba")); };
    Report& report = loaded(reportXml(masterBand(textObject("[bszoveg]"))));
    QVERIFY_THROWS_EXCEPTION(ReportError, report.showPreview());
    QVERIFY(platform.shownDialogs.isEmpty());
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
