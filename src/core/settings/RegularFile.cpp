#include "settings/RegularFile.h"

#include "settings/FileName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace RegularFile {

namespace {


#ifdef Q_OS_UNIX
QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe (FIFO)");
    if (S_ISCHR(mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(mode))
        return QStringLiteral("a block device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a regular file");
}

Status linkRefused(const QString &path)
{
    return Status::failure(QStringLiteral("%1 is a symbolic link (to %2); Tessary does not follow links for its own "
                                          "files, so it left it alone.")
                               .arg(FileName::shownPath(path), FileName::shownPath(linkTarget(path))));
}

Status refused(const QString &path, mode_t mode)
{
    return Status::failure(QStringLiteral("%1 is %2, not a regular file; Tessary only reads and writes regular files.")
                               .arg(FileName::shownPath(path), kindOf(mode)));
}
#endif

} // namespace

Status check(const QString &path, Links links)
{
#ifdef Q_OS_UNIX
    struct stat st = {};
    if (links == Links::Refuse && ::lstat(FileName::toNative(path).constData(), &st) == 0 && S_ISLNK(st.st_mode))
        return linkRefused(path);
    if (::stat(FileName::toNative(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return Status::success();
    return refused(path, st.st_mode);
#else
    const QFileInfo info(path);
    if (!info.exists() || info.isFile())
        return Status::success();
    return Status::failure(QStringLiteral("%1 is not a regular file; Tessary only reads and writes regular files.")
                               .arg(FileName::shownPath(path)));
#endif
}

bool exists(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat st = {};
    return ::stat(FileName::toNative(path).constData(), &st) == 0;
#else
    return QFileInfo::exists(path);
#endif
}

Status create(const QString &path)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(FileName::toNative(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0)
        return Status::failure(QStringLiteral("%1 cannot be made: %2.").arg(FileName::shownPath(path), qt_error_string(errno)));
    ::close(fd);
    return Status::success();
#else
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return Status::failure(QStringLiteral("%1 cannot be made: %2.").arg(FileName::shownPath(path), file.errorString()));
    return Status::success();
#endif
}

Status open(QFile &file, QIODevice::OpenMode mode, Links links)
{
    const QString path = file.fileName();
    if (Status s = check(path, links); !s)
        return s;
#ifdef Q_OS_UNIX
    int flags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    if (links == Links::Refuse)
        flags |= O_NOFOLLOW;
    if ((mode & QIODevice::ReadWrite) == QIODevice::ReadWrite)
        flags |= O_RDWR;
    else if (mode & QIODevice::WriteOnly)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    const int fd = ::open(FileName::toNative(path).constData(), flags);
    if (fd < 0 && errno == ELOOP && links == Links::Refuse)
        return linkRefused(path); // made a link since the check
    if (fd < 0)
        return Status::failure(QStringLiteral("%1 cannot be opened: %2.").arg(FileName::shownPath(path), qt_error_string(errno)));
    // What was opened counts, not what the name led to a moment before.
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return refused(path, st.st_mode);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, mode & ~QIODevice::Truncate, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Status::failure(QStringLiteral("%1 cannot be opened: %2.").arg(FileName::shownPath(path), file.errorString()));
    }
    return Status::success();
#else
    if (!file.open(mode & ~QIODevice::Truncate))
        return Status::failure(QStringLiteral("%1 cannot be opened: %2.").arg(FileName::shownPath(path), file.errorString()));
    return Status::success();
#endif
}

QString linkTarget(const QString &path)
{
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : QString();
}

bool writeAll(QFileDevice &file, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

void ignoreFileSizeSignal()
{
#ifdef Q_OS_UNIX
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

} // namespace RegularFile
