// The one exception type of the data layer: the server's own text with its gds and SQLSTATE codes.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <stdexcept>

class DbError : public std::runtime_error {
public:
    // One gds code of the server's status vector with the texts given as its arguments (for an
    // exception raised in a trigger: isc_except, then isc_random with its name, then the message).
    struct StatusItem {
        long code = 0;
        QStringList texts;
    };

    explicit DbError(const QString& message, long gdsCode = 0, const QString& sqlState = {},
                     QList<StatusItem> status = {});

    QString message() const { return message_; }
    // First gds code of the status vector (for example 335544347 for a validation error), 0 when the
    // error comes from this layer rather than from the server.
    long gdsCode() const { return gdsCode_; }
    QString sqlState() const { return sqlState_; }
    // The status vector's codes in order, each with its text arguments; empty for this layer's errors.
    const QList<StatusItem>& status() const { return status_; }

private:
    QString message_;
    long gdsCode_;
    QString sqlState_;
    QList<StatusItem> status_;
};
