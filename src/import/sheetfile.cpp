// Reading a spreadsheet file: the choice between workbook and text, and the CSV reader.
#include "sheetfile.h"

#include "cp1250.h"
#include "failurereason.h"
#include "xlsxsheet.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <utility>

namespace {

QString decodedText(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeCp1250(bytes.constData(), int(bytes.size()));
}

// The separator that the first line holding any of them holds most of (outside quotes); ";" wins a tie,
// as the program's own export and Hungarian spreadsheets write it.
QChar detectSeparator(const QString& text)
{
    const QChar candidates[] = {QLatin1Char(';'), QLatin1Char('\t'), QLatin1Char(',')};
    int counts[3] = {0, 0, 0};
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (quoted)
            continue;
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (counts[0] + counts[1] + counts[2] > 0)
                break;
            continue;
        }
        for (int i = 0; i < 3; ++i)
            if (c == candidates[i])
                ++counts[i];
    }
    int best = 0;
    for (int i = 1; i < 3; ++i)
        if (counts[i] > counts[best])
            best = i;
    return candidates[best];
}

}

namespace SheetFile {

QString tooManyRows()
{
    return QStringLiteral(
               "A táblázat több mint %1 adatsort tartalmaz; egyszerre legfeljebb %1 sor olvasható be. "
               "Ossza több táblázatra.")
        .arg(MaxRows);
}

void RowCollector::add(SheetRow row)
{
    while (!row.cells.isEmpty() && row.cells.last().trimmed().isEmpty())
        row.cells.removeLast();
    if (row.cells.isEmpty())
        return;
    if (rows_.size() >= MaxRows + MaxLeadingRows)
        throw SheetError(tooManyRows());
    checkPending(row.cells.size());
    cells_ += row.cells.size();
    rows_ << std::move(row);
}

void RowCollector::checkPending(qsizetype cells) const
{
    if (cells_ + cells > MaxCells)
        throw SheetError(
            QStringLiteral("A táblázat több mint %1 cellát tartalmaz; ennyi törzsadat nem lehet benne.")
                .arg(MaxCells));
}

QList<SheetRow> read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw SheetError(
            QStringLiteral("A(z) \"%1\" fájl nem nyitható meg:\r%2").arg(path, fileReason(file)));
    if (file.size() > MaxFileBytes)
        throw SheetError(
            QStringLiteral("A(z) \"%1\" fájl nagyobb %2 MB-nál; ennyi törzsadat nem lehet benne.")
                .arg(path)
                .arg(MaxFileBytes / (1024 * 1024)));
    const QByteArray head = file.peek(8);
    if (XlsxSheet::looksLikeZip(head))
        return XlsxSheet::read(path);
    if (QFileInfo(path).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0)
        throw SheetError(
            QStringLiteral("A fájl nem olvasható be Excel-munkafüzetként (xlsx): nem zip-tároló."));
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw SheetError(QStringLiteral("A(z) \"%1\" fájl nem olvasható:\r%2").arg(path, fileReason(file)));
    return readCsv(content);
}

QList<SheetRow> readCsv(const QByteArray& content)
{
    const QString text = decodedText(content);
    // Control characters other than tab and line breaks do not occur in a text table: it is another kind
    // of file (a program, an image, an old binary workbook).
    for (const QChar c : text)
        if (c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            throw SheetError(
                QStringLiteral("A fájl nem szöveges táblázat (CSV) és nem Excel-munkafüzet (xlsx)."));
    const QChar separator = detectSeparator(text);

    RowCollector rows;
    SheetRow row{1, {}};
    QString field;
    int line = 1;
    bool quoted = false;
    bool wasQuoted = false;
    const auto endField = [&] {
        rows.checkPending(row.cells.size() + 1);
        row.cells << field;
        field.clear();
        wasQuoted = false;
    };
    const auto endRow = [&] {
        endField();
        rows.add(std::exchange(row, SheetRow{line, {}}));
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
                continue;
            }
            if (c == QLatin1Char('\n') ||
                (c == QLatin1Char('\r') && !(i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))))
                ++line;
            field += c;
            continue;
        }
        if (c == QLatin1Char('"') && field.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
            continue;
        }
        if (c == separator) {
            endField();
            continue;
        }
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            ++line;
            endRow();
            continue;
        }
        field += c;
    }
    if (quoted)
        throw SheetError(
            QStringLiteral("A(z) %1. sorban kezdődő, idézőjelbe tett mező nincs lezárva.").arg(row.line));
    endRow();
    return rows.take();
}

}
