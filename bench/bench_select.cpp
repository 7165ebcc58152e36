// Ctrl+B (select to the end) against Ctrl+A (select all) on a large document
// in the edit box, both through the undo engine's key handling.
//
// Run:  QT_QPA_PLATFORM=offscreen build/bench/bench_select
//
// Both set one selection reaching the document's end; Ctrl+B also keeps the
// view where it was. Goal: Ctrl+B costs at most a small factor of Ctrl+A.
// Exit code: 0 met, 2 missed.

#include "BenchReport.h"
#include "ConfigText.h"
#include "editbox/EditBox.h"
#include "editbox/MemoryClipboard.h"
#include "gui/editbox/RichTextBox.h"
#include "undo/clsUndo.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr double Goal = 3.0;
constexpr double SlackMs = 20; // both are near nothing on a small document

double pressMs(RichTextBox &box, clsUndo &undo, int key)
{
    double best = 1e18;
    for (int i = 0; i < 3; ++i) {
        box.setSelStart(box.TextLength() / 3);
        QApplication::processEvents();
        QElapsedTimer t;
        t.start();
        KeyEvent press{key, 2, {}};
        undo.MyRichTextBox_KeyDown(press);
        QApplication::processEvents();
        best = qMin(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    drawOffscreenUnlessChosen();
    QApplication app(argc, argv);
    bool allMet = true;
    for (const qsizetype megabytes : {1, 20}) {
        MemoryClipboard clipboard;
        RichTextBox box(clipboard);
        box.resize(800, 600);
        box.show();
        box.setText(configText(megabytes * 1024 * 1024));
        clsUndo undo;
        undo.setRichBox(&box);
        undo.Reset();
        QApplication::processEvents();
        const double all = pressMs(box, undo, 'A');
        const double toEnd = pressMs(box, undo, 'B');
        const bool met = toEnd <= all * Goal + SlackMs && box.SelStart() + box.SelLength() == box.TextLength();
        std::printf("%2lld MB document: Ctrl+B %.1f ms, Ctrl+A %.1f ms, ratio %.2f (goal <= %.1f): %s\n",
                    static_cast<long long>(megabytes), toEnd, all, toEnd / qMax(all, 0.01), Goal,
                    verdict(met, allMet));
    }
    return allMet ? 0 : 2;
}
