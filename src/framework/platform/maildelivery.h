// Handing a mail to the system: the MIME text to `sendmail -t -oi`, or, on a machine without a mail
// transfer agent, the same recipient, subject, body and attachment to the desktop's mail program
// through `xdg-email`.
#pragma once

#include "platform.h"

#include <QStringList>

struct MailPrograms {
    QString sendmail;   // empty: none found
    QString xdgEmail;
};

// sendmail on PATH or in the system folders where it usually lives (outside a user's PATH); xdg-email
// on PATH.
MailPrograms findMailPrograms(const QStringList& pathFolders, const QStringList& systemFolders);
MailPrograms findMailPrograms();

MailResult deliverMail(const MailMessage& message, const MailPrograms& programs);
