// Exact NUMERIC(18,4) arithmetic and text.
#include "decimal.h"

#include <cmath>

Decimal Decimal::fromScaled(std::int64_t value, int scale)
{
    // `scale` counts decimals of `value`; bring it to four, rounding half away from zero.
    if (scale == Scale)
        return fromScaled(value);
    if (scale < Scale) {
        std::int64_t factor = 1;
        for (int i = scale; i < Scale; ++i)
            factor *= 10;
        return fromScaled(value * factor);
    }
    std::int64_t divisor = 1;
    for (int i = Scale; i < scale; ++i)
        divisor *= 10;
    std::int64_t quotient = value / divisor;
    std::int64_t remainder = value % divisor;
    if (2 * (remainder < 0 ? -remainder : remainder) >= divisor)
        quotient += value < 0 ? -1 : 1;
    return fromScaled(quotient);
}

Decimal Decimal::fromDouble(double value)
{
    return fromScaled(std::int64_t(std::llround(value * double(Unit))));
}

std::optional<Decimal> Decimal::parse(const QString& input)
{
    const QString text = input.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    int i = 0;
    bool negative = false;
    if (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('+')) {
        negative = text[0] == QLatin1Char('-');
        ++i;
    }
    std::int64_t whole = 0;
    std::int64_t fraction = 0;
    int fractionDigits = 0;
    bool seenDigit = false;
    bool seenSeparator = false;
    bool roundUp = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128) {
            const int digit = c.unicode() - '0';
            seenDigit = true;
            if (!seenSeparator) {
                if (whole > (INT64_MAX / Unit - digit) / 10)
                    return std::nullopt;
                whole = whole * 10 + digit;
            } else if (fractionDigits < Scale) {
                fraction = fraction * 10 + digit;
                ++fractionDigits;
            } else if (fractionDigits == Scale) {
                roundUp = digit >= 5;
                ++fractionDigits;
            }
        } else if ((c == QLatin1Char(',') || c == QLatin1Char('.')) && !seenSeparator) {
            seenSeparator = true;
        } else {
            return std::nullopt;
        }
    }
    if (!seenDigit)
        return std::nullopt;
    for (int d = std::min(fractionDigits, int(Scale)); d < Scale; ++d)
        fraction *= 10;
    std::int64_t scaled = whole * Unit + fraction + (roundUp ? 1 : 0);
    return fromScaled(negative ? -scaled : scaled);
}

QString Decimal::toString(QChar decimalSeparator) const
{
    const bool negative = scaled_ < 0;
    const std::uint64_t magnitude =
        negative ? std::uint64_t(0) - std::uint64_t(scaled_) : std::uint64_t(scaled_);
    QString text = QString::number(magnitude / Unit);
    std::uint64_t fraction = magnitude % Unit;
    if (fraction != 0) {
        QString digits = QString::number(fraction).rightJustified(Scale, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        text += decimalSeparator + digits;
    }
    return negative ? QLatin1Char('-') + text : text;
}
