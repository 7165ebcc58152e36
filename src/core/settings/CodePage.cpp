#include "settings/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <bitset>

namespace {

constexpr const char *EncodingName = "windows-1252";

// Both tables come from the ICU converter once, so the program never
// carries a hand-written copy of the code page.
struct Tables
{
    std::array<QChar, 256> charOf{};
    std::bitset<65536> encodable;

    Tables()
    {
        QByteArray all(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        QStringDecoder decoder(EncodingName);
        const QString chars = decoder(all);
        Q_ASSERT(decoder.isValid() && chars.size() == 256);
        for (int i = 0; i < 256 && i < chars.size(); ++i) {
            charOf[i] = chars[i];
            encodable.set(chars[i].unicode());
        }
    }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

} // namespace

namespace CodePage {

QChar charForByte(unsigned char byte)
{
    return tables().charOf[byte];
}

QString decode(QByteArrayView bytes)
{
    QStringDecoder decoder(EncodingName);
    return decoder(bytes);
}

qsizetype firstUnencodable(QStringView text)
{
    const auto &ok = tables().encodable;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!ok.test(text[i].unicode()))
            return i;
    }
    return -1;
}

QByteArray encode(QStringView text)
{
    QStringEncoder encoder(EncodingName);
    return encoder(text);
}

QString characterAt(QStringView text, qsizetype position)
{
    const bool pair = text[position].isHighSurrogate() && position + 1 < text.size()
        && text[position + 1].isLowSurrogate();
    return text.mid(position, pair ? 2 : 1).toString();
}

} // namespace CodePage
