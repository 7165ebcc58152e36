#include "editor/RichTextBox.h"

#include "editor/VirtualKey.h"

#include <QAbstractTextDocumentLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace {

constexpr char16_t ParagraphSeparator = 0x2029;
constexpr char16_t LineSeparator = 0x2028;

// Interface text -> widget text, in place: the result is never longer.
void toWidgetText(QString &text)
{
    QChar *out = text.data();
    const QChar *in = out;
    const QChar *end = in + text.size();
    while (in != end) {
        const char16_t c = in->unicode();
        if (c == u'\r') {
            *out++ = QChar(ParagraphSeparator);
            ++in;
            if (in != end && *in == u'\n')
                ++in;
        } else if (c == u'\n') {
            *out++ = QChar(LineSeparator);
            ++in;
        } else {
            *out++ = *in++;
        }
    }
    text.truncate(out - text.constData());
}

QString fromWidgetText(const QString &raw)
{
    qsizetype breaks = 0;
    for (const QChar c : raw)
        breaks += c.unicode() == ParagraphSeparator;
    QString text(raw.size() + breaks, Qt::Uninitialized);
    QChar *out = text.data();
    for (const QChar c : raw) {
        if (c.unicode() == ParagraphSeparator) {
            *out++ = u'\r';
            *out++ = u'\n';
        } else if (c.unicode() == LineSeparator) {
            *out++ = u'\n';
        } else {
            *out++ = c;
        }
    }
    return text;
}

int mouseButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

} // namespace

RichTextBox::RichTextBox(Clipboard &clipboard, QWidget *parent) : QPlainTextEdit(parent), EditBox(clipboard)
{
    setUndoRedoEnabled(false);
    setAcceptDrops(false);
    viewport()->setAcceptDrops(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int) { forgetLineStartsFrom(position); });
    connect(this, &QPlainTextEdit::textChanged, this, [this] { raiseChange(); });
}

void RichTextBox::forgetLineStartsFrom(int widgetPosition)
{
    // Text before the change is untouched, and so is the start of the line holding it.
    const int line = document()->findBlock(widgetPosition).blockNumber();
    m_validLines = qMin(m_validLines, qMax(line + 1, 1));
}

RichTextBox::Line RichTextBox::lineAt(int position) const
{
    const QTextDocument *doc = document();
    const int lineCount = doc->blockCount();
    if (m_validLines == 0) {
        m_lineStarts.assign(1, 0);
        m_validLines = 1;
    }
    // Extend the known starts until one lies beyond the position.
    if (m_validLines < lineCount && m_lineStarts[m_validLines - 1] <= position) {
        m_lineStarts.resize(lineCount);
        QTextBlock block = doc->findBlockByNumber(m_validLines - 1);
        int start = m_lineStarts[m_validLines - 1];
        while (m_validLines < lineCount && start <= position) {
            start += block.length() + 1; // the break is one widget character, two here
            block = block.next();
            m_lineStarts[m_validLines++] = start;
        }
    }
    const auto known = m_lineStarts.begin() + m_validLines;
    const int number = int(std::upper_bound(m_lineStarts.begin(), known, position) - m_lineStarts.begin()) - 1;
    const int start = m_lineStarts[number];
    const int next = number + 1 < lineCount ? m_lineStarts[number + 1] : TextLength() + 2;
    return {number, start, next - start - 2};
}

int RichTextBox::toWidget(int position, bool forward) const
{
    position = qBound(0, position, TextLength());
    const Line line = lineAt(position);
    // Every earlier break counts one character more than in the widget.
    const int lineStart = line.start - line.number;
    const int offset = position - line.start;
    if (offset <= line.length)
        return lineStart + offset;
    return lineStart + (forward ? line.length + 1 : line.length);
}

int RichTextBox::fromWidget(int widgetPosition) const
{
    return widgetPosition + document()->findBlock(widgetPosition).blockNumber();
}

QString RichTextBox::Text() const
{
    return fromWidgetText(document()->toRawText());
}

// The widget's own text is a copy; turning its breaks into CR LF can wait.
EditBox::TextSnapshot RichTextBox::textSnapshot() const
{
    return [raw = document()->toRawText()] { return fromWidgetText(raw); };
}

void RichTextBox::setText(QString text)
{
    toWidgetText(text);
    setPlainText(text);
}

int RichTextBox::TextLength() const
{
    const QTextDocument *doc = document();
    return doc->characterCount() - 1 + doc->blockCount() - 1;
}

int RichTextBox::SelStart() const
{
    return fromWidget(textCursor().selectionStart());
}

int RichTextBox::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return fromWidget(cursor.selectionEnd()) - fromWidget(cursor.selectionStart());
}

void RichTextBox::select(int start, int end)
{
    const int from = toWidget(start, false);
    const int to = end <= start ? from : qMax(from, toWidget(end, true));
    QTextCursor cursor = textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void RichTextBox::setSelStart(int position)
{
    select(position, position);
}

void RichTextBox::setSelLength(int length)
{
    const int start = SelStart();
    select(start, start + qMax(0, length));
}

QString RichTextBox::SelText() const
{
    return fromWidgetText(textCursor().selectedText());
}

void RichTextBox::setSelText(const QString &text)
{
    QString widgetText = text;
    toWidgetText(widgetText);
    QTextCursor cursor = textCursor();
    cursor.insertText(widgetText);
    setTextCursor(cursor);
}

QChar RichTextBox::charAt(int position) const
{
    const Line line = lineAt(position);
    const int offset = position - line.start;
    if (offset < line.length) {
        const QChar c = document()->characterAt(line.start - line.number + offset);
        return c.unicode() == LineSeparator ? QChar(u'\n') : c;
    }
    return offset == line.length ? QChar(u'\r') : QChar(u'\n');
}

void RichTextBox::SetFocus()
{
    setFocus(Qt::OtherFocusReason);
}

// The vertical scroll bar counts lines as the widget lays them out.
int RichTextBox::FirstVisibleLine() const
{
    return verticalScrollBar()->value();
}

int RichTextBox::LineCount() const
{
    return qMax(1, int(document()->documentLayout()->documentSize().height()));
}

void RichTextBox::Scroll(ScrollAction action)
{
    switch (action) {
    case ScrollAction::LineUp: verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case ScrollAction::LineDown: verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case ScrollAction::PageUp: verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case ScrollAction::PageDown: verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    }
}

void RichTextBox::keyPressEvent(QKeyEvent *event)
{
    KeyEvent key{VirtualKey::fromQtKey(event->key(), event->modifiers()),
                 VirtualKey::shiftState(event->modifiers()), event->text()};
    if (!raiseKeyDown(key)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void RichTextBox::keyReleaseEvent(QKeyEvent *event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    KeyEvent key{VirtualKey::fromQtKey(event->key(), event->modifiers()),
                 VirtualKey::shiftState(event->modifiers()), event->text()};
    raiseKeyUp(key);
}

// Committed text reaches the key hooks as typing (KeyEvent's convention);
// the composition shown at the caret stays the widget's own, but the
// selection it would drop when input begins is deleted through the hooks.
void RichTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    if (event->replacementLength() > 0) {
        // Text around the caret that the input method replaces becomes the selection.
        QTextCursor cursor = textCursor();
        const int last = document()->characterCount() - 1;
        const int from = qBound(0, cursor.position() + event->replacementStart(), last);
        cursor.setPosition(from);
        cursor.setPosition(qMin(from + event->replacementLength(), last), QTextCursor::KeepAnchor);
        setTextCursor(cursor);
    }
    const bool input = !commit.isEmpty() || event->replacementLength() > 0
        || event->preeditString() != textCursor().block().layout()->preeditAreaText();
    bool widgetCommits = true;
    if (input && (!commit.isEmpty() || textCursor().hasSelection())) {
        const int code = commit.isEmpty() ? VirtualKey::Delete : VirtualKey::Unmapped;
        KeyEvent down{code, 0, commit};
        widgetCommits = raiseKeyDown(down);
        if (widgetCommits && commit.isEmpty()) {
            QTextCursor cursor = textCursor();
            cursor.removeSelectedText();
            setTextCursor(cursor);
        }
        KeyEvent up{code, 0, commit};
        raiseKeyUp(up);
    }
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    if (widgetCommits)
        rest.setCommitString(commit);
    QPlainTextEdit::inputMethodEvent(&rest);
    event->accept();
}

void RichTextBox::mousePressEvent(QMouseEvent *event)
{
    // The middle button would paste the selection clipboard unrecorded.
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QPlainTextEdit::mousePressEvent(event);
}

void RichTextBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::MiddleButton)
        QPlainTextEdit::mouseReleaseEvent(event);
    else
        event->accept();
    const QPoint at = event->position().toPoint();
    raiseMouseUp(mouseButton(event->button()), VirtualKey::shiftState(event->modifiers()), at.x(), at.y());
}
