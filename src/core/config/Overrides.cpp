#include "config/Overrides.h"

#include "catalogue/ValueRange.h"

#include <QHash>

namespace {

using Kind = Assignment::Kind;

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
void settings(const QList<Assignment> &runOrder, QList<ConfigProblem> &out)
{
    QHash<QString, int> winner;
    for (int i = 0; i < runOrder.size(); ++i) {
        if (runOrder[i].kind == Kind::Setting)
            winner.insert(runOrder[i].key, i);
    }
    QHash<QString, int> lastInFile; // key + path -> index
    for (int i = 0; i < runOrder.size(); ++i) {
        const Assignment &a = runOrder[i];
        if (a.kind == Kind::Setting)
            lastInFile.insert(a.key + u'\n' + a.path, i);
    }
    for (int i = 0; i < runOrder.size(); ++i) {
        const Assignment &a = runOrder[i];
        if (a.kind != Kind::Setting || lastInFile.value(a.key + u'\n' + a.path) != i)
            continue;
        const Assignment &w = runOrder[winner.value(a.key)];
        if (w.path == a.path || a.rewritten || sameConsoleValue(w.value, a.value))
            continue;
        out.append(lost(a, ProblemRule::SettingReplaced,
                        QStringLiteral("%1 %2 is replaced by %3 at start-up, which sets %4.")
                            .arg(a.shown, a.value, at(w), w.value)));
    }
}

// A key keeps the last bind (xash3d-fwgs in_keys.c Key_SetBinding replaces
// the key's binding; id-Software/Quake WinQuake/keys.c Key_Unbind_f binds
// it to ""), and config.cfg starts with unbindall (rehlds host.cpp
// Host_WriteConfiguration). A bind to "" leaves the key as unbound as
// unbind does; binding again to the same command loses nothing.
void binds(const QList<Assignment> &runOrder, QList<ConfigProblem> &out)
{
    QHash<QString, const Assignment *> bound;                                    // key -> its bind
    QHash<QString, std::pair<const Assignment *, const Assignment *>> cleared; // a bind, and the unbindall
    auto report = [&](const Assignment &loser, const Assignment &by, const QString &why) {
        if (loser.rewritten && loser.path != by.path)
            return;
        out.append(lost(loser, loser.path == by.path ? ProblemRule::KeyBoundTwice : ProblemRule::BindReplaced, why));
    };
    auto clearedBy = [&](const std::pair<const Assignment *, const Assignment *> &wiped) {
        report(*wiped.first, *wiped.second,
               QStringLiteral("%1 is cleared by unbindall in %2, which runs later.").arg(wiped.first->key, at(*wiped.second)));
    };
    for (const Assignment &a : runOrder) {
        if (a.kind == Kind::Setting)
            continue;
        if (a.kind == Kind::UnbindAll) {
            for (auto it = bound.cbegin(); it != bound.cend(); ++it)
                cleared.insert(it.key(), {it.value(), &a});
            bound.clear();
            continue;
        }
        const bool binds = a.kind == Kind::Bind && !a.value.isEmpty();
        const auto before = bound.constFind(a.key);
        if (before != bound.cend() && !(binds && (*before)->value == a.value))
            report(**before, a,
                   binds ? QStringLiteral("%1 is bound again by %2, which runs later: that bind wins.").arg(a.key, at(a))
                         : QStringLiteral("%1 is unbound by %2, which runs later.").arg(a.key, at(a)));
        const auto wiped = cleared.constFind(a.key);
        if (wiped != cleared.cend()) {
            if (!binds)
                clearedBy(*wiped);
            else if (wiped->first->value != a.value)
                report(*wiped->first, a,
                       QStringLiteral("%1 is cleared by unbindall in %2 and bound again by %3: that bind wins.")
                           .arg(a.key, at(*wiped->second), at(a)));
            cleared.remove(a.key);
        }
        if (binds)
            bound.insert(a.key, &a);
        else
            bound.remove(a.key);
    }
    for (const auto &wiped : std::as_const(cleared))
        clearedBy(wiped);
}

} // namespace

QList<ConfigProblem> overrides(const QList<Assignment> &runOrder)
{
    QList<ConfigProblem> out;
    settings(runOrder, out);
    binds(runOrder, out);
    return out;
}
