#pragma once

#include "settings/Result.h"

#include <QByteArray>
#include <QString>

// A start of the program with a file hands the file to the window already
// running for the same user, on the same display, with the same data
// folder, and ends. What needs no window lives here: where the two meet,
// what they say to each other, and who may listen.
namespace Handoff {

// One message holds a path and an activation token: a path is at most a
// few kilobytes on any system, so anything larger is refused unread.
inline constexpr qsizetype LargestMessage = 16 * 1024;
// How long a start waits for the running window to say it took the file;
// a window that is stopped or hung is given up on, and the start opens a
// window of its own.
inline constexpr int AnswerWaitMs = 4000;
// The one byte the running window answers once it has the file, and the
// one the start sends back before it ends: only then is the file opened,
// so a start that gave up waiting and opened it itself does not see it
// opened twice.
inline constexpr char Taken = 'y';
inline constexpr char Leaving = 'k';

// The display the program shows its windows on, as the platform Qt chose
// names it: "x11 :0", "wayland wayland-0"; empty where the windows are
// shown on no screen (offscreen), so such programs meet each other too.
QString displayKey(const QString &platformName, const QByteArray &x11Display, const QByteArray &waylandDisplay);

// A folder only this user can enter, for the socket and its lock: the
// session's runtime folder when it is the user's alone, otherwise one made
// in the temporary folder. A folder another user could enter or replace is
// refused, and there is no handing over.
Result<QString> socketFolder(const QString &runtimeFolder, const QString &tempFolder, uint userId);

// The socket's path in that folder, one for each user, display and data
// folder: a portable copy, with a data folder of its own, gets another.
QString serverName(const QString &socketFolder, uint userId, const QString &displayKey, const QString &dataFolder);

struct Request
{
    // Absolute, as the file system's bytes (a name that is not UTF-8 keeps them).
    QByteArray path;
    // Lets the running window come to the front where the desktop asks for
    // one (Wayland's activation token, X11's start-up id); may be empty.
    QByteArray activationToken;
};

// The message for a request: its length in four bytes, then the payload.
QByteArray encode(const Request &request);

// Reads one message as its bytes arrive.
class Reader
{
public:
    enum class State { Incomplete, Complete, Refused };

    State add(const QByteArray &bytes);
    State state() const { return m_state; }
    // Once Complete.
    const Request &request() const { return m_request; }
    // Once Refused: why, in words.
    const QString &refusal() const { return m_refusal; }

private:
    State refuse(const QString &why);

    QByteArray m_bytes;
    Request m_request;
    QString m_refusal;
    State m_state = State::Incomplete;
};

// The argument as an absolute path, made where the program was started:
// the running window's own current folder may be anywhere.
QByteArray absolutePath(const QByteArray &argument, const QByteArray &currentFolder);
// The current folder's bytes, as the system holds them.
QByteArray currentFolder();

// Held by the one program that takes files for a socket, for as long as it
// runs. The system lets go of it when the process ends, however it ends,
// so a crashed program leaves nothing that keeps the next one out.
// The holder removes the file as it lets go, so the folder keeps no file
// of a program that ended normally.
class ServerLock
{
public:
    enum class Create { Yes, No };
    // Tries without waiting. With Create::No a missing file is not held:
    // asking whether a program holds it leaves nothing behind.
    explicit ServerLock(const QString &path, Create create = Create::Yes);
    ~ServerLock();
    ServerLock(const ServerLock &) = delete;
    ServerLock &operator=(const ServerLock &) = delete;

    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
    QString m_path;
};

// Removes the sockets and locks in `socketFolder` that no running program
// holds (left by a crash or a kill, or by an earlier version), leaving
// every other file alone. Returns how many files went.
int removeStale(const QString &socketFolder);

} // namespace Handoff
