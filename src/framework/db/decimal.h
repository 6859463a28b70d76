// Exact NUMERIC(18,4) values: a 64-bit integer counting ten-thousandths.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class Decimal {
public:
    static constexpr int Scale = 4;
    static constexpr std::int64_t Unit = 10000;

    constexpr Decimal() = default;
    static constexpr Decimal fromScaled(std::int64_t scaled)
    {
        Decimal d;
        d.scaled_ = scaled;
        return d;
    }
    // A value of another scale (as the server sends NUMERIC(p,s) columns), rounded half away from zero.
    static Decimal fromScaled(std::int64_t value, int scale);
    // Rounded half away from zero to four decimals.
    static Decimal fromDouble(double value);
    // Plain decimal text with "," or "." as the separator, an optional sign, no grouping.
    // Empty or malformed text gives nullopt.
    static std::optional<Decimal> parse(const QString& text);

    std::int64_t scaled() const { return scaled_; }
    double toDouble() const { return double(scaled_) / double(Unit); }
    // Plain decimal text without trailing zeros and without grouping: "0,3", "12", "-1234,5".
    QString toString(QChar decimalSeparator = QLatin1Char(',')) const;

    friend Decimal operator+(Decimal a, Decimal b) { return fromScaled(a.scaled_ + b.scaled_); }
    friend Decimal operator-(Decimal a, Decimal b) { return fromScaled(a.scaled_ - b.scaled_); }
    friend bool operator==(Decimal a, Decimal b) = default;
    friend auto operator<=>(Decimal a, Decimal b) = default;

private:
    std::int64_t scaled_ = 0;
};
