#pragma once

#include "documents/Handoff.h"

#include <QObject>

#include <functional>
#include <memory>

class QLocalServer;
class QWidget;

// The socket between a start of the program and the window already running
// (see Handoff). A local socket rather than D-Bus: it works alike on any
// desktop and on none (a bare X server, offscreen), needs no session bus,
// and its file, in a folder only the user can enter, keeps other users out
// by the file system alone; on Linux each side also checks the other's
// user id.
class HandoffServer : public QObject
{
    Q_OBJECT

public:
    using Receiver = std::function<void(const QString &path, const QByteArray &activationToken)>;

    // The socket's path for this program's user, display and data folder;
    // empty when there is no folder safe for it (then nothing is handed over).
    static QString nameFor(const QString &dataFolder);
    // The desktop's activation token for this start; read before Qt's own
    // start-up takes it from the environment.
    static QByteArray activationToken();

    // Becomes the program that takes files handed over for `name`: takes
    // its lock and listens, replacing a socket a crashed program left.
    // Null when another program holds the lock, or the socket cannot be made.
    static std::unique_ptr<HandoffServer> take(const QString &name);
    ~HandoffServer() override;

    // Handed files go here once it is set, in the order they came; those
    // that came before wait for it. It is called from the event loop, never
    // while a message is read.
    void setReceiver(Receiver receiver);

    // Gives a file to the program that holds `name`: true once it said it
    // took it; false when none answered within waitMs.
    static bool handOver(const QString &name, const Handoff::Request &request, int waitMs = Handoff::AnswerWaitMs);

    // The window has closed: no more files are taken, the name is free for
    // the next start, and the files taken but not yet opened (they came
    // while its closing question was up) are returned, as their bytes.
    QByteArrayList release();
    // Opens `path` in a window of its own: `program --new-window path`,
    // the name's bytes kept. Its process id; -1 when it could not be started.
    static qint64 openInNewWindow(const QString &program, const QByteArray &path);

    // Shows the window in front, unminimized and active.
    static void bringToFront(QWidget &window, const QByteArray &activationToken);

private:
    explicit HandoffServer(std::unique_ptr<Handoff::ServerLock> lock);
    void accept();
    void deliver();
    void deliverNext();

    std::unique_ptr<Handoff::ServerLock> m_lock;
    QLocalServer *m_server = nullptr;
    Receiver m_receiver;
    QList<Handoff::Request> m_waiting;
    bool m_delivering = false;
};
