// The document's alias index under typing: a character typed inside a line
// and a line broken in two, in a 20 MB config against a 1 KB one, and the
// line break against indexing the whole 20 MB afresh.
//
// Run:  build/bench/bench_aliases
//
// Exit code: 0 all goals met, 2 a goal missed.

#include "BenchReport.h"
#include "ConfigText.h"

#include "catalogue/AliasIndex.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Edits = 2000;
constexpr double TypingGoal = 1.5;    // large/small, a character inside a line
constexpr double BreakGoal = 0.01;    // a line break against a full rescan

double median(std::vector<double> v)
{
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// Median microseconds of one edit in the middle of the document.
double editCost(const QStringList &lines, bool breakLine)
{
    AliasIndex index;
    index.replaceLines(0, 0, lines);
    const int at = int(lines.size()) / 2;
    const QString line = lines[at];
    std::vector<double> micros;
    QElapsedTimer timer;
    for (int i = 0; i < Edits; ++i) {
        timer.start();
        if (!breakLine)
            index.replaceLines(at, 1, {line + QString(i % 2 ? u'x' : u'y')});
        else if (i % 2 == 0)
            index.replaceLines(at, 1, {line.left(10), line.mid(10)});
        else
            index.replaceLines(at, 2, {line});
        micros.push_back(timer.nsecsElapsed() / 1e3);
    }
    return median(micros);
}

} // namespace

int main()
{
    const QStringList large = configText(20'000'000).split(QStringLiteral("\r\n"));
    const QStringList small = configText(1'000).split(QStringLiteral("\r\n"));
    QElapsedTimer timer;
    timer.start();
    AliasIndex full;
    full.replaceLines(0, 0, large);
    const double rescanUs = timer.nsecsElapsed() / 1e3;
    std::printf("documents: %lld and %lld lines; indexing all of the large one: %.0f us\n",
                qlonglong(large.size()), qlonglong(small.size()), rescanUs);
    bool allMet = true;
    const double typedLarge = editCost(large, false);
    const double typedSmall = editCost(small, false);
    std::printf("  a character inside a line: %.2f us in 20 MB, %.2f us in 1 KB, large/small %.2f (goal: at most %.1f) %s\n",
                typedLarge, typedSmall, typedLarge / typedSmall, TypingGoal,
                verdict(typedLarge / typedSmall <= TypingGoal, allMet));
    const double brokenLarge = editCost(large, true);
    const double brokenSmall = editCost(small, true);
    std::printf("  a line broken or joined: %.2f us in 20 MB, %.2f us in 1 KB, large/small %.1f;"
                " against a full rescan %.5f (goal: at most %.2f) %s\n",
                brokenLarge, brokenSmall, brokenLarge / brokenSmall, brokenLarge / rescanUs, BreakGoal,
                verdict(brokenLarge / rescanUs <= BreakGoal, allMet));
    return allMet ? 0 : 2;
}
