#pragma once

#include "editbox/EditBox.h"

#include <Qsci/qsciscintilla.h>

#include <QByteArray>

// The document's edit box on screen: Scintilla behind the EditBox interface.
//
// The buffer holds the text as UTF-8 with its line breaks as they are (CR LF,
// or a lone LF), so an interface position is the UTF-16 index of its
// character in the buffer. While the text is all ASCII a position is its byte
// position. Once it holds anything else, Scintilla's UTF-16 line index finds
// a position's line in O(log n); inside a pure ASCII line the byte offset is
// the position offset, and only a line holding other characters is walked.
// The index is kept only then: it makes setting a large text half as slow
// again. Scintilla lays
// out only the lines it shows, and lays a lone LF out as a line end.
//
// Every change of the text passes the interface's hooks: Scintilla's own undo
// is off, its key map keeps only the keys that move the caret, input-method
// text and screen-reader edits go through the key hooks, the box takes no
// drops, a drag out of it copies, and middle-click paste and the context menu
// are off.
class RichTextBox : public QsciScintilla, public EditBox
{
    Q_OBJECT

public:
    explicit RichTextBox(Clipboard &clipboard, QWidget *parent = nullptr);

    // QsciScintilla has members of these names too: the interface's are meant.
    using EditBox::isModified;
    using EditBox::setModified;
    using EditBox::setSelection;

    QString Text() const override;
    TextSnapshot textSnapshot() const override;
    void setText(QString text) override;
    int TextLength() const override;

    int SelStart() const override;
    void setSelStart(int position) override;
    int SelLength() const override;
    void setSelLength(int length) override;

    QString lineBeforeCaret(int limit) const override;

    QString SelText() const override;
    void setSelText(const QString &text) override;
    void setForm(const TextForm &form) override;

    void SetFocus() override;

    // Replaces the selection as committed input does, through the key hooks,
    // so that the undo engine records it or refuses it. Line breaks may be
    // given as LF alone (as assistive technology reads them) or CR LF.
    void replaceSelectionAsInput(const QString &text);

    int FirstVisibleLine() const override;
    int LineCount() const override;
    void Scroll(ScrollAction action) override;
    bool scrollToFirstLine(int line) override;

    // The text of [start, end) in interface positions.
    QString textRange(int start, int end) const;
    // Interface position <-> buffer (byte) position. A position inside a
    // surrogate pair goes to the start of its character, or past it when
    // forward is set.
    long toBuffer(int position, bool forward = false) const;
    int fromBuffer(long bytePosition) const;
    // The caret (the selection's moving end) as line and column, from 1.
    QPoint caretLineColumn() const;

    // The line-number margin, shown by default.
    bool lineNumbersShown() const { return m_lineNumbers; }
    void setLineNumbersShown(bool shown);

signals:
    // The caret or the selection moved, or the text changed.
    void caretMoved();
    // Lines [first, first + removed) of the text were replaced by lines
    // [first, first + added); every change of the text comes here.
    void linesReplaced(int first, int removed, int added);

protected:
    QChar charAt(int position) const override;
    void select(int start, int end) override;
    int findIn(const QString &text, int start, int end) const override;

    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // A line of the buffer: where it starts in both counts, and its length
    // without its line end.
    struct Line
    {
        long number = -1;
        long start16 = 0;
        long startByte = 0;
        long units = 0; // UTF-16 units up to the next line's start
        long bytes = 0; // bytes up to the next line's start
        bool ascii() const { return units == bytes; }
    };
    Line lineInfo(long number) const;
    Line lineAt16(int position) const;
    // The line last found, until the text changes: Span and the key handling
    // read along one line.
    mutable Line m_lastLine;

    QByteArray bytes(long from, long to) const;
    // Keeps Scintilla's UTF-16 line index from now on: the text is to hold
    // more than ASCII.
    void needIndex();
    bool m_indexed = false;
    char byteAt(long position) const;
    bool insideLineBreak(long bytePosition) const;

    // Replaces the selection with text already in the interface's form and
    // leaves the caret after it; one change notification.
    void replaceSelection(const QString &text);
    // After every change of the text: caches, margin, notifications.
    void changed(int first, int removed, int added);
    // The box's own handling of a key the hooks let through; false for keys
    // left to Scintilla's key map, which only moves the caret.
    bool actOnKey(const QKeyEvent *event);
    void keepOnlyMovingKeys();
    void updateMarginWidth();
    void showPreedit(const QString &preedit);

    // The whole text, decoded once until the text changes.
    mutable QString m_text;
    mutable bool m_textValid = false;

    enum class Drag { None, Pressed, Done };
    Drag m_drag = Drag::None;
    QPoint m_dragFrom;

    QString m_preedit;
    bool m_lineNumbers = true;
    int m_marginDigits = 0;
    bool m_settingFont = false;
};
