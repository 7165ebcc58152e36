#include "settings/StoreLock.h"
#include "settings/FileName.h"

#include "settings/RegularFile.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QThread>

namespace {

// A lock being made is whole within moments; one empty for longer was left
// by a crash while it was made.
constexpr qint64 EmptyLockGraceMs = 1000;
constexpr int PollMs = 50;
// A wait shorter than this is not worth showing.
constexpr int ShowWaitAfterMs = 300;


qint64 ageMs(const QString &path)
{
    const QDateTime made = QFileInfo(path).lastModified();
    return made.isValid() ? qAbs(made.msecsTo(QDateTime::currentDateTime())) : 0;
}

QString ageText(qint64 ms)
{
    const qint64 minutes = ms / 60000;
    if (minutes < 1)
        return QStringLiteral("less than a minute ago");
    if (minutes < 120)
        return QStringLiteral("%1 minutes ago").arg(minutes);
    if (minutes < 48 * 60)
        return QStringLiteral("%1 hours ago").arg(minutes / 60);
    return QStringLiteral("%1 days ago").arg(minutes / (24 * 60));
}

struct Holder
{
    qint64 pid = 0;
    QString host;
    QString app;
    bool readable = false;
    bool operator==(const Holder &) const = default;
};

Holder holderOf(const QLockFile &lock)
{
    Holder h;
    h.readable = lock.getLockInfo(&h.pid, &h.host, &h.app);
    return h;
}

// Removes the lock when it is still the one that was looked at, under the
// guard Qt's own take-over uses, so two editors never both remove it and
// one of them the other's fresh lock.
void takeOver(QLockFile &lock, const QString &file, const Holder &seen)
{
    QLockFile guard(file + QStringLiteral(".rmlock"));
    if (guard.tryLock(0) && holderOf(lock) == seen)
        lock.removeStaleLockFile();
}

// Takes the lock, or says why not.
Status acquire(QLockFile &lock, const QString &file, int waitMs, StoreLock::Waiter *waiter)
{
    // Only a holder that has ended frees the lock, however long it holds it.
    lock.setStaleLockTime(0);
    // A link there would have the lock read from, and taken over at, some other file.
    if (Status s = RegularFile::check(file, RegularFile::Links::Refuse); !s)
        return s;
    QElapsedTimer clock;
    clock.start();
    bool askedAlready = false;
    for (;;) {
        // Also takes over the lock of an editor of this computer that has ended.
        if (lock.tryLock(0))
            return Status::success();
        if (lock.error() == QLockFile::PermissionError)
            return Status::failure(QStringLiteral("%1 cannot be made: permission denied.").arg(FileName::shownPath(file)));
        if (lock.error() != QLockFile::LockFailedError)
            return Status::failure(QStringLiteral("%1 cannot be made.").arg(FileName::shownPath(file)));

        const Holder holder = holderOf(lock);
        if (!holder.readable) {
            // Empty or unreadable: nobody can be waited for.
            if (ageMs(file) >= EmptyLockGraceMs || clock.elapsed() >= EmptyLockGraceMs) {
                takeOver(lock, file, holder);
                continue;
            }
        } else if (!holder.host.isEmpty() && holder.host != QSysInfo::machineHostName()) {
            // Whether its editor still runs cannot be seen from here.
            const QString message =
                QStringLiteral("The mod list is locked by Tessary on the computer \"%1\" (process %2). The lock, %4, "
                               "was made %3.\n\nIf Tessary is no longer running there, the lock can be taken over.")
                    .arg(holder.host)
                    .arg(holder.pid)
                    .arg(ageText(ageMs(file)), FileName::shownPath(file));
            if (waiter && !askedAlready && waiter->takeOver(message)) {
                askedAlready = true;
                takeOver(lock, file, holder);
                continue;
            }
            return Status::failure(message);
        }
        const QString message =
            QStringLiteral("Another Tessary is still changing the mod list (it holds %1).").arg(FileName::shownPath(file));
        if (clock.elapsed() >= waitMs)
            return Status::failure(message + QStringLiteral(" Please try again."));
        if (waiter && clock.elapsed() >= ShowWaitAfterMs
            && !waiter->keepWaiting(message + QStringLiteral(" Waiting for it..."), int(clock.elapsed())))
            return Status::failure(message + QStringLiteral(" Please try again."));
        QThread::msleep(PollMs);
    }
}

} // namespace

StoreLock::StoreLock(const QString &dataFolder, int waitMs, Waiter *waiter)
    : m_lock(std::make_unique<QLockFile>(path(dataFolder)))
{
    QElapsedTimer clock;
    clock.start();
    m_status = acquire(*m_lock, path(dataFolder), waitMs, waiter);
    // A wait shown is over either way.
    if (waiter && clock.elapsed() >= ShowWaitAfterMs)
        waiter->doneWaiting();
}

StoreLock::~StoreLock() = default;

QString StoreLock::path(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("/data.dat.lock");
}
