#include "config/Overrides.h"

#include "catalogue/ValueRange.h"

#include <QHash>

namespace {

QString at(const Assignment &a)
{
    return ConfigModel::where(a.file, a.line);
}

ConfigProblem lost(const Assignment &a, ProblemRule rule, const QString &why)
{
    return {a.path, a.line, a.column, a.length, why, rule, {}, {}};
}

// A variable keeps the last value set; each file's last line for it that a
// later file changes loses. Setting the same value again loses nothing.
void settings(const QList<Assignment> &runOrder, const QString &when, QList<ConfigProblem> &out)
{
    QHash<QString, int> winner;
    for (int i = 0; i < runOrder.size(); ++i)
        winner.insert(runOrder[i].key, i);
    QHash<QString, int> lastInFile; // key + path -> index
    for (int i = 0; i < runOrder.size(); ++i)
        lastInFile.insert(runOrder[i].key + u'\n' + runOrder[i].path, i);
    for (int i = 0; i < runOrder.size(); ++i) {
        const Assignment &a = runOrder[i];
        if (lastInFile.value(a.key + u'\n' + a.path) != i)
            continue;
        const Assignment &w = runOrder[winner.value(a.key)];
        if (w.path == a.path || a.rewritten || sameConsoleValue(w.value, a.value))
            continue;
        out.append(lost(a, ProblemRule::SettingReplaced,
                        QStringLiteral("%1 %2 is replaced by %3 %4, which sets %5.")
                            .arg(a.shown, a.value, at(w), when, w.value)));
    }
}

} // namespace

QList<ConfigProblem> overrides(const QList<Assignment> &runOrder, const QString &when)
{
    QList<ConfigProblem> out;
    settings(runOrder, when, out);
    return out;
}
