// Opening a large document: load time and peak memory against a bare
// QPlainTextEdit holding the same text, and the cost of SelStart/SelLength
// on a small and a large document.
//
// Run:  QT_QPA_PLATFORM=offscreen build/bench/bench_open
//
// Takes well under a minute. Peak memory comes from two child processes
// (the program runs itself as "bench_open --memory bare|ours <file>") so
// neither side inherits the other's heap. Exit code: 0 all goals met,
// 2 a goal missed, 1 a measurement went wrong.

#include "BenchReport.h"
#include "documents/DocumentFile.h"
#include "editbox/MemoryClipboard.h"
#include "gui/RichTextBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr int LargeLines = 400'000;
constexpr int SmallLines = 1'000;
constexpr int LineWidth = 48; // 50 bytes with CR LF: 20 MB for the large file
constexpr int Repetitions = 3;
constexpr int MappingCalls = 20'000; // each moves the view, which the widget lays out
constexpr double OpenGoal = 1.3;
constexpr double MemoryGoal = 1.10;
constexpr double MappingGoalMicros = 5.0;
constexpr double MoveGoal = 1.2;
const QSize BoxSize(800, 600);

// Peak resident set of this process in KB.
std::optional<qint64> peakResidentKb()
{
#ifdef Q_OS_LINUX
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (!line.startsWith("VmHWM:"))
            continue;
        bool ok = false;
        const qint64 kb = line.mid(6).trimmed().split(' ').value(0).toLongLong(&ok);
        return ok ? std::optional<qint64>(kb) : std::nullopt;
    }
    return std::nullopt;
#else
    return std::nullopt; // not available off Linux
#endif
}

// One console-config line, padded with a trailing comment to about LineWidth.
QByteArray configLine(QRandomGenerator &rng)
{
    static const char *const keys[] = {"w", "a", "s", "d", "SPACE", "CTRL", "SHIFT", "MOUSE1",
                                       "MOUSE2", "r", "e", "q", "TAB", "F1", "KP_END", "MWHEELUP"};
    static const char *const actions[] = {"+forward", "+back", "+moveleft", "+moveright", "+jump",
                                          "+duck", "+speed", "+attack", "+attack2", "+reload",
                                          "+use", "lastinv", "+showscores", "toggleconsole"};
    static const char *const cvars[] = {"cl_updaterate", "cl_cmdrate", "rate", "fps_max", "sensitivity",
                                        "volume", "cl_interp_ratio", "m_rawinput", "net_graph",
                                        "viewmodel_fov", "cl_crosshairsize", "hud_scaling"};
    static const char *const words[] = {"tuned", "for", "the", "league", "server", "keep", "this",
                                        "default", "lan", "practice", "old", "value", "was", "team"};
    const auto pick = [&rng](const auto &list) {
        return QByteArray(list[rng.bounded(int(std::size(list)))]);
    };

    QByteArray line;
    switch (rng.bounded(6)) {
    case 0: case 1: line = "bind \"" + pick(keys) + "\" \"" + pick(actions) + '"'; break;
    case 2: case 3: line = pick(cvars) + ' ' + QByteArray::number(rng.bounded(1000)); break;
    case 4: line = "alias \"+jumpthrow\" \"+jump;-attack\""; break;
    default: line = "// " + pick(words); break;
    }
    const int width = LineWidth - 8 + rng.bounded(17);
    if (line.size() < width) {
        if (!line.startsWith("//"))
            line += " //";
        while (line.size() < width)
            line += ' ' + pick(words);
        line.truncate(width);
    }
    return line;
}

QByteArray writeConfig(const QString &path, int lines)
{
    QRandomGenerator rng(1252);
    QByteArray bytes;
    bytes.reserve(qsizetype(lines) * (LineWidth + 2));
    for (int i = 0; i < lines; ++i)
        bytes += configLine(rng) + "\r\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        fail(QStringLiteral("cannot write %1").arg(path));
    return bytes;
}

QString load(const QString &path)
{
    Result<QString> loaded = LoadDocument(path);
    if (!loaded)
        fail(loaded.error());
    return loaded.take();
}

void showBox(QPlainTextEdit &box)
{
    box.resize(BoxSize);
    box.show();
    QCoreApplication::processEvents();
}

void expectLines(const QPlainTextEdit &box, int lines, const char *what)
{
    if (box.document()->blockCount() != lines)
        fail(QStringLiteral("%1 holds %2 lines, expected %3").arg(what).arg(box.document()->blockCount()).arg(lines));
}

// Fresh widgets each time: their construction and teardown stay outside the timer.
double openBare(const QString &text)
{
    QPlainTextEdit box;
    showBox(box);
    QElapsedTimer timer;
    timer.start();
    box.setPlainText(text);
    QCoreApplication::processEvents();
    const double ms = timer.nsecsElapsed() / 1e6;
    expectLines(box, LargeLines, "bare widget");
    return ms;
}

double openOurs(const QString &path)
{
    MemoryClipboard clipboard;
    RichTextBox box(clipboard);
    showBox(box);
    QElapsedTimer timer;
    timer.start();
    box.setText(load(path));
    QCoreApplication::processEvents();
    const double ms = timer.nsecsElapsed() / 1e6;
    expectLines(box, LargeLines, "RichTextBox");
    return ms;
}

// Child side of the memory figure: open the file one way, print the peak.
int runMemoryChild(const QString &which, const QString &path)
{
    MemoryClipboard clipboard;
    std::unique_ptr<QPlainTextEdit> box;
    if (which == QLatin1String("bare")) {
        box = std::make_unique<QPlainTextEdit>();
        showBox(*box);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            fail(QStringLiteral("cannot read %1").arg(path));
        QString text = QString::fromLatin1(file.readAll());
        if (text.endsWith(QLatin1String("\r\n")))
            text.chop(2); // as LoadDocument drops the last line end
        box->setPlainText(text);
    } else if (which == QLatin1String("ours")) {
        auto ours = std::make_unique<RichTextBox>(clipboard);
        showBox(*ours);
        ours->setText(load(path));
        box = std::move(ours);
    } else {
        fail(QStringLiteral("--memory takes bare or ours"));
    }
    QCoreApplication::processEvents();
    const std::optional<qint64> peak = peakResidentKb();
    std::printf("peak_kb=%s lines=%d\n", peak ? qPrintable(QString::number(*peak)) : "unavailable",
                box->document()->blockCount());
    return 0;
}

std::optional<double> peakInChildMb(const QString &which, const QString &path)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory"), which, path});
    if (!child.waitForFinished(120'000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        fail(QStringLiteral("memory child '%1' failed").arg(which));
    const QByteArray out = child.readAllStandardOutput().trimmed();
    const QList<QByteArray> fields = out.split(' ');
    if (fields.size() != 2 || fields[1] != "lines=" + QByteArray::number(LargeLines))
        fail(QStringLiteral("memory child '%1' said: %2").arg(which, QString::fromLatin1(out)));
    bool ok = false;
    const qint64 kb = fields[0].mid(8).toLongLong(&ok);
    return ok ? std::optional<double>(kb / 1024.0) : std::nullopt;
}

// A random caret move: the position written to SelStart, the one SelStart
// must read back, and the caret's place in the widget.
struct Move
{
    int position, start, widgetPosition;
};

std::vector<Move> randomMoves(const QString &text)
{
    std::vector<int> breaks; // where each CR of a CR LF stands
    for (qsizetype i = 0; i + 1 < text.size(); ++i)
        if (text[i] == u'\r' && text[i + 1] == u'\n')
            breaks.push_back(int(i));
    QRandomGenerator rng(7);
    std::vector<Move> moves(MappingCalls);
    for (Move &m : moves) {
        const int p = int(rng.bounded(int(text.size()) + 1));
        // Between CR and LF the caret moves back before the CR.
        const bool insideBreak = p > 0 && p < text.size() && text[p - 1] == u'\r' && text[p] == u'\n';
        const int start = insideBreak ? p - 1 : p;
        const int before = int(std::lower_bound(breaks.begin(), breaks.end(), start) - breaks.begin());
        m = {p, start, start - before};
    }
    return moves;
}

struct MappingCost
{
    double oursUs, bareUs, readUs, lookupUs;
};

// charAt finds its line the way every position written to the box does.
class ProbeBox : public RichTextBox
{
public:
    using RichTextBox::RichTextBox;
    QChar at(int position) const { return charAt(position); }
};

// Microseconds per setSelStart + SelStart + SelLength, and per the same
// caret move set and read back on a bare widget holding the same text.
MappingCost mappingCost(const QString &path, const QString &bareText, int lines, double &relearnMs)
{
    MemoryClipboard clipboard;
    ProbeBox ours(clipboard);
    showBox(ours);
    ours.setText(load(path));
    QCoreApplication::processEvents();
    expectLines(ours, lines, "RichTextBox");
    QPlainTextEdit bare;
    showBox(bare);
    bare.setPlainText(bareText);
    QCoreApplication::processEvents();
    expectLines(bare, lines, "bare widget");

    const QString text = ours.Text();
    const std::vector<Move> moves = randomMoves(text);
    int wrong = 0;
    QElapsedTimer timer;
    QElapsedTimer reading;
    qint64 readNs = 0;
    timer.start();
    for (const Move &m : moves) {
        ours.setSelStart(m.position);
        reading.start();
        wrong += ours.SelStart() != m.start || ours.SelLength() != 0;
        readNs += reading.nsecsElapsed();
    }
    const double oursUs = timer.nsecsElapsed() / 1e3 / moves.size();
    const double readUs = readNs / 1e3 / moves.size();
    if (wrong)
        fail(QStringLiteral("RichTextBox: %1 of %2 moves read back wrong").arg(wrong).arg(moves.size()));

    timer.start();
    for (const Move &m : moves) {
        QTextCursor cursor = bare.textCursor();
        cursor.setPosition(m.widgetPosition);
        bare.setTextCursor(cursor);
        const QTextCursor now = bare.textCursor();
        wrong += now.selectionStart() != m.widgetPosition || now.selectionEnd() != m.widgetPosition;
    }
    const double bareUs = timer.nsecsElapsed() / 1e3 / moves.size();
    if (wrong)
        fail(QStringLiteral("bare widget: %1 of %2 moves read back wrong").arg(wrong).arg(moves.size()));

    // The lookup alone is cheap enough for ten passes over the same positions.
    const int probes = MappingCalls * 10;
    timer.start();
    for (int i = 0; i < probes; ++i) {
        const int p = qMin(moves[i % moves.size()].position, int(text.size()) - 1);
        wrong += ours.at(p) != text[p];
    }
    const double lookupUs = timer.nsecsElapsed() / 1e3 / probes;
    if (wrong)
        fail(QStringLiteral("RichTextBox: %1 of %2 characters read back wrong").arg(wrong).arg(probes));
    // The first position near the end after an edit on the first line:
    // nothing learnt before the edit may need relearning.
    ours.setSelStart(0);
    ours.setSelText(QStringLiteral("x"));
    timer.start();
    wrong += ours.at(ours.TextLength() - 1) != text.back();
    relearnMs = timer.nsecsElapsed() / 1e6;
    return {oursUs, bareUs, readUs, lookupUs};
}

// The same document with LF breaks, as the bare widget is given it.
QString lfText(const QByteArray &bytes)
{
    QString text = QString::fromLatin1(bytes);
    text.chop(2);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

} // namespace

int main(int argc, char *argv[])
{
    drawOffscreenUnlessChosen();
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--memory"))
        return runMemoryChild(args[2], args[3]);

    QTemporaryDir dir;
    if (!dir.isValid())
        fail(QStringLiteral("no temporary folder"));
    const QString largePath = dir.filePath(QStringLiteral("large.cfg"));
    const QString smallPath = dir.filePath(QStringLiteral("small.cfg"));
    const QByteArray bytes = writeConfig(largePath, LargeLines);
    const QString smallBareText = lfText(writeConfig(smallPath, SmallLines));
    std::printf("file: %.1f MB, %d lines, CR LF\n", bytes.size() / 1e6, LargeLines);

    // The bare widget gets the text already in memory.
    const QString bareText = lfText(bytes);

    bool allMet = true;
    double bestOurs = 1e300, bestBare = 1e300;
    for (int i = 0; i < Repetitions; ++i) {
        // Alternate who goes first so neither always inherits a warm heap.
        const double a = i % 2 ? openOurs(largePath) : openBare(bareText);
        const double b = i % 2 ? openBare(bareText) : openOurs(largePath);
        const double ours = i % 2 ? a : b, bare = i % 2 ? b : a;
        std::printf("  run %d: ours %.0f ms, bare %.0f ms\n", i + 1, ours, bare);
        bestOurs = std::min(bestOurs, ours);
        bestBare = std::min(bestBare, bare);
    }
    const double openRatio = bestOurs / bestBare;
    std::printf("open:    ours %.0f ms, bare %.0f ms, ours/bare %.2f (goal: at most %.1f) %s\n", bestOurs, bestBare,
                openRatio, OpenGoal, verdict(openRatio <= OpenGoal, allMet));

    const std::optional<double> bareMb = peakInChildMb(QStringLiteral("bare"), largePath);
    const std::optional<double> oursMb = peakInChildMb(QStringLiteral("ours"), largePath);
    if (bareMb && oursMb) {
        const double memoryRatio = *oursMb / *bareMb;
        std::printf("memory:  ours %.1f MB, bare %.1f MB peak, ours/bare %.3f (goal: within 10 %%) %s\n", *oursMb,
                    *bareMb, memoryRatio, verdict(memoryRatio <= MemoryGoal, allMet));
    } else {
        std::printf("memory:  peak resident set not available on this system\n");
    }

    double relearnMs = 0;
    const MappingCost small = mappingCost(smallPath, smallBareText, SmallLines, relearnMs);
    const MappingCost large = mappingCost(largePath, bareText, LargeLines, relearnMs);
    // The mapping itself must stay flat; moving the caret costs what the
    // widget's own layout costs, so that is held against the bare widget.
    std::printf("mapping: SelStart + SelLength read %.2f us at %d lines, %.2f us at %d lines, large/small %.2f"
                " (goal: a few us, at most %.0f) %s\n",
                small.readUs, SmallLines, large.readUs, LargeLines, large.readUs / small.readUs, MappingGoalMicros,
                verdict(large.readUs <= MappingGoalMicros, allMet));
    std::printf("         position to line %.2f us at %d lines, %.2f us at %d lines, large/small %.2f"
                " (goal: a few us, at most %.0f) %s\n",
                small.lookupUs, SmallLines, large.lookupUs, LargeLines, large.lookupUs / small.lookupUs,
                MappingGoalMicros, verdict(large.lookupUs <= MappingGoalMicros, allMet));
    std::printf("         after an edit on the first line, the last position %.3f ms at %d lines\n", relearnMs,
                LargeLines);
    const double moveRatio = large.oursUs / large.bareUs;
    std::printf("caret:   setSelStart %.1f us, bare widget's same move %.1f us at %d lines, ours/bare %.2f"
                " (goal: at most %.1f) %s\n",
                large.oursUs, large.bareUs, LargeLines, moveRatio, MoveGoal, verdict(moveRatio <= MoveGoal, allMet));
    return allMet ? 0 : 2;
}
