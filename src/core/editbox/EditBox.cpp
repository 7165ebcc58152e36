#include "editbox/EditBox.h"

#include "editbox/Clipboard.h"
#include "editbox/RichText.h"

#include <algorithm>

QString EditBox::withOwnLineBreaks(const QString &text) const
{
    // A text without line ends is shared, not copied.
    if (!text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    return LineBreaks::convert(text, m_form.lineBreak);
}

QString EditBox::TextRTF() const
{
    return RichText::fromPlain(Text());
}

QString EditBox::lineBeforeCaret(int limit) const
{
    const int caret = SelStart() + SelLength();
    int start = caret;
    while (start > 0 && caret - start < limit) {
        const QChar c = charAt(start - 1);
        if (c == u'\n' || c == u'\r')
            break;
        --start;
    }
    QString text(caret - start, Qt::Uninitialized);
    for (int i = start; i < caret; ++i)
        text[i - start] = charAt(i);
    return text;
}

QString EditBox::lineAfterCaret(int limit) const
{
    const int caret = SelStart() + SelLength();
    const int last = std::min(TextLength(), caret + limit);
    QString text;
    for (int i = caret; i < last; ++i) {
        const QChar c = charAt(i);
        if (c == u'\n' || c == u'\r')
            break;
        text.append(c);
    }
    return text;
}

QString EditBox::SelRTF() const
{
    return RichText::fromPlain(SelText());
}

void EditBox::setSelRTF(const QString &text)
{
    setSelText(RichText::toPlain(text));
}

int EditBox::Find(const QString &text, int start, int end)
{
    const int length = TextLength();
    start = qBound(0, start, length);
    end = qBound(start, end, length);
    if (text.isEmpty() || end - start < text.size())
        return -1;
    const int position = findIn(text, start, end);
    if (position < 0)
        return -1;
    select(position, position + int(text.size()));
    return position;
}

int EditBox::findIn(const QString &text, int start, int end) const
{
    const QString whole = Text();
    const qsizetype found = QStringView(whole).mid(start, end - start).indexOf(text, 0, Qt::CaseInsensitive);
    return found < 0 ? -1 : start + int(found);
}

void EditBox::Span(const QString &set, bool forward, bool negate)
{
    int start = SelStart();
    int end = start + SelLength();
    auto spans = [&](int position) { return set.contains(charAt(position)) != negate; };
    if (forward) {
        const int length = TextLength();
        while (end < length && spans(end))
            ++end;
    } else {
        while (start > 0 && spans(start - 1))
            --start;
    }
    select(start, end);
}

void EditBox::CopyToClipboard()
{
    if (SelLength() == 0)
        return;
    m_clipboard.Clear();
    m_clipboard.SetText(SelText(), Clipboard::Format::Text);
    m_clipboard.SetText(SelRTF(), Clipboard::Format::RichText);
}

void EditBox::PasteFromClipboard()
{
    const QString rich = m_clipboard.GetText(Clipboard::Format::RichText);
    if (!rich.isEmpty())
        setSelRTF(rich);
    else
        setSelText(m_clipboard.GetText(Clipboard::Format::Text));
}

void EditBox::setKeyHandlers(KeyHandler down, KeyHandler up)
{
    m_onKeyDown = std::move(down);
    m_onKeyUp = std::move(up);
}

bool EditBox::raiseKeyDown(KeyEvent &key)
{
    if (m_onKeyDown)
        m_onKeyDown(key);
    return key.KeyCode != 0;
}

void EditBox::raiseKeyUp(KeyEvent &key)
{
    if (m_onKeyUp)
        m_onKeyUp(key);
}

void EditBox::raiseChange()
{
    m_modified = true;
    if (m_onChange)
        m_onChange();
}

void EditBox::raiseMouseUp(int button, int shift, int x, int y)
{
    if (m_onMouseUp)
        m_onMouseUp(button, shift, x, y);
}
