// The data layer's exception type.
#include "dberror.h"

DbError::DbError(const QString& message, long gdsCode, const QString& sqlState, QList<StatusItem> status)
    : std::runtime_error(message.toStdString()), message_(message), gdsCode_(gdsCode), sqlState_(sqlState),
      status_(std::move(status))
{
}
