// What colouring costs: opening a 20 MB config, typing, and scrolling a page,
// each against the same edit box without colours, in one run.
//
// Run:  QT_QPA_PLATFORM=offscreen build/bench/bench_colours
//
// Takes about a minute. Exit code: 0 all goals met, 2 a goal missed,
// 1 a measurement went wrong.

#include "BenchReport.h"
#include "catalogue/Catalogue.h"
#include "editbox/MemoryClipboard.h"
#include "gui/RichTextBox.h"
#include "gui/SyntaxColours.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <QTextBlock>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>

namespace {

constexpr int LargeLines = 400'000; // about 20 MB with CR LF
constexpr int SmallLines = 1'000;
constexpr int LineWidth = 48; // 50 with CR LF
constexpr int Repetitions = 3;
constexpr int Keys = 300;
constexpr int Pages = 300;
constexpr double OpenGoal = 1.1;
constexpr double TypingGoal = 1.5; // large document / small document, with colours
constexpr double ScrollGoal = 1.5;
const QSize BoxSize(800, 600);

const char *const Variables[][2] = {{"cl_updaterate", "10-101"}, {"cl_cmdrate", "10-101"}, {"rate", "1000-100000"},
                                    {"fps_max", "20 or more"}, {"sensitivity", "0.1-10"}, {"volume", "0-1"},
                                    {"m_yaw", "any number"}, {"net_graph", "0-3"}, {"name", "any text"},
                                    {"+attack", "none"}, {"+jump", "none"}, {"+duck", "none"}};

Catalogue &catalogue()
{
    static Catalogue c;
    static bool filled = false;
    if (!filled) {
        for (int k = 1; k <= int(std::size(Variables)); ++k) {
            c.strCmdName[k] = QString::fromLatin1(Variables[k - 1][0]);
            c.strCmdRange[k] = QString::fromLatin1(Variables[k - 1][1]);
            c.strCmdText[k] = QStringLiteral("Explanation");
        }
        c.reindex();
        filled = true;
    }
    return c;
}

// Real-looking lines: settings (some out of range), binds, aliases, comments.
QString config(int lines)
{
    QRandomGenerator rng(1252);
    static const char *const keys[] = {"w", "MOUSE1", "SPACE", "CTRL", "F5", "KP_END"};
    QString text;
    text.reserve(qsizetype(lines) * 50);
    for (int i = 0; i < lines; ++i) {
        QString line;
        switch (rng.bounded(5)) {
        case 0: line = QStringLiteral("bind \"%1\" \"+attack\" // primary").arg(QLatin1String(keys[rng.bounded(6)])); break;
        case 1: line = QStringLiteral("alias \"+jumpthrow\" \"+jump;-attack\" // nade"); break;
        case 2: line = QStringLiteral("// tuned for the league server, keep this"); break;
        default:
            line = QStringLiteral("%1 %2; volume 0.%3 // was default")
                       .arg(QLatin1String(Variables[rng.bounded(8)][0]))
                       .arg(rng.bounded(200))
                       .arg(rng.bounded(10));
        }
        if (!line.contains(u'/'))
            line += QStringLiteral(" //");
        while (line.size() < LineWidth)
            line += QStringLiteral(" keep");
        text += line + QStringLiteral("\r\n");
    }
    text.chop(2);
    return text;
}

struct Box
{
    MemoryClipboard clipboard;
    RichTextBox edit{clipboard};
    std::unique_ptr<SyntaxColours> colours;
    // Time spent in the colour pass that follows each edit.
    QElapsedTimer passTimer;
    qint64 passNs = 0;

    explicit Box(bool coloured)
    {
        // Connected around the colours' own handlers, these time just their work.
        QTextDocument *doc = edit.document();
        QObject::connect(doc, &QTextDocument::contentsChange, [this] { passTimer.start(); });
        QObject::connect(doc, &QTextDocument::contentsChanged, [this] { passTimer.start(); });
        if (coloured)
            colours = std::make_unique<SyntaxColours>(edit, catalogue());
        QObject::connect(doc, &QTextDocument::contentsChange, [this] { passNs += passTimer.nsecsElapsed(); });
        QObject::connect(doc, &QTextDocument::contentsChanged, [this] { passNs += passTimer.nsecsElapsed(); });
        edit.resize(BoxSize);
        edit.show();
        QCoreApplication::processEvents();
    }
};

// Best of alternating runs, so neither side always inherits a warm heap.
template<typename Measure>
std::pair<double, double> bestOf(Measure measure, int repetitions = Repetitions)
{
    double plain = 1e300, coloured = 1e300;
    for (int i = 0; i < repetitions; ++i) {
        const bool colouredFirst = i % 2;
        const double a = measure(colouredFirst);
        const double b = measure(!colouredFirst);
        coloured = std::min(coloured, colouredFirst ? a : b);
        plain = std::min(plain, colouredFirst ? b : a);
    }
    return {plain, coloured};
}

// Set the text and let the box lay out, colour and paint the first page.
double openMs(const QString &text, bool coloured)
{
    Box box(coloured);
    QElapsedTimer timer;
    timer.start();
    box.edit.setText(text);
    QCoreApplication::processEvents();
    const double ms = timer.nsecsElapsed() / 1e6;
    if (box.edit.document()->blockCount() != LargeLines)
        fail(QStringLiteral("the box holds %1 lines").arg(box.edit.document()->blockCount()));
    if (coloured && box.edit.document()->firstBlock().layout()->formats().isEmpty())
        fail(QStringLiteral("the first line was not coloured"));
    return ms;
}

struct Typing
{
    double keyUs;  // a key typed and painted
    double passUs; // of which colouring after the edit
};

// Keys typed in the middle of the screen.
Typing typing(const QString &text, bool coloured)
{
    Box box(coloured);
    box.edit.setText(text);
    QCoreApplication::processEvents();
    box.edit.verticalScrollBar()->setValue(box.edit.verticalScrollBar()->maximum() / 2);
    QCoreApplication::processEvents();
    box.edit.setTextCursor(box.edit.cursorForPosition(QPoint(0, BoxSize.height() / 2)));
    box.passNs = 0;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Keys; ++i) {
        QTest::keyClick(&box.edit, i % 8 == 7 ? Qt::Key_Space : Qt::Key_A);
        QCoreApplication::processEvents();
    }
    return {timer.nsecsElapsed() / 1e3 / Keys, box.passNs / 1e3 / Keys};
}

// Microseconds per page scrolled down through fresh text, painted.
double scrollUs(const QString &text, bool coloured)
{
    Box box(coloured);
    box.edit.setText(text);
    QCoreApplication::processEvents();
    QScrollBar *bar = box.edit.verticalScrollBar();
    bar->setValue(bar->maximum() / 3);
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Pages; ++i) {
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCoreApplication::processEvents();
    }
    const double us = timer.nsecsElapsed() / 1e3 / Pages;
    const QTextBlock shown = box.edit.cursorForPosition(QPoint(10, 10)).block();
    if (coloured && shown.layout()->formats().isEmpty())
        fail(QStringLiteral("the page scrolled to was not coloured"));
    return us;
}

} // namespace

int main(int argc, char *argv[])
{
    drawOffscreenUnlessChosen();
    QApplication app(argc, argv);
    const QString large = config(LargeLines);
    const QString small = config(SmallLines);
    std::printf("file: %.1f MB, %d lines, CR LF\n", large.size() / 1e6, LargeLines);
    bool allMet = true;

    // Opening differs by one screenful of work: more runs to see it through the noise.
    const auto [openPlain, openColoured] = bestOf([&](bool c) { return openMs(large, c); }, 2 * Repetitions);
    const double openRatio = openColoured / openPlain;
    std::printf("open:    coloured %.0f ms, plain %.0f ms, coloured/plain %.2f (goal: at most %.1f) %s\n", openColoured,
                openPlain, openRatio, OpenGoal, verdict(openRatio <= OpenGoal, allMet));

    // The box's own cost a key grows with the document; the colours' share must not.
    double passSmall = 1e300, passLarge = 1e300;
    const auto [typeSmallPlain, typeSmall] = bestOf([&](bool c) {
        const Typing t = typing(small, c);
        passSmall = c ? std::min(passSmall, t.passUs) : passSmall;
        return t.keyUs;
    });
    const auto [typeLargePlain, typeLarge] = bestOf([&](bool c) {
        const Typing t = typing(large, c);
        passLarge = c ? std::min(passLarge, t.passUs) : passLarge;
        return t.keyUs;
    });
    const double typingRatio = passLarge / passSmall;
    std::printf("typing:  colouring %.1f us a key at %d lines, %.1f us at %d lines, large/small %.2f"
                " (goal: at most %.1f) %s\n",
                passSmall, SmallLines, passLarge, LargeLines, typingRatio, TypingGoal,
                verdict(typingRatio <= TypingGoal, allMet));
    std::printf("         a key typed and painted: coloured %.0f us, plain %.0f us at %d lines;"
                " coloured %.0f us, plain %.0f us at %d lines\n",
                typeSmall, typeSmallPlain, SmallLines, typeLarge, typeLargePlain, LargeLines);

    const auto [scrollPlain, scrollColoured] = bestOf([&](bool c) { return scrollUs(large, c); });
    const double scrollRatio = scrollColoured / scrollPlain;
    std::printf("scroll:  coloured %.0f us a page, plain %.0f us, coloured/plain %.2f (goal: at most %.1f) %s\n",
                scrollColoured, scrollPlain, scrollRatio, ScrollGoal, verdict(scrollRatio <= ScrollGoal, allMet));
    return allMet ? 0 : 2;
}
