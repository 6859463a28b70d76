// A dataset whose SQL text is built line by line, with named parameters :p0, :p1, ... bound as text
// (or as date or number), opened as a SELECT or executed as any other statement.
#pragma once

#include "dataset.h"

#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

class Statement;

class Param {
public:
    enum class Kind { Null, Text, Date, Decimal, Double, Integer, Bytes };

    void clear()
    {
        kind_ = Kind::Null;
        value_.clear();
    }
    // Sent as VARCHAR in WIN1250: the server converts it and reports values that do not fit the column.
    void setText(const QString& text)
    {
        kind_ = Kind::Text;
        value_ = text;
    }
    void setDate(const QDate& date);   // an invalid date binds NULL
    void setDecimal(const Decimal& value)
    {
        kind_ = Kind::Decimal;
        value_ = QVariant::fromValue(value.scaled());
    }
    void setDouble(double value)
    {
        kind_ = Kind::Double;
        value_ = value;
    }
    void setInteger(qint64 value)
    {
        kind_ = Kind::Integer;
        value_ = value;
    }
    // Raw bytes in character set OCTETS (a row's RDB$DB_KEY).
    void setBytes(const QByteArray& bytes)
    {
        kind_ = Kind::Bytes;
        value_ = bytes;
    }

    Kind kind() const { return kind_; }
    const QVariant& value() const { return value_; }

private:
    Kind kind_ = Kind::Null;
    QVariant value_;
};

// ":name" placeholders become "?"; names inside string literals, quoted identifiers and comments are
// left alone. `names` receives one entry per placeholder, in order, repeats included.
QString rewriteParameters(const QString& sql, QStringList* names);

class Query : public Dataset {
    Q_OBJECT
public:
    explicit Query(Transaction& transaction, QObject* parent = nullptr);
    ~Query() override;

    // Changing the text closes the query and forgets the parameter values.
    void clearSql();
    void addSql(const QString& line);
    void setSql(const QString& text);
    QString sql() const { return lines_.join(QLatin1Char('\n')); }
    const QStringList& sqlLines() const { return lines_; }

    QStringList paramNames() const;            // distinct, in first-use order
    Param& paramByName(const QString& name);   // case-insensitive; throws DbError when absent
    // The index-th distinct parameter in first-use order, for a statement bound row after row.
    Param& param(int index);

    // Runs a statement that returns no rows (INSERT, UPDATE, DELETE, DDL); starts the transaction when
    // it is not active. Returns the number of rows it touched.
    int execute();

    // Told of every SELECT a query opens: the text as sent ("?" for each placeholder) and the values in
    // order as text (empty for NULL). For measuring tools that run the same statements on the bare
    // engine; none by default.
    using OpenObserver = std::function<void(const QString& sql, const QStringList& values)>;
    static void setOpenObserver(OpenObserver observer);

protected:
    std::unique_ptr<Cursor> openCursor() override;

private:
    void parse() const;
    std::shared_ptr<Statement> prepared();
    // The values of the placeholders in order, repeats included.
    std::vector<const Param*> orderedValues() const;

    QStringList lines_;
    mutable bool parsed_ = false;
    mutable QString rewritten_;
    mutable QStringList placeholderNames_;
    mutable std::vector<std::pair<QString, Param>> params_;
    // For each placeholder in order, its entry in params_: found once per parse, not by name per run.
    mutable std::vector<size_t> placeholderParams_;
};
