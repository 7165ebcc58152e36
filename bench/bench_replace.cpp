// Replace All in a 20 MB document, as one undo element, against one bare
// search plus one QString::replace over the same text in the same run.
//
// Run:  build/bench/bench_replace
//
// Exit code: 0 the goal met, 2 missed, 1 a measurement went wrong.

#include "BenchReport.h"
#include "ConfigText.h"

#include "editbox/MemoryClipboard.h"
#include "editbox/MemoryEditBox.h"
#include "gui/editbox/RichTextBox.h"
#include "search/DocumentSearch.h"
#include "undo/clsUndo.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr qsizetype Size = 20'000'000;
constexpr int Repetitions = 3;
// The engine's own work (finding, building the new text, keeping the old
// one for undo) against the bare pair.
constexpr double Goal = 4.0;
// The same in the window's edit box, against the engine's own work.
constexpr double WidgetGoal = 2.0;

} // namespace

int main(int argc, char *argv[])
{
    drawOffscreenUnlessChosen();
    QApplication app(argc, argv);
    MemoryClipboard clipboard;
    const QString document = configText(Size);
    const QString find = QStringLiteral("sensitivity 2");
    const QString replacement = QStringLiteral("sensitivity 2.5");
    const int expected = int(document.count(find, Qt::CaseInsensitive));

    double bestOurs = 1e300, bestBare = 1e300, bestUndo = 1e300;
    QElapsedTimer timer;
    for (int i = 0; i < Repetitions; ++i) {
        MemoryEditBox box(clipboard);
        clsUndo undo;
        undo.setRichBox(&box);
        box.setText(document);
        undo.Reset();
        timer.start();
        if (replaceAll(undo, box, find, replacement, {}) != expected || undo.UndoCount() != 1)
            fail("Replace All replaced the wrong count or kept more than one element");
        bestOurs = std::min(bestOurs, timer.nsecsElapsed() / 1e6);
        timer.start();
        undo.undo();
        bestUndo = std::min(bestUndo, timer.nsecsElapsed() / 1e6);
        if (box.TextLength() != document.size())
            fail("undo did not restore the document");

        QString copy = document;
        timer.start();
        if (copy.indexOf(find, 0, Qt::CaseInsensitive) < 0)
            fail("the bare search found nothing");
        copy.replace(find, replacement, Qt::CaseInsensitive);
        bestBare = std::min(bestBare, timer.nsecsElapsed() / 1e6);
    }

    // The same in the window's edit box: the engine's own work and the box's edits.
    RichTextBox widget(clipboard);
    widget.resize(800, 600);
    widget.show();
    widget.setText(document);
    QCoreApplication::processEvents();
    clsUndo undo;
    undo.setRichBox(&widget);
    undo.Reset();
    timer.start();
    if (replaceAll(undo, widget, find, replacement, {}) != expected)
        fail("Replace All in the widget replaced the wrong count");
    const double inWidget = timer.nsecsElapsed() / 1e6;

    bool allMet = true;
    const double ratio = bestOurs / bestBare;
    std::printf("Replace All of %d occurrences in %.1f MB:\n", expected, document.size() / 1e6);
    std::printf("  one undo element %.1f ms, search + QString::replace %.1f ms, ours/bare %.2f (goal: at most %.0f) %s\n",
                bestOurs, bestBare, ratio, Goal, verdict(ratio <= Goal, allMet));
    std::printf("  its undo %.1f ms\n", bestUndo);
    std::printf("  in the window's edit box %.1f ms, against the engine's own work %.2f (goal: at most %.0f) %s\n",
                inWidget, inWidget / bestOurs, WidgetGoal, verdict(inWidget / bestOurs <= WidgetGoal, allMet));
    return allMet ? 0 : 2;
}
