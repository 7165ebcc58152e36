#include "mods/FolderOverlap.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <optional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace FolderOverlap {

namespace {

// The deepest existing folder of a path, resolved, and the names below it
// that do not exist (yet), "." and ".." taken out by name.
struct Resolved
{
    QString existing;
    QStringList missing;
};

Resolved resolve(const QString &path)
{
    Resolved r;
    QString at = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    while (!QFileInfo(at).exists()) {
        const QFileInfo info(at);
        const QString parent = info.path();
        if (parent == at)
            break;
        r.missing.prepend(info.fileName());
        at = parent;
    }
    r.existing = QFileInfo(at).canonicalFilePath();
    if (r.existing.isEmpty())
        r.existing = at;
    return r;
}

#ifdef Q_OS_UNIX
std::optional<std::pair<dev_t, ino_t>> identity(const QString &path)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return std::make_pair(st.st_dev, st.st_ino);
}
#endif

// The file system's own answer for two existing folders.
bool same(const QString &a, const QString &b)
{
#ifdef Q_OS_UNIX
    const auto ia = identity(a);
    const auto ib = identity(b);
    if (ia && ib)
        return *ia == *ib;
#endif
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

// Whether `inner` is `outer` or lies below it: climbs from inner's deepest
// existing folder, and compares what does not exist by name.
bool within(const Resolved &inner, const Resolved &outer)
{
    if (!outer.missing.isEmpty()) {
        // Only a path that does not exist either can lie in a missing folder.
        if (inner.missing.size() < outer.missing.size() || !same(inner.existing, outer.existing))
            return false;
        return inner.missing.mid(0, outer.missing.size()) == outer.missing;
    }
    for (QString at = inner.existing;;) {
        if (same(at, outer.existing))
            return true;
        const QString parent = QFileInfo(at).path();
        if (parent == at)
            return false;
        at = parent;
    }
}

} // namespace

bool overlap(const QString &a, const QString &b)
{
    const Resolved ra = resolve(a);
    const Resolved rb = resolve(b);
    return within(ra, rb) || within(rb, ra);
}

} // namespace FolderOverlap
