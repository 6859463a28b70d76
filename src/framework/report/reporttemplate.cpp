// Reading report templates from their XML files.
#include "reporttemplate.h"

#include "reporterror.h"

#include <QDomDocument>
#include <QFile>
#include <QFileInfo>

namespace {

const QString DefaultFontFamily = QStringLiteral("DejaVu Sans");

struct ParseContext {
    QString fileName;
    FontStyle defaultFont;

    [[noreturn]] void fail(const QDomNode& node, const QString& what) const
    {
        throw ReportError(QStringLiteral("A(z) \"%1\" jelentéssablon hibás: %2 (%3. sor).")
                              .arg(fileName, what)
                              .arg(node.lineNumber()));
    }
};

double number(const ParseContext& context, const QDomElement& element, const QString& name, double fallback)
{
    if (!element.hasAttribute(name))
        return fallback;
    bool ok = false;
    const double value = element.attribute(name).toDouble(&ok);
    if (!ok || value < 0)
        context.fail(element,
                     QStringLiteral("a(z) %1=\"%2\" érték nem szám").arg(name, element.attribute(name)));
    return value;
}

bool flag(const QDomElement& element, const QString& name, bool fallback)
{
    if (!element.hasAttribute(name))
        return fallback;
    const QString value = element.attribute(name);
    return value == QLatin1String("1") || value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

BandKind bandKind(const ParseContext& context, const QDomElement& element)
{
    static const QList<std::pair<QString, BandKind>> kinds = {
        {QStringLiteral("title"), BandKind::Title},
        {QStringLiteral("pageheader"), BandKind::PageHeader},
        {QStringLiteral("masterdata"), BandKind::MasterData},
        {QStringLiteral("summary"), BandKind::Summary},
        {QStringLiteral("pagefooter"), BandKind::PageFooter},
    };
    const QString kind = element.attribute(QStringLiteral("kind")).toLower();
    for (const auto& [name, value] : kinds) {
        if (name == kind)
            return value;
    }
    context.fail(element, QStringLiteral("ismeretlen sávtípus: \"%1\"").arg(kind));
}

FieldFormat fieldFormat(const ParseContext& context, const QDomElement& element)
{
    static const QList<std::pair<QString, FieldFormat>> formats = {
        {QStringLiteral("text"), FieldFormat::Text},       {QStringLiteral("number"), FieldFormat::Number},
        {QStringLiteral("amount2"), FieldFormat::Amount2}, {QStringLiteral("amount3"), FieldFormat::Amount3},
        {QStringLiteral("date"), FieldFormat::Date},
    };
    const QString format = element.attribute(QStringLiteral("format"), QStringLiteral("text")).toLower();
    for (const auto& [name, value] : formats) {
        if (name == format)
            return value;
    }
    context.fail(element, QStringLiteral("ismeretlen formátum: \"%1\"").arg(format));
}

Qt::Alignment alignment(const ParseContext& context, const QDomElement& element)
{
    const QString align = element.attribute(QStringLiteral("align"), QStringLiteral("left")).toLower();
    Qt::Alignment horizontal;
    if (align == QLatin1String("left"))
        horizontal = Qt::AlignLeft;
    else if (align == QLatin1String("center"))
        horizontal = Qt::AlignHCenter;
    else if (align == QLatin1String("right"))
        horizontal = Qt::AlignRight;
    else
        context.fail(element, QStringLiteral("ismeretlen igazítás: \"%1\"").arg(align));
    return horizontal | Qt::AlignVCenter;
}

int frameLines(const ParseContext& context, const QDomElement& element)
{
    const QString frame = element.attribute(QStringLiteral("frame")).toLower();
    if (frame == QLatin1String("all"))
        return FrameAll;
    int lines = 0;
    for (QChar c : frame) {
        switch (c.unicode()) {
        case 'l': lines |= FrameLeft; break;
        case 't': lines |= FrameTop; break;
        case 'r': lines |= FrameRight; break;
        case 'b': lines |= FrameBottom; break;
        default: context.fail(element, QStringLiteral("ismeretlen keret: \"%1\"").arg(frame));
        }
    }
    return lines;
}

FontStyle font(const ParseContext& context, const QDomElement& element, const FontStyle& inherited)
{
    FontStyle style = inherited;
    style.family = element.attribute(QStringLiteral("font"), inherited.family);
    style.pointSize = number(context, element, QStringLiteral("size"), inherited.pointSize);
    style.bold = flag(element, QStringLiteral("bold"), inherited.bold);
    style.italic = flag(element, QStringLiteral("italic"), inherited.italic);
    return style;
}

TextObject textObject(const ParseContext& context, const QDomElement& element, double bandHeight)
{
    TextObject object;
    const double left = number(context, element, QStringLiteral("left"), 0);
    const double top = number(context, element, QStringLiteral("top"), 0);
    const double width = number(context, element, QStringLiteral("width"), 0);
    const double height = number(context, element, QStringLiteral("height"), bandHeight - top);
    if (width <= 0)
        context.fail(element, QStringLiteral("a szövegmezőnek nincs szélessége"));
    object.rect = QRectF(left, top, width, height);
    object.segments = splitFields(element.text());
    object.format = fieldFormat(context, element);
    object.alignment = alignment(context, element);
    object.font = font(context, element, context.defaultFont);
    object.frame = frameLines(context, element);
    object.wordWrap = flag(element, QStringLiteral("wrap"), false);
    return object;
}

Band readBand(const ParseContext& context, const QDomElement& element)
{
    Band result;
    result.kind = bandKind(context, element);
    result.height = number(context, element, QStringLiteral("height"), 0);
    result.dataset = element.attribute(QStringLiteral("dataset"));
    if (result.kind == BandKind::MasterData && result.dataset.isEmpty())
        context.fail(element, QStringLiteral("a masterdata sávból hiányzik a dataset jellemző"));
    for (QDomElement child = element.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        if (child.tagName() != QLatin1String("text"))
            context.fail(child, QStringLiteral("ismeretlen objektum: <%1>").arg(child.tagName()));
        result.objects.append(textObject(context, child, result.height));
    }
    return result;
}

}

const Band* ReportTemplate::band(BandKind kind) const
{
    for (const Band& candidate : bands) {
        if (candidate.kind == kind)
            return &candidate;
    }
    return nullptr;
}

ReportTemplate ReportTemplate::parse(const QByteArray& xml, const QString& fileName)
{
    ParseContext context{fileName, FontStyle{DefaultFontFamily}};
    QDomDocument document;
    QString parserReason;
    int line = 0;
    int column = 0;
    // The parser's own reason is English; where the text breaks is what a person can act on.
    if (!document.setContent(xml, &parserReason, &line, &column)) {
        throw ReportError(
            QStringLiteral(
                "A(z) \"%1\" jelentéssablon hibás: az XML szerkezete nem olvasható (%2. sor, %3. oszlop).")
                .arg(fileName)
                .arg(line)
                .arg(column));
    }
    const QDomElement root = document.documentElement();
    if (root.tagName() != QLatin1String("report"))
        context.fail(root, QStringLiteral("a gyökérelem nem <report>"));

    ReportTemplate result;
    result.margin = number(context, root, QStringLiteral("margin"), result.margin);
    context.defaultFont = font(context, root, context.defaultFont);
    for (QDomElement child = root.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        if (child.tagName() != QLatin1String("band"))
            context.fail(child, QStringLiteral("ismeretlen elem: <%1>").arg(child.tagName()));
        Band parsed = readBand(context, child);
        if (result.band(parsed.kind))
            context.fail(child, QStringLiteral("második \"%1\" sáv; egy sávtípus csak egyszer szerepelhet")
                                    .arg(child.attribute(QStringLiteral("kind"))));
        result.bands.append(parsed);
    }
    return result;
}

ReportTemplate ReportTemplate::load(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        // The system's own reason is English; the usual ones are said in Hungarian.
        const QFileInfo info(fileName);
        const QString reason = !info.exists()       ? QStringLiteral("A fájl nem létezik.")
                               : info.isDir()       ? QStringLiteral("Ez egy mappa.")
                               : !info.isReadable() ? QStringLiteral("Nincs jogosultság az olvasásához.")
                                                    : QStringLiteral("A fájl nem olvasható.");
        throw ReportError(
            QStringLiteral("A(z) \"%1\" fájl nem nyitható meg. %2").arg(info.absoluteFilePath(), reason));
    }
    return parse(file.readAll(), fileName);
}

QList<TextSegment> splitFields(const QString& text)
{
    QList<TextSegment> segments;
    QString literal;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(QLatin1Char('['), pos);
        const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1Char(']'), open + 1);
        if (close < 0) {
            literal += text.mid(pos);
            break;
        }
        literal += text.mid(pos, open - pos);
        if (!literal.isEmpty())
            segments.append({literal, false});
        literal.clear();
        segments.append({text.mid(open + 1, close - open - 1).trimmed(), true});
        pos = close + 1;
    }
    if (!literal.isEmpty())
        segments.append({literal, false});
    return segments;
}
