#include "config/ProblemGroups.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

QString counted(int n, const char *one, const char *many)
{
    return n == 1 ? QStringLiteral("1 %1").arg(QLatin1String(one)) : QStringLiteral("%1 %2").arg(n).arg(QLatin1String(many));
}

} // namespace

QString ProblemCounts::text() const
{
    if (errors + warnings + notices == 0)
        return QStringLiteral("no problems");
    QStringList parts;
    if (errors)
        parts.append(counted(errors, "error", "errors"));
    if (warnings)
        parts.append(counted(warnings, "warning", "warnings"));
    if (notices)
        parts.append(counted(notices, "notice", "notices"));
    return parts.join(QStringLiteral(", "));
}

ProblemCounts countProblems(const QList<ConfigProblem> &problems)
{
    ProblemCounts counts;
    for (const ConfigProblem &p : problems) {
        switch (p.weight()) {
        case ProblemWeight::Error:
            ++counts.errors;
            break;
        case ProblemWeight::Warning:
            ++counts.warnings;
            break;
        case ProblemWeight::Notice:
            ++counts.notices;
            break;
        }
    }
    return counts;
}

QList<ProblemGroup> groupProblems(const QList<ConfigProblem> &problems)
{
    // A file with many names nobody knows (another program's settings it
    // execs, a mod's) has them under one line of its own.
    constexpr int ManyUnknown = 5;
    auto nobodys = [](const ConfigProblem &p) { return p.rule == ProblemRule::UnknownName && p.whose.isEmpty(); };
    QHash<QString, QSet<QString>> unknownByFile;
    for (const ConfigProblem &p : problems) {
        if (nobodys(p) && !p.name.isEmpty())
            unknownByFile[p.path].insert(p.name.toLower());
    }
    QSet<int> fileGroups;
    QList<ProblemGroup> groups;
    QHash<QString, int> byName; // rule and lower-case name -> group
    for (int i = 0; i < problems.size(); ++i) {
        const ConfigProblem &p = problems[i];
        if (!ProblemRules::isAboutName(p.rule) || p.name.isEmpty()) {
            groups.append({{i}, p.message});
            continue;
        }
        const bool byFile = nobodys(p) && unknownByFile.value(p.path).size() >= ManyUnknown;
        const QString key = QString::number(int(p.rule)) + u' '
                            + (byFile ? QStringLiteral("\n\n") + p.path
                               : p.whose.isEmpty() ? p.name.toLower()
                                                   : u'\n' + p.whose);
        if (byFile && !byName.contains(key))
            fileGroups.insert(int(groups.size()));
        const auto found = byName.constFind(key);
        if (found != byName.cend()) {
            groups[*found].members.append(i);
            continue;
        }
        byName.insert(key, int(groups.size()));
        groups.append({{i}, p.message});
    }
    for (int at = 0; at < groups.size(); ++at) {
        ProblemGroup &g = groups[at];
        if (!g.isGroup())
            continue;
        QStringList files;
        QStringList names;
        for (const int i : std::as_const(g.members)) {
            const QString name = problems[i].path.isEmpty() ? QStringLiteral("valve.rc") : QFileInfo(problems[i].path).fileName();
            if (!files.contains(name))
                files.append(name);
            if (!names.contains(problems[i].name, Qt::CaseInsensitive))
                names.append(problems[i].name);
        }
        const ConfigProblem &first = problems[g.members.front()];
        const QString where = files.join(QStringLiteral(", "));
        g.severalNames = names.size() > 1;
        const QString shown = names.size() <= 4 ? names.join(QStringLiteral(", "))
                                                : QStringLiteral("%1 and %2 more").arg(names.mid(0, 3).join(QStringLiteral(", "))).arg(names.size() - 3);
        if (fileGroups.contains(at)) {
            g.text = QStringLiteral("Names nobody knows, in %1: %2 (%3 names, %4 uses)")
                         .arg(where, shown)
                         .arg(names.size())
                         .arg(g.members.size());
            continue;
        }
        if (first.whose.isEmpty()) {
            g.text = QStringLiteral("%1 (%2 uses, in %3)").arg(g.text).arg(g.members.size()).arg(where);
            continue;
        }
        const QString owner = first.rule == ProblemRule::ForwardedName
                                  ? QStringLiteral("Commands the client sends on to the server, for %1").arg(first.whose)
                              : first.rule == ProblemRule::ThirdPartyName
                                  ? QStringLiteral("Names of %1").arg(first.whose)
                              : first.rule == ProblemRule::SourceEngineName
                                  ? QStringLiteral("Names of %1, which this game does not have").arg(first.whose)
                                  : QStringLiteral("Saved variables the game wrote into config.cfg that the catalogue does "
                                                   "not know");
        g.text = QStringLiteral("%1: %2 (%3 names, %4 uses, in %5)")
                     .arg(owner, shown)
                     .arg(names.size())
                     .arg(g.members.size())
                     .arg(where);
    }
    std::stable_sort(groups.begin(), groups.end(), [&](const ProblemGroup &a, const ProblemGroup &b) {
        return int(problems[a.members.front()].weight()) < int(problems[b.members.front()].weight());
    });
    return groups;
}
