#include "gui/editbox/RichTextBox.h"

#include "editbox/VirtualKey.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QApplication>
#include <QDrag>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMimeData>
#include <QMouseEvent>

#include <utility>

// The box's side of the user's keys, typing, mouse and drags: each goes to
// the undo engine's handlers first, and Scintilla keeps only the keys that move.

namespace {

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

// Scintilla's commands that only move the caret or scroll; every other one
// (deletions, case changes, line moves, its clipboard, undo, overtype, zoom)
// would edit past the undo engine or the window's own zoom.
bool movesOnly(QsciCommand::Command command)
{
    using C = QsciCommand;
    switch (command) {
    case C::LineDown: case C::LineDownExtend: case C::LineScrollDown:
    case C::LineUp: case C::LineUpExtend: case C::LineScrollUp:
    case C::ScrollToStart: case C::ScrollToEnd: case C::VerticalCentreCaret:
    case C::ParaDown: case C::ParaDownExtend: case C::ParaUp: case C::ParaUpExtend:
    case C::CharLeft: case C::CharLeftExtend: case C::CharRight: case C::CharRightExtend:
    case C::WordLeft: case C::WordLeftExtend: case C::WordRight: case C::WordRightExtend:
    case C::WordLeftEnd: case C::WordLeftEndExtend: case C::WordRightEnd: case C::WordRightEndExtend:
    case C::WordPartLeft: case C::WordPartLeftExtend: case C::WordPartRight: case C::WordPartRightExtend:
    case C::Home: case C::HomeExtend: case C::HomeDisplay: case C::HomeDisplayExtend:
    case C::HomeWrap: case C::HomeWrapExtend: case C::VCHome: case C::VCHomeExtend:
    case C::VCHomeWrap: case C::VCHomeWrapExtend:
    case C::LineEnd: case C::LineEndExtend: case C::LineEndDisplay: case C::LineEndDisplayExtend:
    case C::LineEndWrap: case C::LineEndWrapExtend:
    case C::DocumentStart: case C::DocumentStartExtend: case C::DocumentEnd: case C::DocumentEndExtend:
    case C::PageUp: case C::PageUpExtend: case C::PageDown: case C::PageDownExtend:
    case C::StutteredPageUp: case C::StutteredPageUpExtend: case C::StutteredPageDown:
    case C::StutteredPageDownExtend: case C::Cancel:
        return true;
    default:
        return false;
    }
}

} // namespace

void RichTextBox::keepOnlyMovingKeys()
{
    // Ctrl+/ and Ctrl+\ (word parts) belong to the window: Toggle Comment.
    const auto windowKey = [](int key) {
        const int k = key & ~int(Qt::KeyboardModifierMask);
        return (key & Qt::ControlModifier) && (k == Qt::Key_Slash || k == Qt::Key_Backslash);
    };
    for (QsciCommand *command : standardCommands()->commands()) {
        if (!movesOnly(command->command())) {
            command->setKey(0);
            command->setAlternateKey(0);
        }
        if (windowKey(command->key()))
            command->setKey(0);
        if (windowKey(command->alternateKey()))
            command->setAlternateKey(0);
    }
}

void RichTextBox::keyPressEvent(QKeyEvent *event)
{
    KeyEvent key{VirtualKey::fromQtKey(event->key(), event->modifiers()),
                 VirtualKey::shiftState(event->modifiers()), event->text(), bindingOf(event)};
    if (!raiseKeyDown(key) || actOnKey(event)) {
        event->accept();
        return;
    }
    // Scintilla would type printable text that no binding took.
    const QString text = event->text();
    if (!text.isEmpty() && text[0].isPrint()) {
        event->accept();
        return;
    }
    QsciScintilla::keyPressEvent(event);
    // Scintilla tells of the move only when it next paints.
    emit caretMoved();
}

// The keys a bare box acts on, as the in-memory box does; with the undo
// engine attached these never get this far.
bool RichTextBox::actOnKey(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers held = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!held)
            replaceSelection(form().newLine());
        return true;
    case Qt::Key_Backspace: {
        const int start = SelStart();
        if (!held && SelLength() == 0 && start > 0)
            select(start - 1, start);
        if (!held && SelLength() > 0)
            replaceSelection({});
        return true;
    }
    case Qt::Key_Delete: {
        const int start = SelStart();
        if (!held && SelLength() == 0 && start < TextLength())
            select(start, start + 1);
        if (!held && SelLength() > 0)
            replaceSelection({});
        return true;
    }
    case Qt::Key_Tab:
        if (!held && !(event->modifiers() & Qt::ShiftModifier))
            replaceSelection(QStringLiteral("\t"));
        return true;
    case Qt::Key_Backtab:
    case Qt::Key_Insert: // no overtype
        return true;
    default:
        break;
    }
    const QString text = event->text();
    const bool control = (held & Qt::ControlModifier) && !(held & Qt::AltModifier);
    if (!control && !text.isEmpty() && (text[0] == u'\t' || text[0].isPrint())) {
        replaceSelection(withOwnLineBreaks(text));
        return true;
    }
    return false;
}

void RichTextBox::keyReleaseEvent(QKeyEvent *event)
{
    QsciScintilla::keyReleaseEvent(event);
    KeyEvent key{VirtualKey::fromQtKey(event->key(), event->modifiers()),
                 VirtualKey::shiftState(event->modifiers()), event->text()};
    raiseKeyUp(key);
}

// Committed text reaches the key hooks as typing (KeyEvent's convention).
// The composition is shown beside the caret, never put into the text, so
// nothing enters the buffer past the hooks; the selection it would drop
// when input begins is deleted through the hooks.
void RichTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    if (event->replacementLength() > 0) {
        // Text around the caret that the input method replaces becomes the selection.
        const int caret = fromBuffer(SendScintilla(SCI_GETCURRENTPOS));
        const int from = qBound(0, caret + event->replacementStart(), TextLength());
        select(from, from + event->replacementLength());
    }
    const bool input = !commit.isEmpty() || event->replacementLength() > 0 || event->preeditString() != m_preedit;
    if (input && (!commit.isEmpty() || SelLength() > 0)) {
        const int code = commit.isEmpty() ? VirtualKey::Delete : VirtualKey::Unmapped;
        KeyEvent down{code, 0, commit};
        if (raiseKeyDown(down))
            replaceSelection(commit.isEmpty() ? QString() : withOwnLineBreaks(commit));
        KeyEvent up{code, 0, commit};
        raiseKeyUp(up);
    }
    showPreedit(event->preeditString());
    event->accept();
}

void RichTextBox::showPreedit(const QString &preedit)
{
    m_preedit = preedit;
    if (preedit.isEmpty()) {
        SendScintilla(SCI_CALLTIPCANCEL);
        return;
    }
    const QByteArray utf8 = preedit.toUtf8();
    SendScintilla(SCI_CALLTIPSHOW, uintptr_t(SendScintilla(SCI_GETCURRENTPOS)), utf8.constData());
}

void RichTextBox::replaceSelectionAsInput(const QString &text)
{
    const QString typed = withOwnLineBreaks(text);
    if (typed.isEmpty() && SelLength() == 0)
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
    // A press on the selection that Scintilla would turn into a drag.
    m_drag = Drag::None;
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    if (event->button() == Qt::LeftButton && event->modifiers() != Qt::ShiftModifier && start != end) {
        const QPoint p = event->position().toPoint();
        const long at = SendScintilla(SCI_POSITIONFROMPOINTCLOSE, uintptr_t(p.x()), long(p.y()));
        if (at >= start && at <= end) {
            m_drag = Drag::Pressed;
            m_dragFrom = p;
        }
    }
    QsciScintilla::mousePressEvent(event);
    emit caretMoved();
}

void RichTextBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_drag = Drag::None;
    QsciScintilla::mouseDoubleClickEvent(event);
}

// Scintilla's own drag moves the text out of the box unrecorded when it lands
// elsewhere. Drags out copy instead; the box takes no drops.
void RichTextBox::mouseMoveEvent(QMouseEvent *event)
{
    if (m_drag == Drag::None || !(event->buttons() & Qt::LeftButton)) {
        QsciScintilla::mouseMoveEvent(event);
        return;
    }
    event->accept();
    if (m_drag == Drag::Pressed
        && (event->position().toPoint() - m_dragFrom).manhattanLength() > QApplication::startDragDistance()) {
        m_drag = Drag::Done;
        auto *drag = new QDrag(this);
        auto *data = new QMimeData;
        data->setText(SelText().replace(QLatin1String("\r\n"), QLatin1String("\n")));
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction, Qt::CopyAction);
    }
}

void RichTextBox::mouseReleaseEvent(QMouseEvent *event)
{
    m_drag = Drag::None;
    if (event->button() != Qt::MiddleButton)
        QsciScintilla::mouseReleaseEvent(event);
    else
        event->accept();
    const QPoint at = event->position().toPoint();
    raiseMouseUp(mouseButton(event->button()), VirtualKey::shiftState(event->modifiers()), at.x(), at.y());
}

void RichTextBox::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
}

void RichTextBox::dragEnterEvent(QDragEnterEvent *event)
{
    event->ignore();
}

void RichTextBox::dragMoveEvent(QDragMoveEvent *event)
{
    event->ignore();
}

void RichTextBox::dropEvent(QDropEvent *event)
{
    event->ignore();
}
