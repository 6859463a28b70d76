// The values of [name] fields while a report is laid out: system fields, columns of the current row,
// report variables, each written in the text object's format.
#pragma once

#include "reporttemplate.h"

#include <QDate>
#include <QHash>
#include <QStringList>
#include <QVariant>

class Dataset;
class Field;

// Stands in the text for the page count, which is known only when the last page is laid out.
inline constexpr QChar PageCountMarker = QChar(0xE000);

class FieldResolver {
public:
    // `dataset` (may be null) is read by column name; names found nowhere are added to `unresolved`.
    FieldResolver(const Dataset* dataset, QDate printDate, QStringList* unresolved);

    // The object's text on page `pageNumber` (from 1); [TOTALPAGES] becomes PageCountMarker.
    QString text(const TextObject& object, int pageNumber);

private:
    QString field(const QString& name, FieldFormat format, int pageNumber);
    int columnIndex(const QString& name);

    const Dataset* dataset_;
    QDate printDate_;
    QStringList* unresolved_;
    QHash<QString, int> columns_;
};

QString formatField(const Field& field, FieldFormat format);
// Texts are shown as they are (the forms write amounts as amount texts); numbers in the format.
QString formatVariable(const QVariant& value, FieldFormat format);
