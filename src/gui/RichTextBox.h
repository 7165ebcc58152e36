#pragma once

#include "editbox/EditBox.h"

#include <QPlainTextEdit>

// The document's edit box on screen: QPlainTextEdit behind the EditBox
// interface.
//
// The widget keeps a line break as one paragraph separator and a lone LF as
// a line separator inside its paragraph; positions are translated to the
// CR LF counting of the interface through the widget's block lookup, never
// by walking the text. Every change of the text passes the interface's
// hooks: the widget's own undo, drops, middle-click paste and context menu
// are off, and a drag out of the box copies, never moves.
class RichTextBox : public QPlainTextEdit, public EditBox
{
    Q_OBJECT

public:
    explicit RichTextBox(Clipboard &clipboard, QWidget *parent = nullptr);

    QString Text() const override;
    TextSnapshot textSnapshot() const override;
    void setText(QString text) override;
    int TextLength() const override;

    int SelStart() const override;
    void setSelStart(int position) override;
    int SelLength() const override;
    void setSelLength(int length) override;

    QString textAfterLastSpace(int limit, bool &cut) const override;
    QString lineBeforeCaret(int limit) const override;

    QString SelText() const override;
    void setSelText(const QString &text) override;

    void SetFocus() override;

    // Replaces the selection as committed input does, through the key hooks,
    // so that the undo engine records it or refuses it. Line breaks may be
    // given as LF alone (as assistive technology reads them) or CR LF.
    void replaceSelectionAsInput(const QString &text);

    int FirstVisibleLine() const override;
    int LineCount() const override;
    void Scroll(ScrollAction action) override;
    bool scrollToFirstLine(int line) override;

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

private:
    // A left press on the selection, and whether its drag has been made.
    enum class Drag { None, Pressed, Done };
    Drag m_drag = Drag::None;
    QPoint m_dragFrom;

    // Interface position -> widget position. A position between CR and LF
    // goes to the line's end, or past the break when forward is set.
    int toWidget(int position, bool forward) const;
    int fromWidget(int widgetPosition) const;

    // The line (block number) holding an interface position, and where it starts.
    struct Line
    {
        int number;
        int start;  // interface position of its first character
        int length; // characters before its line break
    };
    // Searches the widget's own block positions, which it keeps up to date
    // through every edit, so no edit leaves a table to relearn.
    Line lineAt(int position) const;
    // The line last found, until the text changes: Span and the key
    // handling read along one line.
    mutable Line m_lastLine{-1, 0, 0};

    // The widget's own text, read out once until the text changes: reading
    // it costs more than a search of it. The recovery copy's snapshot and the
    // whole-document search share it.
    const QString &rawText() const;
    mutable QString m_rawText;
    mutable bool m_rawTextValid = false;

    // Widget position of the document's last space, kept through edits so
    // the hint line never scans a document without spaces.
    static constexpr int NoSpace = -1;
    static constexpr int SpaceUnknown = -2;
    mutable int m_lastSpace = SpaceUnknown;
    void followLastSpace(int position, int removed, int added);
};
