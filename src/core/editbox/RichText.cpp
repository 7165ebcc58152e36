#include "editbox/RichText.h"

#include "settings/CodePage.h"

namespace {

const QString Header = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}"
    "\\uc1\\pard\\f0\\fs20 ");
const QString Tail = QStringLiteral("\\par\r\n}\r\n") + QChar(0);

const char HexDigits[] = "0123456789abcdef";

void appendHexEscape(QString &out, unsigned byte)
{
    out += QLatin1String("\\'");
    out += QLatin1Char(HexDigits[byte >> 4]);
    out += QLatin1Char(HexDigits[byte & 0xf]);
}

// Byte of a character that Windows-1252 holds, or -1.
int byteOf(QChar c)
{
    if (c.unicode() < 0x80)
        return c.unicode();
    if (CodePage::firstUnencodable(QStringView(&c, 1)) >= 0)
        return -1;
    const QByteArray b = CodePage::encode(QStringView(&c, 1));
    return b.size() == 1 ? static_cast<unsigned char>(b[0]) : -1;
}

} // namespace

namespace RichText {

void appendEscaped(QString &out, QStringView plain)
{
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const QChar c = plain[i];
        const char16_t u = c.unicode();
        if (u == '\r' && i + 1 < plain.size() && plain[i + 1] == u'\n') {
            ++i;
            out += QLatin1String("\\par\r\n");
        } else if (u == '\r') {
            // A lone CR is a line end of its own, kept as it is.
            appendHexEscape(out, 0x0d);
        } else if (u == '\\' || u == '{' || u == '}') {
            out += QLatin1Char('\\');
            out += c;
        } else if (u >= 0x20 && u < 0x7f) {
            out += c;
        } else if (const int byte = byteOf(c); byte >= 0) {
            appendHexEscape(out, unsigned(byte));
        } else {
            // \uc1: one fallback character follows each \u.
            out += QLatin1String("\\u") + QString::number(qint16(u)) + QLatin1Char('?');
        }
    }
}

QString fromPlain(QStringView plain)
{
    QString out;
    out.reserve(Header.size() + plain.size() + plain.size() / 8 + Tail.size());
    out += Header;
    appendEscaped(out, plain);
    out += Tail;
    return out;
}

bool isRichText(QStringView text)
{
    return text.startsWith(QLatin1String("{\\rtf"));
}

QString toPlain(QStringView rtf)
{
    if (!isRichText(rtf))
        return rtf.toString();

    QString out;
    out.reserve(rtf.size());
    int depth = 0;
    int skipDepth = 0;      // inside a group that holds no text (font table...)
    int fallbackChars = 1;  // \ucN
    int pendingSkip = 0;    // fallback characters still to drop after \u
    bool endsWithPar = false;

    auto put = [&](QStringView s) {
        if (skipDepth)
            return;
        if (pendingSkip > 0) {
            --pendingSkip;
            return;
        }
        out += s;
        endsWithPar = false;
    };

    const qsizetype n = rtf.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = rtf[i];
        if (c == u'{') {
            ++depth;
            ++i;
            // Groups of header information hold no document text.
            static const QLatin1String destinations[] = {
                QLatin1String("\\*"), QLatin1String("\\fonttbl"), QLatin1String("\\colortbl"),
                QLatin1String("\\stylesheet"), QLatin1String("\\info"), QLatin1String("\\pict"),
                QLatin1String("\\header"), QLatin1String("\\footer"), QLatin1String("\\generator"),
            };
            if (!skipDepth) {
                for (const auto &d : destinations) {
                    if (rtf.mid(i).startsWith(d)) {
                        skipDepth = depth;
                        break;
                    }
                }
            }
            continue;
        }
        if (c == u'}') {
            if (skipDepth == depth)
                skipDepth = 0;
            --depth;
            ++i;
            continue;
        }
        if (c == u'\r' || c == u'\n' || c == QChar(0)) {
            ++i;
            continue;
        }
        if (c != u'\\') {
            put(rtf.mid(i, 1));
            ++i;
            continue;
        }
        // A control symbol or a control word.
        ++i;
        if (i >= n)
            break;
        const QChar s = rtf[i];
        if (s == u'\\' || s == u'{' || s == u'}') {
            put(rtf.mid(i, 1));
            ++i;
            continue;
        }
        if (s == u'\'') {
            bool ok = false;
            const uint byte = rtf.mid(i + 1, 2).toUInt(&ok, 16);
            i += 3;
            if (ok) {
                const QChar ch = CodePage::charForByte(static_cast<unsigned char>(byte));
                put(QStringView(&ch, 1));
            }
            continue;
        }
        if (s == u'~') {
            const QChar nbsp(0xa0);
            put(QStringView(&nbsp, 1));
            ++i;
            continue;
        }
        if (!s.isLetter() || s.unicode() > 0x7f) {
            ++i; // other control symbols carry no text
            continue;
        }
        const qsizetype wordStart = i;
        while (i < n && rtf[i].unicode() < 0x80 && rtf[i].isLetter())
            ++i;
        const QStringView word = rtf.mid(wordStart, i - wordStart);
        qsizetype numStart = i;
        if (i < n && rtf[i] == u'-')
            ++i;
        while (i < n && rtf[i].isDigit())
            ++i;
        const bool hasNumber = i > numStart && !(i == numStart + 1 && rtf[numStart] == u'-');
        const int number = hasNumber ? rtf.mid(numStart, i - numStart).toInt() : 0;
        if (i < n && rtf[i] == u' ')
            ++i;

        if (word == QLatin1String("par")) {
            if (!skipDepth) {
                out += QLatin1String("\r\n");
                endsWithPar = true;
            }
        } else if (word == QLatin1String("line")) {
            put(u"\n");
        } else if (word == QLatin1String("tab")) {
            put(u"\t");
        } else if (word == QLatin1String("uc")) {
            fallbackChars = number;
        } else if (word == QLatin1String("u") && hasNumber) {
            const QChar ch(char16_t(number < 0 ? number + 65536 : number));
            put(QStringView(&ch, 1));
            if (!skipDepth)
                pendingSkip = fallbackChars;
        }
    }
    if (endsWithPar)
        out.chop(2);
    return out;
}

} // namespace RichText
