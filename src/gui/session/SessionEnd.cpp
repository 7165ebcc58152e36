#include "gui/session/SessionEnd.h"

#include "gui/window/frmTessary.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
constexpr int EndingSignals[] = {SIGTERM, SIGHUP};
// [0] written by the handler, [1] read by the event loop.
int wake[2] = {-1, -1};

// All a handler may safely do: pass the signal on to the event loop. The
// code it interrupted may be about to read errno, which a failed write
// (the socket full of earlier signals) would change.
void passOn(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wake[0], &byte, 1);
    errno = saved;
}
#endif

} // namespace

SessionEnd::SessionEnd(frmTessary &window) : QObject(&window)
{
#ifndef QT_NO_SESSIONMANAGER
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this, [&window](QSessionManager &manager) {
        const bool mayAsk = manager.allowsInteraction();
        const bool ends = window.commitData(mayAsk);
        if (mayAsk)
            manager.release();
        if (!ends)
            manager.cancel();
    });
#endif
#ifdef Q_OS_UNIX
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wake) != 0)
        return;
    ::fcntl(wake[0], F_SETFL, ::fcntl(wake[0], F_GETFL) | O_NONBLOCK);
    m_signals = new QSocketNotifier(wake[1], QSocketNotifier::Read, this);
    connect(m_signals, &QSocketNotifier::activated, this, [&window] {
        char byte;
        [[maybe_unused]] const ssize_t read = ::read(wake[1], &byte, 1);
        window.endSession();
    });
    struct sigaction action = {};
    action.sa_handler = passOn;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : EndingSignals)
        ::sigaction(signal, &action, nullptr);
#endif
}

SessionEnd::~SessionEnd()
{
#ifdef Q_OS_UNIX
    if (!m_signals)
        return;
    for (const int signal : EndingSignals)
        std::signal(signal, SIG_DFL);
    delete m_signals;
    ::close(wake[0]);
    ::close(wake[1]);
    wake[0] = wake[1] = -1;
#endif
}
