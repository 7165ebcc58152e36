#include "store/FolderOverlap.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <optional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <cstdlib>
#endif

namespace FolderOverlap {

namespace {

// The deepest existing folder of a path, resolved, and the names below it
// that do not exist (yet).
struct Resolved
{
    QString existing;
    QStringList missing;
};

// The path as the file system resolves it, or empty when it does not exist.
// ".." after a link leads out of the link's target, as the system goes, so
// the path is never cleaned as text before this.
QString canonical(const QString &path)
{
#ifdef Q_OS_UNIX
    char *resolved = ::realpath(QFile::encodeName(path).constData(), nullptr);
    if (!resolved)
        return {};
    const QString result = QFile::decodeName(resolved);
    ::free(resolved);
    return result;
#else
    return QFileInfo(path).canonicalFilePath();
#endif
}

Resolved resolve(const QString &path)
{
    const QString absolute = QDir::isAbsolutePath(path) ? path : QDir::currentPath() + u'/' + path;
    const QStringList parts = absolute.split(u'/', Qt::SkipEmptyParts);
    const QString rootPrefix = absolute.startsWith(u'/') ? QStringLiteral("/") : QString();
    Resolved r;
    qsizetype known = parts.size();
    for (; known >= 0; --known) {
        const QString prefix = rootPrefix + parts.mid(0, known).join(u'/');
        r.existing = canonical(prefix.isEmpty() ? QStringLiteral(".") : prefix);
        if (!r.existing.isEmpty())
            break;
    }
    if (r.existing.isEmpty())
        r.existing = QDir::rootPath();
    // Below the deepest existing folder nothing is a link yet: names only.
    for (const QString &name : parts.mid(qMax<qsizetype>(known, 0))) {
        if (name == u".")
            continue;
        if (name != u"..")
            r.missing << name;
        else if (!r.missing.isEmpty())
            r.missing.removeLast();
        else
            r.existing = QFileInfo(r.existing).path();
    }
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

bool sameFolder(const QString &a, const QString &b)
{
    const Resolved ra = resolve(a);
    const Resolved rb = resolve(b);
    return ra.missing.isEmpty() && rb.missing.isEmpty() && same(ra.existing, rb.existing);
}

bool overlap(const QString &a, const QString &b)
{
    const Resolved ra = resolve(a);
    const Resolved rb = resolve(b);
    return within(ra, rb) || within(rb, ra);
}

} // namespace FolderOverlap
