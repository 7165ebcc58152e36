#include "gui/RichTextBoxAccessible.h"

#include "gui/RichTextBox.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className == QLatin1String(RichTextBox::staticMetaObject.className()) && object && object->isWidgetType())
        return new RichTextBoxAccessible(static_cast<RichTextBox *>(object));
    return nullptr;
}

} // namespace

RichTextBoxAccessible::RichTextBoxAccessible(RichTextBox *box) : QAccessibleWidget(box, QAccessible::EditableText)
{
}

void RichTextBoxAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

RichTextBox *RichTextBoxAccessible::box() const
{
    return static_cast<RichTextBox *>(widget());
}

void *RichTextBoxAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State RichTextBoxAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

QString RichTextBoxAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return text(0, characterCount());
    return QAccessibleWidget::text(type);
}

void RichTextBoxAccessible::setText(QAccessible::Text type, const QString &text)
{
    if (type == QAccessible::Value)
        replaceText(0, characterCount(), text);
    else
        QAccessibleWidget::setText(type, text);
}

void RichTextBoxAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    const QTextCursor cursor = box()->textCursor();
    const bool selected = selectionIndex == 0 && cursor.hasSelection();
    *startOffset = selected ? cursor.selectionStart() : 0;
    *endOffset = selected ? cursor.selectionEnd() : 0;
}

int RichTextBoxAccessible::selectionCount() const
{
    return box()->textCursor().hasSelection() ? 1 : 0;
}

void RichTextBoxAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void RichTextBoxAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        setCursorPosition(cursorPosition());
}

void RichTextBoxAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    const int last = characterCount();
    QTextCursor cursor = box()->textCursor();
    cursor.setPosition(qBound(0, startOffset, last));
    cursor.setPosition(qBound(0, endOffset, last), QTextCursor::KeepAnchor);
    box()->setTextCursor(cursor);
}

int RichTextBoxAccessible::cursorPosition() const
{
    return box()->textCursor().position();
}

void RichTextBoxAccessible::setCursorPosition(int position)
{
    setSelection(0, position, position);
}

QString RichTextBoxAccessible::text(int startOffset, int endOffset) const
{
    const int last = characterCount();
    QTextCursor cursor(box()->document());
    cursor.setPosition(qBound(0, startOffset, last));
    cursor.setPosition(qBound(0, endOffset, last), QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    for (QChar &c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n';
    }
    return text;
}

int RichTextBoxAccessible::characterCount() const
{
    return box()->document()->characterCount() - 1;
}

QRect RichTextBoxAccessible::characterRect(int offset) const
{
    if (offset < 0 || offset >= characterCount())
        return {};
    QTextCursor cursor(box()->document());
    cursor.setPosition(offset);
    const QRect from = box()->cursorRect(cursor);
    cursor.setPosition(offset + 1);
    const QRect to = box()->cursorRect(cursor);
    QRect rect = from;
    if (to.top() == from.top() && to.left() > from.left())
        rect.setRight(to.left());
    rect.moveTopLeft(box()->viewport()->mapToGlobal(rect.topLeft()));
    return rect;
}

int RichTextBoxAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint at = box()->viewport()->mapFromGlobal(point);
    if (!box()->viewport()->rect().contains(at))
        return -1;
    return box()->cursorForPosition(at).position();
}

void RichTextBoxAccessible::scrollToSubstring(int, int)
{
}

QString RichTextBoxAccessible::attributes(int, int *startOffset, int *endOffset) const
{
    // One plain font throughout.
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

void RichTextBoxAccessible::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void RichTextBoxAccessible::insertText(int offset, const QString &text)
{
    replaceText(offset, offset, text);
}

void RichTextBoxAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    setSelection(0, startOffset, endOffset);
    box()->replaceSelectionAsInput(text);
}
