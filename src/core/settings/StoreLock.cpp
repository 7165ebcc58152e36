#include "settings/StoreLock.h"

#include <QDir>
#include <QLockFile>

StoreLock::StoreLock(const QString &dataFolder, int waitMs) : m_lock(std::make_unique<QLockFile>(path(dataFolder)))
{
    // Only a holder that has ended frees the lock, however long it holds it.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(waitMs))
        return;
    const QString shown = QDir::toNativeSeparators(path(dataFolder));
    switch (m_lock->error()) {
    case QLockFile::LockFailedError:
        m_status = Status::failure(
            QStringLiteral("Another Tessary is still changing the mod list (it holds %1). Please try again.").arg(shown));
        break;
    case QLockFile::PermissionError:
        m_status = Status::failure(QStringLiteral("%1 cannot be made: permission denied.").arg(shown));
        break;
    default:
        m_status = Status::failure(QStringLiteral("%1 cannot be made.").arg(shown));
        break;
    }
}

StoreLock::~StoreLock() = default;

QString StoreLock::path(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("/data.dat.lock");
}
