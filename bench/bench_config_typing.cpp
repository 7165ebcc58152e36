// One typed character in a 20 MB config of a game folder, with the
// Problems panel open against with it closed: the configuration's analysis
// runs on its own thread when typing pauses, so a key costs the same.
//
// Run:  QT_QPA_PLATFORM=offscreen build/bench/bench_config_typing
//
// Exit code: 0 the goal met, 2 missed, 1 a measurement went wrong.

#include "BenchReport.h"
#include "ConfigText.h"

#include "gui/editbox/RichTextBox.h"
#include "gui/window/frmTessary.h"
#include "settings/mdlVars.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <vector>

namespace {

constexpr qsizetype Size = 20'000'000;
constexpr int Keys = 300;
constexpr double Goal = 1.5; // open/closed, as the typing bench's large/small

void press(QWidget *box, QChar c)
{
    const int key = c == u' ' ? Qt::Key_Space : Qt::Key_A + (c.toLower().unicode() - u'a');
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(box, &down);
    QCoreApplication::sendEvent(box, &up);
}

// Median microseconds per key, typing "gamma " at the end of the document.
double typingCost(RichTextBox &box)
{
    box.setSelStart(box.TextLength());
    box.setFocus();
    QCoreApplication::processEvents();
    const QString typed = QStringLiteral("gamma ");
    std::vector<double> micros;
    QElapsedTimer timer;
    for (int i = 0; i < Keys; ++i) {
        timer.start();
        press(&box, typed[i % typed.size()]);
        QCoreApplication::processEvents();
        micros.push_back(timer.nsecsElapsed() / 1e3);
    }
    std::nth_element(micros.begin(), micros.begin() + Keys / 2, micros.end());
    return micros[Keys / 2];
}

// Lets what was typed be analysed: events for `ms`, and longer while the
// window has no analysis yet (a 20 MB document takes a while).
void settle(const std::function<bool()> &analysed, int ms)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < ms || (!analysed() && waited.elapsed() < 60'000))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

} // namespace

int main(int argc, char *argv[])
{
    drawOffscreenUnlessChosen();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        fail(QStringLiteral("no temporary folder"));
    const QString document = dir.filePath("autoexec.cfg");
    {
        QFile file(document);
        if (!file.open(QIODevice::WriteOnly) || !file.write(configText(Size).toLatin1()))
            fail(QStringLiteral("cannot write %1").arg(document));
        QFile config(dir.filePath("config.cfg"));
        if (!config.open(QIODevice::WriteOnly) || !config.write("unbindall\r\nsensitivity 3\r\nexec userconfig.cfg\r\n"))
            fail(QStringLiteral("cannot write config.cfg"));
    }
    mdlVars vars;
    frmTessary window(vars, dir.path(), dir.path());
    window.Form_Load(document);
    window.show();
    RichTextBox &box = window.editBox();
    if (box.TextLength() < Size)
        fail(QStringLiteral("the document was not opened"));
    auto *problems = window.findChild<QAction *>(QStringLiteral("mnuProblems"));
    if (!problems)
        fail(QStringLiteral("no View → Problems"));
    const QLabel *count = nullptr;
    const auto analysed = [&] {
        for (QLabel *label : window.findChildren<QLabel *>()) {
            if (label->accessibleName() == QLatin1String("Problems in the configuration"))
                count = label;
        }
        return count && !count->text().isEmpty();
    };
    settle(analysed, 0);
    if (!analysed())
        fail(QStringLiteral("the configuration was not analysed"));

    const double closedUs = typingCost(box);
    settle(analysed, 3'000);
    problems->setChecked(true);
    settle(analysed, 3'000);
    const double openUs = typingCost(box);
    bool allMet = true;
    std::printf("a 20 MB config in a game folder (%s), %d keys each\n", qPrintable(count->text()), Keys);
    std::printf("  typing at the end: %.0f us a key with Problems open, %.0f us closed, open/closed %.2f"
                " (goal: at most %.1f) %s\n",
                openUs, closedUs, openUs / closedUs, Goal, verdict(openUs / closedUs <= Goal, allMet));
    return allMet ? 0 : 2;
}
