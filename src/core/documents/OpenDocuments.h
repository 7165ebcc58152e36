#pragma once

#include "documents/DocumentCommands.h"
#include "documents/RecoveryStore.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class EditBox;
class Prompts;

// One open document: its commands over the edit box that holds its text.
// The window's tab derives from it and adds its widgets; tests use a box in memory.
class OpenDocument
{
public:
    OpenDocument(EditBox &box, Prompts &prompts);
    virtual ~OpenDocument();
    OpenDocument(const OpenDocument &) = delete;
    OpenDocument &operator=(const OpenDocument &) = delete;

    EditBox &editBox() const { return m_box; }
    const QString &fileName() const { return commands->fileName(); }

    // Unmodified, with no file and no text: what an opened file takes the place of.
    bool isBlank() const;
    // The file's identity (fileIdentity), resolved once for each file name:
    // looking for an open file then costs no trip to the disk for each document.
    const QString &fileIdentity() const;

    std::unique_ptr<DocumentCommands> commands;

private:
    EditBox &m_box;
    mutable QString m_identityOf;
    mutable QString m_identity;
};

// The documents open in the window, in tab order, and the one in front.
// Every rule about which document a file goes to lives here: one file has
// one document, whether it is opened, handed over by a later start,
// restored from a recovery copy or written by Save As; a blank Untitled
// document in front is taken over; the last one closed leaves a blank one.
// It also keeps the session (the files open, the one in front) and says
// when it changes, and asks what closing and Save All ask. Views (the tab
// bar, the boxes) follow it through the hooks below.
class OpenDocuments
{
public:
    // Makes a document with a box of its own, not yet shown.
    using Maker = std::function<std::unique_ptr<OpenDocument>()>;
    // What the views do as the collection changes; any may be empty.
    struct Views
    {
        // A document was added at the end.
        std::function<void(OpenDocument &)> added;
        // The document at this index is about to go; another is in front already.
        std::function<void(int index, OpenDocument &)> removing;
        // The document is now in front; justRead: its file was read this moment.
        std::function<void(OpenDocument &, bool justRead)> broughtForward;
        // A file was read into the document (before it comes forward).
        std::function<void(OpenDocument &)> loaded;
        // A Save As gave the document its file.
        std::function<void(OpenDocument &)> named;
        // Names, order or modified marks may have changed.
        std::function<void()> labelsChanged;
        // The files open or the one in front changed.
        std::function<void(const QStringList &files, int current)> sessionChanged;
    };

    OpenDocuments(Prompts &prompts, Maker make);
    ~OpenDocuments();

    void setViews(Views views) { m_views = std::move(views); }
    // Where recovery copies are kept; each document has a slot of its own.
    void setRecoveryStore(RecoveryStore *store);

    int count() const { return int(m_documents.size()); }
    OpenDocument &at(int index) const { return *m_documents.at(size_t(index)); }
    int indexOf(const OpenDocument *document) const;
    // Null only before the first document is made.
    OpenDocument *current() const { return m_current; }
    int currentIndex() const { return indexOf(m_current); }
    // The document holding this file (by any path to it), if any.
    OpenDocument *find(const QString &path) const;

    // The first document, blank, in front.
    void start();
    void setCurrent(int index);
    // Ctrl+Tab (1) and Ctrl+Shift+Tab (-1), round the documents.
    void next(int step);
    // The tab bar moved a document; the order here follows.
    void move(int from, int to);

    // New: a blank document in front; a blank one in front is used as it is.
    void addBlank();
    enum class Opened { AlreadyOpen, Opened, Failed };
    // Open, a recent or dropped file, one handed over by a later start: the
    // file's own document comes forward, else it is read into a new one.
    Opened open(const QString &path);
    // The file named on the command line, into the document in front.
    void openCommandLine(const QString &argument);
    // Asks about unsaved changes; false when cancelled.
    bool close(int index);

    // Offers the copies left by editors that did not end; each restored
    // copy goes to its file's own document (which asks first about changes
    // of its own), else the blank one in front, else a new one.
    void offerRecovery();

    // Closing: one question about every document with unsaved changes (the
    // usual one when there is only one); false when cancelled.
    bool maybeSaveAll();
    // File > Save All: saves each document with unsaved changes, asking a
    // name for those without; false when one was cancelled or failed.
    bool saveAll();
    // The program ends normally: no recovery copy is left.
    void forgetRecoveryCopies();

    // Tab labels in order, with the modified mark ("*").
    QStringList labels() const;

    // The files open, in order, and the index of the one in front among them.
    QStringList sessionFiles() const;
    int sessionCurrent() const;
    // Starts the session from the one saved: nothing is told as a change
    // before this. With reopen its files open again (those not regular files
    // are returned, not opened) and the same one comes forward.
    QStringList beginSession(const QStringList &files, int current, bool reopen);

private:
    OpenDocument &add();
    OpenDocument &insert(std::unique_ptr<OpenDocument> document);
    std::unique_ptr<OpenDocument> make();
    void bringForward(OpenDocument &document, bool justRead = false);
    void remove(int index);
    // After Save As: any other document of the file just written goes.
    void closeOthersOf(const OpenDocument &saved);
    void changed();

    Prompts &m_prompts;
    Maker m_make;
    Views m_views;
    RecoveryStore *m_recovery = nullptr;
    std::vector<std::unique_ptr<OpenDocument>> m_documents;
    OpenDocument *m_current = nullptr;
    int m_nextRecoverySlot = 0;
    // The session last told; none until the session begins.
    std::optional<std::pair<QStringList, int>> m_session;
};
