// The process-wide number and date formats: decimal comma, "." between date parts, the order of the
// date parts and the thousands separator taken from the system locale at start-up.
#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <optional>

namespace Formats {

// Fixes the separators: decimal ",", date ".", short date with two-digit day and month and a
// four-digit year in the locale's order (a C or POSIX locale counts as Hungarian: yyyy.MM.dd), the
// thousands separator of the locale. Called once at start-up; before that the Hungarian settings hold.
void initialise(const QLocale& systemLocale);

QChar decimalSeparator();     // always ','
QChar dateSeparator();        // always '.'
QChar thousandsSeparator();   // from the locale
QString shortDateFormat();    // a QDate format string such as "yyyy.MM.dd" or "dd.MM.yyyy"

QString formatDate(const QDate& date);   // empty for an invalid date
// Parses a date typed in the short date format; one-digit day or month and a two-digit year are taken
// as well (a two-digit year means 20xx below 50, 19xx otherwise), and so are the eight digits of the
// format without its dots ("20250616"). nullopt when it is not a date.
std::optional<QDate> parseDate(const QString& text);

// Amount text: rounded to at most ten significant digits, thousands grouped, exactly `decimals`
// decimals; more than ten digits before the decimal point gives scientific notation.
QString formatAmount(double value, int decimals);
// General number format: up to 15 significant digits, decimal comma, no grouping, no trailing zeros.
QString formatGeneral(double value);
// A number typed by the user: "," or "." as the decimal separator, blanks and the thousands separator
// ignored. nullopt when it is not a number.
std::optional<double> parseNumber(const QString& text);

}
