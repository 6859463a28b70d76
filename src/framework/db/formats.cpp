// The process-wide number and date formats.
#include "formats.h"

#include <QRegularExpression>
#include <cmath>

namespace {

struct Settings {
    QString dateFormat = QStringLiteral("yyyy.MM.dd");
    QChar thousands = QChar(0x00A0);
    // Position of year, month and day in a typed date (0, 1, 2).
    int yearPos = 0, monthPos = 1, dayPos = 2;
};

Settings& settings()
{
    static Settings s;
    return s;
}

// "20250616" (or "16062025") as the parts of the short date format: four digits of the year, two of
// the month and two of the day, in the format's order.
QStringList splitDigitsDate(const QString& digits)
{
    const Settings& s = settings();
    QStringList parts(3);
    int at = 0;
    for (int position = 0; position < 3; ++position) {
        const int width = position == s.yearPos ? 4 : 2;
        parts[position] = digits.mid(at, width);
        at += width;
    }
    return parts;
}

}

namespace Formats {

void initialise(const QLocale& systemLocale)
{
    Settings s;
    const bool posix = systemLocale.language() == QLocale::C;
    const QLocale locale = posix ? QLocale(QLocale::Hungarian, QLocale::Hungary) : systemLocale;
    const QString pattern = locale.dateFormat(QLocale::ShortFormat).toLower();
    const int y = pattern.indexOf(QLatin1Char('y'));
    const int m = pattern.indexOf(QLatin1Char('m'));
    const int d = pattern.indexOf(QLatin1Char('d'));
    QList<std::pair<int, char>> order{{y, 'y'}, {m, 'm'}, {d, 'd'}};
    if (y >= 0 && m >= 0 && d >= 0)
        std::sort(order.begin(), order.end());
    else
        order = {{0, 'y'}, {1, 'm'}, {2, 'd'}};
    QStringList parts;
    for (int i = 0; i < 3; ++i) {
        switch (order[i].second) {
        case 'y':
            parts << QStringLiteral("yyyy");
            s.yearPos = i;
            break;
        case 'm':
            parts << QStringLiteral("MM");
            s.monthPos = i;
            break;
        default:
            parts << QStringLiteral("dd");
            s.dayPos = i;
            break;
        }
    }
    s.dateFormat = parts.join(QLatin1Char('.'));
    s.thousands = locale.groupSeparator().isEmpty() ? QChar(0x00A0) : locale.groupSeparator().at(0);
    if (s.thousands == QLatin1Char(','))   // the decimal separator is fixed to ",": keep them apart
        s.thousands = QLatin1Char('.');
    settings() = s;
}

QChar decimalSeparator()
{
    return QLatin1Char(',');
}
QChar dateSeparator()
{
    return QLatin1Char('.');
}
QChar thousandsSeparator()
{
    return settings().thousands;
}
QString shortDateFormat()
{
    return settings().dateFormat;
}

QString formatDate(const QDate& date)
{
    return date.isValid() ? date.toString(settings().dateFormat) : QString();
}

std::optional<QDate> parseDate(const QString& input)
{
    QString text = input.trimmed();
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    const QStringList parts = text.size() == 8 && !text.contains(QLatin1Char('.'))
                                  ? splitDigitsDate(text)
                                  : text.split(QLatin1Char('.'));
    if (parts.size() != 3)
        return std::nullopt;
    int values[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const QString part = parts[i].trimmed();
        values[i] = part.toInt(&ok);
        if (!ok || part.isEmpty() || part.size() > 4)
            return std::nullopt;
    }
    const Settings& s = settings();
    int year = values[s.yearPos];
    if (parts[s.yearPos].trimmed().size() <= 2)
        year += year < 50 ? 2000 : 1900;
    const QDate date(year, values[s.monthPos], values[s.dayPos]);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString formatAmount(double value, int decimals)
{
    if (!std::isfinite(value))
        return QString::number(value);
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e10) {
        QString text = QString::number(value, 'E', 9);
        const int e = text.indexOf(QLatin1Char('E'));
        QString mantissa = text.left(e);
        while (mantissa.endsWith(QLatin1Char('0')))
            mantissa.chop(1);
        if (mantissa.endsWith(QLatin1Char('.')))
            mantissa.chop(1);
        const int exponent = text.mid(e + 1).toInt();
        return mantissa.replace(QLatin1Char('.'), QLatin1Char(',')) + QStringLiteral("E+") +
               QString::number(exponent);
    }
    // At most ten significant digits: the digits before the point take their share first.
    const int before = magnitude < 1 ? 1 : int(std::floor(std::log10(magnitude))) + 1;
    const int kept = std::clamp(10 - before, 0, decimals);
    const double factor = std::pow(10.0, kept);
    const double rounded = std::round(value * factor) / factor;
    QString text = QString::number(std::fabs(rounded), 'f', decimals);
    const int point = text.indexOf(QLatin1Char('.'));
    QString whole = point < 0 ? text : text.left(point);
    const QString fraction = point < 0 ? QString() : text.mid(point + 1);
    for (int i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, settings().thousands);
    QString result = fraction.isEmpty() ? whole : whole + QLatin1Char(',') + fraction;
    if (rounded < 0)
        result.prepend(QLatin1Char('-'));
    return result;
}

QString formatGeneral(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    QString text = QString::number(value, 'g', 15);
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

std::optional<double> parseNumber(const QString& input)
{
    QString text = input.trimmed();
    text.remove(QLatin1Char(' '));
    text.remove(QChar(0x00A0));
    text.remove(QChar(0x202F));
    if (settings().thousands != QLatin1Char('.'))
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    else
        text.remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

}
