// The export's row sources.
#include "exportsources.h"

#include "dataset.h"
#include "formats.h"
#include "query.h"
#include "statement.h"

#include <cstring>

ExportColumn exportColumn(const ColumnInfo& info, const QString& title)
{
    switch (info.type) {
    case FieldType::Integer: return {title, ExportColumn::Kind::Number, 0};
    case FieldType::Decimal:
        return {title, ExportColumn::Kind::Number, info.scale == 0 ? 0 : info.scale <= 2 ? 2 : 3};
    case FieldType::Double: return {title, ExportColumn::Kind::Number, 2};
    case FieldType::Date: return {title, ExportColumn::Kind::Date, 0};
    default: return {title, ExportColumn::Kind::Text, 0};
    }
}

QVariant exportCell(const Field& field)
{
    if (field.isNull())
        return {};
    switch (field.type()) {
    case FieldType::Integer:
    case FieldType::Decimal:
    case FieldType::Double: return field.asFloat();
    case FieldType::Date: return field.asDate();
    default: return field.asString();
    }
}

DatasetRows::DatasetRows(Dataset* dataset, const QList<ExportField>& fields) : dataset_(dataset)
{
    for (const ExportField& field : fields) {
        const int index = dataset && dataset->isOpen() ? dataset->columnIndex(field.field) : -1;
        indexes_.append(index);
        columns_.append(index >= 0 ? exportColumn(dataset->column(index), field.title)
                                   : ExportColumn{field.title});
    }
}

bool DatasetRows::nextBlock(int count, QList<ExportRow>& rows)
{
    if (!dataset_ || !dataset_->isOpen())
        return false;
    for (int taken = 0; taken < count; ++taken) {
        while (next_ >= dataset_->fetchedCount())
            if (dataset_->allFetched() || !dataset_->fetchMore())
                return false;
        ExportRow row;
        for (int index : std::as_const(indexes_))
            row.append(index >= 0 ? exportCell(dataset_->fieldAt(next_, index)) : QVariant());
        rows.append(row);
        ++next_;
    }
    return dataset_->fetchedCount() > next_ || !dataset_->allFetched();
}

namespace {

// A query whose cursor the export reads itself instead of letting the dataset keep the rows.
class StreamQuery : public Query {
public:
    using Query::Query;
    std::unique_ptr<Cursor> cursor() { return openCursor(); }
};

// A field of a packed row: a table of 16-bit offsets (0xFFFF for NULL), then the values.
Field packedField(const std::vector<ColumnInfo>& columns, const QByteArray& packed, int column)
{
    quint16 offset = 0;
    std::memcpy(&offset, packed.constData() + column * sizeof(quint16), sizeof offset);
    return Field(&columns[size_t(column)], offset == 0xFFFF ? nullptr : packed.constData() + offset);
}

}

QueryStreamRows::QueryStreamRows(Query& query, const QList<ExportField>& fields)
{
    auto stream = std::make_unique<StreamQuery>(query.transaction());
    stream->setSql(query.sql());
    for (const QString& name : query.paramNames())
        stream->paramByName(name) = query.paramByName(name);
    cursor_ = stream->cursor();
    query_ = std::move(stream);
    const std::vector<ColumnInfo>& columns = cursor_->columns();
    for (const ExportField& field : fields) {
        int index = -1;
        for (size_t i = 0; i < columns.size(); ++i)
            if (columns[i].name.compare(field.field, Qt::CaseInsensitive) == 0)
                index = int(i);
        indexes_.append(index);
        columns_.append(index >= 0 ? exportColumn(columns[size_t(index)], field.title)
                                   : ExportColumn{field.title});
    }
}

QueryStreamRows::~QueryStreamRows() = default;

bool QueryStreamRows::nextBlock(int count, QList<ExportRow>& rows)
{
    if (!cursor_)
        return false;
    QByteArray packed;
    for (int taken = 0; taken < count; ++taken) {
        if (!cursor_->fetch(packed)) {
            cursor_.reset();
            return false;
        }
        ExportRow row;
        row.reserve(indexes_.size());
        for (int index : std::as_const(indexes_))
            row.append(index >= 0 ? exportCell(packedField(cursor_->columns(), packed, index)) : QVariant());
        rows.append(row);
    }
    return true;
}
