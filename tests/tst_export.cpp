// The export of grids and previews: the item card's .xlsx read back against its grid and its figures, a
// CSV of tricky texts read back exactly, a cancelled export that leaves no file behind, and every kind of
// written file with the permissions the umask gives.
#include "backupcopy.h"
#include "exportcommands.h"
#include "exportsources.h"
#include "reportforms.h"
#include "stockchart.h"
#include "stockfixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <sys/stat.h>

Q_DECLARE_METATYPE(ExportFormat)

namespace {

// Reads a workbook's first sheet with Debian's openpyxl (the system Python that has it): every row's cells
// (numbers, "date:yyyy-mm-dd", texts, null), the frozen cell and the auto-filter range.
const char* const XlsxReader = R"(
import json, sys, datetime, openpyxl
sheet = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
def cell(value):
    if isinstance(value, datetime.datetime):
        return "date:" + value.date().isoformat()
    return value
rows = [[cell(c) for c in row] for row in sheet.iter_rows(values_only=True)]
print(json.dumps({"rows": rows, "freeze": sheet.freeze_panes, "filter": sheet.auto_filter.ref}))
)";

QJsonObject readXlsx(const QString& path)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QString::fromUtf8(XlsxReader), path});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        qWarning() << python.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

// A row of the sheet padded to `width` cells, so that trailing empty cells compare as null.
QJsonArray sheetRow(const QJsonObject& sheet, int row, int width)
{
    QJsonArray cells = sheet.value("rows").toArray().at(row).toArray();
    while (cells.size() < width)
        cells.append(QJsonValue::Null);
    return cells;
}

// What a grid text becomes in the sheet: a number, a date or the text itself.
QJsonValue expectedCell(const QString& text, FieldType type)
{
    if (text.isEmpty())
        return QJsonValue::Null;
    switch (type) {
    case FieldType::Integer:
    case FieldType::Decimal:
    case FieldType::Double: return Formats::parseNumber(text).value_or(qQNaN());
    case FieldType::Date:
        return QStringLiteral("date:") + Formats::parseDate(text).value_or(QDate()).toString(Qt::ISODate);
    default: return text;
    }
}

// Fields split as a spreadsheet reads a ";" separated file with quoted fields.
QList<QStringList> parseCsv(const QString& text)
{
    QList<QStringList> rows{{}};
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += text[++i];
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ';') {
            rows.last() << std::exchange(field, QString());
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            rows.last() << std::exchange(field, QString());
            rows.append(QStringList());
            ++i;
        } else {
            field += c;
        }
    }
    if (rows.last().isEmpty())
        rows.removeLast();
    return rows;
}

// The display texts of a grid, all rows fetched.
QList<QStringList> gridTexts(DBGrid& grid)
{
    grid.dataset()->recordCount();
    QList<QStringList> rows;
    LazyRowModel& model = *grid.rowModel();
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column)
            cells << model.data(model.index(row, column)).toString();
        rows << cells;
    }
    return rows;
}

// Rows counted out one block after another.
class CountedRows : public ExportRows {
public:
    explicit CountedRows(int total) : total_(total) {}
    QList<ExportColumn> columns() const override
    {
        return {{"Szám", ExportColumn::Kind::Number, 2}, {"Szöveg", ExportColumn::Kind::Text, 0}};
    }
    bool nextBlock(int count, QList<ExportRow>& rows) override
    {
        for (; count > 0 && next_ < total_; --count, ++next_)
            rows.append({double(next_) / 4, QStringLiteral("sor %1").arg(next_)});
        return next_ < total_;
    }

private:
    int total_;
    int next_ = 0;
};

}

class TestExport : public StockReportTest {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Items whose texts need quoting, with an accent in every one.
        db.exec({"INSERT INTO cikk (ckod, cszam, cmegn, cear) VALUES ('91', 'X1', 'Árvíztűrő \"tükör\" "
                 "fúrógép', 1234.5)",
                 "INSERT INTO cikk (ckod, cszam, cmegn, cear) VALUES ('92', 'X2', 'csavar; anyával', -0.25)",
                 "INSERT INTO cikk (ckod, cszam, cmegn, cear) VALUES ('93', 'X3', 'két' || ASCII_CHAR(13) || "
                 "ASCII_CHAR(10) || 'sor\nés még egy', NULL)",
                 "INSERT INTO cikk (ckod, cszam, cmegn, cear) VALUES ('94', 'X4', ' szóközzel kezdődő ', 0)",
                 "INSERT INTO cikk (ckod, cszam, cmegn, cear) VALUES ('95', 'X5', '\"', 7)"});
        startCase();
    }
    void cleanupTestCase() { endCase(); }
    void init() { startTest(); }
    void cleanup() { endTest(); }

    void itemCardToXlsx();
    void listToCsv_data();
    void listToCsv();
    void cancelledExportLeavesNoFile_data();
    void cancelledExportLeavesNoFile();
    void chartFollowsThePrintedCard_data();
    void chartFollowsThePrintedCard();
    void writtenFilesFollowTheUmask_data();
    void writtenFilesFollowTheUmask();
};

void TestExport::itemCardToXlsx()
{
    // The card's own layout, with its title, period, column titles and totals.
    QFile::remove("VarnelKarton.frf");
    QVERIFY(QFile::copy(VARNEL_TEMPLATES_DIR "/VarnelKarton.frf", "VarnelKarton.frf"));
    TForm27 card;
    card.Edit1->setText("1");
    setPeriod(card, "2024-01-01", "2024-12-31");
    QTest::mouseClick(card.Button5, Qt::LeftButton);

    DBGrid& grid = *card.DBGrid1;
    const QList<QStringList> shown = gridTexts(grid);
    QCOMPARE(shown.size(), 5);
    const QString gridPath = folder.filePath("karton-lista.xlsx");
    platform->fileAnswers.push_back(gridPath);
    QVERIFY(grid.exportRows(ExportFormat::Xlsx));
    QCOMPARE(platform->messageTexts(), QStringList{});

    // The form's caption, an empty row, the column titles (frozen below, filtered), the rows.
    const QJsonObject sheet = readXlsx(gridPath);
    const int width = grid.rowModel()->columnCount();
    QCOMPARE(sheetRow(sheet, 0, 1).at(0).toString(), card.windowTitle());
    for (int column = 0; column < width; ++column)
        QCOMPARE(sheetRow(sheet, 2, width).at(column).toString(), grid.columnTitle(column));
    QCOMPARE(sheet.value("freeze").toString(), QStringLiteral("A4"));
    QCOMPARE(sheet.value("filter").toString().section(':', 0, 0), QStringLiteral("A3"));
    QCOMPARE(sheet.value("rows").toArray().size(), 3 + shown.size());
    Dataset& lines = *grid.dataset();
    for (int row = 0; row < shown.size(); ++row) {
        const QJsonArray cells = sheetRow(sheet, 3 + row, width);
        for (int column = 0; column < width; ++column) {
            const int field = grid.rowModel()->datasetColumn(column);
            const FieldType type = field >= 0 ? lines.column(field).type : FieldType::Text;
            QVERIFY2(cells.at(column) == expectedCell(shown[row][column], type),
                     qPrintable(QStringLiteral("row %1, %2: %3")
                                    .arg(row)
                                    .arg(grid.columnTitle(column), shown[row][column])));
        }
    }

    // The printed card: its head, one row per line with the running stock, and its totals.
    const QString reportPath = folder.filePath("karton.xlsx");
    const QString pdfPath = folder.filePath("karton.pdf");
    platform->fileAnswers = {reportPath, pdfPath};
    platform->modalRuns.push_back([](QDialog* dialog) {
        for (const char* button : {"excelButton", "pdfButton"})
            if (auto* export_ = dialog->findChild<QPushButton*>(button))
                export_->click();
        return int(QDialog::Rejected);
    });
    QTest::mouseClick(card.Button7, Qt::LeftButton);
    QCOMPARE(platform->messageTexts(), QStringList{});
    // The PDF is written without the print dialog.
    QCOMPARE(platform->printDialogs, 0);
    QFile pdf(pdfPath);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
    const QJsonObject report = readXlsx(reportPath);
    const QJsonArray rows = report.value("rows").toArray();
    QCOMPARE(rows.at(0).toArray().at(0).toString(), QStringLiteral("Cikk karton"));
    QVERIFY(
        rows.at(2).toArray().at(0).toString().startsWith(QStringLiteral("Időszak: 2024.01.01 - 2024.12.31")));
    const int header = 5;   // four title lines and an empty row
    QCOMPARE(rows.at(header).toArray().at(0).toString(), QStringLiteral("Biz.szám"));
    QCOMPARE(rows.at(header).toArray().at(6).toString(), QStringLiteral("Készlet"));
    const QList<double> runningStock = {120, 125, 105, 107, 108};   // from the opening 70, after each line
    const QStringList dates = {"2024-01-01", "2024-02-10", "2024-06-30", "2024-09-09", "2024-12-31"};
    for (int row = 0; row < runningStock.size(); ++row) {
        const QJsonArray cells = rows.at(header + 1 + row).toArray();
        QCOMPARE(cells.at(0).toString(), shown[row][0]);
        QCOMPARE(cells.at(1).toString(), QStringLiteral("date:") + dates[row]);
        QCOMPARE(cells.at(6).toDouble(), runningStock[row]);
    }
    const QJsonArray quantities = rows.at(header + 1 + runningStock.size() + 1).toArray();
    QCOMPARE(quantities.at(0).toString(), QStringLiteral("Mennyiség:"));
    QCOMPARE(quantities.at(4).toDouble(), *Formats::parseNumber(card.Edit5->text()));
    QCOMPARE(quantities.at(5).toDouble(), *Formats::parseNumber(card.Edit6->text()));
    QCOMPARE(rows.at(header + 1 + runningStock.size() + 2).toArray().at(0).toString(),
             QStringLiteral("Záró egyenleg: ") + card.Edit7->text());
    QCOMPARE(runningStock.last(), *Formats::parseNumber(card.Edit7->text()));
}

void TestExport::listToCsv_data()
{
    QTest::addColumn<bool>("streamed");
    QTest::newRow("query, read again through its own cursor") << true;
    QTest::newRow("table, read through its rows") << false;
}

void TestExport::listToCsv()
{
    QFETCH(bool, streamed);
    Dataset* items = Data->IBTable2;
    if (streamed) {
        Data->ZQ100->close();
        Data->ZQ100->setSql(
            "SELECT cszam, cmegn, cear FROM cikk WHERE cszam STARTING WITH :p ORDER BY cszam");
        Data->ZQ100->paramByName("p").setText("X");
        Data->ZQ100->open();
        items = Data->ZQ100;
    }
    DataSource source(items);
    DBGrid grid;
    grid.setWindowTitle("Cikkek");
    grid.setColumns({{"CSZAM", "Cikkszám"}, {"CMEGN", "Megnevezés"}, {"CEAR", "Egységár"}});
    grid.setDataSource(&source);
    const QList<QStringList> shown = gridTexts(grid);
    QVERIFY(shown.size() >= 5);

    const QString path = folder.filePath("cikkek");   // the suffix is added
    platform->fileAnswers.push_back(path);
    QVERIFY(grid.exportRows(ExportFormat::Csv));
    QFile file(path + ".csv");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QList<QStringList> rows = parseCsv(QString::fromUtf8(bytes.mid(3)));
    QCOMPARE(rows.value(0), QStringList{grid.window()->windowTitle()});
    QCOMPARE(rows.value(1), QStringList{""});
    QCOMPARE(rows.value(2), (QStringList{"Cikkszám", "Megnevezés", "Egységár"}));
    QCOMPARE(rows.mid(3), shown);
    if (streamed)
        QVERIFY(bytes.contains("\"Árvíztűrő \"\"tükör\"\" fúrógép\";1234,5\r\n"));
}

void TestExport::cancelledExportLeavesNoFile_data()
{
    QTest::addColumn<ExportFormat>("format");
    QTest::addColumn<bool>("existing");
    QTest::newRow("xlsx over an older file") << ExportFormat::Xlsx << true;
    QTest::newRow("xlsx") << ExportFormat::Xlsx << false;
    QTest::newRow("csv over an older file") << ExportFormat::Csv << true;
    QTest::newRow("csv") << ExportFormat::Csv << false;
}

void TestExport::cancelledExportLeavesNoFile()
{
    QFETCH(ExportFormat, format);
    QFETCH(bool, existing);
    QTemporaryDir target;
    const QString path = target.filePath("lista");
    if (existing) {
        QFile older(path);
        QVERIFY(older.open(QIODevice::WriteOnly));
        older.write("régi");
    }
    const QStringList before = QDir(target.path()).entryList(QDir::Files | QDir::Hidden);

    CountedRows rows(3 * TableExport::BlockSize);
    ExportTable table{"Lista", {"Lista"}, &rows, {}};
    qint64 seen = 0;
    const ExportResult result = TableExport::write(table, format, path, [&seen](qint64 written) {
        seen = written;
        return written < 2 * TableExport::BlockSize;   // cancelled after the second block
    });
    QCOMPARE(result.status, ExportResult::Status::Cancelled);
    QCOMPARE(seen, 2 * TableExport::BlockSize);
    QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), before);
    if (existing) {
        QFile older(path);
        QVERIFY(older.open(QIODevice::ReadOnly));
        QCOMPARE(older.readAll(), QByteArray("régi"));
    }

    // Not cancelled, the same export replaces the file.
    CountedRows again(3 * TableExport::BlockSize);
    table.rows = &again;
    QCOMPARE(TableExport::write(table, format, path).status, ExportResult::Status::Written);
    QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"lista"});
    QVERIFY(QFileInfo(path).size() > 100);
}

void TestExport::chartFollowsThePrintedCard_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("key");
    QTest::addColumn<double>("opening");
    QTest::newRow("item card") << "item"
                               << "1" << 70.0;
    QTest::newRow("batch-number card") << "batch"
                                       << "ABCDE10" << 70.0;
}

void TestExport::chartFollowsThePrintedCard()
{
    QFETCH(QString, kind);
    QFETCH(QString, key);
    QFETCH(double, opening);
    // Templates that print the running stock alone.
    for (const auto& [name, dataset] :
         {std::pair{"VarnelKarton.frf", "frDBDataSet1"}, std::pair{"VarnelTetel.frf", "frDBTetelszam"}}) {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QStringLiteral("<report><band kind=\"masterdata\" dataset=\"%1\" height=\"5\">"
                                  "<text width=\"100\" format=\"number\">[vvarnel]</text></band></report>")
                       .arg(dataset)
                       .toUtf8());
    }
    std::unique_ptr<SingleKeyCard> card;
    if (kind == "item")
        card.reset(new TForm27);
    else
        card.reset(new TForm30);
    card->Edit1->setText(key);
    setPeriod(*card, "2024-01-01", "2024-12-31");
    QTest::mouseClick(card->Button5, Qt::LeftButton);
    QCOMPARE(*Formats::parseNumber(card->Edit2->text()), opening);
    const QStringList printed = printedRows(card->Button7);
    QVERIFY(!printed.isEmpty());

    const QString image = folder.filePath("grafikon.png");
    platform->fileAnswers = {image};
    QList<double> stock;
    QList<QPointF> steps;
    platform->modalRuns.push_back([&](QDialog* dialog) {
        auto* chart = qobject_cast<StockChartDialog*>(dialog);
        if (!chart)
            return int(QDialog::Rejected);
        stock = chart->stock();
        steps = chart->stepPoints();
        chart->findChild<QPushButton*>("imageButton")->click();
        return int(QDialog::Accepted);
    });
    QCOMPARE(card->chartButton->text().remove('&'), QStringLiteral("Grafikon"));
    QTest::mouseClick(card->chartButton, Qt::LeftButton);
    QCOMPARE(platform->messageTexts(), QStringList{});
    QCOMPARE(platform->shownDialogs.last(), QStringLiteral("StockChart"));

    // The opening balance first, then the card's printed running stock, line by line.
    QCOMPARE(stock.size(), printed.size() + 1);
    QCOMPARE(stock.first(), opening);
    for (int line = 0; line < printed.size(); ++line) {
        QCOMPARE(stock[line + 1], *Formats::parseNumber(printed[line]));
        QVERIFY(steps.contains(QPointF(line + 1, stock[line + 1])));
    }
    QImage png(image);
    QVERIFY(!png.isNull());
    QVERIFY(png.width() > 200);

    // The item summary draws the same for the item of its current row.
    if (kind != "item")
        return;
    TForm26 summary;
    setPeriod(summary, "2024-01-01", "2024-12-31");
    QTest::mouseClick(summary.Button5, Qt::LeftButton);
    QVERIFY(Data->ZQ11->locate("BCIKKSZAM", key));
    QList<double> summaryStock;
    platform->modalRuns.push_back([&](QDialog* dialog) {
        if (auto* chart = qobject_cast<StockChartDialog*>(dialog))
            summaryStock = chart->stock();
        return int(QDialog::Accepted);
    });
    QTest::mouseClick(summary.chartButton, Qt::LeftButton);
    QCOMPARE(summaryStock, stock);
}

void TestExport::writtenFilesFollowTheUmask_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("older");   // mode of a file already under that name; 0: none
    QTest::addColumn<int>("umask");
    QTest::addColumn<int>("expected");
    const struct {
        const char* name;
        const char* kind;
        int older;
    } outputs[] = {
        {"xlsx", "xlsx", 0},
        {"xlsx over an older file open to all", "xlsx", 0666},
        {"csv", "csv", 0},
        {"csv over an older file open to all", "csv", 0666},
        {"pdf from a preview", "pdf", 0},
        {"pdf over an older file open to all", "pdf", 0666},
        {"chart image", "png", 0},
        {"chart image over an older file open to all", "png", 0666},
    };
    for (const auto& output : outputs)
        for (const int umask : {077, 022})
            QTest::addRow("%s, umask %03o", output.name, umask)
                << output.kind << output.older << umask << (0666 & ~umask);
    // Replacing a file never opens it to more people than it was.
    QTest::newRow("xlsx over an owner-only file, umask 022") << "xlsx" << 0600 << 022 << 0600;
    QTest::newRow("csv over an owner-only file, umask 022") << "csv" << 0600 << 022 << 0600;
    // The backup holds the database, which is its owner's alone whatever the umask.
    QTest::newRow("backup, umask 077") << "backup" << 0 << 077 << 0600;
    QTest::newRow("backup, umask 022") << "backup" << 0 << 022 << 0600;
}

void TestExport::writtenFilesFollowTheUmask()
{
    QFETCH(QString, kind);
    QFETCH(int, older);
    QFETCH(int, umask);
    QFETCH(int, expected);
    QTemporaryDir target;
    const QString path = target.filePath("kimenet." + kind);
    if (older) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("régi");
        file.close();
        QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(older)) == 0);
    }
    const mode_t saved = ::umask(mode_t(umask));
    const auto restore = qScopeGuard([saved] { ::umask(saved); });

    if (kind == "xlsx" || kind == "csv") {
        CountedRows rows(10);
        const ExportTable table{"Lista", {"Lista"}, &rows, {}};
        QCOMPARE(
            TableExport::write(table, kind == "xlsx" ? ExportFormat::Xlsx : ExportFormat::Csv, path).status,
            ExportResult::Status::Written);
    } else if (kind == "pdf") {
        platform->fileAnswers.push_back(path);
        QVERIFY(ExportCommands::exportPdf(nullptr, [](const QString& file) {
            QPdfWriter writer(file);
            QPainter painter(&writer);
            painter.drawText(100, 100, "Lista");
            return painter.end();
        }));
    } else if (kind == "png") {
        StockChartDialog chart({"Cikk", 5, {{QDate(2024, 1, 1), "1", 2, 0}}});
        chart.resize(400, 300);
        QVERIFY(chart.savePng(path));
    } else if (kind == "backup") {
        const QString source = target.filePath("forras.fdb");
        QFile file(source);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(64 * 1024, 'x'));
        file.close();
        QCOMPARE(copyDatabaseFile(nullptr, source, path), QString());
    }
    QCOMPARE(platform->messageTexts(), QStringList{});

    struct stat written {};
    QVERIFY(::stat(QFile::encodeName(path).constData(), &written) == 0);
    QCOMPARE(QString::number(written.st_mode & 07777, 8), QString::number(expected, 8));
    QVERIFY(written.st_size > 4);
    // No temporary file stays behind.
    const QStringList left = QDir(target.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(left.size(), kind == "backup" ? 2 : 1);
}

STOCK_TEST_MAIN(TestExport)
#include "tst_export.moc"
