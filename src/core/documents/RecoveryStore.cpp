#include "documents/RecoveryStore.h"
#include "settings/FileName.h"

#include "settings/RegularFile.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <atomic>
#include <QSaveFile>

#include <algorithm>
#include <utility>
#include <optional>

namespace {

constexpr char CopySuffix[] = ".copy";
constexpr char LockSuffix[] = ".lock";
constexpr quint32 Magic = 0x54455343; // "TESC"
constexpr quint16 FormatVersion = 1;


std::unique_ptr<QLockFile> lockFor(const QString &path)
{
    auto lock = std::make_unique<QLockFile>(path);
    // A session's lock is stale only when its process is gone, never by age.
    lock->setStaleLockTime(0);
    return lock->tryLock(0) ? std::move(lock) : nullptr;
}

// Read without following a link or waiting on a pipe put in the folder.
std::optional<RecoveryStore::Copy> readCopy(const QString &path, const QString &session)
{
    QFile file(path);
    if (!RegularFile::open(file, QIODevice::ReadOnly, RegularFile::Links::Refuse))
        return std::nullopt;
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    quint16 version = 0;
    RecoveryStore::Copy copy;
    qint64 written = 0;
    QByteArray text;
    in >> magic >> version;
    if (magic != Magic || version != FormatVersion)
        return std::nullopt;
    DiskStamp &stamp = copy.stamp;
    qint64 modified = 0;
    quint64 hash = 0;
    in >> copy.documentPath >> stamp.known >> stamp.exists >> stamp.size >> modified >> hash >> stamp.racy >> written
        >> text;
    stamp.modified = modified < 0 ? QDateTime() : QDateTime::fromMSecsSinceEpoch(modified, Qt::UTC);
    stamp.hash = size_t(hash);
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return std::nullopt;
    // The editor only ever keeps a copy of a regular file; one naming a
    // device or a folder would come back as a tab saving over it.
    if (!copy.documentPath.isEmpty() && !RegularFile::check(copy.documentPath))
        return std::nullopt;
    copy.session = session;
    copy.written = QDateTime::fromMSecsSinceEpoch(written, Qt::UTC);
    copy.text = QString::fromUtf8(text);
    return copy;
}

} // namespace

RecoveryStore::RecoveryStore(const QString &dataFolder) : m_folder(dataFolder + QStringLiteral("/recovery"))
{
}

RecoveryStore::~RecoveryStore()
{
    if (m_worker.joinable()) {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        m_worker.join();
    }
}

void RecoveryStore::work()
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_pending.empty() || m_stopping; });
            // A waiting copy is still written at the end: it is the newest text.
            if (m_pending.empty())
                return;
            job = std::move(m_pending.begin()->second);
            m_pending.erase(m_pending.begin());
            m_busy = true;
        }
        const QString text = job.text();
        Status written = Status::success();
        {
            const std::lock_guard file(m_fileMutex);
            bool current = false;
            {
                const std::lock_guard lock(m_mutex);
                current = job.generation == m_generation[job.slot];
            }
            if (current)
                written = writeFile(job.documentPath, job.stamp, text, job.slot);
        }
        {
            const std::lock_guard lock(m_mutex);
            if (!written && m_error.isEmpty())
                m_error = written.error();
            m_busy = false;
        }
        m_wake.notify_all();
    }
}

void RecoveryStore::waitIdle()
{
    std::unique_lock lock(m_mutex);
    m_wake.wait(lock, [this] { return !m_busy && m_pending.empty(); });
}

void RecoveryStore::writeInBackground(const QString &documentPath, const DiskStamp &stamp,
                                      std::function<QString()> text, int slot)
{
    if (!isOpen())
        return;
    {
        const std::lock_guard lock(m_mutex);
        m_pending[slot] = Job{documentPath, stamp, std::move(text), m_generation[slot], slot};
    }
    m_wake.notify_all();
}

Status RecoveryStore::takeError()
{
    const std::lock_guard lock(m_mutex);
    return m_error.isEmpty() ? Status::success() : Status::failure(std::exchange(m_error, QString()));
}

QString RecoveryStore::pathOf(const QString &session, const char *suffix) const
{
    return m_folder + u'/' + session + QLatin1String(suffix);
}

// Slot 0 keeps the name a session's one copy always had.
QString RecoveryStore::copyPath(const QString &session, int slot) const
{
    return slot == 0 ? pathOf(session, CopySuffix)
                     : m_folder + u'/' + session + u'.' + QString::number(slot) + QLatin1String(CopySuffix);
}

void RecoveryStore::supersede(int slot)
{
    const std::lock_guard lock(m_mutex);
    ++m_generation[slot];
    m_pending.erase(slot);
}

Status RecoveryStore::open()
{
    if (isOpen())
        return Status::success();
    RegularFile::ignoreFileSizeSignal();
    // A link in its place would put the lock and the user's unsaved text
    // wherever it leads.
    const QFileInfo folder(m_folder);
    if (folder.isSymLink())
        return Status::failure(QStringLiteral("%1 is a symbolic link (to %2); Tessary does not follow links for its "
                                              "own files, so it keeps no copies of unsaved changes there.")
                                   .arg(FileName::shownPath(m_folder), FileName::shownPath(folder.symLinkTarget())));
    if (folder.exists() && !folder.isDir())
        return Status::failure(QStringLiteral("%1 is not a folder, so no copies of unsaved changes can be kept there.")
                                   .arg(FileName::shownPath(m_folder)));
    if (!QDir().mkpath(m_folder))
        return Status::failure(QStringLiteral("%1 cannot be made.").arg(FileName::shownPath(m_folder)));
    // The copies are the user's documents: nobody else reads them.
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The process id alone could come back as a dead session's; the count
    // keeps two stores opened in the same millisecond apart.
    static std::atomic<int> opened{0};
    m_session = QStringLiteral("%1-%2-%3")
                    .arg(QCoreApplication::applicationPid())
                    .arg(QDateTime::currentMSecsSinceEpoch())
                    .arg(opened++);
    m_lock = lockFor(pathOf(m_session, LockSuffix));
    if (!m_lock)
        return Status::failure(QStringLiteral("%1 cannot be locked.").arg(FileName::shownPath(pathOf(m_session, LockSuffix))));
    m_worker = std::thread([this] { work(); });
    return Status::success();
}

Status RecoveryStore::write(const QString &documentPath, const DiskStamp &stamp, const QString &text, int slot)
{
    if (!isOpen())
        return Status::failure(QStringLiteral("%1 is not open.").arg(FileName::shownPath(m_folder)));
    supersede(slot);
    const std::lock_guard file(m_fileMutex);
    return writeFile(documentPath, stamp, text, slot);
}

Status RecoveryStore::writeFile(const QString &documentPath, const DiskStamp &stamp, const QString &text,
                                int slot) const
{
    const QString path = copyPath(m_session, slot);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Status::failure(QStringLiteral("%1 cannot be written: %2.").arg(FileName::shownPath(path), file.errorString()));
    QDataStream out(&file);
    out.setVersion(QDataStream::Qt_6_0);
    out << Magic << FormatVersion << documentPath << stamp.known << stamp.exists << stamp.size
        << (stamp.modified.isValid() ? stamp.modified.toMSecsSinceEpoch() : qint64(-1)) << quint64(stamp.hash)
        << stamp.racy << QDateTime::currentMSecsSinceEpoch() << text.toUtf8();
    if (out.status() != QDataStream::Ok || !file.commit())
        return Status::failure(QStringLiteral("%1 cannot be written: %2.").arg(FileName::shownPath(path), file.errorString()));
    return Status::success();
}

void RecoveryStore::remove(int slot)
{
    if (!isOpen())
        return;
    supersede(slot);
    const std::lock_guard file(m_fileMutex);
    QFile::remove(copyPath(m_session, slot));
}

bool RecoveryStore::hasCopy(int slot)
{
    waitIdle();
    return isOpen() && QFile::exists(copyPath(m_session, slot));
}

QList<RecoveryStore::Copy> RecoveryStore::leftovers()
{
    QList<Copy> copies;
    // "<session>.copy" is slot 0, "<session>.<slot>.copy" another.
    std::map<QString, QList<int>> bySession;
    const QString pattern = u'*' + QLatin1String(CopySuffix);
    for (const QString &name : QDir(m_folder).entryList({pattern}, QDir::Files)) {
        const QStringList parts = name.chopped(qsizetype(sizeof(CopySuffix) - 1)).split(u'.');
        bool number = parts.size() == 1;
        const int slot = parts.size() == 2 ? parts[1].toInt(&number) : 0;
        if (number && parts.size() <= 2)
            bySession[parts[0]].append(slot);
    }
    for (const auto &[session, sessionSlots] : bySession) {
        if (session == m_session || m_claimed.count(session))
            continue;
        // Taking the lock proves its editor is gone, and keeps other editors off the copies.
        std::unique_ptr<QLockFile> lock = lockFor(pathOf(session, LockSuffix));
        if (!lock)
            continue;
        Claim claim{std::move(lock), 0};
        for (const int slot : sessionSlots) {
            std::optional<Copy> copy = readCopy(copyPath(session, slot), session);
            if (!copy) {
                // Its editor is gone, so nobody will ever read it: said once and taken away.
                m_unusable << copyPath(session, slot);
                QFile::remove(copyPath(session, slot));
                continue;
            }
            copy->slot = slot;
            ++claim.copies;
            copies << std::move(*copy);
        }
        if (claim.copies > 0)
            m_claimed[session] = std::move(claim);
    }
    // A session that ended without unsaved text (a crash, a kill) leaves its
    // lock alone; once its process is gone the lock goes too.
    const QString locks = u'*' + QLatin1String(LockSuffix);
    for (const QString &name : QDir(m_folder).entryList({locks}, QDir::Files | QDir::Hidden)) {
        const QString session = name.chopped(qsizetype(sizeof(LockSuffix) - 1));
        if (session == m_session || m_claimed.count(session) || bySession.count(session))
            continue;
        if (std::unique_ptr<QLockFile> lock = lockFor(pathOf(session, LockSuffix)))
            lock->unlock();
    }
    std::sort(copies.begin(), copies.end(), [](const Copy &a, const Copy &b) { return a.written < b.written; });
    return copies;
}

void RecoveryStore::discard(const Copy &copy)
{
    QFile::remove(copyPath(copy.session, copy.slot));
    release(copy);
}

void RecoveryStore::release(const Copy &copy)
{
    const auto claim = m_claimed.find(copy.session);
    // The session's lock goes with the last of its copies weighed.
    if (claim != m_claimed.end() && --claim->second.copies <= 0)
        m_claimed.erase(claim);
}
