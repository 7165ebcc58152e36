#pragma once

#include "settings/Result.h"

#include <QString>

#include <memory>

class QLockFile;

// Held around every read-modify-write of data.dat and of the backup store,
// so editors running at the same time take turns. A lock left by an editor
// that ended without letting go counts as free.
class StoreLock
{
public:
    explicit StoreLock(const QString &dataFolder, int waitMs = 10000);
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
