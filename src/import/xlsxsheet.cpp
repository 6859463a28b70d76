// The .xlsx reader: bounded unpacking of the parts it needs and a streaming parse of each.
#include "xlsxsheet.h"

#include "formats.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <cmath>
#include <zip.h>

namespace {

const QString RelationshipsNs =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships");

SheetError notAWorkbook(const QString& why)
{
    return SheetError(QStringLiteral("A fájl nem olvasható be Excel-munkafüzetként (xlsx): %1.").arg(why));
}

class ZipArchive {
public:
    explicit ZipArchive(const QString& path)
    {
        int error = 0;
        archive_ = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
        if (!archive_)
            throw notAWorkbook(
                QStringLiteral("a zip-tároló sérült vagy nem zip (libzip hibakód: %1)").arg(error));
        const zip_int64_t entries = zip_get_num_entries(archive_, 0);
        if (entries < 0 || entries > XlsxSheet::MaxEntries)
            throw notAWorkbook(
                QStringLiteral("a tároló több mint %1 részt tartalmaz").arg(XlsxSheet::MaxEntries));
    }
    ~ZipArchive()
    {
        if (archive_)
            zip_discard(archive_);
    }
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    bool contains(const QString& name) const
    {
        return zip_name_locate(archive_, name.toUtf8().constData(), 0) >= 0;
    }

    // The unpacked part, read in pieces up to the bounds whatever its header claims.
    QByteArray part(const QString& name) const
    {
        const QByteArray utf8 = name.toUtf8();
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat(archive_, utf8.constData(), 0, &stat) != 0)
            throw notAWorkbook(QStringLiteral("hiányzik belőle a(z) %1 rész").arg(name));
        const bool sized = (stat.valid & ZIP_STAT_SIZE) && (stat.valid & ZIP_STAT_COMP_SIZE);
        if (sized && (stat.size > zip_uint64_t(XlsxSheet::MaxEntryBytes) ||
                      (stat.size > 1024 * 1024 && stat.size / qMax<zip_uint64_t>(stat.comp_size, 1) >
                                                      zip_uint64_t(XlsxSheet::MaxRatio))))
            throw tooLarge(name);
        zip_file_t* file = zip_fopen(archive_, utf8.constData(), 0);
        if (!file)
            throw notAWorkbook(QStringLiteral("a(z) %1 rész nem bontható ki").arg(name));
        QByteArray content;
        char buffer[65536];
        zip_int64_t got = 0;
        while ((got = zip_fread(file, buffer, sizeof buffer)) > 0) {
            content.append(buffer, qsizetype(got));
            if (content.size() > XlsxSheet::MaxEntryBytes ||
                (sized && content.size() > 1024 * 1024 &&
                 content.size() / qMax<qint64>(qint64(stat.comp_size), 1) > XlsxSheet::MaxRatio)) {
                zip_fclose(file);
                throw tooLarge(name);
            }
        }
        zip_fclose(file);
        if (got < 0)
            throw notAWorkbook(QStringLiteral("a(z) %1 rész sérült").arg(name));
        return content;
    }

private:
    static SheetError tooLarge(const QString& name)
    {
        return notAWorkbook(QStringLiteral("a(z) %1 rész kibontva nagyobb a megengedettnél (legfeljebb %2 "
                                           "MB, legfeljebb %3-szeres tömörítés)")
                                .arg(name)
                                .arg(XlsxSheet::MaxEntryBytes / (1024 * 1024))
                                .arg(XlsxSheet::MaxRatio));
    }

    zip_t* archive_ = nullptr;
};

// A reader that refuses any DTD: a workbook part never has one, and entities are the way to a bomb.
class PartReader : public QXmlStreamReader {
public:
    PartReader(const QByteArray& content, const QString& name) : QXmlStreamReader(content), name_(name) {}

    TokenType next()
    {
        const TokenType token = readNext();
        if (token == DTD)
            throw notAWorkbook(QStringLiteral("a(z) %1 rész DTD-t tartalmaz").arg(name_));
        return token;
    }
    void finish() const
    {
        if (hasError())
            throw notAWorkbook(QStringLiteral("a(z) %1 rész hibás XML (%2. sor: %3)")
                                   .arg(name_)
                                   .arg(lineNumber())
                                   .arg(errorString()));
    }
    bool at(const char* localName) const { return name() == QLatin1String(localName); }

    // The text of the <t> elements below the current element (a rich text's runs joined), without the
    // phonetic hints; the reader ends on the element's end.
    QString runText()
    {
        QString text;
        int depth = 1;
        int phonetic = 0;
        while (depth > 0 && !atEnd()) {
            switch (next()) {
            case StartElement:
                if (at("t")) {
                    const QString run = readElementText(IncludeChildElements);
                    if (phonetic == 0)
                        text += run;
                    break;
                }
                ++depth;
                if (at("rPh"))
                    ++phonetic;
                break;
            case EndElement:
                --depth;
                if (at("rPh"))
                    --phonetic;
                break;
            default: break;
            }
        }
        return text;
    }

private:
    QString name_;
};

struct Workbook {
    QString sheet;
    QString sharedStrings;
};

QString folderOf(const QString& part)
{
    return part.left(part.lastIndexOf(QLatin1Char('/')) + 1);
}

// The first sheet and the shared strings, from the workbook and its relationships.
Workbook locateParts(const ZipArchive& zip)
{
    const QString workbookPart = QStringLiteral("xl/workbook.xml");
    if (!zip.contains(workbookPart))
        throw notAWorkbook(QStringLiteral("hiányzik belőle a munkafüzet (xl/workbook.xml)"));
    QString sheetId;
    {
        PartReader reader(zip.part(workbookPart), workbookPart);
        while (!reader.atEnd() && sheetId.isEmpty())
            if (reader.next() == QXmlStreamReader::StartElement && reader.at("sheet"))
                sheetId = reader.attributes().value(RelationshipsNs, QStringLiteral("id")).toString();
        reader.finish();
    }
    Workbook parts;
    const QString relsPart = QStringLiteral("xl/_rels/workbook.xml.rels");
    if (zip.contains(relsPart)) {
        PartReader reader(zip.part(relsPart), relsPart);
        while (!reader.atEnd()) {
            if (reader.next() != QXmlStreamReader::StartElement || !reader.at("Relationship"))
                continue;
            const QXmlStreamAttributes attributes = reader.attributes();
            const QString target =
                XlsxSheet::resolvePart(folderOf(workbookPart), attributes.value("Target").toString());
            if (attributes.value("Id") == sheetId)
                parts.sheet = target;
            else if (attributes.value("Type").endsWith(QLatin1String("/sharedStrings")))
                parts.sharedStrings = target;
        }
        reader.finish();
    }
    if (parts.sheet.isEmpty())
        parts.sheet = QStringLiteral("xl/worksheets/sheet1.xml");
    if (parts.sharedStrings.isEmpty() && zip.contains(QStringLiteral("xl/sharedStrings.xml")))
        parts.sharedStrings = QStringLiteral("xl/sharedStrings.xml");
    if (!zip.contains(parts.sheet))
        throw notAWorkbook(QStringLiteral("nincs benne munkalap"));
    return parts;
}

QStringList readSharedStrings(const ZipArchive& zip, const QString& part)
{
    QStringList strings;
    if (part.isEmpty() || !zip.contains(part))
        return strings;
    PartReader reader(zip.part(part), part);
    while (!reader.atEnd())
        if (reader.next() == QXmlStreamReader::StartElement && reader.at("si"))
            strings << reader.runText();
    reader.finish();
    return strings;
}

// A number as the cell shows it without a format: whole numbers without a fraction, others with the
// decimal comma, so that a code typed as 12.5 stays recognisable as a decimal.
QString numberText(const QString& value)
{
    static const QRegularExpression whole(QStringLiteral("^-?[0-9]+$"));
    if (whole.match(value).hasMatch())
        return value;
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        return value;
    if (std::floor(number) == number && std::fabs(number) < 1e15)
        return QString::number(qint64(number));
    return Formats::formatGeneral(number);
}

// "BC12" -> column 54 (0-based) and row 12; false for anything else.
bool parseReference(QStringView reference, int& column, int& row)
{
    column = 0;
    qsizetype i = 0;
    while (i < reference.size() && reference[i].isUpper() && reference[i].unicode() < 128) {
        column = column * 26 + (reference[i].unicode() - 'A' + 1);
        if (column > XlsxSheet::MaxColumns)
            return false;
        ++i;
    }
    if (i == 0 || i == reference.size())
        return false;
    bool ok = false;
    row = reference.mid(i).toInt(&ok);
    --column;
    return ok && row > 0;
}

QList<SheetRow> readRows(const ZipArchive& zip, const QString& part, const QStringList& shared)
{
    SheetFile::RowCollector rows;
    PartReader reader(zip.part(part), part);
    SheetRow row;
    int lastLine = 0;
    int nextColumn = 0;
    const auto cell = [&] {
        const QXmlStreamAttributes attributes = reader.attributes();
        const QString type = attributes.value("t").toString();
        int column = nextColumn;
        int line = row.line;
        if (attributes.hasAttribute("r") &&
            (!parseReference(attributes.value("r"), column, line) || line != row.line))
            throw notAWorkbook(
                QStringLiteral("hibás cellahivatkozás: %1").arg(attributes.value("r").toString()));
        if (column >= XlsxSheet::MaxColumns)
            throw notAWorkbook(QStringLiteral("%1 oszlopnál szélesebb munkalap").arg(XlsxSheet::MaxColumns));
        nextColumn = column + 1;
        QString value;
        bool isValue = false;
        int depth = 1;
        while (depth > 0 && !reader.atEnd()) {
            const auto token = reader.next();
            if (token == QXmlStreamReader::EndElement) {
                --depth;
                continue;
            }
            if (token != QXmlStreamReader::StartElement)
                continue;
            if (reader.at("v")) {
                value = reader.readElementText(QXmlStreamReader::IncludeChildElements);
                isValue = true;
            } else if (reader.at("is")) {
                value = reader.runText();
            } else {
                ++depth;
            }
        }
        if (isValue && type == QLatin1String("s")) {
            bool ok = false;
            const int index = value.toInt(&ok);
            if (!ok || index < 0 || index >= shared.size())
                throw notAWorkbook(QStringLiteral("a(z) %1. közös szöveg nem létezik").arg(value));
            value = shared[index];
        } else if (isValue && (type.isEmpty() || type == QLatin1String("n"))) {
            value = numberText(value);
        }
        if (row.cells.size() <= column)
            row.cells.resize(column + 1);
        row.cells[column] = value;
    };
    while (!reader.atEnd()) {
        if (reader.next() != QXmlStreamReader::StartElement)
            continue;
        if (!reader.at("row"))
            continue;
        row = SheetRow();
        bool ok = true;
        row.line =
            reader.attributes().hasAttribute("r") ? reader.attributes().value("r").toInt(&ok) : lastLine + 1;
        if (!ok || row.line <= lastLine)
            throw notAWorkbook(QStringLiteral("hibás sorszám a munkalapon: %1")
                                   .arg(reader.attributes().value("r").toString()));
        lastLine = row.line;
        nextColumn = 0;
        // The row's cells, up to its end.
        while (!reader.atEnd()) {
            const auto token = reader.next();
            if (token == QXmlStreamReader::StartElement && reader.at("c"))
                cell();
            else if (token == QXmlStreamReader::EndElement && reader.at("row"))
                break;
        }
        rows.add(std::move(row));
    }
    reader.finish();
    return rows.take();
}

}

namespace XlsxSheet {

bool looksLikeZip(const QByteArray& head)
{
    return head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06");
}

QString resolvePart(const QString& fromFolder, const QString& target)
{
    if (target.isEmpty() || target.contains(QLatin1Char('\\')) || target.contains(QLatin1Char(':')) ||
        target.contains(QChar(0)))
        return {};
    const QString joined = target.startsWith(QLatin1Char('/')) ? target.mid(1) : fromFolder + target;
    QStringList parts;
    for (const QString& piece : joined.split(QLatin1Char('/'))) {
        if (piece.isEmpty() || piece == QLatin1String("."))
            continue;
        if (piece == QLatin1String("..")) {
            if (parts.isEmpty())
                return {};
            parts.removeLast();
            continue;
        }
        parts << piece;
    }
    return parts.join(QLatin1Char('/'));
}

QList<SheetRow> read(const QString& path)
{
    const ZipArchive zip(path);
    const Workbook parts = locateParts(zip);
    return readRows(zip, parts.sheet, readSharedStrings(zip, parts.sharedStrings));
}

}
