// Building the MIME text of a mail: plain UTF-8 body and one base64 attachment.
#include "mimemessage.h"
#include "failurereason.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>

namespace {

// Base64 in lines of 76 characters, as mail requires; lines end in LF, the local form that sendmail
// takes on its input.
QByteArray base64Lines(const QByteArray& data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray lines;
    lines.reserve(encoded.size() + encoded.size() / 76 * 2 + 2);
    for (qsizetype at = 0; at < encoded.size(); at += 76)
        lines += encoded.mid(at, 76) + "\n";
    return lines;
}

bool isPlainAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    return true;
}

// A header value as an RFC 2047 encoded word unless it is plain printable ASCII.
QByteArray headerText(const QString& text)
{
    if (isPlainAscii(text))
        return text.toLatin1();
    return "=?UTF-8?B?" + text.toUtf8().toBase64() + "?=";
}

QByteArray singleLine(const QString& text)
{
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line.trimmed().toUtf8();
}

// The attachment's file name parameter (RFC 2231 for names that are not plain ASCII).
QByteArray fileNameParameter(const QString& name)
{
    if (isPlainAscii(name) && !name.contains(QLatin1Char('"')) && !name.contains(QLatin1Char('\\')))
        return "filename=\"" + name.toLatin1() + "\"";
    return "filename*=UTF-8''" + name.toUtf8().toPercentEncoding();
}

}

QByteArray buildMimeMessage(const MailMessage& message, QString* error)
{
    QByteArray attachment;
    if (!message.attachmentPath.isEmpty()) {
        QFile file(message.attachmentPath);
        if (!file.open(QIODevice::ReadOnly)) {
            if (error)
                *error = message.attachmentPath + QStringLiteral(": ") + fileReason(file);
            return {};
        }
        attachment = file.readAll();
    }

    const QByteArray boundary = "=_varnel_" + QUuid::createUuid().toByteArray(QUuid::Id128);
    QByteArray mime;
    mime += "To: " + singleLine(message.to) + "\n";
    mime += "Subject: " + headerText(message.subject) + "\n";
    mime += "MIME-Version: 1.0\n";
    mime += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\n\n";
    mime += "--" + boundary + "\n";
    mime += "Content-Type: text/plain; charset=UTF-8\n";
    mime += "Content-Transfer-Encoding: base64\n\n";
    mime += base64Lines(message.body.toUtf8());
    if (!message.attachmentPath.isEmpty()) {
        const QString name = QFileInfo(message.attachmentPath).fileName();
        mime += "--" + boundary + "\n";
        mime += "Content-Type: application/octet-stream\n";
        mime += "Content-Transfer-Encoding: base64\n";
        mime += "Content-Disposition: attachment; " + fileNameParameter(name) + "\n\n";
        mime += base64Lines(attachment);
    }
    mime += "--" + boundary + "--\n";
    return mime;
}
