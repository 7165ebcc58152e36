#pragma once

#include "editbox/TextForm.h"
#include "undo/clsUndoElement.h"

#include <QObject>

#include <deque>
#include <functional>

class EditBox;
struct KeyEvent;

// The undo engine: bound to one edit box, it handles the box's keys,
// records each edit as one clsUndoElement, undoes and redoes them one at a
// time, and carries out cut, copy, paste, insertion and deletion through
// the same recording. Unlimited history, no merging.
//
// Every change of the box's text must pass the engine (its key handlers or
// its commands): an unrecorded change makes later undos write into the
// wrong place. Whoever replaces the whole text calls Reset.
//
// Modified follows undo: the bound box's isModified() is the question
// "does the text differ from the file?". EditBox::setModified(false) (after
// a load or save) marks the current point of the history as the saved one;
// after each recorded change, undo and redo the engine sets isModified() to
// whether the history stands elsewhere, so undoing back to the saved point
// leaves the document unmodified. The flag is settled when StateChanged is
// raised. A change that is not recorded (IgnoreChange) makes the saved point
// unreachable until the next save or Reset.
class clsUndo : public QObject
{
    Q_OBJECT

public:
    // What the engine asks of the window around its box; either may be empty.
    struct WindowHooks
    {
        // true: stop painting the window; false: paint again. Calls nest
        // in the engine; the window sees only the outermost pair.
        std::function<void(bool)> suspendPainting;
        // true: show the busy cursor; false: the normal one.
        std::function<void(bool)> showBusy;
        // Before a paste, with the text it would put in; false leaves the box as it is.
        std::function<bool(const QString &)> allowPaste;
    };

    clsUndo() = default;
    ~clsUndo() override;

    // Set by the window that shows the bound box; none: nothing suspended.
    void setWindowHooks(WindowHooks hooks) { m_hooks = std::move(hooks); }

    // Some history to undo (redo) and recording on.
    bool canUndo() const { return UndoCount() >= 1 && mTracking; }
    bool canRedo() const { return RedoCount() >= 1 && mTracking; }
    // Elements that undo (redo) can apply, recording on or off.
    int UndoCount() const { return int(mUndoStack.size()); }
    int RedoCount() const { return int(mRedoStack.size()); }

    // The bound box; binding one takes over its key handlers and releases
    // those of the box bound before.
    EditBox *RichBox() const { return MyRichTextBox; }
    void setRichBox(EditBox *vNewValue);

    // Rich mode: redo writes rich text, cut and paste use the rich flavour.
    bool RichEditing() const { return mRichEditing; }
    void setRichEditing(bool vNewValue) { mRichEditing = vNewValue; }

    // Empties both stacks and turns recording on.
    void Reset();
    // Applies the newest element of the redo (undo) stack; nothing when empty.
    void Redo();
    void undo();
    // While ignoring, edits still happen but are not recorded.
    void IgnoreChange(bool Ignore);

    // The editing commands, each recorded as one element.
    void Cut();
    // Copies the selection; records nothing.
    void Copy();
    void Paste();
    // Replaces the selection with mText; raises StateChanged only when Update is set.
    void InsertText(const QString &mText, bool Update = false);
    // The Delete key: the selection, or the character (a line break as a whole) after the caret.
    void Delete();
    // Gives the box another form; with allLineEnds every line end of the
    // text is made the new form's too. One element, which undo takes back whole.
    void ChangeForm(const TextForm &form, bool allLineEnds);
    // Raises StateChanged, nothing else.
    void UpdateStateChange() { emit StateChanged(); }

    // The bound box's key events; Cut, Paste and Delete enter here too.
    void MyRichTextBox_KeyDown(KeyEvent &key);
    void MyRichTextBox_KeyUp(KeyEvent &key);

    // The newest element of each stack, or null; for inspection.
    const clsUndoElement *newestUndo() const { return mUndoStack.empty() ? nullptr : &mUndoStack.back(); }
    const clsUndoElement *newestRedo() const { return mRedoStack.empty() ? nullptr : &mRedoStack.back(); }

signals:
    // After each recorded change, undo, redo, Reset and UpdateStateChange.
    void StateChanged();

private:
    class Painting;
    friend class Painting;

    void AddElement(clsUndoElement &element);
    clsUndoElement newElement() const;

    void recordTyping(KeyEvent &key, const QString &text);
    void recordDeletion();
    bool recordBackspace();
    bool recordWordBackspace();
    void recordCut();
    void recordSelectionDeleted(clsUndoElement &e);
    void recordPaste();
    void carryOutBinding(KeyEvent &key);
    void selectAll();
    void selectToTop();
    void selectToBottom();

    // Plain text kept where rich text may stand: text that would read as
    // rich is stored in rich form, so writing it back gives it unchanged.
    static QString plainKept(const QString &text);
    void noteSavePoint();
    void settleModified();

    bool mTracking = false;
    // Moved, never copied, between the stacks; a deque never moves its
    // elements as it grows, so recording is constant time at any depth.
    std::deque<clsUndoElement> mUndoStack;
    std::deque<clsUndoElement> mRedoStack;
    bool mRichEditing = false;
    EditBox *MyRichTextBox = nullptr;

    // Undo depth whose text was last saved or loaded; -1 when out of reach.
    int m_savedDepth = -1;
    int m_paintingDepth = 0;
    WindowHooks m_hooks;
};
