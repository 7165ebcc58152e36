// The recovery copy of a 20 MB document, side by side with bare baselines in
// one run: what the window's thread pays (taking a snapshot of the edit box)
// against a bare copy of the same text, and what the worker thread's write
// costs (finishing the text, encoding, writing, syncing) against a bare QFile
// write of the same bytes.
//
// Run:  QT_QPA_PLATFORM=offscreen build/bench/bench_recovery [folder]
//
// The folder (default: the current one) should be on the disk that holds the
// user's data folder: the copy is synced to disk. Exit code: 0 goals met,
// 2 a goal missed, 1 a measurement went wrong.

#include "BenchReport.h"

#include "editbox/MemoryClipboard.h"
#include "documents/RecoveryStore.h"
#include "gui/editbox/RichTextBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

constexpr int Lines = 400'000; // 50 bytes each with CR LF: 20 MB
constexpr int Repetitions = 5;
// The window's thread pays about what copying the text once costs (it walks
// the widget's pieces besides); turning it into Text() would be four times that.
constexpr double SnapshotGoal = 2.5;
// The worker's write (it also converts line breaks, encodes and syncs) next
// to writing the bytes bare; it must stay far below the pause that starts it.
constexpr double WriteGoal = 10.0;

double medianMs(const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < Repetitions; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QString document()
{
    QString text;
    text.reserve(qsizetype(Lines) * 50);
    for (int i = 0; i < Lines; ++i) {
        if (i)
            text += QLatin1String("\r\n");
        text += QStringLiteral("bind \"MOUSE%1\" \"+attack\" // tuned for the league %2").arg(i % 5).arg(i % 97, 4);
        text.resize(qsizetype(i + 1) * 50 - 2, u' ');
    }
    return text;
}

const char *verdict(bool met)
{
    return met ? "met" : "MISSED";
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir(QString::fromLocal8Bit(argc > 1 ? argv[1] : ".") + QStringLiteral("/bench_recovery-XXXXXX"));
    if (!dir.isValid())
        fail(QStringLiteral("cannot make a folder: %1").arg(dir.errorString()));

    MemoryClipboard clipboard;
    RichTextBox box(clipboard);
    box.setText(document());
    RecoveryStore store(dir.path());
    if (const Status opened = store.open(); !opened)
        fail(opened.error());

    QString text;
    const double textMs = medianMs([&] { text = box.Text(); });
    EditBox::TextSnapshot snapshot;
    const double snapshotMs = medianMs([&] { snapshot = box.textSnapshot(); });
    const double copyMs = medianMs([&] {
        QString copy = text;
        copy.detach();
    });
    if (snapshot() != text)
        fail(QStringLiteral("the snapshot differs from the text"));
    const double writeMs = medianMs([&] {
        if (const Status written = store.write(QStringLiteral("/games/config.cfg"), DiskStamp(), snapshot()); !written)
            fail(written.error());
    });
    const QByteArray bytes = text.toUtf8();
    const double bareMs = medianMs([&] {
        QFile file(dir.filePath(QStringLiteral("bare")));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            fail(QStringLiteral("cannot write %1").arg(file.fileName()));
    });

    const double snapshotRatio = snapshotMs / copyMs;
    const double writeRatio = writeMs / bareMs;
    const bool met = snapshotRatio < SnapshotGoal && writeRatio < WriteGoal;
    std::printf("document: %.1f MB, %d lines\n", bytes.size() / 1e6, Lines);
    std::printf("window thread, snapshot of the edit box: %.1f ms; bare copy of the text %.1f ms; ratio %.2f, "
                "goal < %.1f: %s\n",
                snapshotMs, copyMs, snapshotRatio, SnapshotGoal, verdict(snapshotRatio < SnapshotGoal));
    std::printf("  (taking Text() there instead: %.1f ms)\n", textMs);
    std::printf("worker thread, recovery write: %.1f ms; bare QFile write %.1f ms; ratio %.2f, goal < %.1f: %s\n",
                writeMs, bareMs, writeRatio, WriteGoal, verdict(writeRatio < WriteGoal));
    return met ? 0 : 2;
}
