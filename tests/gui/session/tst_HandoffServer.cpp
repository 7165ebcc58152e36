#include "gui/session/HandoffServer.h"

#include "FileHelpers.h"

#include "documents/RecoveryStore.h"
#include "settings/FileName.h"
#include "settings/ViewSettings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A socket file nobody listens on, as a crashed program leaves it.
bool leaveStaleSocket(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (native.size() >= qsizetype(sizeof address.sun_path))
        return false;
    qstrcpy(address.sun_path, native.constData());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound;
}

// A file under its name's own bytes: QFile would write the name as UTF-8.
bool writeRaw(const QByteArray &name, const QByteArray &bytes)
{
    QFile made;
    return made.open(::fopen(name.constData(), "wb"), QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)
           && made.write(bytes) == bytes.size();
}

} // namespace

class tst_HandoffServer : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    // A copy of the program, installed: its data in the user's folder.
    QString m_installed;
    // A fresh session for each test: runtime and data folders, the files.
    std::unique_ptr<QTemporaryDir> m_session;
    QProcessEnvironment m_environment;
    std::vector<std::unique_ptr<QProcess>> m_editors;

    QString files() const { return m_session->filePath("files"); }
    QString userData() const { return m_session->filePath("data/Tessary"); }
    QString file(const QString &name) const
    {
        const QString path = files() + '/' + name;
        writeAll(path, "fov 90\r\n");
        return path;
    }

    QProcess &editor(const QString &program, const QStringList &args, const QString &folder = {})
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(m_environment);
        process->setWorkingDirectory(folder.isEmpty() ? files() : folder);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(program + "/tessary", args);
        m_editors.push_back(std::move(process));
        return *m_editors.back();
    }

    static QString recentFirst(const QString &dataFolder)
    {
        return ViewSettings::load(dataFolder).recentFiles().value(0);
    }

    // Ends the running copies of the installed program started with
    // --new-window, which no test waits for; how many there were.
    int endNewWindows() const
    {
        int found = 0;
        for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            const QList<QByteArray> args = readAll("/proc/" + pid + "/cmdline").split('\0');
            if (args.value(0) == QFile::encodeName(m_installed + "/tessary") && args.contains("--new-window"))
                found += ::kill(pid_t(pid.toInt()), SIGKILL) == 0;
        }
        return found;
    }

    static bool handedOver(QProcess &process)
    {
        return (process.state() == QProcess::NotRunning || process.waitForFinished(Handoff::AnswerWaitMs + 10000))
               && process.exitStatus() == QProcess::NormalExit
               && process.exitCode() == 0;
    }

private slots:
    void initTestCase()
    {
        m_installed = m_root.filePath("installed");
        QVERIFY(QDir().mkpath(m_installed));
        QVERIFY(QFile::copy(TESSARY_PROGRAM, m_installed + "/tessary"));
        QVERIFY(QFile::copy(TESSARY_COMMANDS_DAT, m_installed + "/commands.dat"));
        writeAll(m_installed + "/installed", "installed\n");
    }

    void init()
    {
        m_session = std::make_unique<QTemporaryDir>();
        for (const char *folder : {"run", "data", "config", "files", "files/sub"})
            QVERIFY(QDir().mkpath(m_session->filePath(folder)));
        QVERIFY(QFile::setPermissions(m_session->filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert("QT_QPA_PLATFORM", "offscreen");
        m_environment.insert("XDG_RUNTIME_DIR", m_session->filePath("run"));
        m_environment.insert("XDG_DATA_HOME", m_session->filePath("data"));
        m_environment.insert("XDG_CONFIG_HOME", m_session->filePath("config"));
        m_environment.insert("HOME", m_session->path());
    }

    void cleanup()
    {
        for (const auto &process : m_editors) {
            ::kill(pid_t(process->processId()), SIGCONT);
            process->kill();
            process->waitForFinished();
        }
        m_editors.clear();
    }

    // With no program holding the name, even where a crashed one left its
    // socket, a start does not wait to hand its file over. Then one program
    // takes the name; what a start sends reaches the window once it is
    // ready, a name that is not UTF-8 with its bytes, and the next one after.
    void serverTakesWhatIsSent()
    {
        const QString name = m_session->filePath("run/tessary-test");
        QVERIFY(leaveStaleSocket(name));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!HandoffServer::handOver(name, {"/cfg/a.cfg", ""}));
        QVERIFY(clock.elapsed() < Handoff::AnswerWaitMs / 2);
        const auto server = HandoffServer::take(name);
        QVERIFY(server);
        QVERIFY(!HandoffServer::take(name));

        auto send = [&name](const QByteArray &message) {
            auto client = std::make_unique<QLocalSocket>();
            client->connectToServer(name);
            if (client->waitForConnected(1000))
                client->write(message);
            return client;
        };
        const QByteArray raw = "/cfg/caf\xe9.cfg";
        const auto early = send(Handoff::encode({raw, "token"}));
        QTRY_COMPARE(early->bytesAvailable(), 1);
        QCOMPARE(early->readAll(), QByteArray(1, Handoff::Taken));
        early->write(&Handoff::Leaving, 1);
        // Gave up before it was answered: not opened.
        const auto gaveUp = send(Handoff::encode({"/cfg/gave-up.cfg", ""}));
        QTRY_COMPARE(gaveUp->bytesAvailable(), 1);
        gaveUp->abort();
        QByteArrayList received;
        server->setReceiver([&received](const QString &path, const QByteArray &token) {
            received << FileName::toNative(path) + ' ' + token;
        });
        QTRY_COMPARE(received, QByteArrayList{raw + " token"});
        const auto next = send(Handoff::encode({"/cfg/next.cfg", ""}));
        QTRY_COMPARE(next->bytesAvailable(), 1);
        next->write(&Handoff::Leaving, 1);
        QTRY_COMPARE(received.size(), 2);
        QCOMPARE(received.last(), QByteArray("/cfg/next.cfg "));
    }

    // Files taken while the window was closing are given back with the
    // name, and each opens in a window of its own.
    void closingWindowGivesBackWhatItTook()
    {
        const QString name = m_session->filePath("run/tessary-test");
        auto server = HandoffServer::take(name);
        QVERIFY(server);
        QLocalSocket client;
        client.connectToServer(name);
        QVERIFY(client.waitForConnected(1000));
        const QByteArray raw = QFile::encodeName(files()) + "/caf\xe9.cfg";
        QVERIFY(writeRaw(raw, "fov 100\r\n"));
        client.write(Handoff::encode({raw, ""}));
        QTRY_COMPARE(client.bytesAvailable(), 1);
        client.write(&Handoff::Leaving, 1);
        // The server hangs up once it has the file; no window took it.
        QTRY_COMPARE(client.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(server->release(), QByteArrayList{raw});
        QVERIFY(HandoffServer::take(name));

        for (const QString &key : m_environment.keys())
            qputenv(key.toLocal8Bit(), m_environment.value(key).toLocal8Bit());
        const qint64 pid = HandoffServer::openInNewWindow(m_installed + "/tessary", raw);
        QVERIFY(pid > 0);
        QTRY_COMPARE_WITH_TIMEOUT(FileName::toNative(recentFirst(userData())), raw, 20000);
        ::kill(pid_t(pid), SIGKILL);
        ::waitpid(pid_t(pid), nullptr, 0);
        QCOMPARE(::unlink(raw.constData()), 0);
    }

    // SIGTERM while a question is up: the file handed over meanwhile comes
    // back at the next start with the session, which keeps its own file.
    void sessionEndedDuringAQuestionKeepsWhatCame()
    {
        const QString first = file("first.cfg");
        const QString second = file("second.cfg");
        {
            // A copy left by a crash: its question is up once the window is.
            RecoveryStore crashed(userData());
            QVERIFY(crashed.open().ok());
            QVERIFY(crashed.write(QString(), {}, QStringLiteral("lost"), 0).ok());
        }
        QProcess &running = editor(m_installed, {"first.cfg"});
        QTRY_COMPARE_WITH_TIMEOUT(ViewSettings::load(userData()).sessionFiles, QStringList{first}, 20000);
        QVERIFY(handedOver(editor(m_installed, {"second.cfg"})));
        ::kill(pid_t(running.processId()), SIGTERM);
        QVERIFY(running.waitForFinished(20000));
        QCOMPARE(ViewSettings::load(userData()).sessionFiles, (QStringList{first, second}));
        // No window of its own was started to take the session over: one
        // would be running now, as it is spawned before the program ends.
        QCOMPARE(endNewWindows(), 0);
    }

    // A crashed window's socket is taken over by the next start, to which a
    // start from another folder hands its file's absolute path, the name's
    // bytes kept; a window that does not answer (stopped) is given up on
    // after a while, and the start opens its own.
    void crashedAndStoppedWindows()
    {
        const QString first = file("first.cfg");
        QProcess &crashing = editor(m_installed, {first});
        QTRY_COMPARE_WITH_TIMEOUT(recentFirst(userData()), first, 20000);
        crashing.kill();
        QVERIFY(crashing.waitForFinished());
        QCOMPARE(QDir(m_session->filePath("run")).entryList(QDir::System).size(), 1);

        const QString second = file("second.cfg");
        QProcess &taking = editor(m_installed, {second});
        QTRY_COMPARE_WITH_TIMEOUT(recentFirst(userData()), second, 20000);
        const QByteArray raw = QFile::encodeName(files()) + "/sub/caf\xe9.cfg";
        QVERIFY(writeRaw(raw, "fov 100\r\n"));
        // The shell hands over the name's own bytes.
        auto handing = std::make_unique<QProcess>();
        handing->setProcessEnvironment(m_environment);
        handing->setWorkingDirectory(files() + "/sub");
        handing->start("/bin/sh", {"-c", "exec \"$0\" caf*.cfg", m_installed + "/tessary"});
        QVERIFY(handedOver(*handing));
        QTRY_COMPARE_WITH_TIMEOUT(FileName::toNative(recentFirst(userData())), raw, 10000);
        QCOMPARE(taking.state(), QProcess::Running);
        // QTemporaryDir would not find the name to remove it.
        QCOMPARE(::unlink(raw.constData()), 0);
        // Not stopped while it writes the list, which the next start writes too.
        QTRY_VERIFY(!QFile::exists(ViewSettings::path(userData()) + ".merge"));
        ::kill(pid_t(taking.processId()), SIGSTOP);
        const QString third = file("third.cfg");
        QProcess &waiting = editor(m_installed, {third});
        QTRY_COMPARE_WITH_TIMEOUT(recentFirst(userData()), third, Handoff::AnswerWaitMs + 20000);
        QCOMPARE(waiting.state(), QProcess::Running);
    }
};

QTEST_MAIN(tst_HandoffServer)
#include "tst_HandoffServer.moc"
