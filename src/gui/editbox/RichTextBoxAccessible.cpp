#include "gui/editbox/RichTextBoxAccessible.h"

#include "gui/editbox/RichTextBox.h"

namespace {

using Sci = QsciScintillaBase;

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
        return box()->Text();
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
    const bool selected = selectionIndex == 0 && box()->SelLength() > 0;
    *startOffset = selected ? box()->SelStart() : 0;
    *endOffset = selected ? box()->SelStart() + box()->SelLength() : 0;
}

int RichTextBoxAccessible::selectionCount() const
{
    return box()->SelLength() > 0 ? 1 : 0;
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
    const int from = qMin(startOffset, endOffset);
    box()->setSelection(from, qMax(startOffset, endOffset) - from);
}

int RichTextBoxAccessible::cursorPosition() const
{
    return box()->fromBuffer(box()->SendScintilla(Sci::SCI_GETCURRENTPOS));
}

void RichTextBoxAccessible::setCursorPosition(int position)
{
    setSelection(0, position, position);
}

QString RichTextBoxAccessible::text(int startOffset, int endOffset) const
{
    const int last = characterCount();
    return box()->textRange(qBound(0, startOffset, last), qBound(0, endOffset, last));
}

int RichTextBoxAccessible::characterCount() const
{
    return box()->TextLength();
}

// The character's box on screen: from its left edge to the next character's,
// or a space's width at a line's end, one line high.
QRect RichTextBoxAccessible::characterRect(int offset) const
{
    if (offset < 0 || offset >= characterCount())
        return {};
    const RichTextBox *b = box();
    const long at = b->toBuffer(offset);
    const long after = b->SendScintilla(Sci::SCI_POSITIONAFTER, at);
    const long line = b->SendScintilla(Sci::SCI_LINEFROMPOSITION, at);
    const int x = int(b->SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, at));
    const int y = int(b->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, at));
    const int height = int(b->SendScintilla(Sci::SCI_TEXTHEIGHT, line));
    int width = 0;
    if (after > at && b->SendScintilla(Sci::SCI_LINEFROMPOSITION, after) == line)
        width = int(b->SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, after)) - x;
    if (width <= 0)
        width = int(b->SendScintilla(Sci::SCI_TEXTWIDTH, uintptr_t(Sci::STYLE_DEFAULT), " "));
    return QRect(b->viewport()->mapToGlobal(QPoint(x, y)), QSize(width, height));
}

int RichTextBoxAccessible::offsetAtPoint(const QPoint &point) const
{
    const RichTextBox *b = box();
    const QPoint at = b->viewport()->mapFromGlobal(point);
    if (!b->viewport()->rect().contains(at))
        return -1;
    const long position = b->SendScintilla(Sci::SCI_CHARPOSITIONFROMPOINTCLOSE, uintptr_t(at.x()), long(at.y()));
    return position < 0 ? -1 : b->fromBuffer(position);
}

void RichTextBoxAccessible::scrollToSubstring(int startIndex, int)
{
    const long at = box()->toBuffer(startIndex);
    box()->SendScintilla(Sci::SCI_SCROLLRANGE, uintptr_t(at), at);
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
