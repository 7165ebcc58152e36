#include "gui/editbox/SystemClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

const QString RtfType = QStringLiteral("text/rtf");
const QString TextType = QStringLiteral("text/plain");

} // namespace

QString SystemClipboard::toDesktop(const QString &text)
{
#ifdef Q_OS_WIN
    return text;
#else
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return out;
#endif
}

QString SystemClipboard::fromDesktop(const QString &text)
{
#ifdef Q_OS_WIN
    return text;
#else
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\n' && (i == 0 || text[i - 1] != u'\r'))
            out += u'\r';
        out += c;
    }
    return out;
#endif
}

void SystemClipboard::Clear()
{
    QGuiApplication::clipboard()->clear();
}

void SystemClipboard::SetText(const QString &text, Format format)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    auto *data = new QMimeData;
    // Keep the other flavour that is already there.
    if (const QMimeData *old = clipboard->mimeData()) {
        if (format == Format::RichText && old->hasText())
            data->setText(old->text());
        if (format == Format::Text && old->hasFormat(RtfType))
            data->setData(RtfType, old->data(RtfType));
    }
    if (format == Format::RichText)
        data->setData(RtfType, text.toLatin1());
    else
        data->setText(toDesktop(text));
    clipboard->setMimeData(data);
}

QString SystemClipboard::GetText(Format format) const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return {};
    if (format == Format::RichText)
        return data->hasFormat(RtfType) ? QString::fromLatin1(data->data(RtfType)) : QString();
    return data->hasText() ? fromDesktop(data->text()) : QString();
}
