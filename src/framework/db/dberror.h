// The one exception type of the data layer: the server's own text with its gds and SQLSTATE codes.
#pragma once

#include <QString>
#include <stdexcept>

class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message, long gdsCode = 0, const QString& sqlState = {});

    QString message() const { return message_; }
    // First gds code of the status vector (for example 335544347 for a validation error), 0 when the
    // error comes from this layer rather than from the server.
    long gdsCode() const { return gdsCode_; }
    QString sqlState() const { return sqlState_; }

private:
    QString message_;
    long gdsCode_;
    QString sqlState_;
};
