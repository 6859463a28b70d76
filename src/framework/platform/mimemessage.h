// The MIME text of a mail with an optional base64 attachment, as handed to the mail transfer agent.
#pragma once

#include "platform.h"

#include <QByteArray>

// Builds the message; a header value can never break out into headers of its own (line breaks in the
// address become blanks). Returns an empty array and sets `error` when the attachment cannot be read.
QByteArray buildMimeMessage(const MailMessage& message, QString* error);
