#pragma once

#include <QString>

// The text of an undo element. A typed key's text (up to seven UTF-16 units)
// is kept in place, so recording a keystroke allocates nothing; longer text
// is held in a QString on the heap. Reads and writes like a QString.
class UndoText
{
public:
    UndoText() = default;
    UndoText(const QString &text) { assign(text); }
    UndoText(const UndoText &other) { assign(other); }
    UndoText(UndoText &&other) noexcept;
    ~UndoText() { release(); }

    UndoText &operator=(const QString &text);
    UndoText &operator=(const UndoText &other);
    UndoText &operator=(UndoText &&other) noexcept;

    operator QString() const { return toString(); }
    QString toString() const;
    int size() const;
    bool isEmpty() const { return size() == 0; }

    friend bool operator==(const UndoText &a, const QString &b) { return a.toString() == b; }

private:
    static constexpr int InPlace = 7;
    static constexpr char16_t OnHeap = 0xffff;

    void assign(const QString &text);
    void assign(const UndoText &other);
    void release();
    QString *heap() const;

    // Units 0..6 hold the text in place and unit 7 its length; or the first
    // eight bytes hold a QString pointer and unit 7 is OnHeap.
    alignas(void *) char16_t m_units[InPlace + 1] = {};
};

// One recorded change of the box's text. A new element has every number 0,
// both texts empty and IsDeletion false. The numbers come first so that the
// element packs into 56 bytes.
struct clsUndoElement
{
    // Position at which the change begins.
    qint32 Start = 0;
    // Length of the text at Start after the change; undo selects this much.
    qint32 NewLength = 0;
    // Length of the text at Start before the change; redo selects this much.
    qint32 OldLength = 0;
    // Caret after undo / redo; -1 leaves it after the written text.
    qint32 UndoCaret = 0;
    qint32 RedoCaret = 0;
    // The change only removed text: undo selects nothing and inserts OldText.
    bool IsDeletion = false;
    // A change of how the text is written (TextForm::packed); -1 for none.
    // Undo gives the box OldForm back, redo NewForm.
    qint8 OldForm = -1;
    qint8 NewForm = -1;
    // What the change removed or replaced (rich or plain); undo writes it back.
    UndoText OldText;
    // What the change inserted; redo writes it back.
    UndoText NewText;
};
