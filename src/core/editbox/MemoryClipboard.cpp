#include "editbox/MemoryClipboard.h"

void MemoryClipboard::Clear()
{
    m_text.clear();
    m_rich.clear();
}

void MemoryClipboard::SetText(const QString &text, Format format)
{
    (format == Format::RichText ? m_rich : m_text) = text;
}

QString MemoryClipboard::GetText(Format format) const
{
    return format == Format::RichText ? m_rich : m_text;
}
