#include "undo/clsUndo.h"

#include "editbox/Clipboard.h"
#include "editbox/EditBox.h"
#include "editbox/RichText.h"
#include "editbox/VirtualKey.h"
#include "undo/ScrollToLine.h"

namespace {

constexpr int Ctrl = 2;
constexpr int CtrlShift = 3;
constexpr int AltOnly = 4;
constexpr int CtrlAlt = 6; // AltGr, as some systems report it

// The text a key puts into the box, or empty for a key that types nothing.
// Mirrors what a text widget accepts as typed input.
QString typedText(const KeyEvent &key)
{
    if (key.KeyCode == VirtualKey::Return)
        return QStringLiteral("\r\n");
    if (key.KeyCode == VirtualKey::Tab && key.Shift == 0)
        return QStringLiteral("\t");
    const QString &text = key.Text;
    if (text.isEmpty())
        return {};
    const QChar c = text.front();
    // Text committed by an input method goes in as it is, unless it is a control code.
    if (key.KeyCode == VirtualKey::Unmapped && key.Shift == 0
        && (c.category() != QChar::Other_Control || c == u'\t' || c == u'\r' || c == u'\n'))
        return text;
    const bool typed = c.isPrint() || c == u'\t' || c.category() == QChar::Other_Format
        || c.category() == QChar::Other_PrivateUse
        || (c.isHighSurrogate() && text.size() > 1 && text[1].isLowSurrogate());
    return typed ? text : QString();
}

// Shows the busy cursor for its lifetime.
class Busy
{
public:
    explicit Busy(const std::function<void(bool)> &show) : m_show(show)
    {
        if (m_show)
            m_show(true);
    }
    ~Busy()
    {
        if (m_show)
            m_show(false);
    }
    Busy(const Busy &) = delete;
    Busy &operator=(const Busy &) = delete;

private:
    const std::function<void(bool)> &m_show;
};

// Keys that only move the caret or extend the selection; with Ctrl they
// reach the box, so desktop navigation works and nothing is edited.
bool movesOnly(int code)
{
    return code == VirtualKey::Home || code == VirtualKey::End || code == VirtualKey::Prior
        || code == VirtualKey::Next || (code >= VirtualKey::Left && code <= VirtualKey::Down);
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// How far Ctrl+Backspace reaches back along a line: a word and the
// blanks after it.
constexpr int WordReach = 1024;

bool isSurrogatePair(const QString &text)
{
    return text.size() == 2 && text[0].isHighSurrogate() && text[1].isLowSurrogate();
}

} // namespace

// Suspends painting for its lifetime, also when an operation fails.
class clsUndo::Painting
{
public:
    explicit Painting(clsUndo &engine) : m_engine(engine)
    {
        if (m_engine.m_paintingDepth++ == 0 && m_engine.m_hooks.suspendPainting)
            m_engine.m_hooks.suspendPainting(true);
    }
    ~Painting()
    {
        if (--m_engine.m_paintingDepth == 0 && m_engine.m_hooks.suspendPainting)
            m_engine.m_hooks.suspendPainting(false);
    }
    Painting(const Painting &) = delete;
    Painting &operator=(const Painting &) = delete;

private:
    clsUndo &m_engine;
};

clsUndo::~clsUndo()
{
    setRichBox(nullptr);
}

void clsUndo::setRichBox(EditBox *vNewValue)
{
    if (MyRichTextBox)
        MyRichTextBox->setKeyHandlers({}, {});
    MyRichTextBox = vNewValue;
    if (MyRichTextBox)
        MyRichTextBox->setKeyHandlers([this](KeyEvent &key) { MyRichTextBox_KeyDown(key); },
                                      [this](KeyEvent &key) { MyRichTextBox_KeyUp(key); });
}

void clsUndo::Reset()
{
    mUndoStack = {};
    mRedoStack = {};
    mTracking = true;
    m_savedDepth = MyRichTextBox && !MyRichTextBox->isModified() ? 0 : -1;
    emit StateChanged();
}

void clsUndo::IgnoreChange(bool Ignore)
{
    mTracking = !Ignore;
}

clsUndoElement clsUndo::newElement() const
{
    clsUndoElement element;
    element.UndoCaret = -1;
    element.RedoCaret = -1;
    return element;
}

void clsUndo::AddElement(clsUndoElement &element)
{
    if (!mTracking) {
        // The text changed without a record: the saved text is out of reach.
        m_savedDepth = -1;
        return;
    }
    if (!mRedoStack.empty()) {
        if (m_savedDepth > UndoCount())
            m_savedDepth = -1;
        mRedoStack = {};
    }
    mUndoStack.push_back(std::move(element));
}

// A box that is not modified holds the saved text: the history stands at
// the saved point now.
void clsUndo::noteSavePoint()
{
    if (MyRichTextBox && !MyRichTextBox->isModified())
        m_savedDepth = UndoCount();
}

void clsUndo::settleModified()
{
    if (MyRichTextBox)
        MyRichTextBox->setModified(m_savedDepth != UndoCount());
}

QString clsUndo::plainKept(const QString &text)
{
    return RichText::isRichText(text) ? RichText::fromPlain(text) : text;
}

void clsUndo::undo()
{
    if (mUndoStack.empty())
        return;
    noteSavePoint();
    Painting painting(*this);
    mTracking = false;
    clsUndoElement &e = mUndoStack.back();
    EditBox &box = *MyRichTextBox;
    box.setSelection(e.Start, e.IsDeletion ? 0 : e.NewLength);
    box.setSelRTF(e.OldText);
    if (e.OldForm != -1)
        box.setForm(TextForm::unpacked(e.OldForm));
    if (e.UndoCaret != -1)
        box.setSelStart(e.UndoCaret);
    mRedoStack.push_back(std::move(e));
    mUndoStack.pop_back();
    mTracking = true;
    settleModified();
    emit StateChanged();
}

void clsUndo::Redo()
{
    if (mRedoStack.empty())
        return;
    noteSavePoint();
    Painting painting(*this);
    mTracking = false;
    clsUndoElement &e = mRedoStack.back();
    EditBox &box = *MyRichTextBox;
    box.setSelection(e.Start, e.OldLength);
    if (mRichEditing)
        box.setSelRTF(e.NewText);
    else
        box.setSelText(e.NewText);
    if (e.NewForm != -1)
        box.setForm(TextForm::unpacked(e.NewForm));
    if (e.RedoCaret != -1)
        box.setSelStart(e.RedoCaret);
    mUndoStack.push_back(std::move(e));
    mRedoStack.pop_back();
    mTracking = true;
    settleModified();
    emit StateChanged();
}

void clsUndo::Cut()
{
    KeyEvent key{'X', Ctrl, {}};
    MyRichTextBox_KeyDown(key);
}

void clsUndo::Paste()
{
    KeyEvent key{'V', Ctrl, {}};
    MyRichTextBox_KeyDown(key);
}

void clsUndo::Delete()
{
    KeyEvent key{VirtualKey::Delete, 0, {}};
    MyRichTextBox_KeyDown(key);
}

void clsUndo::Copy()
{
    MyRichTextBox->CopyToClipboard();
}

void clsUndo::InsertText(const QString &mText, bool Update)
{
    noteSavePoint();
    EditBox &box = *MyRichTextBox;
    clsUndoElement e = newElement();
    e.Start = box.SelStart();
    e.OldLength = box.SelLength();
    e.OldText = plainKept(box.SelText());
    e.NewText = mRichEditing ? plainKept(mText) : mText;
    box.setSelText(mText);
    // The box may turn a lone CR into a line break: measure what went in.
    e.NewLength = box.SelStart() - e.Start;
    e.IsDeletion = false;
    AddElement(e);
    settleModified();
    if (Update)
        emit StateChanged();
}

void clsUndo::ChangeForm(const TextForm &form, bool allLineEnds)
{
    EditBox &box = *MyRichTextBox;
    const TextForm old = box.form();
    // Lines of a mixed file may end otherwise than the form says.
    const QString text = allLineEnds ? box.Text() : QString();
    const QString converted = allLineEnds ? LineBreaks::convert(text, form.lineBreak) : QString();
    if (form == old && converted == text)
        return;
    noteSavePoint();
    Painting painting(*this);
    clsUndoElement e = newElement();
    e.OldForm = old.packed();
    e.NewForm = form.packed();
    const int caret = box.SelStart();
    e.UndoCaret = caret;
    e.Start = caret;
    e.RedoCaret = caret;
    if (converted != text) {
        // The whole text, so that undo puts each line's own end back.
        e.Start = 0;
        e.OldLength = int(text.size());
        e.OldText = plainKept(text);
        e.NewText = mRichEditing ? plainKept(converted) : converted;
        e.RedoCaret = int(LineBreaks::convertedPosition(text, caret, form.lineBreak));
        box.setSelection(0, e.OldLength);
        box.setSelText(converted);
        e.NewLength = int(converted.size());
    }
    box.setForm(form);
    box.setSelStart(e.RedoCaret);
    e.IsDeletion = false;
    AddElement(e);
    settleModified();
    emit StateChanged();
}

void clsUndo::MyRichTextBox_KeyDown(KeyEvent &key)
{
    if (!MyRichTextBox)
        return;
    noteSavePoint();
    // Only the keys that change the box in several steps hold painting back:
    // a repaint of the whole window on every typed key costs more than the key.
    const int code = key.KeyCode;
    const int shift = key.Shift;
    if (shift == Ctrl && code == 'Z') {
        undo();
        key.KeyCode = 0;
    } else if ((shift == Ctrl && (code == 'R' || code == 'Y')) || (shift == CtrlShift && code == 'Z')) {
        Redo();
        key.KeyCode = 0;
    } else if (code == VirtualKey::Delete) {
        recordDeletion();
        key.KeyCode = 0;
    } else if (shift == Ctrl && code == 'X') {
        Painting painting(*this);
        recordCut();
        key.KeyCode = 0;
    } else if ((shift == Ctrl && code == 'V') || (shift == CtrlShift && code == VirtualKey::Insert)
               || (shift == 1 && code == VirtualKey::Insert)) {
        Painting painting(*this);
        recordPaste();
        key.KeyCode = 0;
    } else if (shift == Ctrl && code == 'C') {
        Copy();
        key.KeyCode = 0;
    } else if (shift == Ctrl && code == 'A') {
        selectAll();
        key.KeyCode = 0;
    } else if (shift == Ctrl && code == 'T') {
        selectToTop();
        key.KeyCode = 0;
    } else if (shift == Ctrl && code == 'B') {
        selectToBottom();
        key.KeyCode = 0;
    } else if (shift == 0 || shift == 1 || ((shift & CtrlAlt) == CtrlAlt && !typedText(key).isEmpty())) {
        const QString text = MyRichTextBox->withOwnLineBreaks(typedText(key));
        if (!text.isEmpty()) {
            recordTyping(key, text);
        } else if (code == VirtualKey::Back) {
            if (recordBackspace())
                emit StateChanged();
            key.KeyCode = 0;
        } else if (code == VirtualKey::Tab || code == VirtualKey::Insert
                   || (code == VirtualKey::Unmapped && !key.Text.isEmpty())) {
            // Shift+Tab without text, the overwrite toggle, and control codes
            // committed as input: nothing the box should do.
            key.KeyCode = 0;
        }
    } else if ((shift == Ctrl || shift == CtrlShift) && movesOnly(code)) {
        // Left to the box: it moves the caret and changes no text.
    } else if (shift == Ctrl && code == VirtualKey::Back) {
        if (recordWordBackspace())
            emit StateChanged();
        key.KeyCode = 0;
    } else if (shift == AltOnly) {
        // Alt with a key reaches the box, unless the box would edit with it unrecorded.
        if (!typedText(key).isEmpty() || code == VirtualKey::Back || code == VirtualKey::Tab)
            key.KeyCode = 0;
    } else {
        key.KeyCode = 0;
    }
    if (key.KeyCode != 0 && key.Bound != KeyEvent::Binding::None)
        carryOutBinding(key);
}

// Tab is typed like any key: the engine inserts it at key-down, so nothing
// that happens before the key-up (a click that moves the caret) can part
// the text from the history.
void clsUndo::MyRichTextBox_KeyUp(KeyEvent &)
{
}

// A key that got this far would reach the box, which would carry out its
// binding unrecorded: the engine does it as its own command instead.
void clsUndo::carryOutBinding(KeyEvent &key)
{
    key.KeyCode = 0;
    switch (key.Bound) {
    case KeyEvent::Binding::Undo: undo(); break;
    case KeyEvent::Binding::Redo: Redo(); break;
    case KeyEvent::Binding::Copy: Copy(); break;
    case KeyEvent::Binding::Cut: {
        Painting painting(*this);
        recordCut();
        break;
    }
    case KeyEvent::Binding::Paste: {
        Painting painting(*this);
        recordPaste();
        break;
    }
    case KeyEvent::Binding::Delete: recordDeletion(); break;
    case KeyEvent::Binding::OtherEdit:
    case KeyEvent::Binding::None: break;
    }
}

// The engine writes the text itself and cancels the key, so what it records
// is by construction what the box holds.
void clsUndo::recordTyping(KeyEvent &key, const QString &text)
{
    EditBox &box = *MyRichTextBox;
    clsUndoElement e = newElement();
    e.Start = box.SelStart();
    e.OldLength = box.SelLength();
    if (e.OldLength > 0)
        e.OldText = box.SelRTF();
    e.NewText = mRichEditing ? plainKept(text) : text;
    box.setSelText(text);
    e.NewLength = box.SelStart() - e.Start;
    e.IsDeletion = false;
    key.KeyCode = 0;
    AddElement(e);
    settleModified();
    emit StateChanged();
}

void clsUndo::recordDeletion()
{
    EditBox &box = *MyRichTextBox;
    clsUndoElement e = newElement();
    e.Start = box.SelStart();
    e.NewLength = box.SelLength() > 0 ? box.SelLength() : 1;
    if (box.SelLength() == 0) {
        // A line break, or a character outside the 16-bit range, goes as a whole.
        box.setSelLength(2);
        const QString two = box.SelText();
        if (two != QLatin1String("\r\n") && !isSurrogatePair(two))
            box.setSelLength(1);
    }
    recordSelectionDeleted(e);
}

// The deletion Backspace makes: the selection, or what stands before the
// caret (a line break or a surrogate pair as a whole). False at the start.
bool clsUndo::recordBackspace()
{
    EditBox &box = *MyRichTextBox;
    const int caret = box.SelStart();
    if (box.SelLength() == 0) {
        if (caret == 0)
            return false;
        // A position inside a line break moves back before its CR.
        box.setSelStart(caret - 1);
        int from = box.SelStart();
        box.setSelLength(caret - from);
        if (from > 0 && box.SelText().front().isLowSurrogate()) {
            box.setSelStart(from - 1);
            box.setSelLength(2);
            if (isSurrogatePair(box.SelText()))
                from -= 1;
            box.setSelStart(from);
            box.setSelLength(caret - from);
        }
    }
    clsUndoElement e = newElement();
    e.Start = box.SelStart();
    e.OldLength = box.SelLength();
    e.OldText = plainKept(box.SelText());
    e.NewLength = 0;
    e.IsDeletion = true;
    box.setSelText(QString());
    AddElement(e);
    settleModified();
    return true;
}

// Ctrl+Backspace: the word before the caret with the blanks after it, as
// one element; at a line start the line break, as Backspace.
bool clsUndo::recordWordBackspace()
{
    EditBox &box = *MyRichTextBox;
    if (box.SelLength() == 0) {
        const QString line = box.lineBeforeCaret(WordReach);
        qsizetype from = line.size();
        while (from > 0 && (line[from - 1] == u' ' || line[from - 1] == u'\t'))
            --from;
        if (from > 0 && isWordChar(line[from - 1])) {
            while (from > 0 && isWordChar(line[from - 1]))
                --from;
        } else {
            while (from > 0 && !isWordChar(line[from - 1]) && line[from - 1] != u' ' && line[from - 1] != u'\t')
                --from;
        }
        if (const int length = int(line.size() - from); length > 0)
            box.setSelection(box.SelStart() - length, length);
    }
    return recordBackspace();
}

// A cut with nothing selected changes nothing: it records nothing and
// leaves the clipboard alone.
void clsUndo::recordCut()
{
    EditBox &box = *MyRichTextBox;
    if (box.SelLength() == 0)
        return;
    Clipboard &clipboard = box.clipboard();
    clipboard.Clear();
    clipboard.SetText(box.SelText(), Clipboard::Format::Text);
    if (mRichEditing)
        clipboard.SetText(box.SelRTF(), Clipboard::Format::RichText);
    clsUndoElement e = newElement();
    e.Start = box.SelStart();
    e.NewLength = box.SelLength();
    recordSelectionDeleted(e);
}

// Delete and Cut end alike: the selection, kept in rich form, is removed.
void clsUndo::recordSelectionDeleted(clsUndoElement &e)
{
    EditBox &box = *MyRichTextBox;
    e.OldLength = box.SelLength();
    e.OldText = box.SelRTF();
    e.NewText = QString();
    box.setSelRTF(QString());
    e.IsDeletion = true;
    AddElement(e);
    settleModified();
    emit StateChanged();
}

void clsUndo::recordPaste()
{
    EditBox &box = *MyRichTextBox;
    Clipboard &clipboard = box.clipboard();
    if (m_hooks.allowPaste) {
        const QString rich = mRichEditing ? clipboard.GetText(Clipboard::Format::RichText) : QString();
        if (!m_hooks.allowPaste(rich.isEmpty() ? clipboard.GetText(Clipboard::Format::Text) : RichText::toPlain(rich)))
            return;
    }
    clsUndoElement e = newElement();
    e.Start = box.SelStart();
    e.OldLength = box.SelLength();
    e.OldText = plainKept(box.SelText());
    // Pasted lines take the document's line end, as typed ones do.
    const QString plain = box.withOwnLineBreaks(clipboard.GetText(Clipboard::Format::Text));
    if (mRichEditing) {
        const QString rich = clipboard.GetText(Clipboard::Format::RichText);
        // The box pastes the rich flavour when there is one, else the plain.
        if (rich.isEmpty()) {
            e.NewText = plainKept(plain);
            box.setSelText(plain);
        } else {
            e.NewText = rich;
            box.PasteFromClipboard();
        }
    } else {
        e.NewText = plain;
        box.setSelText(plain);
    }
    // Measured, not taken from the clipboard: the box may turn a lone CR into a line break.
    e.NewLength = box.SelStart() - e.Start;
    e.IsDeletion = false;
    AddElement(e);
    settleModified();
    emit StateChanged();
}

void clsUndo::selectAll()
{
    EditBox &box = *MyRichTextBox;
    box.setSelStart(0);
    box.setSelLength(box.TextLength());
    box.SetFocus();
}

void clsUndo::selectToTop()
{
    EditBox &box = *MyRichTextBox;
    Busy busy(m_hooks.showBusy);
    Painting painting(*this);
    int top = box.FirstVisibleLine();
    const int caret = box.SelStart();
    box.setSelStart(0);
    box.setSelLength(caret);
    ScrollToLine(top, box);
    box.SetFocus();
}

void clsUndo::selectToBottom()
{
    EditBox &box = *MyRichTextBox;
    Busy busy(m_hooks.showBusy);
    Painting painting(*this);
    int top = box.FirstVisibleLine();
    const int end = box.SelStart() + box.SelLength();
    box.setSelStart(end);
    box.setSelLength(box.TextLength() - end);
    ScrollToLine(top, box);
    box.SetFocus();
}
