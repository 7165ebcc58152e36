#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class Clipboard;
class OpenDocument;
class OpenDocuments;
class Prompts;
class QWidget;
class RecoveryStore;
class TabsView;
struct Catalogue;
struct DocumentTab;

// The window's tabs: the open documents, a tab made for each (box, undo
// history, colours, recovery timer), the tab bar showing them, and which
// box shows. What the rest of the window does as they change goes through
// the hooks; the rules of which tab holds a file are the documents' own.
class DocumentTabs : public QObject
{
    Q_OBJECT

public:
    struct Hooks
    {
        // The tab in front changed (the boxes are swapped already); justRead:
        // its file was read this moment.
        std::function<void(DocumentTab &, bool changed, bool justRead)> cameForward;
        // Any change of the front tab's text.
        std::function<void()> textChanged;
        std::function<void()> caretMoved;
        // The front tab's undo state (modified, what Undo would take back) changed.
        std::function<void()> undoStateChanged;
        std::function<void(int button, int shift, int x, int y)> mouseUp;
        // Save As named the front tab's document.
        std::function<void(const QString &)> named;
        std::function<void()> sessionChanged;
        // The undo engine's painting pause.
        std::function<void(bool)> suspendPainting;
        // Ctrl+W, the close button, the middle button.
        std::function<void(int)> close;
    };

    DocumentTabs(QWidget &client, Clipboard &clipboard, const Catalogue &catalogue, Prompts &prompts, Hooks hooks);
    ~DocumentTabs() override;

    OpenDocuments &documents() const { return *m_documents; }
    TabsView &view() const { return *m_view; }
    int count() const;
    DocumentTab &at(int index) const;
    DocumentTab &front() const { return *m_front; }
    std::vector<DocumentTab *> all() const;

    // Where unsaved text is kept against a crash; without one nothing is.
    void setRecovery(RecoveryStore *store);
    // The first tab, in front, at its start place under the controls at top.
    void start(int top, int width, int height);
    // Where the bar and the front box go under the controls down to top.
    void layout();
    void showLabels();
    void setLineNumbers(bool shown);
    // Offers the copies left by editors that did not end (see
    // OpenDocuments); each restored copy's tab is coloured as its file.
    void offerRecovery();

private:
    std::unique_ptr<OpenDocument> make();
    void bringForward(DocumentTab &tab, bool justRead);
    void changed(DocumentTab &tab);
    void keepRecoveryCopy(DocumentTab &tab);

    QWidget &m_client;
    Clipboard &m_clipboard;
    const Catalogue &m_catalogue;
    Prompts &m_prompts;
    Hooks m_hooks;
    std::unique_ptr<OpenDocuments> m_documents;
    TabsView *m_view = nullptr;
    DocumentTab *m_front = nullptr;
    int m_top = 0;
    bool m_lineNumbers = true;
    RecoveryStore *m_recovery = nullptr;
    QElapsedTimer m_recoveryClock;
    bool m_recoveryWarned = false;
};
