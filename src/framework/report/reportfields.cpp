// Field values and their formats.
#include "reportfields.h"

#include "dataset.h"
#include "formats.h"
#include "reportvariables.h"

namespace {

const QString PageNumberName = QStringLiteral("PAGE#");
const QString PageCountName = QStringLiteral("TOTALPAGES");
const QString PrintDateName = QStringLiteral("DATE");

QString formatNumber(double value, FieldFormat format)
{
    switch (format) {
    case FieldFormat::Amount2: return Formats::formatAmount(value, 2);
    case FieldFormat::Amount3: return Formats::formatAmount(value, 3);
    default: return Formats::formatGeneral(value);
    }
}

}

FieldResolver::FieldResolver(const Dataset* dataset, QDate printDate, QStringList* unresolved)
    : dataset_(dataset), printDate_(printDate), unresolved_(unresolved)
{
}

QString FieldResolver::text(const TextObject& object, int pageNumber)
{
    if (object.segments.size() == 1 && object.segments.front().isField)
        return field(object.segments.front().text, object.format, pageNumber);
    QString result;
    for (const TextSegment& segment : object.segments)
        result += segment.isField ? field(segment.text, object.format, pageNumber) : segment.text;
    return result;
}

QString FieldResolver::field(const QString& name, FieldFormat format, int pageNumber)
{
    if (name.compare(PageNumberName, Qt::CaseInsensitive) == 0)
        return QString::number(pageNumber);
    if (name.compare(PageCountName, Qt::CaseInsensitive) == 0)
        return QString(PageCountMarker);
    if (name.compare(PrintDateName, Qt::CaseInsensitive) == 0)
        return Formats::formatDate(printDate_);

    const int column = columnIndex(name);
    if (column >= 0)
        return formatField(dataset_->field(column), format);

    const QVariant value = reportVariables().value(name);
    if (!value.isValid() && unresolved_ && !unresolved_->contains(name, Qt::CaseInsensitive))
        unresolved_->append(name);
    return formatVariable(value, format);
}

int FieldResolver::columnIndex(const QString& name)
{
    if (!dataset_ || !dataset_->isOpen())
        return -1;
    auto found = columns_.constFind(name);
    if (found == columns_.constEnd())
        found = columns_.insert(name, dataset_->columnIndex(name));
    return *found;
}

QString formatField(const Field& field, FieldFormat format)
{
    if (field.isNull())
        return QString();
    switch (format) {
    case FieldFormat::Text: return field.asString();
    case FieldFormat::Date:
        if (field.type() == FieldType::Date || field.type() == FieldType::Timestamp)
            return Formats::formatDate(field.asDate());
        return field.asString();
    default:
        if (field.type() == FieldType::Text)
            return field.asString();
        return formatNumber(field.asFloat(), format);
    }
}

QString formatVariable(const QVariant& value, FieldFormat format)
{
    if (!value.isValid() || value.isNull())
        return QString();
    if (value.typeId() == QMetaType::Double)
        return formatNumber(value.toDouble(), format);
    return value.toString();
}
