// Quick Search for a text that is not there, in a 20 MB document, against a
// bare QsciScintilla's case-insensitive search of the same text, and a
// case-insensitive QString::indexOf, in the same run.
//
// Run:  QT_QPA_PLATFORM=offscreen build/bench/bench_search
//
// Exit code: 0 the goal met, 2 missed, 1 a measurement went wrong.

#include "BenchReport.h"
#include "ConfigText.h"

#include "editbox/MemoryClipboard.h"
#include "documents/Prompts.h"
#include "catalogue/QuickSearch.h"
#include "gui/editbox/RichTextBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr qsizetype Size = 20'000'000;
constexpr int Repetitions = 5;
constexpr double Goal = 2.0;

// Counts the "Not Found" messages instead of showing them.
class CountingPrompts : public Prompts
{
public:
    int messages = 0;
    QString chooseOpenPath(const QString &, const QStringList &, const QString &) override { return {}; }
    QString chooseSavePath(const QString &, const QStringList &, const QString &) override { return {}; }
    SaveChoice askSaveChanges(const QString &) override { return SaveChoice::Cancel; }
    SaveChoice askSaveAll(const QStringList &) override { return SaveChoice::Cancel; }
    bool confirmSave(const QString &) override { return false; }
    void showError(const QString &) override {}
    bool askYesNo(const QString &) override { return false; }
    bool confirmSlowOpen(const QString &) override { return false; }
    bool confirmSlowPaste(const QString &) override { return false; }
    bool askReload(const QString &) override { return false; }
    bool confirmOverwrite(const QString &) override { return false; }
    RecoveryChoice askRecover(const QString &) override { return RecoveryChoice::Later; }
    void inform(const QString &) override {}
    void showMessage(const QString &, const QString &) override { ++messages; }
    int askLineNumber(int, int) override { return 0; }
};

} // namespace

int main(int argc, char *argv[])
{
    drawOffscreenUnlessChosen();
    QApplication app(argc, argv);
    MemoryClipboard clipboard;
    RichTextBox box(clipboard);
    box.resize(800, 600);
    box.show();
    box.setText(configText(Size));
    QCoreApplication::processEvents();
    const QString text = box.Text();
    // A Quick Search name, in capitals, that the document does not hold.
    const QString missing = QStringLiteral("CL_DYNAMICCROSSHAIR");
    CountingPrompts prompts;
    QsciScintilla bare;
    bare.setUtf8(true);
    bare.resize(800, 600);
    bare.show();
    bare.setText(text);
    QCoreApplication::processEvents();
    const QByteArray missingUtf8 = missing.toUtf8();
    double bestScintilla = 1e300;

    // The first search after an edit reads the text out of the widget; a
    // search repeated without an edit (picking names one after another)
    // reuses what it read.
    double bestFirst = 1e300, bestAgain = 1e300, bestBare = 1e300;
    QElapsedTimer timer;
    for (int i = 0; i < Repetitions; ++i) {
        box.setSelStart(0);
        box.setSelText(QStringLiteral("x"));
        box.setSelStart(0);
        box.setSelLength(1);
        box.setSelText(QString());
        timer.start();
        if (FindInDocument(box, prompts, missing) != -1)
            fail("found a text the document does not hold");
        bestFirst = std::min(bestFirst, timer.nsecsElapsed() / 1e6);
        timer.start();
        if (FindInDocument(box, prompts, missing) != -1)
            fail("found a text the document does not hold");
        bestAgain = std::min(bestAgain, timer.nsecsElapsed() / 1e6);
        timer.start();
        if (text.indexOf(missing, 0, Qt::CaseInsensitive) != -1)
            fail("the bare search found a text the document does not hold");
        bestBare = std::min(bestBare, timer.nsecsElapsed() / 1e6);
        using Sci = QsciScintillaBase;
        timer.start();
        bare.SendScintilla(Sci::SCI_SETSEARCHFLAGS, 0L);
        bare.SendScintilla(Sci::SCI_SETTARGETRANGE, 0L, bare.SendScintilla(Sci::SCI_GETLENGTH));
        if (bare.SendScintilla(Sci::SCI_SEARCHINTARGET, uintptr_t(missingUtf8.size()), missingUtf8.constData()) != -1)
            fail("the bare QsciScintilla found a text the document does not hold");
        bestScintilla = std::min(bestScintilla, timer.nsecsElapsed() / 1e6);
    }
    if (prompts.messages != 2 * Repetitions)
        fail("not every search told the user");
    bool allMet = true;
    const auto report = [&](const char *what, double ms) {
        const double ratio = ms / bestScintilla;
        const bool met = ratio <= Goal;
        allMet = allMet && met;
        std::printf("%s %.1f ms, bare QsciScintilla %.1f ms, ours/bare %.2f (goal: at most %.0f) %s;"
                    " QString::indexOf %.1f ms\n",
                    what, ms, bestScintilla, ratio, Goal, met ? "met" : "MISSED", bestBare);
    };
    std::printf("search for a missing text in %.1f MB:\n", text.size() / 1e6);
    report("  first after an edit:", bestFirst);
    report("  repeated:           ", bestAgain);
    return allMet ? 0 : 2;
}
