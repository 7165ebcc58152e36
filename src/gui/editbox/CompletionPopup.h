#pragma once

#include "completion/CompletionContext.h"
#include "completion/CompletionList.h"

#include <QObject>
#include <QSize>

#include <functional>
#include <memory>

class clsUndo;
class KnownCommands;
class ExplanationBox;
class QListView;
class QFrame;
class RichTextBox;
class CompletionModel;

// The completion list at the caret of the edit box. It watches the box's
// keys ahead of the undo engine: while it is closed only Ctrl+Space is
// taken from the box (the engine would cancel it); while it is open the
// keys that move through the list, take an item or close it never reach
// the box, and every other key types as always and narrows the list
// afterwards. An item is taken through the undo engine as one element.
class CompletionPopup : public QObject
{
    Q_OBJECT

public:
    // Called before the list opens, to give it the aliases and the game
    // folder of the moment; the catalogue is given once by then.
    using Refresh = std::function<void(CompletionList &)>;

    CompletionPopup(RichTextBox &box, QObject *parent = nullptr);
    ~CompletionPopup() override;

    void setUndo(clsUndo *undo) { m_undo = undo; }
    // The box it now follows (the window's current tab).
    void setBox(RichTextBox &box);
    // What names are known, and whose values are enumerated.
    void setKnown(std::shared_ptr<const KnownCommands> known);
    CompletionList &list() { return m_list; }
    void setRefresh(Refresh refresh) { m_refresh = std::move(refresh); }
    // View > Completion: off, the list never opens.
    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }

    bool isOpen() const;
    // The names shown, in order, and the highlighted one's row.
    QStringList shownNames() const;
    int currentRow() const;
    QString currentExplanation() const;

    // Opens the list for the word at the caret; false when nothing matches.
    bool open();
    void close();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The context at the caret; `wordStart` gets where its word starts in the box.
    CompletionContext contextAtCaret(int *wordStart = nullptr) const;
    QList<const CompletionList::Item *> matches(const CompletionContext &context);
    QList<const CompletionList::Item *> narrowed(const QString &prefix) const;
    void show(const CompletionContext &context, int wordStart, QList<const CompletionList::Item *> items);
    // After a key the box handled: narrow, close, or open by itself.
    void followTyping(bool textChanged);
    void move(int rows);
    void take();
    void place();
    void showExplanation();

    RichTextBox *m_box = nullptr;
    clsUndo *m_undo = nullptr;
    std::shared_ptr<const KnownCommands> m_known;
    CompletionList m_list;
    Refresh m_refresh;
    bool m_enabled = true;

    CompletionContext m_context; // of the open list
    int m_wordStart = 0;         // in the box's positions
    int m_caret = -1;            // where the caret was when it last narrowed
    QList<CompletionList::Item> m_owned; // offers that are not names
    bool m_open = false;
    bool m_inKey = false;
    bool m_changed = false;

    QSize m_size; // with all its rows
    int m_rows = 0; // rows shown
    QFrame *m_frame = nullptr;
    QListView *m_view = nullptr;
    ExplanationBox *m_explanation = nullptr;
    CompletionModel *m_model = nullptr;
};
