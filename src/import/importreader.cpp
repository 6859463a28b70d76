// The purchase-ticket file: one streaming pass that checks it and collects its records, and the
// conversion into a MUNKA2 row.
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
    QString reason;   // empty: the file keeps the bounds and is well-formed
    qint64 line = 0;
    qint64 column = 0;
};

// Collects every "Records" element's values while the file streams past: a text goes to every record
// open around it, so a record nested in another gives its values to both, in document order. A text is
// one value as the reader delivers it; texts of blanks only, CDATA sections, comments, processing
// instructions and entities the reader cannot expand give none.
class RecordCollector {
public:
    explicit RecordCollector(QList<QStringList>& records) : records_(records) {}

    void start(const QXmlStreamReader& reader)
    {
        if (reader.qualifiedName() == QLatin1String("Records")) {
            open_.push_back(int(records_.size()));
            records_.append(QStringList());
        }
        depths_.push_back(reader.qualifiedName() == QLatin1String("Records"));
    }
    void end()
    {
        if (!depths_.isEmpty() && depths_.takeLast())
            open_.pop_back();
    }
    void text(const QXmlStreamReader& reader)
    {
        if (open_.isEmpty() || reader.isCDATA() || reader.isWhitespace())
            return;
        const QString text = reader.text().toString();
        if (text.trimmed().isEmpty())
            return;
        const QString value = trimmedValue(text);
        for (const int record : std::as_const(open_))
            records_[record].append(value);
    }

private:
    QList<QStringList>& records_;
    QList<int> open_;      // the records open around the current element, outermost first
    QList<bool> depths_;   // for each open element: whether it is a record
};

// One streaming pass over the file that collects the records: no nesting deeper than the bound, no
// more text than the bound once internal entities are expanded, no external DTD or external entity
// (nothing is fetched, but a file that asks for one is not a ticket file), and well-formed.
Refusal readRecords(const QByteArray& content, QList<QStringList>& records)
{
    QXmlStreamReader reader(content);
    reader.setNamespaceProcessing(false);
    RecordCollector collector(records);
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
            collector.start(reader);
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            collector.end();
            break;
        case QXmlStreamReader::Characters:
            text += reader.text().size();
            if (text > maxText)
                return at(
                    QStringLiteral("az entitások kifejtve %1 karakternél több szöveget adnak").arg(maxText));
            collector.text(reader);
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
    if (reader.hasError())
        return at(reader.errorString());
    return {};
}

}

bool PurchaseTicketFile::load(const QString& fileName)
{
    records_.clear();
    error_.clear();
    QFile file(fileName);
    auto cannotOpen = [&] {
        error_ = QStringLiteral("A(z) \"%1\" file nem nyitható meg:\r%2").arg(fileName, fileReason(file));
        return false;
    };
    if (!file.open(QIODevice::ReadOnly))
        return cannotOpen();
    auto refuse = [&](const QString& reason, qint64 line, qint64 column) {
        records_.clear();
        error_ = QStringLiteral("A(z) \"%1\" file nem olvasható be:\r%2 (%3. sor, %4. oszlop)")
                     .arg(fileName, reason)
                     .arg(line)
                     .arg(column);
        return false;
    };
    if (file.size() > MaxFileBytes)
        return refuse(QStringLiteral("a file nagyobb %1 MB-nál").arg(MaxFileBytes / (1024 * 1024)), 1, 1);
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return cannotOpen();
    // A file that fails half way keeps nothing of what came before the failure.
    if (const Refusal refusal = readRecords(content, records_); !refusal.reason.isEmpty())
        return refuse(refusal.reason, refusal.line, refusal.column);
    return true;
}

QStringList PurchaseTicketFile::values(int record) const
{
    return records_.value(record);
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
    if (query.sqlLines().size() != 1 || query.sqlLines().front() != sql)
        query.setSql(sql);
    // The statement names its parameters p1, p2, ... in column order.
    for (int i = 0; i < ColumnCount; ++i) {
        Param& param = query.param(i);
        if (i < values.size())
            bindValue(param, Columns[i], values[i], recordNumber);
        else
            param.clear();
    }
    query.execute();
}
