// The test workbooks: libzip for the container, plain text for the parts.
#include "xlsxfixture.h"

#include <QFile>
#include <zip.h>

namespace {

QByteArray escaped(const QString& text)
{
    return text.toHtmlEscaped().toUtf8();
}

QByteArray columnName(int column)
{
    QByteArray name;
    for (++column; column > 0; column = (column - 1) / 26)
        name.prepend(char('A' + (column - 1) % 26));
    return name;
}

}

bool writeZip(const QString& path, const QList<ZipPart>& parts)
{
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const ZipPart& part : parts) {
        // The source frees its copy when the archive is written.
        void* copy = malloc(size_t(qMax<qsizetype>(part.content.size(), 1)));
        memcpy(copy, part.content.constData(), size_t(part.content.size()));
        zip_source_t* source = zip_source_buffer(archive, copy, zip_uint64_t(part.content.size()), 1);
        if (!source || zip_file_add(archive, part.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

QByteArray sheetXml(const QList<QStringList>& rows, bool shared, QByteArray* sharedStrings)
{
    QByteArray xml =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
        R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)";
    QStringList strings;
    for (int r = 0; r < rows.size(); ++r) {
        xml += "<row r=\"" + QByteArray::number(r + 1) + "\">";
        for (int c = 0; c < rows[r].size(); ++c) {
            const QString& cell = rows[r][c];
            if (cell.isEmpty())
                continue;
            const QByteArray ref = columnName(c) + QByteArray::number(r + 1);
            if (cell.startsWith(QLatin1Char('='))) {
                xml += "<c r=\"" + ref + "\"><v>" + cell.mid(1).toUtf8() + "</v></c>";
            } else if (shared) {
                xml += "<c r=\"" + ref + "\" t=\"s\"><v>" + QByteArray::number(strings.size()) + "</v></c>";
                strings << cell;
            } else {
                xml += "<c r=\"" + ref + "\" t=\"inlineStr\"><is><t>" + escaped(cell) + "</t></is></c>";
            }
        }
        xml += "</row>";
    }
    xml += "</sheetData></worksheet>";
    if (sharedStrings) {
        *sharedStrings = R"(<?xml version="1.0" encoding="UTF-8"?>)"
                         R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)";
        for (const QString& s : strings)
            *sharedStrings += "<si><t xml:space=\"preserve\">" + escaped(s) + "</t></si>";
        *sharedStrings += "</sst>";
    }
    return xml;
}

QList<ZipPart> workbookParts(const QByteArray& sheet, const QByteArray& sharedStrings)
{
    QList<ZipPart> parts{
        {"[Content_Types].xml",
         R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>)"},
        {"xl/workbook.xml",
         R"(<?xml version="1.0" encoding="UTF-8"?>)"
         R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
         R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
         R"(<sheets><sheet name="Adatok" sheetId="1" r:id="rId7"/></sheets></workbook>)"},
        {"xl/_rels/workbook.xml.rels",
         R"(<?xml version="1.0" encoding="UTF-8"?>)"
         R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
         R"(<Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/adatok.xml"/>)"
         R"(<Relationship Id="rId8" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="/xl/strings.xml"/>)"
         R"(</Relationships>)"},
        {"xl/worksheets/adatok.xml", sheet},
    };
    if (!sharedStrings.isEmpty())
        parts << ZipPart{"xl/strings.xml", sharedStrings};
    return parts;
}

bool writeXlsx(const QString& path, const QList<QStringList>& rows, bool shared)
{
    QByteArray strings;
    const QByteArray sheet = sheetXml(rows, shared, shared ? &strings : nullptr);
    return writeZip(path, workbookParts(sheet, strings));
}
