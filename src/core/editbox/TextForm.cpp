#include "editbox/TextForm.h"

QString TextForm::breakText(LineBreak lineBreak)
{
    switch (lineBreak) {
    case LineBreak::None: return {};
    case LineBreak::CrLf: return QStringLiteral("\r\n");
    case LineBreak::Lf: return QStringLiteral("\n");
    case LineBreak::Cr: return QStringLiteral("\r");
    }
    return {};
}

QString TextForm::name(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Windows1252: return QStringLiteral("Windows-1252");
    case Encoding::Utf8: return QStringLiteral("UTF-8");
    case Encoding::Utf8Bom: return QStringLiteral("UTF-8 with BOM");
    }
    return {};
}

QString TextForm::name(LineBreak lineBreak)
{
    switch (lineBreak) {
    case LineBreak::None: return QStringLiteral("none");
    case LineBreak::CrLf: return QStringLiteral("CR LF");
    case LineBreak::Lf: return QStringLiteral("LF");
    case LineBreak::Cr: return QStringLiteral("CR");
    }
    return {};
}

QString TextForm::describe() const
{
    return name(encoding) + QStringLiteral(", ") + name(lineBreak);
}

TextForm TextForm::withLineBreak(LineBreak to) const
{
    TextForm form = *this;
    form.lineBreak = to;
    if (form.finalBreak != LineBreak::None)
        form.finalBreak = to;
    return form;
}

qint8 TextForm::packed() const
{
    return qint8(int(encoding) * 16 + int(lineBreak) * 4 + int(finalBreak));
}

TextForm TextForm::unpacked(qint8 packed)
{
    TextForm form;
    form.encoding = Encoding((packed / 16) % 3);
    form.lineBreak = LineBreak((packed / 4) % 4);
    form.finalBreak = LineBreak(packed % 4);
    return form;
}

namespace LineBreaks {

QString convert(QStringView text, TextForm::LineBreak lineBreak)
{
    const QString to = TextForm::breakText(lineBreak);
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += to;
        } else if (c == u'\n') {
            out += to;
        } else {
            out += c;
        }
    }
    return out;
}

TextForm::LineBreak mostCommon(QStringView text, TextForm::LineBreak extra)
{
    qsizetype crLf = extra == TextForm::LineBreak::CrLf;
    qsizetype lf = extra == TextForm::LineBreak::Lf;
    qsizetype cr = extra == TextForm::LineBreak::Cr;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++crLf;
                ++i;
            } else {
                ++cr;
            }
        } else if (text[i] == u'\n') {
            ++lf;
        }
    }
    if (lf > crLf && lf >= cr)
        return TextForm::LineBreak::Lf;
    if (cr > crLf && cr > lf)
        return TextForm::LineBreak::Cr;
    return TextForm::LineBreak::CrLf;
}

qsizetype convertedPosition(QStringView text, qsizetype position, TextForm::LineBreak lineBreak)
{
    const qsizetype width = TextForm::breakText(lineBreak).size();
    qsizetype converted = 0;
    for (qsizetype i = 0; i < position && i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            if (i + 1 == position)
                break; // inside the pair: before it
            ++i;
            converted += width;
        } else if (text[i] == u'\r' || text[i] == u'\n') {
            converted += width;
        } else {
            ++converted;
        }
    }
    return converted;
}

} // namespace LineBreaks
