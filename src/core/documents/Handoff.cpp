#include "documents/Handoff.h"

#include "settings/FileName.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Handoff {

namespace {

// The payload's first field: the message's kind and version.
const QByteArray Magic = QByteArrayLiteral("tessary-open 1");
constexpr qsizetype LengthBytes = 4;
// Long enough that no two meeting places meet by chance, short enough for
// a socket's path (about a hundred bytes).
constexpr qsizetype NameHexDigits = 24;

#ifdef Q_OS_UNIX
// A folder that is the user's own and no one else's: not a link, owned by
// the user, with no access for group or others.
Status usersAlone(const QString &folder, uint userId)
{
    struct stat st = {};
    const QByteArray native = QFile::encodeName(folder);
    if (::lstat(native.constData(), &st) != 0)
        return Status::failure(QStringLiteral("%1 cannot be read.").arg(QDir::toNativeSeparators(folder)));
    if (!S_ISDIR(st.st_mode) || st.st_uid != userId || (st.st_mode & 077) != 0) {
        return Status::failure(
            QStringLiteral("%1 is not a folder of this user's alone.").arg(QDir::toNativeSeparators(folder)));
    }
    return Status::success();
}
#endif

} // namespace

QString displayKey(const QString &platformName, const QByteArray &x11Display, const QByteArray &waylandDisplay)
{
    if (platformName == QLatin1String("xcb")) {
        // ":0.1" is screen 1 of display :0, one X server; "unix:0" is ":0".
        static const QRegularExpression screen(QStringLiteral("\\.\\d+$"));
        QString display = QString::fromLocal8Bit(x11Display).remove(screen);
        if (display.startsWith(QLatin1String("unix:")))
            display.remove(0, 4);
        return QStringLiteral("x11 ") + display;
    }
    if (platformName.startsWith(QLatin1String("wayland"))) {
        // Unset, clients take the compositor's default socket.
        const QString display = waylandDisplay.isEmpty() ? QStringLiteral("wayland-0")
                                                         : QString::fromLocal8Bit(waylandDisplay);
        return QStringLiteral("wayland ") + display;
    }
    if (platformName == QLatin1String("offscreen") || platformName == QLatin1String("minimal"))
        return QString();
    return platformName;
}

Result<QString> socketFolder(const QString &runtimeFolder, const QString &tempFolder, uint userId)
{
#ifdef Q_OS_UNIX
    if (!runtimeFolder.isEmpty() && usersAlone(runtimeFolder, userId))
        return runtimeFolder;
    const QString own = tempFolder + QStringLiteral("/tessary-%1").arg(userId);
    // Made private from the start; one that stands there already must prove to be.
    if (::mkdir(QFile::encodeName(own).constData(), 0700) != 0 && errno != EEXIST)
        return Status::failure(QStringLiteral("%1 could not be made.").arg(QDir::toNativeSeparators(own)));
    if (const Status alone = usersAlone(own, userId); !alone)
        return alone;
    return own;
#else
    Q_UNUSED(runtimeFolder);
    Q_UNUSED(userId);
    return tempFolder;
#endif
}

QString serverName(const QString &socketFolder, uint userId, const QString &displayKey, const QString &dataFolder)
{
    // One data folder reached by two paths (a link) is one.
    QString folder = QFileInfo(dataFolder).canonicalFilePath();
    if (folder.isEmpty())
        folder = QDir::cleanPath(QDir(dataFolder).absolutePath());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArray::number(userId) + '\n');
    hash.addData(displayKey.toUtf8() + '\n');
    hash.addData(FileName::toNative(folder));
    return socketFolder + QStringLiteral("/tessary-")
           + QString::fromLatin1(hash.result().toHex().left(NameHexDigits));
}

QByteArray encode(const Request &request)
{
    const QByteArray payload = Magic + '\0' + request.path + '\0' + request.activationToken;
    QByteArray message(LengthBytes, '\0');
    qToBigEndian(quint32(payload.size()), message.data());
    return message + payload;
}

Reader::State Reader::add(const QByteArray &bytes)
{
    if (m_state != State::Incomplete)
        return bytes.isEmpty() || m_state == State::Refused ? m_state : refuse(QStringLiteral("More than one message came."));
    m_bytes += bytes;
    if (m_bytes.size() < LengthBytes)
        return m_state;
    const quint32 length = qFromBigEndian<quint32>(m_bytes.constData());
    if (length > quint32(LargestMessage))
        return refuse(QStringLiteral("A message of %1 bytes is larger than %2.").arg(length).arg(LargestMessage));
    if (m_bytes.size() < LengthBytes + qsizetype(length))
        return m_state;
    if (m_bytes.size() > LengthBytes + qsizetype(length))
        return refuse(QStringLiteral("More than one message came."));
    const QList<QByteArray> fields = m_bytes.mid(LengthBytes).split('\0');
    if (fields.size() != 3 || fields[0] != Magic)
        return refuse(QStringLiteral("The message is not one this program sends."));
    if (!fields[1].startsWith('/'))
        return refuse(QStringLiteral("The message names no absolute path."));
    m_request = {fields[1], fields[2]};
    m_bytes.clear();
    m_state = State::Complete;
    return m_state;
}

Reader::State Reader::refuse(const QString &why)
{
    m_refusal = why;
    m_bytes.clear();
    m_state = State::Refused;
    return m_state;
}

QByteArray absolutePath(const QByteArray &argument, const QByteArray &currentFolder)
{
    if (argument.startsWith('/') || currentFolder.isEmpty())
        return argument;
    return currentFolder.endsWith('/') ? currentFolder + argument : currentFolder + '/' + argument;
}

QByteArray currentFolder()
{
#ifdef Q_OS_UNIX
    // getcwd, not QDir::currentPath(): a folder name that is not UTF-8 keeps its bytes.
    QByteArray folder(4096, '\0');
    while (!::getcwd(folder.data(), size_t(folder.size()))) {
        if (errno != ERANGE || folder.size() > 1024 * 1024)
            return {};
        folder.resize(folder.size() * 2);
    }
    folder.truncate(qsizetype(qstrlen(folder.constData())));
    return folder;
#else
    return QFile::encodeName(QDir::currentPath());
#endif
}

ServerLock::ServerLock(const QString &path, Create create)
{
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(path);
    // A holder that was ending removes the file after we opened it: the
    // hold would be on a file nobody else opens, so it is taken again.
    for (int attempt = 0; attempt < 8 && m_fd < 0; ++attempt) {
        // flock, not QLockFile: its hold ends with the process, never by age.
        const int fd = ::open(native.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create == Create::Yes ? O_CREAT : 0),
                              0600);
        if (fd < 0)
            return;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return;
        }
        struct stat held = {}, named = {};
        if (::fstat(fd, &held) == 0 && ::lstat(native.constData(), &named) == 0 && held.st_ino == named.st_ino
            && held.st_dev == named.st_dev) {
            m_fd = fd;
            m_path = path;
            return;
        }
        ::close(fd);
        if (create == Create::No)
            return;
    }
#else
    Q_UNUSED(path);
    Q_UNUSED(create);
#endif
}

ServerLock::~ServerLock()
{
#ifdef Q_OS_UNIX
    if (m_fd >= 0) {
        // Removed while still held, so nobody takes a file that is going.
        ::unlink(QFile::encodeName(m_path).constData());
        ::close(m_fd);
    }
#endif
}

int removeStale(const QString &socketFolder)
{
    int removed = 0;
#ifdef Q_OS_UNIX
    static const QRegularExpression ours(
        QStringLiteral("^tessary-[0-9a-f]{%1}(\\.lock)?$").arg(NameHexDigits));
    QStringList names;
    for (const QString &entry : QDir(socketFolder).entryList(QDir::Files | QDir::System | QDir::Hidden)) {
        if (!ours.match(entry).hasMatch())
            continue;
        const QString name = entry.endsWith(QLatin1String(".lock")) ? entry.chopped(5) : entry;
        if (!names.contains(name))
            names << name;
    }
    for (const QString &name : std::as_const(names)) {
        const QString socket = socketFolder + u'/' + name;
        const QString lock = socket + QStringLiteral(".lock");
        const bool hadLock = QFileInfo(lock).exists();
        // Held by us, the lock proves no program listens at the socket nor is about to.
        const ServerLock taken(lock);
        if (!taken.held())
            continue;
        struct stat st = {};
        const QByteArray native = QFile::encodeName(socket);
        if (::lstat(native.constData(), &st) == 0 && S_ISSOCK(st.st_mode) && ::unlink(native.constData()) == 0)
            ++removed;
        removed += hadLock ? 1 : 0;
    }
#else
    Q_UNUSED(socketFolder);
#endif
    return removed;
}

} // namespace Handoff
