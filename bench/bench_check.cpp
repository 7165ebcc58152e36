// `tessary check` on a game folder of 50 configs (1 MB in all), from start
// to exit, against the same program starting and stopping without checking
// anything (`tessary check --help`), side by side in one run.

#include "BenchReport.h"
#include "ConfigText.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Files = 50;
constexpr qsizetype Bytes = 1024 * 1024;
constexpr double GoalMs = 500;
constexpr int Runs = 5;

double millisecondsOf(const QStringList &arguments, const QString &folder)
{
    QList<double> times;
    for (int run = 0; run < Runs; ++run) {
        QProcess process;
        process.setWorkingDirectory(folder);
        process.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer clock;
        clock.start();
        process.start(QStringLiteral(TESSARY_EXECUTABLE), arguments);
        if (!process.waitForFinished(60000))
            fail(QStringLiteral("tessary %1 did not finish").arg(arguments.join(u' ')));
        times.append(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[Runs / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString game = dir.filePath(QStringLiteral("cstrike"));
    QDir().mkpath(game);
    // autoexec.cfg execs the others, as a player's folder of scripts does.
    QString autoexec;
    for (int i = 1; i < Files; ++i)
        autoexec += QStringLiteral("exec part%1.cfg\r\n").arg(i);
    const QString body = configText(Bytes / Files);
    for (int i = 0; i < Files; ++i) {
        QFile file(QDir(game).filePath(i == 0 ? QStringLiteral("autoexec.cfg") : QStringLiteral("part%1.cfg").arg(i)));
        if (!file.open(QIODevice::WriteOnly))
            fail(QStringLiteral("cannot write %1").arg(file.fileName()));
        file.write((i == 0 ? autoexec + body.left(body.size() - autoexec.size()) : body).toLatin1());
    }
    const double bare = millisecondsOf({QStringLiteral("check"), QStringLiteral("--help")}, dir.path());
    const double checked = millisecondsOf({QStringLiteral("check"), QStringLiteral("cstrike")}, dir.path());
    bool allMet = true;
    std::printf("tessary check of %d configs (%lld KB): %.0f ms from start to exit; the program starting and "
                "stopping alone: %.0f ms (ratio %.1f)\n",
                Files, (long long)(Bytes / 1024), checked, bare, checked / std::max(bare, 1.0));
    std::printf("goal: at most %.0f ms: %s\n", GoalMs, verdict(checked <= GoalMs, allMet));
    return allMet ? 0 : 2;
}
