#pragma once

#include "editbox/TextForm.h"

#include <QString>

#include <functional>

class Clipboard;

// A key as the edit box reports it before and after acting on it.
// KeyCode is the Windows virtual-key code; setting it to 0 in the key-down
// handler cancels the key. Shift is a bit set: 1 Shift, 2 Ctrl, 4 Alt.
// Text is what the key would type, for keys whose code is not their character.
// Text committed by an input method arrives as a key-down / key-up pair with
// KeyCode VirtualKey::Unmapped, Shift 0 and the committed text, so it is
// recorded like typing.
struct KeyEvent
{
    // What the platform's key bindings make the key do in a text box, where
    // that is an edit (a Sun keyboard's Cut key, X11's Shift+Insert): a key
    // the engine lets through must not edit behind its back.
    enum class Binding { None, Undo, Redo, Cut, Copy, Paste, Delete, OtherEdit };

    int KeyCode = 0;
    int Shift = 0;
    QString Text;
    Binding Bound = Binding::None;
};

// The document's edit box, as every part of the editor sees it.
//
// Positions are 0-based and a line break counts as the two characters
// CR LF. The box keeps every line end as it is given: a lone LF or a lone CR
// counts one and is shown as a line end too, so a file's own line ends stay
// as they are. A position inside a CR LF pair, or inside a surrogate pair,
// moves back before it when it starts a selection and past it when it ends one.
class EditBox
{
public:
    enum class ScrollAction { LineUp = 0, LineDown = 1, PageUp = 2, PageDown = 3 };

    using KeyHandler = std::function<void(KeyEvent &)>;
    using ChangeHandler = std::function<void()>;
    // Button: 1 left, 2 right, 4 middle; Shift as for keys; X, Y in pixels.
    using MouseUpHandler = std::function<void(int button, int shift, int x, int y)>;

    explicit EditBox(Clipboard &clipboard) : m_clipboard(clipboard) {}
    virtual ~EditBox() = default;
    EditBox(const EditBox &) = delete;
    EditBox &operator=(const EditBox &) = delete;

    // The whole text. Writing it raises the change notification once and no key events.
    virtual QString Text() const = 0;
    virtual void setText(QString text) = 0;
    virtual int TextLength() const = 0;

    // Text() later and on any thread, from what is cheapest to take now.
    using TextSnapshot = std::function<QString()>;
    virtual TextSnapshot textSnapshot() const
    {
        return [text = Text()] { return text; };
    }

    // How the text is written to its file. New lines (Enter, pasted text)
    // take its line end; the undo engine changes it as one step.
    const TextForm &form() const { return m_form; }
    virtual void setForm(const TextForm &form) { m_form = form; }
    // Text that holds line ends, with each made the form's own.
    QString withOwnLineBreaks(const QString &text) const;

    // The whole text in rich-text form (see RichText).
    QString TextRTF() const;

    // The caret's line from its start (at most `limit` characters back) to
    // the caret, the end of the selection. A lone LF ends a line here too.
    virtual QString lineBeforeCaret(int limit) const;
    // The caret's line from the caret on, at most `limit` characters.
    QString lineAfterCaret(int limit) const;

    // Writing SelStart collapses the selection; SelLength extends it from SelStart.
    virtual int SelStart() const = 0;
    virtual void setSelStart(int position) = 0;
    virtual int SelLength() const = 0;
    virtual void setSelLength(int length) = 0;

    // setSelStart(start) then setSelLength(length) in one step, for a start
    // that is not inside a line break.
    void setSelection(int start, int length) { select(start, start + qMax(0, length)); }

    // Writing replaces the selection and leaves the caret after the new text.
    virtual QString SelText() const = 0;
    virtual void setSelText(const QString &text) = 0;
    QString SelRTF() const;
    // Rich text is read into plain text; any other string goes in unchanged.
    void setSelRTF(const QString &text);

    // Searches [start, end) ignoring letter case. Selects the match and
    // returns its position, or returns -1 and leaves the selection alone.
    // An empty search text finds nothing.
    int Find(const QString &text, int start, int end);

    // Extends the selection over characters in the set (negate false) or
    // not in it (negate true): forward from its end, or backward from its start.
    void Span(const QString &set, bool forward, bool negate);

    virtual void SetFocus() = 0;

    // Lines as the box shows them: ended by CR LF or a lone LF.
    virtual int FirstVisibleLine() const = 0;
    virtual int LineCount() const = 0;
    virtual void Scroll(ScrollAction action) = 0;
    // Puts the line at the top of the view (as near as the view goes) in one
    // step; false where the box can only be scrolled step by step.
    virtual bool scrollToFirstLine(int line)
    {
        Q_UNUSED(line);
        return false;
    }

    // Copies the selection in both flavours; does nothing without a selection.
    void CopyToClipboard();
    // Replaces the selection with the clipboard, rich flavour first.
    void PasteFromClipboard();

    // The clipboard the box copies to and pastes from.
    Clipboard &clipboard() { return m_clipboard; }

    // Whether the text changed since setModified(false).
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    // One key handler pair at a time: binding new handlers unbinds the old.
    void setKeyHandlers(KeyHandler down, KeyHandler up);
    void setChangeHandler(ChangeHandler handler) { m_onChange = std::move(handler); }
    void setMouseUpHandler(MouseUpHandler handler) { m_onMouseUp = std::move(handler); }

protected:
    // Implementations call these from their own event handling.
    // Returns whether the box is to act on the key.
    bool raiseKeyDown(KeyEvent &key);
    void raiseKeyUp(KeyEvent &key);
    void raiseChange();
    void raiseMouseUp(int button, int shift, int x, int y);

    // The character at a position of Text().
    virtual QChar charAt(int position) const = 0;

    // Selects [start, end) in one step.
    virtual void select(int start, int end) = 0;

    // Where Find finds a non-empty text within [start, end), bounds already
    // checked, or -1.
    virtual int findIn(const QString &text, int start, int end) const;

private:
    Clipboard &m_clipboard;
    KeyHandler m_onKeyDown;
    KeyHandler m_onKeyUp;
    ChangeHandler m_onChange;
    MouseUpHandler m_onMouseUp;
    bool m_modified = false;
    TextForm m_form;
};
