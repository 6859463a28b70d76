// Text column widths parsed once from schema.sql.
#include "columnwidths.h"
#include "dberror.h"
#include "schemasql.h"

#include <QHash>
#include <QLineEdit>
#include <QRegularExpression>

namespace {

QString key(const QString& table, const QString& column)
{
    return table.toUpper() + QLatin1Char('.') + column.toUpper();
}

QHash<QString, int> parseWidths()
{
    QHash<QString, int> widths;
    static const QRegularExpression createTable(QStringLiteral("^CREATE TABLE (\\w+)"),
                                                QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression textColumn(QStringLiteral("^\\s+(\\w+)\\s+VARCHAR\\((\\d+)\\)"),
                                               QRegularExpression::CaseInsensitiveOption);
    QString table;
    const QStringList lines = QString::fromUtf8(schemaSql()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (const auto match = createTable.match(line); match.hasMatch())
            table = match.captured(1);
        else if (const auto column = textColumn.match(line); column.hasMatch() && !table.isEmpty())
            widths.insert(key(table, column.captured(1)), column.captured(2).toInt());
        else if (line.startsWith(QLatin1Char(')')))
            table.clear();
    }
    return widths;
}

}

int columnWidth(const QString& table, const QString& column)
{
    static const QHash<QString, int> widths = parseWidths();
    return widths.value(key(table, column));
}

void limitToColumn(QLineEdit* box, const QString& table, const QString& column)
{
    if (const int width = columnWidth(table, column); width > 0)
        box->setMaxLength(width);
}

void requireFits(const QString& table, const QString& column, const QString& text)
{
    const int width = columnWidth(table, column);
    if (width > 0 && text.size() > width)
        throw DbError(
            QStringLiteral("A(z) %1 mező legfeljebb %2 karaktert fogad el, a beírt szöveg %3 karakteres.")
                .arg(column.toUpper())
                .arg(width)
                .arg(text.size()));
}
