#pragma once

#include "settings/Result.h"

#include <QString>

#include <memory>

class QLockFile;

// Held around every read-modify-write of data.dat and of the backup store,
// so editors running at the same time take turns. A lock whose editor has
// ended, or that holds nothing to say whose it is (a crash while it was
// made), is taken over. One made on another computer (a data folder on a
// shared drive) is reported with that computer's name and the lock's age,
// and is taken over only when the user says so. While an editor here holds
// it, the wait is shown and can be given up.
class StoreLock
{
public:
    // The questions a lock may need answered; the mod store's prompts answer
    // them on screen, tests from a script.
    class Waiter
    {
    public:
        virtual ~Waiter() = default;
        // The lock was made on another computer: `message` says where and
        // when. True takes it over.
        virtual bool takeOver(const QString &message) = 0;
        // Called every few hundredths of a second while another editor here
        // holds the lock; false gives up waiting.
        virtual bool keepWaiting(const QString &message, int elapsedMs) = 0;
        // The wait that keepWaiting() showed is over.
        virtual void doneWaiting() {}
    };

    explicit StoreLock(const QString &dataFolder, int waitMs = 10000, Waiter *waiter = nullptr);
    ~StoreLock();
    StoreLock(const StoreLock &) = delete;
    StoreLock &operator=(const StoreLock &) = delete;

    // Success once held, or why the lock could not be taken.
    const Status &status() const { return m_status; }
    explicit operator bool() const { return m_status.ok(); }

    static QString path(const QString &dataFolder);

private:
    std::unique_ptr<QLockFile> m_lock;
    Status m_status = Status::success();
};
