#include "documents/RecoveryStore.h"

#include <QDir>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

class tst_Recovery : public QObject
{
    Q_OBJECT

private slots:
    // Whatever the timing, a copy removed (document saved) never comes back
    // from a write that was under way or waiting.
    void removeWinsOverBackgroundWrites()
    {
        QTemporaryDir dir;
        RecoveryStore store(dir.path());
        QVERIFY(store.open());
        for (int i = 0; i < 40; ++i) {
            store.writeInBackground(QStringLiteral("/a.cfg"), {}, [i] {
                std::this_thread::sleep_for(std::chrono::microseconds((i % 8) * 250));
                return QStringLiteral("text %1").arg(i);
            });
            if (i % 2)
                std::this_thread::sleep_for(std::chrono::microseconds((i % 5) * 300));
            store.remove();
            QVERIFY2(!store.hasCopy(), qPrintable(QString::number(i)));
        }
        store.writeInBackground(QStringLiteral("/a.cfg"), {}, [] { return QStringLiteral("last"); });
        QVERIFY(store.hasCopy());
        QVERIFY(store.takeError());
    }

    // An editor that ended with nothing unsaved (killed, crashed) leaves only
    // its lock; the next start takes it away, never a running editor's.
    void lockWithoutACopy_data()
    {
        QTest::addColumn<bool>("running");
        QTest::newRow("its editor is gone") << false;
        QTest::newRow("its editor runs") << true;
    }
    void lockWithoutACopy()
    {
        QFETCH(bool, running);
        QTemporaryDir dir;
        RecoveryStore other(dir.path());
        QVERIFY(other.open());
        const QString lockPath = other.folder() + QStringLiteral("/1-2-3.lock");
        if (running) {
            QVERIFY(QFile::rename(QDir(other.folder()).entryInfoList({QStringLiteral("*.lock")}).value(0).filePath(),
                                  lockPath));
        } else {
            // A process that takes the lock and ends without letting it go.
            const pid_t child = ::fork();
            if (child == 0) {
                QLockFile lock(lockPath);
                ::_exit(lock.tryLock(0) ? 0 : 1);
            }
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        QVERIFY(QFile::exists(lockPath));
        RecoveryStore store(dir.path());
        QVERIFY(store.open());
        QVERIFY(store.leftovers().isEmpty());
        QCOMPARE(QFile::exists(lockPath), running);
    }

    // A copy that cannot be offered as it stands is said once and removed,
    // never offered as a tab on a device or a folder; the others are offered.
    void unusableCopies_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("damaged bytes") << "damaged";
        QTest::newRow("cut short") << "cut short";
        QTest::newRow("trailing bytes") << "trailing";
        QTest::newRow("naming a device") << "device";
        QTest::newRow("naming a folder") << "folder";
    }
    void unusableCopies()
    {
        QFETCH(QString, damage);
        QTemporaryDir dir;
        const QString named = damage == "device" ? QStringLiteral("/dev/zero")
                            : damage == "folder" ? dir.path()
                                                 : dir.filePath(QStringLiteral("a.cfg"));
        QString bad;
        {
            RecoveryStore crashed(dir.path());
            QVERIFY(crashed.open());
            QVERIFY(crashed.write(named, {}, QStringLiteral("typed")));
            QVERIFY(crashed.write(dir.filePath(QStringLiteral("b.cfg")), {}, QStringLiteral("kept"), 1));
            for (const QFileInfo &copy : QDir(crashed.folder()).entryInfoList({QStringLiteral("*.copy")})) {
                if (!copy.fileName().endsWith(QStringLiteral(".1.copy")))
                    bad = copy.filePath();
            }
        }
        QFile file(bad);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QByteArray bytes = file.readAll();
        if (damage == "damaged")
            QVERIFY(file.seek(0) && file.write("\xff\xfe\x00garbage") > 0);
        else if (damage == "cut short")
            QVERIFY(file.resize(bytes.size() / 2));
        else if (damage == "trailing")
            QVERIFY(file.write("more") == 4);
        file.close();

        RecoveryStore store(dir.path());
        QVERIFY(store.open());
        const QList<RecoveryStore::Copy> copies = store.leftovers();
        QCOMPARE(copies.size(), 1);
        QCOMPARE(copies[0].text, QStringLiteral("kept"));
        QCOMPARE(store.takeUnusable(), QStringList{bad});
        QVERIFY(!QFileInfo::exists(bad));
        QVERIFY(store.takeUnusable().isEmpty());
    }

    // A link or a file where the folder belongs: no lock and no unsaved
    // text go through it.
    void folderInTheWayIsRefused_data()
    {
        QTest::addColumn<bool>("link");
        QTest::newRow("link to another folder") << true;
        QTest::newRow("a file") << false;
    }
    void folderInTheWayIsRefused()
    {
        QFETCH(bool, link);
        QTemporaryDir dir;
        const QString elsewhere = dir.filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkdir(elsewhere));
        const QString folder = dir.filePath(QStringLiteral("recovery"));
        if (link) {
            QVERIFY(QFile::link(elsewhere, folder));
        } else {
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }
        RecoveryStore store(dir.path());
        const Status opened = store.open();
        QVERIFY2(!opened && opened.error().contains(QDir::toNativeSeparators(folder)), qPrintable(opened.error()));
        QVERIFY(!store.write(dir.filePath(QStringLiteral("a.cfg")), {}, QStringLiteral("typed")));
        QVERIFY(QDir(elsewhere).isEmpty());
        QCOMPARE(QFileInfo(folder).isSymLink(), link);
    }

    // Saving in place (the folder is not the user's to write) empties the
    // file before writing it: killed at that moment, the editor leaves its
    // text to be offered at the next start.
    void killedInPlaceSaveIsOffered()
    {
        const OrdinaryUser user = OrdinaryUser::find();
        if (!user.available)
            QSKIP(qPrintable(user.why));
        QTemporaryDir top;
        QVERIFY(QFile::setPermissions(top.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                     | QFile::ReadOther | QFile::ExeOther));
        const QString home = top.filePath(QStringLiteral("home"));
        const QString program = top.filePath(QStringLiteral("program"));
        const QString game = top.filePath(QStringLiteral("game"));
        QVERIFY(QDir().mkdir(home) && QDir().mkdir(program) && QDir().mkdir(game));
        const QString file = game + QStringLiteral("/config.cfg");
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("bind w +forward\r\n") > 0);
        old.close();
        QVERIFY(user.give(home, 0700) && user.give(program, 0755) && user.give(file, 0644) && user.give(game, 0555));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess saver;
        saver.setProcessEnvironment(env);
        user.start(saver, QStringLiteral(EDITOR_HELPER), {QStringLiteral("killedsave"), file, QStringLiteral("bind s +back")});
        QVERIFY(saver.waitForFinished());
        QCOMPARE(saver.exitStatus(), QProcess::CrashExit);
        QCOMPARE(QFileInfo(file).size(), 0);

        QProcess restorer;
        restorer.setProcessEnvironment(env);
        user.start(restorer, QStringLiteral(EDITOR_HELPER), {QStringLiteral("restore"), program});
        QVERIFY(restorer.waitForFinished());
        QCOMPARE(QString::fromUtf8(restorer.readAllStandardOutput()).split(u'\n').mid(0, 2),
                 QStringList({QStringLiteral("1 offered"), QStringLiteral("bind s +back")}));
    }

    // The editor is killed after typing; started again, it gets its text back,
    // while another editor that was running meanwhile did not take it. Ended
    // by SIGTERM (shutdown) it keeps text typed a moment before. Each text
    // is typed in a tab of its own, and every tab comes back.
    void killedEditorsTextComesBack_data()
    {
        QTest::addColumn<bool>("terminated");
        QTest::addColumn<QStringList>("typed");
        const QStringList one = {QStringLiteral("bind w +forward")};
        const QStringList three = {QStringLiteral("bind w +forward"), QStringLiteral("name player"),
                                   QStringLiteral("gamma 2")};
        QTest::newRow("killed after its copy was kept") << false << one;
        QTest::newRow("SIGTERM a second after typing") << true << one;
        QTest::newRow("three tabs, killed") << false << three;
        QTest::newRow("three tabs, SIGTERM") << true << three;
    }
    void killedEditorsTextComesBack()
    {
        QFETCH(bool, terminated);
        QFETCH(QStringList, typed);
        std::sort(typed.begin(), typed.end());
        const OrdinaryUser user = OrdinaryUser::find();
        if (!user.available)
            QSKIP(qPrintable(user.why));
        QTemporaryDir top;
        QVERIFY(QFile::setPermissions(top.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                     | QFile::ReadOther | QFile::ExeOther));
        const QString home = top.filePath(QStringLiteral("home"));
        const QString program = top.filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkdir(home) && QDir().mkdir(program));
        QVERIFY(user.give(home, 0700) && user.give(program, 0755));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const auto editor = [&](QProcess &process, const QStringList &args) {
            process.setProcessEnvironment(env);
            user.start(process, QStringLiteral(EDITOR_HELPER), args);
            QVERIFY(process.waitForStarted());
        };
        const auto copies = [&] {
            QStringList found;
            for (QDirIterator it(home, {QStringLiteral("*.copy")}, QDir::Files | QDir::Hidden,
                                 QDirIterator::Subdirectories);
                 it.hasNext();)
                found << it.next();
            return found;
        };
        // The texts of the tabs, sorted, when each was offered.
        const auto restoredText = [&] {
            QProcess restorer;
            editor(restorer, {QStringLiteral("restore"), program});
            restorer.waitForFinished();
            QStringList out = QString::fromUtf8(restorer.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
            if (out.value(0) != QStringLiteral("%1 offered").arg(typed.size()))
                return QStringList();
            out.removeFirst();
            std::sort(out.begin(), out.end());
            return out;
        };

        QProcess typing;
        editor(typing, QStringList{QStringLiteral("type"), program} + typed);
        if (terminated) {
            QByteArray said;
            QTRY_VERIFY_WITH_TIMEOUT((said += typing.readAllStandardOutput()).contains("typed"), 20000);
            QTest::qWait(1000);
            typing.terminate();
            QVERIFY(typing.waitForFinished());
            QCOMPARE(typing.exitStatus(), QProcess::NormalExit);
            QCOMPARE(restoredText(), typed);
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(copies().size(), typed.size(), 20000);
        QCOMPARE(restoredText(), QStringList()); // its editor still runs
        typing.kill();
        QVERIFY(typing.waitForFinished());

        QCOMPARE(restoredText(), typed);
        // The restoring editor kept the texts under its own name; the old copies are gone.
        QCOMPARE(copies().size(), typed.size());
        QCOMPARE(restoredText(), typed);
    }
};

QTEST_MAIN(tst_Recovery)
#include "tst_Recovery.moc"
