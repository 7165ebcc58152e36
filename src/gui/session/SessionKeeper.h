#pragma once

#include <QStringList>

#include <functional>

class OpenDocuments;
class Prompts;
class WindowState;

// What the window keeps as it closes or its session ends under it: the
// open tabs for the next start, the window's place, the recovery copies,
// and the one question about unsaved changes.
class SessionKeeper
{
public:
    // warned: whether a settings file that could not be written was told
    // about already (shared with the window's other such messages).
    SessionKeeper(OpenDocuments &documents, WindowState &state, Prompts &prompts, bool &warned);

    // Writes the session and the window's place; a failure is told once, when mayTell.
    void save(bool mayTell = true);
    // The window closes. atOnce: Exit, which asked already and keeps no
    // copies; saveStore writes data.dat. False when the user cancels.
    bool closing(bool atOnce, const std::function<void()> &saveStore);
    // SIGTERM, SIGHUP: every copy of unsaved work is written and the
    // session kept; nothing is asked. Ends the program.
    void endSession();
    // The session manager's request: copies written, then the question
    // when mayAsk; false when the user cancels.
    bool commitData(bool mayAsk);
    bool ended() const { return m_ended; }
    // An edit after a cancelled logout is asked about again at closing.
    void edited() { m_ended = false; }
    // Files that came too late to open as the session ended: added to the
    // session kept, after its own files.
    void keepForNextStart(const QStringList &paths);
    // The files open at the last closing, in their order, with the same one
    // in front; those that are gone are told about in one message.
    void reopen();
    // Settings that cannot be written are told about once.
    void warnSettingsUnsaved(const QString &reason);

private:
    void writeCopies();

    OpenDocuments &m_documents;
    WindowState &m_state;
    Prompts &m_prompts;
    bool &m_warned;
    bool m_ended = false;
};
