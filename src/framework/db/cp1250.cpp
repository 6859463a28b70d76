// Table-driven code page 1250: built once from Qt's codec, then a plain lookup each way, so that a
// character outside the code page is an error instead of a silent "?".
#include "cp1250.h"
#include "dberror.h"

#include <QHash>
#include <QStringDecoder>
#include <array>

namespace {

struct Tables {
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, unsigned char> fromUnicode;

    Tables()
    {
        QStringDecoder decoder("windows-1250", QStringDecoder::Flag::Stateless);
        for (int byte = 0; byte < 256; ++byte) {
            const char c = char(byte);
            const QString s = decoder.decode(QByteArrayView(&c, 1));
            const char16_t u = s.isEmpty() ? char16_t(0xFFFD) : s.at(0).unicode();
            toUnicode[size_t(byte)] = u;
            if (u != 0xFFFD)
                fromUnicode.insert(u, static_cast<unsigned char>(byte));
        }
    }
};

const Tables& tables()
{
    static const Tables t;
    return t;
}

}

QByteArray encodeCp1250(const QString& text)
{
    const Tables& t = tables();
    QByteArray out;
    out.resize(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80) {
            out[i] = char(u);
            continue;
        }
        const auto it = t.fromUnicode.constFind(u);
        if (it == t.fromUnicode.constEnd())
            throw DbError(QStringLiteral("A(z) \"%1\" karakter nem írható a WIN1250 kódlapú adatbázisba.")
                              .arg(text.mid(i, text[i].isHighSurrogate() ? 2 : 1)));
        out[i] = char(*it);
    }
    return out;
}

QString decodeCp1250(const char* data, int size)
{
    const Tables& t = tables();
    QString out(size, Qt::Uninitialized);
    QChar* dst = out.data();
    for (int i = 0; i < size; ++i)
        dst[i] = QChar(t.toUnicode[static_cast<unsigned char>(data[i])]);
    return out;
}
