#pragma once

#include <QAccessibleWidget>

class RichTextBox;

// What a screen reader sees of the edit box. It reads the box's text; its
// edits (insertText, deleteText, replaceText, setting the value) go through
// the box as input does, so the undo engine records them like any other.
// Offsets are the box's positions (a line break CR LF counts two). Where a
// character stands on screen, and which one is at a point, come from
// Scintilla's own position messages.
class RichTextBoxAccessible : public QAccessibleWidget,
                              public QAccessibleTextInterface,
                              public QAccessibleEditableTextInterface
{
public:
    explicit RichTextBoxAccessible(RichTextBox *box);

    // Installs the factory that gives every RichTextBox this interface.
    static void install();

    void *interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text type) const override;
    void setText(QAccessible::Text type, const QString &text) override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString &text) override;
    void replaceText(int startOffset, int endOffset, const QString &text) override;

private:
    RichTextBox *box() const;
};
