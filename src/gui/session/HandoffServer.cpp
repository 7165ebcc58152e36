#include "gui/session/HandoffServer.h"

#include "settings/FileName.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QFileInfo>
#include <QThread>
#include <QTimer>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

// How often a start tries again to reach a program that holds the lock but
// does not listen yet (it has just taken it).
constexpr int RetryMs = 25;
// How often files that came during a question look again whether it is over.
constexpr int ModalRetryMs = 200;

// Whether the process at the socket's other end runs as this user.
bool sameUser(const QLocalSocket &socket)
{
#if defined(Q_OS_LINUX)
    struct ucred peer = {};
    socklen_t size = sizeof peer;
    if (::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0)
        return false;
    return peer.uid == ::getuid();
#else
    // The socket's folder is the user's alone.
    Q_UNUSED(socket);
    return true;
#endif
}

// Held by the program that listens at the name, from before it listens.
QString lockPath(const QString &name)
{
    return name + QStringLiteral(".lock");
}

int remaining(const QElapsedTimer &clock, int waitMs)
{
    return int(qMax<qint64>(0, waitMs - clock.elapsed()));
}

} // namespace

QString HandoffServer::nameFor(const QString &dataFolder)
{
#ifdef Q_OS_UNIX
    const uint user = ::getuid();
#else
    const uint user = 0;
#endif
    const Result<QString> folder = Handoff::socketFolder(qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath(), user);
    if (!folder)
        return QString();
    const QString display = Handoff::displayKey(QApplication::platformName(), qgetenv("DISPLAY"),
                                                qgetenv("WAYLAND_DISPLAY"));
    const QString name = Handoff::serverName(folder.value(), user, display, dataFolder);
#ifdef Q_OS_UNIX
    // A longer path (a long temporary folder) cannot name a socket.
    if (QFile::encodeName(name).size() >= qsizetype(sizeof(sockaddr_un::sun_path)))
        return QString();
#endif
    return name;
}

QByteArray HandoffServer::activationToken()
{
    const QByteArray wayland = qgetenv("XDG_ACTIVATION_TOKEN");
    return wayland.isEmpty() ? qgetenv("DESKTOP_STARTUP_ID") : wayland;
}

HandoffServer::HandoffServer(std::unique_ptr<Handoff::ServerLock> lock) : m_lock(std::move(lock))
{
}

HandoffServer::~HandoffServer() = default;

QByteArrayList HandoffServer::release()
{
    if (m_server)
        m_server->close();
    m_lock.reset();
    QByteArrayList paths;
    for (const Handoff::Request &request : std::as_const(m_waiting))
        paths << request.path;
    m_waiting.clear();
    return paths;
}

qint64 HandoffServer::openInNewWindow(const QString &program, const QByteArray &path)
{
    // posix_spawn rather than QProcess: the argument must be the name's own
    // bytes, which need not be UTF-8.
    const QByteArray file = QFile::encodeName(program);
    QByteArray option("--new-window");
    QByteArray argument = path;
    char *argv[] = {const_cast<char *>(file.constData()), option.data(), argument.data(), nullptr};
    pid_t child = 0;
    return ::posix_spawn(&child, file.constData(), nullptr, nullptr, argv, environ) == 0 ? qint64(child) : -1;
}

std::unique_ptr<HandoffServer> HandoffServer::take(const QString &name)
{
    if (name.isEmpty())
        return nullptr;
    auto lock = std::make_unique<Handoff::ServerLock>(lockPath(name));
    if (!lock->held())
        return nullptr;
    std::unique_ptr<HandoffServer> server(new HandoffServer(std::move(lock)));
    server->m_server = new QLocalServer(server.get());
    // Made with the user's access only, then moved into place.
    server->m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // The lock is ours: a socket there now is one a crashed program left.
    QLocalServer::removeServer(name);
    if (!server->m_server->listen(name))
        return nullptr; // the lock goes with it, so the next start does not wait on a socket that is not there
    connect(server->m_server, &QLocalServer::newConnection, server.get(), &HandoffServer::accept);
    // What crashed programs of other displays or data folders left there.
    Handoff::removeStale(QFileInfo(name).path());
    return server;
}

void HandoffServer::accept()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!sameUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // One that says nothing is not kept waiting for.
        QTimer::singleShot(2 * Handoff::AnswerWaitMs, socket, [socket] { socket->abort(); });
        auto reader = std::make_shared<Handoff::Reader>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, reader] {
            if (reader->state() == Handoff::Reader::State::Complete) {
                // The start heard the answer and ends: the file is this window's now.
                char answer = 0;
                if (socket->read(&answer, 1) == 1 && answer == Handoff::Leaving) {
                    m_waiting.append(reader->request());
                    deliver();
                }
                socket->disconnectFromServer();
                return;
            }
            switch (reader->add(socket->readAll())) {
            case Handoff::Reader::State::Incomplete:
                return;
            case Handoff::Reader::State::Refused:
                socket->abort();
                socket->deleteLater();
                return;
            case Handoff::Reader::State::Complete:
                socket->write(&Handoff::Taken, 1);
                return;
            }
        });
    }
}

void HandoffServer::setReceiver(Receiver receiver)
{
    m_receiver = std::move(receiver);
    deliver();
}

void HandoffServer::deliver()
{
    if (!m_receiver || m_waiting.isEmpty() || m_delivering)
        return;
    m_delivering = true;
    QTimer::singleShot(0, this, &HandoffServer::deliverNext);
}

// One at a time, from the event loop, never inside a question the window
// is asking (a modal dialog runs the event loop too): after it.
void HandoffServer::deliverNext()
{
    if (m_waiting.isEmpty()) {
        m_delivering = false;
        return;
    }
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(ModalRetryMs, this, &HandoffServer::deliverNext);
        return;
    }
    const Handoff::Request request = m_waiting.takeFirst();
    m_receiver(FileName::fromNative(request.path), request.activationToken);
    QTimer::singleShot(0, this, &HandoffServer::deliverNext);
}

bool HandoffServer::handOver(const QString &name, const Handoff::Request &request, int waitMs)
{
    if (name.isEmpty())
        return false;
    QElapsedTimer clock;
    clock.start();
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(name);
        if (socket.waitForConnected(remaining(clock, waitMs)))
            break;
        socket.abort();
        // Nobody holds the lock, or there is none: no program is starting to listen either.
        if (remaining(clock, waitMs) == 0 || !QFileInfo::exists(lockPath(name))
            || Handoff::ServerLock(lockPath(name), Handoff::ServerLock::Create::No).held())
            return false;
        QThread::msleep(RetryMs);
    }
    if (!sameUser(socket))
        return false;
    socket.write(Handoff::encode(request));
    socket.flush();
    while (socket.bytesAvailable() < 1) {
        const int left = remaining(clock, waitMs);
        if (left == 0 || !socket.waitForReadyRead(left))
            return false;
    }
    char answer = 0;
    if (socket.read(&answer, 1) != 1 || answer != Handoff::Taken)
        return false;
    socket.write(&Handoff::Leaving, 1);
    socket.flush();
    return socket.bytesToWrite() == 0 || socket.waitForBytesWritten(qMax(remaining(clock, waitMs), 100));
}

void HandoffServer::bringToFront(QWidget &window, const QByteArray &activationToken)
{
    // Wayland lets a window take the focus with the token of the start
    // that asked for it; Qt's Wayland platform, where it takes tokens from
    // the environment, reads it from here as the window asks. Without one
    // the desktop may only mark the window as wanting attention.
    if (!activationToken.isEmpty() && QApplication::platformName().startsWith(QLatin1String("wayland")))
        qputenv("XDG_ACTIVATION_TOKEN", activationToken);
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}
