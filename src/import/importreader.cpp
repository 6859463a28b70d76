// The purchase-ticket file: parsing, the walk over a record, and the conversion into a MUNKA2 row.
#include "importreader.h"

#include "decimal.h"
#include "failurereason.h"
#include "formats.h"
#include "query.h"

#include <QFile>
#include <QXmlStreamReader>

namespace {

enum class ColumnKind { Text, Date, Decimal };

struct WorkColumn {
    const char* name;
    ColumnKind kind;
};

constexpr WorkColumn Columns[] = {
    {"F_FELVKELT", ColumnKind::Date},   {"S_BSZAM", ColumnKind::Text},     {"S_TERMEKKOD", ColumnKind::Text},
    {"S_MEGNEVEZES", ColumnKind::Text}, {"S_BIZONYLAT", ColumnKind::Text}, {"S_BRUTTO", ColumnKind::Decimal},
    {"S_MEGY", ColumnKind::Text},       {"S_EAR", ColumnKind::Decimal},    {"S_FELVAR", ColumnKind::Decimal},
    {"S_VTSZ", ColumnKind::Text},       {"O_KOD", ColumnKind::Text},       {"O_NEV", ColumnKind::Text},
    {"O_HELYSEGNEV", ColumnKind::Text}, {"O_UTCA", ColumnKind::Text},      {"O_IRSZAM", ColumnKind::Text},
};
constexpr int ColumnCount = int(std::size(Columns));

// Leading and trailing blanks and control characters, as the file's writer may pad its values.
QString trimmedValue(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= ' ')
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= ' ')
        --end;
    return text.mid(begin, end - begin);
}

QString insertSql()
{
    QStringList marks;
    for (int i = 1; i <= ColumnCount; ++i)
        marks << QStringLiteral(":p%1").arg(i);
    return QStringLiteral("INSERT INTO munka2 (%1) VALUES (%2)")
        .arg(workColumns().join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
}

void bindValue(Param& param, const WorkColumn& column, const QString& value, int recordNumber)
{
    // An empty value of a date or number column is no value, as an empty text assigned to such a field.
    if (column.kind != ColumnKind::Text && value.isEmpty()) {
        param.clear();
        return;
    }
    switch (column.kind) {
    case ColumnKind::Text: param.setText(value); return;
    case ColumnKind::Date:
        if (const auto date = Formats::parseDate(value)) {
            param.setDate(*date);
            return;
        }
        throw RecordError(QStringLiteral("A(z) %1. rekordban a(z) \"%2\" nem érvényes dátum (%3).")
                              .arg(recordNumber)
                              .arg(value, QLatin1String(column.name)));
    case ColumnKind::Decimal:
        if (const auto number = Decimal::parse(value)) {
            param.setDecimal(*number);
            return;
        }
        throw RecordError(QStringLiteral("A(z) %1. rekordban a(z) \"%2\" nem érvényes szám (%3).")
                              .arg(recordNumber)
                              .arg(value, QLatin1String(column.name)));
    }
}

// Bounds a purchase-ticket file keeps; a file beyond them is refused before any document is built. A
// day's tickets fill some megabytes and nest a few levels.
constexpr qint64 MaxFileBytes = 64LL * 1024 * 1024;
constexpr int MaxDepth = 256;
// Without entities a file holds no more characters of text than bytes; its internal entities may add
// this much.
constexpr qint64 ExpansionAllowance = 1024 * 1024;

struct Refusal {
    QString reason;   // empty: the file keeps the bounds (it may still be malformed)
    qint64 line = 0;
    qint64 column = 0;
};

// One streaming pass over the file: no nesting deeper than the bound, no more text than the bound once
// internal entities are expanded, and no external DTD or external entity (nothing is fetched, but a file
// that asks for one is not a ticket file). Parse errors are left to the document, which reports them.
Refusal checkLimits(const QByteArray& content)
{
    QXmlStreamReader reader(content);
    int depth = 0;
    qint64 text = 0;
    const qint64 maxText = content.size() + ExpansionAllowance;
    auto at = [&reader](const QString& reason) {
        return Refusal{reason, reader.lineNumber(), reader.columnNumber()};
    };
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > MaxDepth)
                return at(
                    QStringLiteral("az elemek %1 szintnél mélyebben vannak egymásba ágyazva").arg(MaxDepth));
            break;
        case QXmlStreamReader::EndElement: --depth; break;
        case QXmlStreamReader::Characters:
            text += reader.text().size();
            if (text > maxText)
                return at(
                    QStringLiteral("az entitások kifejtve %1 karakternél több szöveget adnak").arg(maxText));
            break;
        case QXmlStreamReader::DTD: {
            if (!reader.dtdSystemId().isEmpty() || !reader.dtdPublicId().isEmpty())
                return at(
                    QStringLiteral("külső DTD-re hivatkozik (%1)").arg(reader.dtdSystemId().toString()));
            const QXmlStreamEntityDeclarations entities = reader.entityDeclarations();
            for (const QXmlStreamEntityDeclaration& entity : entities) {
                if (!entity.systemId().isEmpty() || !entity.publicId().isEmpty())
                    return at(QStringLiteral("külső entitást deklarál (%1)").arg(entity.name().toString()));
            }
            break;
        }
        default: break;
        }
    }
    return {};
}

}

bool PurchaseTicketFile::load(const QString& fileName)
{
    document_.clear();
    records_ = QDomNodeList();
    error_.clear();
    QFile file(fileName);
    auto cannotOpen = [&] {
        error_ = QStringLiteral("A(z) \"%1\" file nem nyitható meg:\r%2").arg(fileName, fileReason(file));
        return false;
    };
    if (!file.open(QIODevice::ReadOnly))
        return cannotOpen();
    auto refuse = [&](const QString& reason, qint64 line, qint64 column) {
        document_.clear();
        error_ = QStringLiteral("A(z) \"%1\" file nem olvasható be:\r%2 (%3. sor, %4. oszlop)")
                     .arg(fileName, reason)
                     .arg(line)
                     .arg(column);
        return false;
    };
    if (file.size() > MaxFileBytes)
        return refuse(QStringLiteral("a file nagyobb %1 MB-nál").arg(MaxFileBytes / (1024 * 1024)), 1, 1);
    // Read once: the check and the document see the same bytes.
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return cannotOpen();
    if (const Refusal refusal = checkLimits(content); !refusal.reason.isEmpty())
        return refuse(refusal.reason, refusal.line, refusal.column);
    QString message;
    int line = 0;
    int column = 0;
    // A document that fails half way keeps what came before the error; none of it is used.
    if (!document_.setContent(content, &message, &line, &column))
        return refuse(message, line, column);
    records_ = document_.elementsByTagName(QStringLiteral("Records"));
    return true;
}

QStringList PurchaseTicketFile::values(int record) const
{
    QStringList values;
    travelChildren(records_.item(record).childNodes(), values);
    return values;
}

void travelChildren(const QDomNodeList& nodes, QStringList& values)
{
    for (int i = 0; i < nodes.length(); ++i) {
        // Depth first without recursion: down to the first child, else on to the next sibling, climbing
        // back towards `top` where a level has ended.
        const QDomNode top = nodes.item(i);
        QDomNode node = top;
        while (!node.isNull()) {
            const QDomNode::NodeType type = node.nodeType();
            if ((type == QDomNode::ElementNode || type == QDomNode::EntityReferenceNode) &&
                node.hasChildNodes()) {
                node = node.firstChild();
                continue;
            }
            if (type == QDomNode::TextNode)
                values << trimmedValue(node.nodeValue());
            while (node != top && node.nextSibling().isNull())
                node = node.parentNode();
            node = node == top ? QDomNode() : node.nextSibling();
        }
    }
}

const QStringList& workColumns()
{
    static const QStringList names = [] {
        QStringList list;
        for (const WorkColumn& column : Columns)
            list << QLatin1String(column.name);
        return list;
    }();
    return names;
}

void insertintotable(Query& query, const QStringList& values, int recordNumber)
{
    if (values.size() > ColumnCount)
        throw RecordError(QStringLiteral("A(z) %1. rekordban %2 érték van, a munkatáblának csak %3 oszlopa.")
                              .arg(recordNumber)
                              .arg(values.size())
                              .arg(ColumnCount));
    static const QString sql = insertSql();
    if (query.sql() != sql)
        query.setSql(sql);
    for (int i = 0; i < ColumnCount; ++i) {
        Param& param = query.paramByName(QStringLiteral("p%1").arg(i + 1));
        if (i < values.size())
            bindValue(param, Columns[i], values[i], recordNumber);
        else
            param.clear();
    }
    query.execute();
}
