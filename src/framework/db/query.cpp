// SQL text built line by line, :pN parameters, open and execute.
#include "query.h"
#include "connection.h"
#include "dberror.h"
#include "faulthook.h"
#include "fbcall.h"
#include "statement.h"
#include "transaction.h"

void Param::setDate(const QDate& date)
{
    if (!date.isValid()) {
        clear();
        return;
    }
    kind_ = Kind::Date;
    value_ = date;
}

QString rewriteParameters(const QString& sql, QStringList* names)
{
    QString out;
    out.reserve(sql.size());
    const int n = sql.size();
    int i = 0;
    auto isNameStart = [](QChar c) { return c.isLetter() || c == QLatin1Char('_'); };
    auto isNameChar = [](QChar c) {
        return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
    };
    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A doubled quote inside the literal is part of it; the scan just continues past it.
            const int end = sql.indexOf(c, i + 1);
            const int stop = end < 0 ? n : end + 1;
            out += QStringView(sql).mid(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            const int end = sql.indexOf(QLatin1Char('\n'), i);
            const int stop = end < 0 ? n : end;
            out += QStringView(sql).mid(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            const int end = sql.indexOf(QLatin1String("*/"), i + 2);
            const int stop = end < 0 ? n : end + 2;
            out += QStringView(sql).mid(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char(':') && i + 1 < n && isNameStart(sql[i + 1])) {
            int j = i + 1;
            while (j < n && isNameChar(sql[j]))
                ++j;
            if (names)
                names->append(sql.mid(i + 1, j - i - 1));
            out += QLatin1Char('?');
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

Query::Query(Transaction& transaction, QObject* parent) : Dataset(transaction, parent) {}

Query::~Query() = default;

void Query::clearSql()
{
    close();
    lines_.clear();
    parsed_ = false;
}

void Query::addSql(const QString& line)
{
    close();
    lines_ << line;
    parsed_ = false;
}

void Query::setSql(const QString& text)
{
    clearSql();
    lines_ << text;
}

void Query::parse() const
{
    if (parsed_)
        return;
    placeholderNames_.clear();
    rewritten_ = rewriteParameters(sql(), &placeholderNames_);
    std::vector<std::pair<QString, Param>> params;
    for (const QString& name : std::as_const(placeholderNames_)) {
        const bool known = std::any_of(params.begin(), params.end(), [&](const auto& p) {
            return p.first.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (!known) {
            // Values survive a re-parse of the same names (a line added to an unchanged statement).
            Param value;
            for (const auto& old : params_)
                if (old.first.compare(name, Qt::CaseInsensitive) == 0)
                    value = old.second;
            params.emplace_back(name, value);
        }
    }
    params_ = std::move(params);
    placeholderParams_.clear();
    for (const QString& name : std::as_const(placeholderNames_)) {
        for (size_t i = 0; i < params_.size(); ++i) {
            if (params_[i].first.compare(name, Qt::CaseInsensitive) == 0) {
                placeholderParams_.push_back(i);
                break;
            }
        }
    }
    parsed_ = true;
}

QStringList Query::paramNames() const
{
    parse();
    QStringList names;
    for (const auto& p : params_)
        names << p.first;
    return names;
}

Param& Query::paramByName(const QString& name)
{
    parse();
    for (auto& p : params_)
        if (p.first.compare(name, Qt::CaseInsensitive) == 0)
            return p.second;
    throw DbError(QStringLiteral("%1: nincs ilyen paraméter.").arg(name));
}

Param& Query::param(int index)
{
    parse();
    if (index < 0 || index >= int(params_.size()))
        throw DbError(QStringLiteral("Nincs %1. paraméter.").arg(index + 1));
    return params_[size_t(index)].second;
}

std::shared_ptr<Statement> Query::prepared()
{
    parse();
    if (rewritten_.trimmed().isEmpty())
        throw DbError(QStringLiteral("Üres SQL utasítás."));
    Transaction& tr = transaction();
    tr.ensureActive();
    return tr.statements().acquire(tr.connection().attachment(), tr.handle(), rewritten_);
}

std::vector<const Param*> Query::orderedValues() const
{
    parse();
    std::vector<const Param*> values;
    values.reserve(placeholderParams_.size());
    for (const size_t index : placeholderParams_)
        values.push_back(&params_[index].second);
    return values;
}

namespace {

Query::OpenObserver& openObserver()
{
    static Query::OpenObserver observer;
    return observer;
}

QString valueText(const Param& param)
{
    switch (param.kind()) {
    case Param::Kind::Null: return {};
    case Param::Kind::Date: return param.value().toDate().toString(Qt::ISODate);
    case Param::Kind::Decimal:
        return Decimal::fromScaled(param.value().toLongLong()).toString(QLatin1Char('.'));
    default: return param.value().toString();
    }
}

}

void Query::setOpenObserver(OpenObserver observer)
{
    openObserver() = std::move(observer);
}

std::unique_ptr<Cursor> Query::openCursor()
{
    auto statement = prepared();
    if (!statement->isSelect())
        throw DbError(QStringLiteral("Az utasítás nem ad vissza sorokat; végrehajtani kell, nem megnyitni."));
    const std::vector<const Param*> values = orderedValues();
    if (openObserver()) {
        QStringList texts;
        for (const Param* value : values)
            texts << valueText(*value);
        openObserver()(rewritten_, texts);
    }
    return std::make_unique<Cursor>(statement, transaction().handle(), values);
}

int Query::execute()
{
    close();
    FaultHook::check(FaultHook::Point::Statement);
    auto statement = prepared();
    auto input = statement->bind(orderedValues());
    if (!statement->isSelect())
        transaction().noteWrite();
    Firebird::ITransaction* handle = transaction().handle();
    return int(fbCall([&](Firebird::ThrowStatusWrapper* st) {
        statement->handle()->execute(st, handle, input->metadata,
                                     input->buffer.empty() ? nullptr : input->buffer.data(), nullptr,
                                     nullptr);
        return statement->handle()->getAffectedRecords(st);
    }));
}
