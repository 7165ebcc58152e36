#include "gui/session/SessionKeeper.h"

#include "documents/OpenDocuments.h"
#include "documents/Prompts.h"
#include "documents/Texts.h"
#include "gui/window/WindowState.h"

#include <QCoreApplication>

#include <utility>

SessionKeeper::SessionKeeper(OpenDocuments &documents, WindowState &state, Prompts &prompts, bool &warned)
    : m_documents(documents), m_state(state), m_prompts(prompts), m_warned(warned)
{
}

void SessionKeeper::save(bool mayTell)
{
    m_state.setSession(m_documents.sessionFiles(), m_documents.sessionCurrent());
    if (const Status saved = m_state.save(); !saved && mayTell && !std::exchange(m_warned, true))
        m_prompts.showError(saved.error());
}

bool SessionKeeper::closing(bool atOnce, const std::function<void()> &saveStore)
{
    if (atOnce) {
        save();
        m_documents.forgetRecoveryCopies();
        return true;
    }
    // At the end of a session the question was asked already, or could not be.
    if (!m_ended && !m_documents.maybeSaveAll())
        return false;
    saveStore();
    save();
    if (!m_ended)
        m_documents.forgetRecoveryCopies();
    return true;
}

void SessionKeeper::writeCopies()
{
    for (int i = 0; i < m_documents.count(); ++i)
        m_documents.at(i).commands->endSession(false);
}

void SessionKeeper::endSession()
{
    writeCopies();
    // The open tabs come back at the next start, as after a normal close;
    // nothing is asked now.
    save(false);
    m_ended = true;
    // Also ends a question or dialog that is up: it answers Cancel.
    QCoreApplication::exit(0);
}

bool SessionKeeper::commitData(bool mayAsk)
{
    // Every copy is on disk before the question, which the session may cut short.
    writeCopies();
    m_ended = !mayAsk || m_documents.maybeSaveAll();
    if (m_ended)
        save(false);
    if (mayAsk && m_ended)
        m_documents.forgetRecoveryCopies();
    return m_ended;
}

void SessionKeeper::keepForNextStart(const QStringList &paths)
{
    QStringList files = m_documents.sessionFiles();
    for (const QString &path : paths) {
        if (!files.contains(path))
            files << path;
    }
    m_state.setSession(files, m_documents.sessionCurrent());
    (void)m_state.save();
}

void SessionKeeper::reopen()
{
    const QStringList missing = m_documents.beginSession(m_state.sessionFiles(), m_state.sessionCurrent(), true);
    if (!missing.isEmpty())
        m_prompts.inform(Texts::sessionFilesMissing(missing));
}

void SessionKeeper::warnSettingsUnsaved(const QString &reason)
{
    if (m_warned)
        return;
    m_warned = true;
    m_prompts.showError(Texts::settingsNotSaved(reason));
}
