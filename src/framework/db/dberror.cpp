// The data layer's exception type.
#include "dberror.h"

DbError::DbError(const QString& message, long gdsCode, const QString& sqlState)
    : std::runtime_error(message.toStdString()), message_(message), gdsCode_(gdsCode), sqlState_(sqlState)
{
}
