#include "documents/TabLabels.h"

#include "settings/FileName.h"

#include <QDir>
#include <QFileInfo>

#include <map>

namespace {

// The last `depth` folders above the file, outermost first.
QString folders(const QStringList &parts, int depth)
{
    // parts: the path's components, the file's name last.
    const qsizetype first = qMax<qsizetype>(0, parts.size() - 1 - depth);
    return parts.mid(first, parts.size() - 1 - first).join(u'/');
}

} // namespace

QStringList tabLabels(const QStringList &paths)
{
    QStringList labels;
    std::map<QString, QList<qsizetype>> byName;
    int untitled = 0;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        if (paths[i].isEmpty()) {
            ++untitled;
            labels << (untitled == 1 ? QStringLiteral("Untitled") : QStringLiteral("Untitled %1").arg(untitled));
            continue;
        }
        const QString name = FileName::shown(QFileInfo(paths[i]).fileName());
        labels << name;
        byName[name].append(i);
    }
    for (const auto &[name, indexes] : byName) {
        if (indexes.size() < 2)
            continue;
        QList<QStringList> parts;
        qsizetype deepest = 0;
        for (const qsizetype i : indexes) {
            parts << QDir::cleanPath(paths[i]).split(u'/', Qt::SkipEmptyParts);
            deepest = qMax(deepest, parts.back().size() - 1);
        }
        // The fewest folders that tell every one of them apart.
        int depth = 1;
        for (; depth < deepest; ++depth) {
            QStringList seen;
            bool apart = true;
            for (const QStringList &p : parts) {
                const QString f = folders(p, depth);
                apart = apart && !seen.contains(f);
                seen << f;
            }
            if (apart)
                break;
        }
        for (qsizetype k = 0; k < indexes.size(); ++k) {
            const QString f = FileName::shown(folders(parts[k], depth));
            if (!f.isEmpty())
                labels[indexes[k]] = QStringLiteral("%1 (%2)").arg(name, QDir::toNativeSeparators(f));
        }
    }
    return labels;
}
