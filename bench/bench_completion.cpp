// Completion after a keystroke: narrowing the list of 1,500 catalogue names
// and 1,000 aliases to the word typed so far, against a bare
// case-insensitive scan of the same names.
//
// Run:  build/bench/bench_completion
//
// Exit code: 0 all goals met, 2 a goal missed.

#include "BenchReport.h"

#include "catalogue/Catalogue.h"
#include "catalogue/UseTable.h"
#include "completion/CompletionList.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Aliases = 1000;
constexpr double GoalMs = 1.0;

double median(std::vector<double> v)
{
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// Names shaped like the game's: a family prefix, one or two words.
QString gameName(QRandomGenerator &random)
{
    static const char *const prefixes[] = {"cl_", "hud_", "sv_", "r_", "gl_", "net_", "+", "m_", "voice_", "s_",
                                           "mp_", "scr_", ""};
    static const char *const words[] = {"update", "rate", "cmd", "draw", "show", "max", "min", "time", "speed",
                                        "bob", "yaw", "pitch", "fov", "lag", "smooth", "filter", "alpha", "scale",
                                        "color", "sound", "volume", "jump", "duck", "attack", "center", "id"};
    QString name = QString::fromLatin1(prefixes[random.bounded(int(std::size(prefixes)))]);
    name += QString::fromLatin1(words[random.bounded(int(std::size(words)))]);
    if (random.bounded(2))
        name += QString::fromLatin1(words[random.bounded(int(std::size(words)))]);
    return name;
}

} // namespace

int main()
{
    QRandomGenerator random(25);
    auto catalogue = std::make_unique<Catalogue>();
    UseTable uses;
    QString used;
    for (int k = 1; k <= Catalogue::Entries; ++k) {
        catalogue->strCmdName[k] = k == 1 ? QStringLiteral("cl_updaterate") : gameName(random) + QString::number(k);
        catalogue->strCmdText[k] = QStringLiteral("What %1 does. More about it.").arg(catalogue->strCmdName[k]);
        // The most used name, as in real configs.
        for (int n = k == 1 ? 10 : random.bounded(4); n > 0; --n)
            used += catalogue->strCmdName[k] + QStringLiteral(" 1\n");
    }
    catalogue->reindex();
    uses.addFile(used);
    QList<std::pair<QString, QString>> aliases;
    for (int i = 0; i < Aliases; ++i)
        aliases.append({QStringLiteral("my_") + gameName(random) + QString::number(i),
                        QStringLiteral("+jump; wait; -jump")});
    CompletionList list;
    list.setCatalogue(*catalogue, uses);
    list.setAliases(aliases);
    QStringList plain;
    for (int k = 1; k <= Catalogue::Entries; ++k)
        plain.append(catalogue->strCmdName[k]);
    for (const auto &alias : aliases)
        plain.append(alias.first);

    // Each keystroke of two words: one most names start with, one inside many.
    QStringList prefixes;
    for (const QString &word : {QStringLiteral("cl_updaterate"), QStringLiteral("rate")}) {
        for (qsizetype n = 1; n <= word.size(); ++n)
            prefixes.append(word.left(n));
    }
    std::vector<double> listMs;
    std::vector<double> bareMs;
    std::vector<double> worstOfMedians;
    qsizetype found = 0;
    QElapsedTimer timer;
    for (const QString &prefix : std::as_const(prefixes)) {
        std::vector<double> perPrefix;
        for (int round = 0; round < 41; ++round) {
            timer.start();
            const auto matched = list.matchNames(prefix);
            const double ms = timer.nsecsElapsed() / 1e6;
            perPrefix.push_back(ms);
            listMs.push_back(ms);
            found += matched.size();
            timer.start();
            qsizetype bare = 0;
            for (const QString &name : std::as_const(plain))
                bare += name.startsWith(prefix, Qt::CaseInsensitive) || name.contains(prefix, Qt::CaseInsensitive);
            bareMs.push_back(timer.nsecsElapsed() / 1e6);
            found += bare;
        }
        worstOfMedians.push_back(median(perPrefix));
    }
    if (list.matchNames(u"").size() != Catalogue::Entries + Aliases)
        fail(QStringLiteral("the list holds %1 names").arg(list.matchNames(u"").size()));
    if (list.matchNames(u"cl_up").isEmpty() || list.matchNames(u"cl_up").first()->name != u"cl_updaterate")
        fail(QStringLiteral("cl_up does not offer cl_updaterate first"));

    bool allMet = true;
    const double typical = median(listMs);
    const double worst = *std::max_element(worstOfMedians.begin(), worstOfMedians.end());
    const double bare = median(bareMs);
    std::printf("completion: %d names and %d aliases, %lld keystrokes of two words (%lld matches seen)\n",
                int(plain.size()) - Aliases, Aliases, qlonglong(prefixes.size()), qlonglong(found));
    std::printf("  narrowing after a keystroke: %.3f ms typical, %.3f ms for the slowest word typed so far,"
                " %.2fx a bare case-insensitive scan (goal: at most %.1f ms) %s\n",
                typical, worst, typical / bare, GoalMs, verdict(worst <= GoalMs, allMet));
    return allMet ? 0 : 2;
}
