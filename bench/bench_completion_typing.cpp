// What the completion list costs a typist: typing a command word and its
// value in the main window, with the list opening after two letters and
// narrowing on every key, against the same with View > Completion off.
// Both run in one window over the installed catalogue and use counts,
// word by word in turn, so load on the machine falls on both alike.
//
// Run:  QT_QPA_PLATFORM=offscreen build/bench/bench_completion_typing
//
// Exit code: 0 the goal met, 2 missed, 1 a measurement went wrong.

#include "BenchReport.h"

#include "catalogue/Catalogue.h"
#include "completion/CompletionList.h"
#include "gui/editbox/CompletionPopup.h"
#include "gui/editbox/RichTextBox.h"
#include "gui/window/frmTessary.h"
#include "settings/mdlVars.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Words = 400;
constexpr double Goal = 1.2;

void press(QWidget *box, int key, const QString &text)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(box, &down);
    QCoreApplication::sendEvent(box, &up);
}

// Microseconds to type `word`, a space and a value, Escape, and end the line,
// painting after each key as the window would.
double typeLine(QWidget *box, const QString &word, bool &sawList, CompletionPopup &popup)
{
    QElapsedTimer timer;
    timer.start();
    for (const QChar c : word) {
        const int key = c == u'_' ? Qt::Key_Underscore : c.isDigit() ? Qt::Key_0 + c.digitValue()
                                                                   : Qt::Key_A + (c.toLower().unicode() - u'a');
        press(box, key, QString(c));
        QCoreApplication::processEvents();
        sawList = sawList || popup.isOpen();
    }
    for (const QChar c : QStringLiteral(" 1")) {
        press(box, c == u' ' ? Qt::Key_Space : Qt::Key_1, QString(c));
        QCoreApplication::processEvents();
    }
    // Escape first: an enumerated value's list would take Enter.
    press(box, Qt::Key_Escape, QStringLiteral("\x1b"));
    QCoreApplication::processEvents();
    press(box, Qt::Key_Return, QStringLiteral("\r"));
    QCoreApplication::processEvents();
    return timer.nsecsElapsed() / 1e3;
}

double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    drawOffscreenUnlessChosen();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!QFile::copy(QStringLiteral(TESSARY_COMMANDS_DAT), Catalogue::path(dir.path()))
        || !QFile::copy(QStringLiteral(TESSARY_USES_TABLE), CompletionList::usesPath(dir.path())))
        fail(QStringLiteral("the catalogue could not be installed in %1").arg(dir.path()));
    mdlVars vars;
    frmTessary window(vars, dir.path());
    window.Form_Load(QString());
    window.show();
    RichTextBox &box = window.editBox();
    box.setFocus();
    auto *popup = window.findChild<CompletionPopup *>();
    auto *item = window.findChild<QAction *>(QStringLiteral("mnuCompletion"));
    if (!popup || !item)
        fail(QStringLiteral("no completion list in the window"));
    QCoreApplication::processEvents();

    // Words players type, each narrowing the list on every key.
    const QStringList words = {QStringLiteral("cl_updaterate"), QStringLiteral("fps_max"),
                               QStringLiteral("sensitivity"), QStringLiteral("cl_cmdrate"),
                               QStringLiteral("hud_fastswitch")};
    std::vector<double> on;
    std::vector<double> off;
    bool sawList = false;
    bool sawNone = false;
    for (int i = 0; i < Words * 2 + 10; ++i) {
        const bool completing = i % 2 == 0;
        if (item->isChecked() != completing)
            item->trigger();
        bool open = false;
        const double micros = typeLine(&box, words[(i / 2) % words.size()], open, *popup);
        if (completing)
            sawList = sawList || open;
        else
            sawNone = sawNone || open;
        // The first lines warm the caches of both.
        if (i >= 10)
            (completing ? on : off).push_back(micros);
    }
    if (!sawList)
        fail(QStringLiteral("the list never opened"));
    if (sawNone)
        fail(QStringLiteral("the list opened with completion off"));
    if (box.LineCount() != Words * 2 + 11)
        fail(QStringLiteral("not every line was typed"));

    const double withList = median(on);
    const double without = median(off);
    const double ratio = withList / without;
    bool allMet = true;
    std::printf("typing a command word, its value and Enter (%d lines each, painted after each key):\n", Words);
    std::printf("  with the list open: %.0f us a line, completion off: %.0f us, ratio %.2f (goal: at most %.1f) %s\n",
                withList, without, ratio, Goal, verdict(ratio <= Goal, allMet));
    return allMet ? 0 : 2;
}
