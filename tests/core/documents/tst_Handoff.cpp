#include "documents/Handoff.h"

#include "FileHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using Handoff::Reader;

class tst_Handoff : public QObject
{
    Q_OBJECT

private slots:
    void displayKey_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QByteArray>("x11");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QString>("key");
        QTest::newRow("X display") << "xcb" << QByteArray(":72") << QByteArray("wayland-1") << "x11 :72";
        QTest::newRow("over the local socket, by name") << "xcb" << QByteArray("unix:72.0") << QByteArray() << "x11 :72";
        QTest::newRow("Wayland") << "wayland" << QByteArray(":0") << QByteArray("wayland-1") << "wayland wayland-1";
        QTest::newRow("Wayland's default") << "wayland-egl" << QByteArray() << QByteArray() << "wayland wayland-0";
        QTest::newRow("no screen") << "offscreen" << QByteArray(":72") << QByteArray("wayland-1") << "";
    }
    void displayKey()
    {
        QFETCH(QString, platform);
        QFETCH(QByteArray, x11);
        QFETCH(QByteArray, wayland);
        QTEST(Handoff::displayKey(platform, x11, wayland), "key");
    }

    // The socket goes only where no other user can reach or replace it.
    void socketFolder_data()
    {
        QTest::addColumn<QString>("runtime"); // "private", "open", "missing", "none"
        QTest::addColumn<QString>("ownFolder"); // in the temporary folder: "none", "private", "open", "link", "other user"
        QTest::addColumn<QString>("chosen"); // "runtime", "own", "" (none)
        QTest::newRow("the session's runtime folder") << "private" << "none" << "runtime";
        QTest::newRow("no runtime folder") << "none" << "none" << "own";
        QTest::newRow("a runtime folder that is gone") << "missing" << "none" << "own";
        QTest::newRow("a runtime folder others may enter") << "open" << "none" << "own";
        QTest::newRow("its own folder, made before") << "none" << "private" << "own";
        QTest::newRow("its own folder, open to others") << "none" << "open" << "";
        QTest::newRow("a link where its own folder goes") << "none" << "link" << "";
        QTest::newRow("another user's folder of that name") << "none" << "other user" << "";
    }
    void socketFolder()
    {
        QFETCH(QString, runtime);
        QFETCH(QString, ownFolder);
        QFETCH(QString, chosen);
        QTemporaryDir dir;
        const uint user = ::getuid();
        const QString runtimeFolder = dir.filePath("run");
        if (runtime == "private" || runtime == "open") {
            QVERIFY(QDir().mkdir(runtimeFolder));
            QCOMPARE(::chmod(QFile::encodeName(runtimeFolder), runtime == "open" ? 0755 : 0700), 0);
        }
        const QString temp = dir.filePath("tmp");
        QVERIFY(QDir().mkdir(temp));
        const QString own = temp + QStringLiteral("/tessary-%1").arg(user);
        if (ownFolder == "link") {
            QVERIFY(QFile::link(dir.path(), own));
        } else if (ownFolder != "none") {
            QVERIFY(QDir().mkdir(own));
            QCOMPARE(::chmod(QFile::encodeName(own), ownFolder == "open" ? 0777 : 0700), 0);
            if (ownFolder == "other user")
                QCOMPARE(::chown(QFile::encodeName(own), user == 0 ? 65534 : 0, gid_t(-1)), 0);
        }
        const Result<QString> folder = Handoff::socketFolder(runtime == "none" ? QString() : runtimeFolder, temp, user);
        QCOMPARE(folder.ok(), !chosen.isEmpty());
        if (!folder)
            return;
        QCOMPARE(folder.value(), chosen == "runtime" ? runtimeFolder : own);
        struct stat st = {};
        QCOMPARE(::lstat(QFile::encodeName(folder.value()), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0700));
    }

    // One name for each user, display and data folder, whatever path names
    // the folder; any of the three changed, another.
    void serverName()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkdir(dir.filePath("data")));
        QVERIFY(QDir().mkdir(dir.filePath("portable")));
        QVERIFY(QFile::link(dir.filePath("data"), dir.filePath("link")));
        const QString run = dir.filePath("run");
        const QString name = Handoff::serverName(run, 1000, "x11 :0", dir.filePath("data"));
        QVERIFY(name.startsWith(run + "/tessary-"));
        // A socket's path holds about a hundred bytes.
        QVERIFY(name.size() - run.size() < 40);
        QCOMPARE(Handoff::serverName(run, 1000, "x11 :0", dir.filePath("link")), name);
        QCOMPARE(Handoff::serverName(run, 1000, "x11 :0", dir.filePath("data/../data/")), name);
        const QStringList others = {Handoff::serverName(run, 1001, "x11 :0", dir.filePath("data")),
                                    Handoff::serverName(run, 1000, "x11 :1", dir.filePath("data")),
                                    Handoff::serverName(run, 1000, "", dir.filePath("data")),
                                    Handoff::serverName(run, 1000, "x11 :0", dir.filePath("portable"))};
        for (const QString &other : others)
            QVERIFY(other != name);
    }

    // What a start sends is read back whole, however it arrives; anything
    // else is refused without reading on.
    void messages_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<int>("chunk"); // bytes at a time
        QTest::addColumn<bool>("complete");
        const QByteArray raw("/home/p/caf\xe9 \n.cfg");
        const QByteArray sent = Handoff::encode({raw, "token-1"});
        QTest::newRow("byte by byte") << sent << 1 << true;
        QTest::newRow("without a token") << Handoff::encode({"/a.cfg", ""}) << 3 << true;
        QTest::newRow("cut short") << sent.chopped(1) << 1000 << false;
        QTest::newRow("two messages") << sent + sent << 7 << false;
        QTest::newRow("a relative path") << Handoff::encode({"a.cfg", ""}) << 1000 << false;
        QTest::newRow("a field too many") << Handoff::encode({"/a.cfg", QByteArray("t\0u", 3)}) << 1000 << false;
        QByteArray foreign = sent;
        foreign[4] = 'T';
        QTest::newRow("another program's") << foreign << 1000 << false;
        const QByteArray largest = Handoff::encode({'/' + QByteArray(Handoff::LargestMessage - 20, 'a'), ""});
        QTest::newRow("largest") << largest << 4096 << true;
        QTest::newRow("larger than a message may be")
            << Handoff::encode({'/' + QByteArray(Handoff::LargestMessage, 'a'), ""}) << 4096 << false;
    }
    void messages()
    {
        QFETCH(QByteArray, message);
        QFETCH(int, chunk);
        QFETCH(bool, complete);
        Reader reader;
        Reader::State state = Reader::State::Incomplete;
        qsizetype read = 0;
        while (read < message.size() && state != Reader::State::Refused) {
            state = reader.add(message.mid(read, chunk));
            read += chunk;
        }
        if (!complete) {
            QVERIFY(state != Reader::State::Complete);
            // Refused as soon as the announced length is too large: the rest is never waited for.
            if (message.size() > Handoff::LargestMessage)
                QVERIFY(read <= 4096);
            return;
        }
        QCOMPARE(state, Reader::State::Complete);
        const QList<QByteArray> fields = message.mid(4).split('\0');
        QCOMPARE(reader.request().path, fields[1]);
        QCOMPARE(reader.request().activationToken, fields[2]);
    }

    // What crashed programs left goes; a running program's socket and lock
    // and files that are not the program's stay. A lock has one holder at a
    // time and goes with it; asking without making leaves none.
    void locksAndStaleFiles()
    {
        QTemporaryDir dir(QStringLiteral("/tmp/hs-XXXXXX")); // a socket's path has room for about a hundred bytes
        const auto name = [&](char c) { return dir.filePath(QStringLiteral("tessary-") + QString(24, QChar(c))); };
        const auto makeSocket = [](const QString &path) {
            const QByteArray p = QFile::encodeName(path);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address = {};
            address.sun_family = AF_UNIX;
            memcpy(address.sun_path, p.constData(), size_t(p.size()));
            const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
            ::close(fd);
            return bound;
        };
        const Handoff::ServerLock running(name('a') + ".lock");
        QVERIFY(running.held() && makeSocket(name('a')));
        QVERIFY(!Handoff::ServerLock(name('a') + ".lock").held());
        for (int again = 0; again < 2; ++again) // let go as it ends
            QVERIFY(Handoff::ServerLock(name('f') + ".lock").held());
        QVERIFY(!Handoff::ServerLock(name('g') + ".lock", Handoff::ServerLock::Create::No).held());
        for (const char c : {'b', 'c', 'd', 'e'}) { // a crashed program's pair, and others' leftovers
            QVERIFY(c == 'e' || makeSocket(name(c)));
            if (c != 'c')
                writeAll(name(c) + ".lock", "");
        }
        writeAll(dir.filePath("tessary-notours"), "");
        writeAll(dir.filePath("other.lock"), "");
        QCOMPARE(Handoff::removeStale(dir.path()), 6);
        QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::System | QDir::Hidden);
        left.sort();
        QCOMPARE(left, QStringList({"other.lock", QFileInfo(name('a')).fileName(),
                                    QFileInfo(name('a')).fileName() + ".lock", "tessary-notours"}));
    }
};

QTEST_APPLESS_MAIN(tst_Handoff)
#include "tst_Handoff.moc"
