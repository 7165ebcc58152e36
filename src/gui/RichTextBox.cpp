#include "gui/RichTextBox.h"

#include "editbox/VirtualKey.h"
#include "gui/RichTextBoxAccessible.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDrag>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <utility>
#include <vector>

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

// The edit a key would make in the widget under the platform's bindings.
KeyEvent::Binding bindingOf(const QKeyEvent *event)
{
    using B = KeyEvent::Binding;
    static const std::pair<QKeySequence::StandardKey, B> bindings[] = {
        {QKeySequence::Undo, B::Undo},
        {QKeySequence::Redo, B::Redo},
        {QKeySequence::Cut, B::Cut},
        {QKeySequence::Copy, B::Copy},
        {QKeySequence::Paste, B::Paste},
        {QKeySequence::Delete, B::Delete},
        {QKeySequence::Backspace, B::OtherEdit},
        {QKeySequence::DeleteStartOfWord, B::OtherEdit},
        {QKeySequence::DeleteEndOfWord, B::OtherEdit},
        {QKeySequence::DeleteEndOfLine, B::OtherEdit},
        {QKeySequence::DeleteCompleteLine, B::OtherEdit},
        {QKeySequence::InsertParagraphSeparator, B::OtherEdit},
        {QKeySequence::InsertLineSeparator, B::OtherEdit},
    };
    for (const auto &[key, binding] : bindings) {
        if (event->matches(key))
            return binding;
    }
    return B::None;
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
    // Assistive technology edits through the engine too.
    RichTextBoxAccessible::install();
    connect(document(), &QTextDocument::contentsChange, this, [this](int position, int removed, int added) {
        m_rawText.clear();
        m_rawTextValid = false;
        m_lastLine.number = -1;
        followLastSpace(position, removed, added);
    });
    connect(this, &QPlainTextEdit::textChanged, this, [this] { raiseChange(); });
}

RichTextBox::Line RichTextBox::lineAt(int position) const
{
    if (m_lastLine.number >= 0 && position >= m_lastLine.start && position < m_lastLine.start + m_lastLine.length + 2)
        return m_lastLine;
    const QTextDocument *doc = document();
    // Line n starts at its widget position plus n: every earlier break
    // counts one character more here. Wanted: the last line starting at or
    // before the position, kept between lo (starts at or before it) and hi
    // (starts after it; the line past the last starts past the end).
    int lo = 0;
    int loStart = 0;
    QTextBlock loBlock = doc->firstBlock();
    int hi = doc->blockCount();
    int hiStart = TextLength() + 2;
    // Each lookup in the widget's block tree costs about as much as all the
    // rest, so guess well: from the nearer bound (line lengths wander with
    // distance) by the mean line length between the bounds, and one line
    // early, so the guess tends to land just before the line and the last
    // few lines are walked. Guesses that keep missing give way to halving.
    for (int guesses = 0; hi - lo > 1; ++guesses) {
        const int range = hi - lo;
        const int span = hiStart - loStart;
        const int guess = position - loStart <= hiStart - position
                              ? lo + int(qint64(position - loStart) * range / span)
                              : hi - 1 - int(qint64(hiStart - 1 - position) * range / span);
        if (guess - lo < 4) {
            for (QTextBlock next = loBlock.next(); lo + 1 < hi && lo <= guess + 4; next = next.next()) {
                const int nextStart = loStart + loBlock.length() + 1;
                if (nextStart > position) {
                    hi = lo + 1;
                } else {
                    loStart = nextStart;
                    loBlock = next;
                    ++lo;
                }
            }
            if (hi - lo <= 1)
                break;
        }
        // The walk may have moved lo.
        const int mid = guesses < 4 ? qBound(lo + 1, guess - 1, hi - 1) : lo + (hi - lo) / 2;
        const QTextBlock block = doc->findBlockByNumber(mid);
        const int start = block.position() + mid;
        if (start <= position) {
            lo = mid;
            loStart = start;
            loBlock = block;
        } else {
            hi = mid;
            hiStart = start;
        }
    }
    m_lastLine = {lo, loStart, loBlock.length() - 1};
    return m_lastLine;
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
const QString &RichTextBox::rawText() const
{
    if (!m_rawTextValid) {
        m_rawText = document()->toRawText();
        m_rawTextValid = true;
    }
    return m_rawText;
}

EditBox::TextSnapshot RichTextBox::textSnapshot() const
{
    return [raw = rawText()] { return fromWidgetText(raw); };
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

void RichTextBox::followLastSpace(int position, int removed, int added)
{
    constexpr int LongestScan = 4096;
    if (m_lastSpace == SpaceUnknown)
        return;
    if (m_lastSpace >= position) {
        // Text put in before the last space leaves it last, unless the space went.
        m_lastSpace = position + removed <= m_lastSpace ? m_lastSpace + added - removed : SpaceUnknown;
        return;
    }
    // Behind the last space the removed text held none; the added text may.
    if (added > LongestScan) {
        m_lastSpace = SpaceUnknown;
        return;
    }
    const QTextDocument *doc = document();
    for (int i = qMin(position + added, doc->characterCount() - 1) - 1; i >= position; --i) {
        if (doc->characterAt(i) == u' ') {
            m_lastSpace = i;
            return;
        }
    }
}

QString RichTextBox::textAfterLastSpace(int limit, bool &cut) const
{
    const QTextDocument *doc = document();
    if (m_lastSpace == SpaceUnknown) {
        m_lastSpace = NoSpace;
        for (QTextBlock block = doc->lastBlock(); block.isValid(); block = block.previous()) {
            if (const qsizetype at = block.text().lastIndexOf(u' '); at >= 0) {
                m_lastSpace = block.position() + int(at);
                break;
            }
        }
    }
    // A break is one character here and two in the result: read enough, then cut.
    const int end = doc->characterCount() - 1;
    QTextCursor cursor(const_cast<QTextDocument *>(doc));
    cursor.setPosition(m_lastSpace + 1);
    cursor.setPosition(qMin(end, m_lastSpace + 1 + limit + 1), QTextCursor::KeepAnchor);
    QString text = fromWidgetText(cursor.selectedText());
    cut = text.size() > limit || cursor.position() < end;
    text.truncate(limit);
    return text;
}

QString RichTextBox::lineBeforeCaret(int limit) const
{
    const QTextCursor caret = textCursor();
    const int position = caret.position();
    const int lineStart = caret.block().position();
    // Only the piece asked for is read: a line may be megabytes long.
    QTextCursor piece(const_cast<QTextDocument *>(document()));
    piece.setPosition(qMax(lineStart, position - limit));
    piece.setPosition(position, QTextCursor::KeepAnchor);
    QString text = piece.selectedText();
    // A lone LF stays inside the widget's line but ends a line of the hint.
    if (const qsizetype separator = text.lastIndexOf(QChar(LineSeparator)); separator >= 0)
        text.remove(0, separator + 1);
    return text;
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

int RichTextBox::findIn(const QString &text, int start, int end) const
{
    // A whole-document search for a text without line breaks runs on the
    // widget's text as it is: its breaks are single characters that such a
    // text cannot match.
    const bool breaks = std::any_of(text.begin(), text.end(), [](QChar c) {
        return c == u'\r' || c == u'\n' || c.unicode() == ParagraphSeparator || c.unicode() == LineSeparator;
    });
    if (breaks || start != 0 || end != TextLength())
        return EditBox::findIn(text, start, end);
    const qsizetype found = rawText().indexOf(text, 0, Qt::CaseInsensitive);
    return found < 0 ? -1 : fromWidget(int(found));
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

bool RichTextBox::scrollToFirstLine(int line)
{
    verticalScrollBar()->setValue(line);
    return true;
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
                 VirtualKey::shiftState(event->modifiers()), event->text(), bindingOf(event)};
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

void RichTextBox::replaceSelectionAsInput(const QString &text)
{
    QString typed = text;
    typed.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\n', QLatin1String("\r\n"));
    if (typed.isEmpty() && !textCursor().hasSelection())
        return;
    const int code = typed.isEmpty() ? VirtualKey::Delete : VirtualKey::Unmapped;
    KeyEvent down{code, 0, typed};
    if (raiseKeyDown(down))
        setSelText(typed);
    KeyEvent up{code, 0, typed};
    raiseKeyUp(up);
}

void RichTextBox::mousePressEvent(QMouseEvent *event)
{
    // The middle button would paste the selection clipboard unrecorded.
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    // A press on the selection that the widget would turn into a drag.
    m_drag = Drag::None;
    const QTextCursor selection = textCursor();
    if (event->button() == Qt::LeftButton && event->modifiers() != Qt::ShiftModifier && selection.hasSelection()) {
        const int at = cursorForPosition(event->position().toPoint()).position();
        if (at >= selection.selectionStart() && at <= selection.selectionEnd()) {
            m_drag = Drag::Pressed;
            m_dragFrom = event->position().toPoint();
        }
    }
    QPlainTextEdit::mousePressEvent(event);
}

void RichTextBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_drag = Drag::None;
    QPlainTextEdit::mouseDoubleClickEvent(event);
}

// The widget's own drag moves the text out of the box unrecorded when it
// lands elsewhere. Drags out copy instead; the box takes no drops.
void RichTextBox::mouseMoveEvent(QMouseEvent *event)
{
    if (m_drag == Drag::None || !(event->buttons() & Qt::LeftButton)) {
        QPlainTextEdit::mouseMoveEvent(event);
        return;
    }
    event->accept();
    if (m_drag == Drag::Pressed
        && (event->position().toPoint() - m_dragFrom).manhattanLength() > QApplication::startDragDistance()) {
        // Until the button is pressed again the widget still takes the press for a drag.
        m_drag = Drag::Done;
        auto *drag = new QDrag(this);
        drag->setMimeData(createMimeDataFromSelection());
        drag->exec(Qt::CopyAction, Qt::CopyAction);
    }
}

void RichTextBox::mouseReleaseEvent(QMouseEvent *event)
{
    m_drag = Drag::None;
    if (event->button() != Qt::MiddleButton)
        QPlainTextEdit::mouseReleaseEvent(event);
    else
        event->accept();
    const QPoint at = event->position().toPoint();
    raiseMouseUp(mouseButton(event->button()), VirtualKey::shiftState(event->modifiers()), at.x(), at.y());
}
