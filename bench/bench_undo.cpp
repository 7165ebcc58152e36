// The undo engine's costs: undo and redo of an edit in a 20 MB document
// against a 1 KB one, memory per recorded keystroke, and a keystroke with a
// million elements on the undo stack against one with an empty stack.
// The first is also measured on a bare QsciScintilla making the same two
// edits, which shows what the component itself costs in a large document.
//
// Run:  QT_QPA_PLATFORM=offscreen build/bench/bench_undo
//
// Takes about half a minute. Exit code: 0 all goals met, 2 a goal missed,
// 1 a measurement went wrong.

#include "BenchReport.h"
#include "editbox/EditBox.h"
#include "editbox/MemoryClipboard.h"
#include "gui/editbox/RichTextBox.h"
#include "editbox/VirtualKey.h"
#include "undo/clsUndo.h"

#include <QApplication>
#include <QElapsedTimer>
#include <Qsci/qsciscintilla.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

constexpr int LargeLines = 400'000; // 50 characters with CR LF: 20 MB
constexpr int SmallLines = 20;      // 1 KB
constexpr int UndoRedoPairs = 2'000;
constexpr int Keystrokes = 1'000'000;
constexpr int TimedKeystrokes = 200'000;
constexpr int Repetitions = 5;
constexpr double UndoRedoGoal = 1.5;
constexpr double BytesGoal = 128;
constexpr double DepthGoal = 1.2;

QString document(int lines)
{
    QString text;
    text.reserve(qsizetype(lines) * 50);
    for (int i = 0; i < lines; ++i) {
        if (i)
            text += QLatin1String("\r\n");
        text += QStringLiteral("bind \"KP_END\" \"+attack2\" // tuned for lan %1").arg(i % 100000, 6, 10, QLatin1Char('0'));
    }
    return text;
}

// A document in the program's edit box with one recorded one-letter edit
// at its start or its end.
struct EditedDocument
{
    MemoryClipboard clipboard;
    RichTextBox box{clipboard};
    clsUndo engine;
    QString edited;

    EditedDocument(const QString &text, bool atEnd)
    {
        box.resize(407, 224); // the edit box's start size in the window
        box.show();
        box.setText(text);
        QCoreApplication::processEvents();
        // Painting is suspended around the engine's work, as in the program.
        engine.setWindowHooks({[this](bool suspend) { box.setUpdatesEnabled(!suspend); }, {}, {}});
        engine.setRichBox(&box);
        engine.Reset();
        box.setSelStart(atEnd ? box.TextLength() : 0);
        engine.InsertText(QStringLiteral("x"));
        edited = box.Text();
        engine.undo();
        engine.Redo();
    }

    // Microseconds per undo and redo.
    double undoRedoMicros()
    {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < UndoRedoPairs; ++i) {
            engine.undo();
            engine.Redo();
        }
        return timer.nsecsElapsed() / 1e3 / UndoRedoPairs;
    }

    void check() const
    {
        if (engine.UndoCount() != 1 || box.Text() != edited)
            fail(QStringLiteral("undo and redo did not give back the edited text"));
    }
};

// The same two edits made directly on a bare QsciScintilla: what the
// component itself costs, for reference.
struct BareDocument
{
    QsciScintilla box;
    long position;

    BareDocument(const QString &text, bool atEnd)
    {
        box.resize(407, 224); // the edit box's start size in the window
        box.show();
        box.setUtf8(true);
        // As the edit box does: QScintilla's change notification counts every
        // character before the change, which alone would swamp the figure.
        box.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0L);
        box.setText(text);
        QCoreApplication::processEvents();
        position = atEnd ? box.SendScintilla(QsciScintillaBase::SCI_GETLENGTH) : 0;
        box.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, position);
        box.SendScintilla(QsciScintillaBase::SCI_REPLACESEL, "x");
    }

    double undoRedoMicros()
    {
        using Sci = QsciScintillaBase;
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < UndoRedoPairs; ++i) {
            box.SendScintilla(Sci::SCI_SETSEL, position, position + 1);
            box.SendScintilla(Sci::SCI_REPLACESEL, "");
            box.SendScintilla(Sci::SCI_REPLACESEL, "x");
        }
        return timer.nsecsElapsed() / 1e3 / UndoRedoPairs;
    }
};

// A box whose caret always stands at the end of its text and whose every
// operation costs next to nothing, so that what is measured is the engine.
class TypingBox : public EditBox
{
public:
    using EditBox::EditBox;
    QString Text() const override { return m_text; }
    void setText(QString text) override
    {
        m_text = std::move(text);
        raiseChange();
    }
    int TextLength() const override { return int(m_text.size()); }
    int SelStart() const override { return int(m_text.size()); }
    void setSelStart(int) override {}
    int SelLength() const override { return 0; }
    void setSelLength(int) override {}
    QString SelText() const override { return {}; }
    void setSelText(const QString &text) override
    {
        m_text += text;
        raiseChange();
    }
    void SetFocus() override {}
    int FirstVisibleLine() const override { return 0; }
    int LineCount() const override { return 1; }
    void Scroll(ScrollAction) override {}

    void type(QChar c)
    {
        KeyEvent key{c.toUpper().unicode(), 0, QString(c)};
        if (raiseKeyDown(key))
            fail(QStringLiteral("the engine let a typed key through"));
    }

protected:
    QChar charAt(int position) const override { return m_text.at(position); }
    void select(int, int) override {}

private:
    QString m_text;
};

void typeKeys(TypingBox &box, int count)
{
    static const QString keys = QStringLiteral("bind w +forward;fps_max 120");
    for (int i = 0; i < count; ++i)
        box.type(keys[i % keys.size()]);
}

std::optional<qint64> heapInUse()
{
#ifdef __GLIBC__
    return qint64(mallinfo2().uordblks);
#else
    return std::nullopt;
#endif
}

double keystrokeMicros(TypingBox &box, int count)
{
    QElapsedTimer timer;
    timer.start();
    typeKeys(box, count);
    return timer.nsecsElapsed() / 1e3 / count;
}

} // namespace

int main(int argc, char *argv[])
{
    drawOffscreenUnlessChosen();
    QApplication app(argc, argv);
    bool allMet = true;

    const QString large = document(LargeLines);
    const QString small = document(SmallLines);
    std::printf("documents: %.1f MB and %.2f KB\n", large.size() / 1e6, small.size() / 1e3);
    for (const bool atEnd : {false, true}) {
        EditedDocument smallDocument(small, atEnd);
        EditedDocument largeDocument(large, atEnd);
        // Taken in turns, so that a busy machine slows both alike.
        double smallUs = 1e300, largeUs = 1e300;
        for (int r = 0; r < Repetitions; ++r) {
            smallUs = std::min(smallUs, smallDocument.undoRedoMicros());
            largeUs = std::min(largeUs, largeDocument.undoRedoMicros());
        }
        smallDocument.check();
        largeDocument.check();
        const double ratio = largeUs / smallUs;
        std::printf("undo+redo at the %s: 20 MB %.1f us, 1 KB %.1f us, ratio %.2f (goal: at most %.1f) %s\n",
                    atEnd ? "end  " : "start", largeUs, smallUs, ratio, UndoRedoGoal,
                    verdict(ratio <= UndoRedoGoal, allMet));
        BareDocument smallBare(small, atEnd);
        BareDocument largeBare(large, atEnd);
        double smallBareUs = 1e300, largeBareUs = 1e300;
        for (int r = 0; r < Repetitions; ++r) {
            smallBareUs = std::min(smallBareUs, smallBare.undoRedoMicros());
            largeBareUs = std::min(largeBareUs, largeBare.undoRedoMicros());
        }
        std::printf("  bare QsciScintilla, the same two edits: 20 MB %.1f us, 1 KB %.1f us, ratio %.2f\n", largeBareUs,
                    smallBareUs, largeBareUs / smallBareUs);
    }

    MemoryClipboard clipboard;
    TypingBox box(clipboard);
    clsUndo engine;
    engine.setRichBox(&box);
    engine.Reset();
    typeKeys(box, Keystrokes);
    if (engine.UndoCount() != Keystrokes || box.TextLength() != Keystrokes)
        fail(QStringLiteral("%1 keystrokes recorded %2 elements").arg(Keystrokes).arg(engine.UndoCount()));
    const std::optional<qint64> withHistory = heapInUse();
    engine.Reset();
    const std::optional<qint64> without = heapInUse();
    if (withHistory && without) {
        const double perKey = double(*withHistory - *without) / Keystrokes;
        std::printf("memory: %.1f bytes per recorded keystroke over %d keystrokes (goal: at most %.0f) %s\n",
                    perKey, Keystrokes, BytesGoal, verdict(perKey <= BytesGoal, allMet));
    } else {
        std::printf("memory: heap figures not available on this system\n");
    }

    double emptyUs = 1e300, deepUs = 1e300;
    for (int r = 0; r < Repetitions; ++r) {
        box.setText(QString());
        engine.Reset();
        emptyUs = std::min(emptyUs, keystrokeMicros(box, TimedKeystrokes));
        typeKeys(box, Keystrokes - TimedKeystrokes);
        deepUs = std::min(deepUs, keystrokeMicros(box, TimedKeystrokes));
    }
    const double depthRatio = deepUs / emptyUs;
    std::printf("keystroke: %.3f us with %d elements on the stack, %.3f us from an empty stack, ratio %.2f"
                " (goal: at most %.1f) %s\n",
                deepUs, Keystrokes, emptyUs, depthRatio, DepthGoal, verdict(depthRatio <= DepthGoal, allMet));
    return allMet ? 0 : 2;
}
