// The configuration as a whole: analysing a game folder of 50 configs
// (1 MB in all) from nothing, and again after one character typed in one
// of them, which reads only that file anew and runs the start-up again
// from just before that file first runs; a key's trace through the
// console model, and a loop found frozen.
//
// Run:  build/bench/bench_config
//
// Exit code: 0 all goals met, 2 a goal missed.

#include "BenchReport.h"
#include "ConfigText.h"

#include "catalogue/Catalogue.h"
#include "config/ConfigAnalysis.h"
#include "config/KnownCommands.h"
#include "console/ConsoleRun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Files = 50;
constexpr qsizetype TotalSize = 1024 * 1024;
constexpr double FreshGoalMs = 100;
constexpr double KeystrokeGoalMs = 5;
constexpr double KeyTraceGoalMs = 10;
constexpr double FreezeGoalMs = 50;

double median(std::vector<double> v)
{
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// The names the configs use, and filler entries up to a full catalogue, so
// a lookup and a nearest-name search cost what they cost for real.
std::unique_ptr<Catalogue> catalogue()
{
    static const char *const names[] = {"bind", "alias", "exec", "wait", "cl_updaterate", "cl_cmdrate", "rate",
                                        "sensitivity", "volume", "net_graph", "+forward", "+attack", "+jump"};
    auto c = std::make_unique<Catalogue>();
    for (int k = 1; k <= Catalogue::Entries; ++k) {
        c->strCmdName[k] = k <= int(std::size(names)) ? QString::fromLatin1(names[k - 1])
                                                      : QStringLiteral("cl_filler_%1").arg(k);
        c->strCmdRange[k] = QStringLiteral("0-100000");
    }
    c->reindex();
    return c;
}

void write(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toLatin1()) != text.size())
        fail(QStringLiteral("cannot write %1").arg(path));
}

} // namespace

int main()
{
    QTemporaryDir dir;
    if (!dir.isValid())
        fail(QStringLiteral("no temporary folder"));
    // valve.rc, autoexec.cfg, config.cfg, userconfig.cfg and the parts autoexec.cfg runs.
    const int parts = Files - 4;
    const qsizetype each = TotalSize / Files;
    QString autoexec;
    for (int i = 1; i <= parts; ++i) {
        const QString name = QStringLiteral("part%1.cfg").arg(i, 2, 10, QLatin1Char('0'));
        write(dir.filePath(name), configText(each));
        autoexec += QStringLiteral("exec %1\r\n").arg(name);
    }
    write(dir.filePath("valve.rc"), QStringLiteral("exec autoexec.cfg\r\n") + configText(each - 20));
    write(dir.filePath("autoexec.cfg"), autoexec + configText(each - autoexec.size()));
    write(dir.filePath("config.cfg"), QStringLiteral("unbindall\r\n") + configText(each - 30) + "\r\nexec userconfig.cfg\r\n");
    write(dir.filePath("userconfig.cfg"), configText(each));

    const std::unique_ptr<Catalogue> cat = catalogue();
    const CatalogueCommands known(*cat);
    const GameFolder folder = GameFolder::at(dir.path());
    std::vector<double> fresh;
    int fileCount = 0;
    int problems = 0;
    QElapsedTimer timer;
    for (int i = 0; i < 7; ++i) {
        timer.start();
        ConfigAnalyzer analyzer(folder, known);
        const ConfigModel model = analyzer.analyze();
        fresh.push_back(timer.nsecsElapsed() / 1e6);
        fileCount = int(model.files.size());
        problems = int(model.problems.size());
    }
    if (fileCount != Files)
        fail(QStringLiteral("the start-up order holds %1 files, not %2").arg(fileCount).arg(Files));

    // One character typed in the middle of one part, open as a document.
    ConfigAnalyzer analyzer(folder, known);
    const QString open = dir.filePath("part23.cfg");
    QString text = configText(each);
    analyzer.setDocument(open, text);
    analyzer.analyze();
    std::vector<double> typed;
    for (int i = 0; i < 60; ++i) {
        text.insert(text.size() / 2, i % 2 ? u'x' : u' ');
        timer.start();
        analyzer.setDocument(open, text);
        const ConfigModel model = analyzer.analyze();
        typed.push_back(timer.nsecsElapsed() / 1e6);
        if (model.files.size() != Files)
            fail(QStringLiteral("a keystroke changed the start-up order"));
        if (model.console->resumedAt < 0)
            fail(QStringLiteral("a keystroke ran the start-up from the start"));
    }

    // A key's trace from the state the start-up leaves: a jump-throw alias with a wait.
    const ConfigModel model = analyzer.analyze();
    ConsoleState state = model.console->state;
    {
        Console script(model.profile, known, {}, state);
        auto source = std::make_shared<ConsoleSource>();
        script.addText(QStringLiteral("alias +jt \"+jump;wait;-attack\"\nalias -jt -jump\nbind t +jt\n"), source);
        script.runUntilEmpty(4);
        state = script.takeState();
    }
    std::vector<double> traced;
    int steps = 0;
    for (int i = 0; i < 50; ++i) {
        timer.start();
        const ConsoleStartup::KeyRun run = ConsoleStartup::key(state, QStringLiteral("t"), model.profile, known, {});
        traced.push_back(timer.nsecsElapsed() / 1e6);
        steps = int(run.press.size() + run.release.size());
    }
    if (steps < 5)
        fail(QStringLiteral("the key's trace has %1 steps").arg(steps));
    // A key whose aliases call each other with no wait: found frozen at the bound.
    std::vector<double> frozen;
    for (int i = 0; i < 7; ++i) {
        Console loop(model.profile, known, {}, state);
        auto source = std::make_shared<ConsoleSource>();
        loop.addText(QStringLiteral("alias a \"echo;b\"\nalias b \"echo;c\"\nalias c a\na\n"), source);
        timer.start();
        loop.runUntilEmpty(4);
        frozen.push_back(timer.nsecsElapsed() / 1e6);
        if (loop.events().isEmpty() || loop.events().back().kind != ConsoleEvent::Kind::Freeze)
            fail(QStringLiteral("the loop was not found"));
    }

    bool allMet = true;
    const double freshMs = median(fresh);
    const double typedMs = median(typed);
    std::printf("game folder: %d configs, %.2f MB, %d problems found\n", fileCount, double(TotalSize) / (1024 * 1024),
                problems);
    std::printf("  analysing it from nothing: %.1f ms (goal: at most %.0f ms) %s\n", freshMs, FreshGoalMs,
                verdict(freshMs <= FreshGoalMs, allMet));
    std::printf("  again after one keystroke: %.2f ms, %.3f of a fresh analysis (goal: at most %.0f ms) %s\n",
                typedMs, typedMs / freshMs, KeystrokeGoalMs, verdict(typedMs <= KeystrokeGoalMs, allMet));
    const double traceMs = median(traced);
    const double freezeMs = median(frozen);
    std::printf("  a key's press and release, frame by frame: %.2f ms (goal: at most %.0f ms) %s\n", traceMs,
                KeyTraceGoalMs, verdict(traceMs <= KeyTraceGoalMs, allMet));
    std::printf("  a loop of three aliases found frozen at the bound: %.2f ms (goal: at most %.0f ms) %s\n", freezeMs,
                FreezeGoalMs, verdict(freezeMs <= FreezeGoalMs, allMet));
    return allMet ? 0 : 2;
}
