// The cost of one typed character in the main window with the hint line
// following every change: at the end and at the start of a 20 MB document,
// each against the same in a 1 KB document. Measured twice: the keys going
// straight to the box, and with the undo engine bound to them as at start.
// Then the same 20 MB document with LF line ends against it with CR LF:
// typing, and pasting 1,000 lines; and a key in a bare QsciScintilla holding
// the large document against the small one.
//
// Run:  QT_QPA_PLATFORM=offscreen build/bench/bench_typing
//
// Exit code: 0 all goals met, 2 a goal missed, 1 a measurement went wrong.

#include "BenchReport.h"
#include "ConfigText.h"

#include "catalogue/Catalogue.h"
#include "settings/mdlVars.h"
#include "gui/editbox/RichTextBox.h"
#include "gui/window/frmTessary.h"

#include <QApplication>
#include <QClipboard>
#include <Qsci/qsciscintilla.h>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr qsizetype LargeSize = 20'000'000;
constexpr qsizetype SmallSize = 1'000;
constexpr int Keys = 300;
constexpr double Goal = 1.5;

void press(QWidget *box, QChar c)
{
    const int key = c == u' ' ? Qt::Key_Space : Qt::Key_A + (c.toLower().unicode() - u'a');
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(box, &down);
    QCoreApplication::sendEvent(box, &up);
}

// The catalogue the build made, as installed beside the program: without it
// the window would stop at start to say so.
void installCatalogue(const QTemporaryDir &dir)
{
    if (!QFile::copy(QStringLiteral(TESSARY_COMMANDS_DAT), Catalogue::path(dir.path())))
        fail(QStringLiteral("cannot copy %1").arg(QStringLiteral(TESSARY_COMMANDS_DAT)));
}

// Median microseconds per key, typing "gamma " over and over at the caret
// and letting the window paint after each key.
double typingCost(const QString &text, bool atEnd, bool withUndo)
{
    QTemporaryDir dir;
    installCatalogue(dir);
    mdlVars vars;
    vars.catalogue.strCmdName[1] = QStringLiteral("gamma");
    vars.catalogue.strCmdText[1] = QStringLiteral("Screen brightness curve");
    vars.catalogue.reindex();
    frmTessary window(vars, dir.path());
    if (withUndo) {
        // Binds the undo engine to the keys, as at start; the catalogue set above stays.
        window.Form_Load(QString());
        vars.catalogue.strCmdName[1] = QStringLiteral("gamma");
        vars.catalogue.reindex();
    }
    // The window keeps its own start size, which 1 KB of config already
    // fills: a page left half empty paints less and flatters the small document.
    window.show();
    RichTextBox &box = window.editBox();
    box.setText(text);
    box.setSelStart(atEnd ? box.TextLength() : 0);
    box.setFocus();
    QCoreApplication::processEvents();

    const QString typed = QStringLiteral("gamma ");
    const auto *hint = window.findChild<QLabel *>(QStringLiteral("lblHint"));
    std::vector<double> micros;
    QElapsedTimer timer;
    for (int i = 0; i < Keys; ++i) {
        const QChar c = typed[i % typed.size()];
        timer.start();
        press(&box, c);
        QCoreApplication::processEvents();
        micros.push_back(timer.nsecsElapsed() / 1e3);
    }
    // The hint followed the typing: at the end the last word typed, at the
    // start the document's own last word.
    if (atEnd && hint->text().isEmpty() != (Keys % typed.size() == 0))
        fail("the hint line did not follow the typing");
    if (box.TextLength() != text.size() + Keys)
        fail("not every key was typed");
    std::nth_element(micros.begin(), micros.begin() + Keys / 2, micros.end());
    return micros[Keys / 2];
}

// Median milliseconds per Ctrl+V of `pasted` at the end of the document,
// through the undo engine, painted.
double pasteMs(const QString &text, const QString &pasted)
{
    constexpr int Pastes = 9;
    QTemporaryDir dir;
    installCatalogue(dir);
    mdlVars vars;
    frmTessary window(vars, dir.path());
    window.Form_Load(QString());
    window.show();
    RichTextBox &box = window.editBox();
    box.setText(text);
    box.setSelStart(box.TextLength());
    box.setFocus();
    QCoreApplication::processEvents();
    QGuiApplication::clipboard()->setText(pasted);
    std::vector<double> ms;
    QElapsedTimer timer;
    for (int i = 0; i < Pastes; ++i) {
        timer.start();
        QKeyEvent down(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
        QKeyEvent up(QEvent::KeyRelease, Qt::Key_V, Qt::ControlModifier);
        QCoreApplication::sendEvent(&box, &down);
        QCoreApplication::sendEvent(&box, &up);
        QCoreApplication::processEvents();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    if (box.TextLength() <= text.size())
        fail("the paste put nothing in");
    std::nth_element(ms.begin(), ms.begin() + Pastes / 2, ms.end());
    return ms[Pastes / 2];
}

// Median microseconds per key typed at the end of a bare QsciScintilla, painted.
double bareTypingCost(const QString &text)
{
    QsciScintilla bare;
    bare.setUtf8(true);
    bare.resize(407, 224);
    bare.show();
    bare.setText(text);
    bare.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    QCoreApplication::processEvents();
    std::vector<double> micros;
    QElapsedTimer timer;
    for (int i = 0; i < Keys; ++i) {
        timer.start();
        press(&bare, u"gamma "[i % 6]);
        QCoreApplication::processEvents();
        micros.push_back(timer.nsecsElapsed() / 1e3);
    }
    std::nth_element(micros.begin(), micros.begin() + Keys / 2, micros.end());
    return micros[Keys / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    drawOffscreenUnlessChosen();
    QApplication app(argc, argv);
    const QString large = configText(LargeSize);
    const QString small = configText(SmallSize);
    std::printf("documents: %.1f MB and %.1f KB, CR LF, %d keys each\n", large.size() / 1e6, small.size() / 1e3,
                Keys);
    bool allMet = true;
    for (const bool withUndo : {false, true}) {
        std::printf("%s\n", withUndo ? "with the undo engine bound:" : "keys straight to the box:");
        for (const bool atEnd : {true, false}) {
            const double smallUs = typingCost(small, atEnd, withUndo);
            const double largeUs = typingCost(large, atEnd, withUndo);
            const double ratio = largeUs / smallUs;
            std::printf("  typing at the %s: %.0f us a key in 20 MB, %.0f us in 1 KB, large/small %.2f"
                        " (goal: at most %.1f) %s\n",
                        atEnd ? "end  " : "start", largeUs, smallUs, ratio, Goal, verdict(ratio <= Goal, allMet));
        }
    }
    const double bareSmall = bareTypingCost(small);
    const double bareLarge = bareTypingCost(large);
    std::printf("bare QsciScintilla: %.0f us a key in 20 MB, %.0f us in 1 KB, large/small %.2f (for reference)\n",
                bareLarge, bareSmall, bareLarge / bareSmall);

    QString lf = large;
    lf.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const double crlfUs = typingCost(large, true, true);
    const double lfUs = typingCost(lf, true, true);
    std::printf("LF line ends: %.0f us a key at the end of 20 MB, CR LF %.0f us, LF/CR LF %.2f (goal: at most %.1f) %s\n",
                lfUs, crlfUs, lfUs / crlfUs, Goal, verdict(lfUs / crlfUs <= Goal, allMet));
    const QString pasted = configText(50'000);
    QString pastedLf = pasted;
    pastedLf.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const double pasteCrlf = pasteMs(large, pasted);
    const double pasteLf = pasteMs(lf, pastedLf);
    std::printf("paste of 1,000 lines at the end of 20 MB: LF %.1f ms, CR LF %.1f ms, LF/CR LF %.2f (goal: at most %.1f) %s\n",
                pasteLf, pasteCrlf, pasteLf / pasteCrlf, Goal, verdict(pasteLf / pasteCrlf <= Goal, allMet));
    return allMet ? 0 : 2;
}
