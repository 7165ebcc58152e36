#pragma once

#include "app/Result.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <map>
#include <memory>

class QLockFile;

// Copies of unsaved documents, kept in a "recovery" folder of the user's data
// folder so that a crash loses at most the last few seconds of typing.
//
// Each running editor is a session holding a lock file of its own; its copy
// is named after the session. A copy whose session no longer runs is left
// from a run that did not end normally. While one editor weighs a left copy
// it holds that session's lock, so two editors never take the same copy.
class RecoveryStore
{
public:
    struct Copy
    {
        QString session;
        QString documentPath; // empty: the document had no file
        QString text;
        QDateTime written;
    };

    explicit RecoveryStore(const QString &dataFolder);
    // Releases the session's lock; its copy stays unless it was removed.
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore &) = delete;
    RecoveryStore &operator=(const RecoveryStore &) = delete;

    // Makes the folder and starts this session. Nothing is kept until it succeeds.
    Status open();
    bool isOpen() const { return m_lock != nullptr; }
    QString folder() const { return m_folder; }

    // Replaces this session's copy at once and whole. Safe to call from another
    // thread than open() and remove(), one call at a time.
    Status write(const QString &documentPath, const QString &text) const;
    // Removes this session's copy.
    void remove() const;
    bool hasCopy() const;

    // Copies of sessions that no longer run, oldest first. Each stays claimed
    // by this store until it is discarded or released.
    QList<Copy> leftovers();
    void discard(const Copy &copy);
    // Leaves the copy to be offered again at the next start.
    void release(const Copy &copy);

private:
    QString pathOf(const QString &session, const char *suffix) const;

    QString m_folder;
    QString m_session;
    std::unique_ptr<QLockFile> m_lock;
    std::map<QString, std::unique_ptr<QLockFile>> m_claimed;
};
