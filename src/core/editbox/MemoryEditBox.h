#pragma once

#include "editbox/EditBox.h"

// The edit box as a string and a selection, for running the core without a
// window. Its view is a fixed number of lines high and never wraps.
class MemoryEditBox : public EditBox
{
public:
    explicit MemoryEditBox(Clipboard &clipboard, int visibleLines = 10);

    QString Text() const override { return m_text; }
    void setText(QString text) override;
    int TextLength() const override { return int(m_text.size()); }

    int SelStart() const override { return m_start; }
    void setSelStart(int position) override;
    int SelLength() const override { return m_length; }
    void setSelLength(int length) override;

    QString SelText() const override { return m_text.mid(m_start, m_length); }
    void setSelText(const QString &text) override;

    void SetFocus() override { m_focused = true; }
    bool hasFocus() const { return m_focused; }

    int FirstVisibleLine() const override { return m_firstVisible; }
    int LineCount() const override;
    void Scroll(ScrollAction action) override;

    // A key press as the user makes it: key-down, the box's own handling of
    // the key unless the handler cancelled it, then key-up. The box itself
    // carries out no bindings.
    void pressKey(int keyCode, int shift = 0, const QString &text = {},
                  KeyEvent::Binding bound = KeyEvent::Binding::None);

    // Text committed by an input method, delivered as the box's key events.
    void commitText(const QString &text);

    // A mouse button released over the box.
    void releaseMouse(int button, int shift, int x, int y) { raiseMouseUp(button, shift, x, y); }

protected:
    QChar charAt(int position) const override { return m_text.at(position); }
    void select(int start, int end) override;

private:
    int snapStart(int position) const;
    int snapEnd(int position) const;
    void replaceSelection(const QString &text);
    void actOnKey(const KeyEvent &key);
    int lineOf(int position) const;
    void showCaret();

    QString m_text;
    int m_start = 0;
    int m_length = 0;
    int m_firstVisible = 0;
    const int m_visibleLines;
    bool m_focused = false;
};
