// The exception that ends loading or preparing a report, carrying the text the user is shown.
#pragma once

#include <QString>
#include <stdexcept>

class ReportError : public std::runtime_error {
public:
    explicit ReportError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message)
    {
    }

    QString message() const { return message_; }

private:
    QString message_;
};
