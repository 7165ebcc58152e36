#include "editbox/MemoryEditBox.h"

#include "editbox/VirtualKey.h"

namespace {

// Whether a position between these two characters would part a line break
// or a surrogate pair.
bool splits(QChar before, QChar after)
{
    return (before == u'\r' && after == u'\n') || (before.isHighSurrogate() && after.isLowSurrogate());
}

} // namespace

MemoryEditBox::MemoryEditBox(Clipboard &clipboard, int visibleLines)
    : EditBox(clipboard), m_visibleLines(qMax(1, visibleLines))
{
}

void MemoryEditBox::setText(QString text)
{
    m_text = std::move(text);
    m_start = 0;
    m_length = 0;
    m_firstVisible = 0;
    raiseChange();
}

int MemoryEditBox::snapStart(int position) const
{
    position = qBound(0, position, int(m_text.size()));
    if (position > 0 && position < m_text.size() && splits(m_text[position - 1], m_text[position]))
        --position;
    return position;
}

int MemoryEditBox::snapEnd(int position) const
{
    position = qBound(0, position, int(m_text.size()));
    if (position > 0 && position < m_text.size() && splits(m_text[position - 1], m_text[position]))
        ++position;
    return position;
}

void MemoryEditBox::select(int start, int end)
{
    m_start = snapStart(start);
    m_length = end <= start ? 0 : qMax(m_start, snapEnd(end)) - m_start;
    showCaret();
}

void MemoryEditBox::setSelStart(int position)
{
    select(position, position);
}

void MemoryEditBox::setSelLength(int length)
{
    select(m_start, m_start + qMax(0, length));
}

void MemoryEditBox::setSelText(const QString &text)
{
    replaceSelection(text);
}

void MemoryEditBox::replaceSelection(const QString &text)
{
    if (m_length == 0 && text.isEmpty())
        return;
    m_text.replace(m_start, m_length, text);
    m_start += int(text.size());
    m_length = 0;
    showCaret();
    raiseChange();
}

int MemoryEditBox::lineOf(int position) const
{
    int line = 0;
    // A lone LF or CR ends a line too; a CR LF pair is counted once.
    for (int i = 0; i < position && i < m_text.size(); ++i)
        line += m_text[i] == u'\n' || (m_text[i] == u'\r' && (i + 1 == m_text.size() || m_text[i + 1] != u'\n'));
    return line;
}

int MemoryEditBox::LineCount() const
{
    return lineOf(int(m_text.size())) + 1;
}

void MemoryEditBox::showCaret()
{
    const int caretLine = lineOf(m_start + m_length);
    if (caretLine < m_firstVisible)
        m_firstVisible = caretLine;
    else if (caretLine >= m_firstVisible + m_visibleLines)
        m_firstVisible = caretLine - m_visibleLines + 1;
}

void MemoryEditBox::Scroll(ScrollAction action)
{
    const int last = qMax(0, LineCount() - m_visibleLines);
    int step = 0;
    switch (action) {
    case ScrollAction::LineUp: step = -1; break;
    case ScrollAction::LineDown: step = 1; break;
    case ScrollAction::PageUp: step = -m_visibleLines; break;
    case ScrollAction::PageDown: step = m_visibleLines; break;
    }
    m_firstVisible = qBound(0, m_firstVisible + step, last);
}

void MemoryEditBox::pressKey(int keyCode, int shift, const QString &text, KeyEvent::Binding bound)
{
    KeyEvent down{keyCode, shift, text, bound};
    if (raiseKeyDown(down))
        actOnKey(KeyEvent{keyCode, shift, text});
    KeyEvent up{keyCode, shift, text};
    raiseKeyUp(up);
}

void MemoryEditBox::commitText(const QString &text)
{
    KeyEvent down{VirtualKey::Unmapped, 0, text};
    if (raiseKeyDown(down))
        replaceSelection(withOwnLineBreaks(text));
    KeyEvent up{VirtualKey::Unmapped, 0, text};
    raiseKeyUp(up);
}

void MemoryEditBox::actOnKey(const KeyEvent &key)
{
    const int length = int(m_text.size());
    switch (key.KeyCode) {
    case VirtualKey::Return:
        replaceSelection(form().newLine());
        return;
    case VirtualKey::Back:
        if (m_length == 0 && m_start > 0)
            select(m_start - 1, m_start);
        if (m_length > 0)
            replaceSelection({});
        return;
    case VirtualKey::Delete:
        if (m_length == 0 && m_start < length)
            select(m_start, m_start + 1);
        if (m_length > 0)
            replaceSelection({});
        return;
    // A line break and a surrogate pair are each passed as a whole.
    case VirtualKey::Left:
        setSelStart(m_length ? m_start
                             : m_start - 1 - (m_start >= 2 && m_text[m_start - 1].isLowSurrogate()
                                              && m_text[m_start - 2].isHighSurrogate()));
        return;
    case VirtualKey::Right:
        setSelStart(m_length ? m_start + m_length
                             : m_start + 1 + (m_start + 1 < length && ((m_text[m_start] == u'\r' && m_text[m_start + 1] == u'\n')
                                                                       || (m_text[m_start].isHighSurrogate()
                                                                           && m_text[m_start + 1].isLowSurrogate()))));
        return;
    default:
        break;
    }
    if (!key.Text.isEmpty() && (key.Text[0] == u'\t' || key.Text[0].isPrint()))
        replaceSelection(key.Text);
}
