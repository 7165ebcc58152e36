#pragma once

#include "settings/Result.h"
#include "documents/DiskStamp.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

class QLockFile;

// Copies of unsaved documents, kept in a "recovery" folder of the user's data
// folder so that a crash loses at most the last few seconds of typing.
//
// Each running editor is a session holding a lock file of its own; its
// copies, one for each document (a slot), are named after the session. A copy whose session no longer runs is left
// from a run that did not end normally. While one editor weighs a left copy
// it holds that session's lock, so two editors never take the same copy.
class RecoveryStore
{
public:
    struct Copy
    {
        QString session;
        int slot = 0;
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

    // Replaces this session's copy of the slot at once and whole.
    Status write(const QString &documentPath, const DiskStamp &stamp, const QString &text, int slot = 0);
    // The same on a worker thread, so the window's thread only pays for taking
    // the text; a newer request replaces one still waiting.
    void writeInBackground(const QString &documentPath, const DiskStamp &stamp, std::function<QString()> text,
                           int slot = 0);
    // The first failure of a finished background write since last asked.
    Status takeError();
    // Removes this session's copy of the slot; a write under way or waiting cannot bring it back.
    void remove(int slot = 0);
    // Whether this session's copy of the slot is on disk, once the worker is done.
    bool hasCopy(int slot = 0);

    // Copies of sessions that no longer run, oldest first. Each stays claimed
    // by this store until it is discarded or released.
    QList<Copy> leftovers();
    // Copies leftovers() found damaged or naming what is not a regular file,
    // and removed; emptied by asking.
    QStringList takeUnusable() { return std::exchange(m_unusable, {}); }
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
        int slot = 0;
    };

    QString pathOf(const QString &session, const char *suffix) const;
    QString copyPath(const QString &session, int slot) const;
    Status writeFile(const QString &documentPath, const DiskStamp &stamp, const QString &text, int slot) const;
    // A slot's newer write or removal drops its older jobs.
    void supersede(int slot);
    void work();
    void waitIdle();

    QString m_folder;
    QString m_session;
    std::unique_ptr<QLockFile> m_lock;
    // Sessions whose copies this store weighs, with how many are not yet discarded or released.
    struct Claim
    {
        std::unique_ptr<QLockFile> lock;
        int copies = 0;
    };
    std::map<QString, Claim> m_claimed;
    QStringList m_unusable;

    std::mutex m_fileMutex; // one writer or remover of the copy at a time
    std::mutex m_mutex;     // guards what follows
    std::condition_variable m_wake;
    std::map<int, Job> m_pending; // the newest waiting job of each slot
    bool m_busy = false;
    bool m_stopping = false;
    std::map<int, quint64> m_generation; // a job of an older generation is dropped
    QString m_error;
    std::thread m_worker;
};
