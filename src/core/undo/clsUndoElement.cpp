#include "undo/clsUndoElement.h"

#include <cstring>

UndoText::UndoText(UndoText &&other) noexcept
{
    std::memcpy(m_units, other.m_units, sizeof m_units);
    std::memset(other.m_units, 0, sizeof other.m_units);
}

UndoText &UndoText::operator=(const QString &text)
{
    release();
    assign(text);
    return *this;
}

UndoText &UndoText::operator=(const UndoText &other)
{
    if (this != &other) {
        release();
        assign(other);
    }
    return *this;
}

UndoText &UndoText::operator=(UndoText &&other) noexcept
{
    if (this != &other) {
        release();
        std::memcpy(m_units, other.m_units, sizeof m_units);
        std::memset(other.m_units, 0, sizeof other.m_units);
    }
    return *this;
}

QString *UndoText::heap() const
{
    if (m_units[InPlace] != OnHeap)
        return nullptr;
    QString *text = nullptr;
    std::memcpy(&text, m_units, sizeof text);
    return text;
}

void UndoText::assign(const QString &text)
{
    if (text.size() <= InPlace) {
        std::memcpy(m_units, text.utf16(), size_t(text.size()) * sizeof(char16_t));
        m_units[InPlace] = char16_t(text.size());
        return;
    }
    QString *copy = new QString(text);
    std::memcpy(m_units, &copy, sizeof copy);
    m_units[InPlace] = OnHeap;
}

void UndoText::assign(const UndoText &other)
{
    if (const QString *text = other.heap())
        assign(*text);
    else
        std::memcpy(m_units, other.m_units, sizeof m_units);
}

void UndoText::release()
{
    delete heap();
    std::memset(m_units, 0, sizeof m_units);
}

QString UndoText::toString() const
{
    if (const QString *text = heap())
        return *text;
    return QString(reinterpret_cast<const QChar *>(m_units), m_units[InPlace]);
}

int UndoText::size() const
{
    if (const QString *text = heap())
        return int(text->size());
    return m_units[InPlace];
}
