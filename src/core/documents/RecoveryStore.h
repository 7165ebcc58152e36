#pragma once

#include "settings/Result.h"
#include "documents/DiskStamp.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

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
        DiskStamp stamp;      // the file as the editor last read or wrote it
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

    // Replaces this session's copy at once and whole.
    Status write(const QString &documentPath, const DiskStamp &stamp, const QString &text);
    // The same on a worker thread, so the window's thread only pays for taking
    // the text; a newer request replaces one still waiting.
    void writeInBackground(const QString &documentPath, const DiskStamp &stamp, std::function<QString()> text);
    // The first failure of a finished background write since last asked.
    Status takeError();
    // Removes this session's copy; a write under way or waiting cannot bring it back.
    void remove();
    // Whether this session's copy is on disk, once the worker is done.
    bool hasCopy();

    // Copies of sessions that no longer run, oldest first. Each stays claimed
    // by this store until it is discarded or released.
    QList<Copy> leftovers();
    void discard(const Copy &copy);
    // Leaves the copy to be offered again at the next start.
    void release(const Copy &copy);

private:
    struct Job
    {
        QString documentPath;
        DiskStamp stamp;
        std::function<QString()> text;
        quint64 generation = 0;
    };

    QString pathOf(const QString &session, const char *suffix) const;
    Status writeFile(const QString &documentPath, const DiskStamp &stamp, const QString &text) const;
    void work();
    void waitIdle();

    QString m_folder;
    QString m_session;
    std::unique_ptr<QLockFile> m_lock;
    std::map<QString, std::unique_ptr<QLockFile>> m_claimed;

    std::mutex m_fileMutex; // one writer or remover of the copy at a time
    std::mutex m_mutex;     // guards what follows
    std::condition_variable m_wake;
    std::optional<Job> m_pending;
    bool m_busy = false;
    bool m_stopping = false;
    quint64 m_generation = 0; // a job of an older generation is dropped
    QString m_error;
    std::thread m_worker;
};
