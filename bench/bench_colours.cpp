// What colouring costs: opening a 20 MB config, typing, and scrolling a page
// in the coloured edit box, each against a bare QsciScintilla doing the same,
// in one run; and a key's cost in a large document against a small one.
//
// Run:  QT_QPA_PLATFORM=offscreen build/bench/bench_colours
//
// Takes about a minute. Exit code: 0 all goals met, 2 a goal missed,
// 1 a measurement went wrong.

#include "BenchReport.h"
#include "catalogue/Catalogue.h"
#include "editbox/MemoryClipboard.h"
#include "gui/editbox/RichTextBox.h"
#include "gui/editbox/SyntaxColours.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

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
constexpr double OpenGoal = 1.3;   // coloured box / bare QsciScintilla
constexpr double TypingGoal = 1.5; // large document / small document, with colours
constexpr double ScrollGoal = 1.5; // coloured box / bare QsciScintilla
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

using Sci = QsciScintillaBase;

// The coloured edit box, or a bare QsciScintilla.
struct Box
{
    MemoryClipboard clipboard;
    std::unique_ptr<QsciScintilla> edit;
    std::unique_ptr<SyntaxColours> colours;

    explicit Box(bool coloured)
    {
        if (coloured) {
            auto *box = new RichTextBox(clipboard);
            edit.reset(box);
            colours = std::make_unique<SyntaxColours>(*box, catalogue());
        } else {
            edit = std::make_unique<QsciScintilla>();
            edit->setUtf8(true);
        }
        edit->resize(BoxSize);
        edit->show();
        QCoreApplication::processEvents();
    }
    ~Box() { colours.reset(); }
    void setText(const QString &text)
    {
        if (colours)
            static_cast<RichTextBox &>(*edit).setText(text);
        else
            edit->setText(text);
    }
    void paint()
    {
        edit->viewport()->repaint();
        QCoreApplication::processEvents();
    }
    long send(unsigned int message, unsigned long w = 0, long l = 0) const { return edit->SendScintilla(message, w, l); }
    // Whether the line on top of the view has colours.
    bool topColoured() const
    {
        const long line = send(Sci::SCI_GETFIRSTVISIBLELINE);
        for (long p = send(Sci::SCI_POSITIONFROMLINE, line); p < send(Sci::SCI_GETLINEENDPOSITION, line); ++p)
            if (send(Sci::SCI_GETSTYLEAT, p) != 0)
                return true;
        return false;
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
    box.setText(text);
    box.paint();
    const double ms = timer.nsecsElapsed() / 1e6;
    if (box.send(Sci::SCI_GETLINECOUNT) != LargeLines)
        fail(QStringLiteral("the box holds %1 lines").arg(box.send(Sci::SCI_GETLINECOUNT)));
    if (coloured && !box.topColoured())
        fail(QStringLiteral("the first line was not coloured"));
    return ms;
}

// Microseconds per key typed in the middle of the document and painted.
double typingUs(const QString &text, bool coloured)
{
    Box box(coloured);
    box.setText(text);
    box.paint();
    const long middle = box.send(Sci::SCI_GETLINECOUNT) / 2;
    box.send(Sci::SCI_SETFIRSTVISIBLELINE, middle);
    box.send(Sci::SCI_GOTOPOS, box.send(Sci::SCI_POSITIONFROMLINE, middle + 5));
    box.paint();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Keys; ++i) {
        QTest::keyClick(box.edit.get(), i % 8 == 7 ? Qt::Key_Space : Qt::Key_A);
        box.paint();
    }
    return timer.nsecsElapsed() / 1e3 / Keys;
}

// Microseconds per page scrolled down through fresh text, painted.
double scrollUs(const QString &text, bool coloured)
{
    Box box(coloured);
    box.setText(text);
    box.paint();
    box.send(Sci::SCI_SETFIRSTVISIBLELINE, box.send(Sci::SCI_GETLINECOUNT) / 3);
    box.paint();
    const long page = box.send(Sci::SCI_LINESONSCREEN);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Pages; ++i) {
        box.send(Sci::SCI_LINESCROLL, 0, page);
        box.paint();
    }
    const double us = timer.nsecsElapsed() / 1e3 / Pages;
    if (coloured && !box.topColoured())
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

    const auto [openPlain, openColoured] = bestOf([&](bool c) { return openMs(large, c); });
    const double openRatio = openColoured / openPlain;
    std::printf("open:    coloured box %.0f ms, bare QsciScintilla %.0f ms, ratio %.2f (goal: at most %.1f) %s\n",
                openColoured, openPlain, openRatio, OpenGoal, verdict(openRatio <= OpenGoal, allMet));

    const auto [typeSmallPlain, typeSmall] = bestOf([&](bool c) { return typingUs(small, c); });
    const auto [typeLargePlain, typeLarge] = bestOf([&](bool c) { return typingUs(large, c); });
    const double typingRatio = typeLarge / typeSmall;
    std::printf("typing:  coloured box %.0f us a key at %d lines, %.0f us at %d lines, large/small %.2f"
                " (goal: at most %.1f) %s\n",
                typeSmall, SmallLines, typeLarge, LargeLines, typingRatio, TypingGoal,
                verdict(typingRatio <= TypingGoal, allMet));
    std::printf("         bare QsciScintilla %.0f us at %d lines, %.0f us at %d lines\n", typeSmallPlain, SmallLines,
                typeLargePlain, LargeLines);

    const auto [scrollPlain, scrollColoured] = bestOf([&](bool c) { return scrollUs(large, c); });
    const double scrollRatio = scrollColoured / scrollPlain;
    std::printf("scroll:  coloured box %.0f us a page, bare QsciScintilla %.0f us, ratio %.2f (goal: at most %.1f) %s\n",
                scrollColoured, scrollPlain, scrollRatio, ScrollGoal, verdict(scrollRatio <= ScrollGoal, allMet));
    return allMet ? 0 : 2;
}
