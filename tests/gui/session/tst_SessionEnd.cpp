#include "core/documents/FakePrompts.h"

#include "settings/mdlVars.h"
#include "gui/session/SessionEnd.h"
#include "gui/window/frmTessary.h"

#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>

class tst_SessionEnd : public QObject
{
    Q_OBJECT

private slots:
    // A signal arriving between a failed call and the read of its errno must
    // leave errno as it was, also once the handler's socket is full.
    void handlerKeepsErrno()
    {
        QTemporaryDir dir;
        mdlVars vars;
        FakePrompts prompts;
        frmTessary window(vars, dir.path(), &prompts);
        new SessionEnd(window);
        for (int i = 0; i < 20000; ++i) {
            errno = EDOM;
            std::raise(SIGHUP);
            QCOMPARE(errno, EDOM);
        }
    } // the window goes before the event loop sees the signals
};

QTEST_MAIN(tst_SessionEnd)
#include "tst_SessionEnd.moc"
