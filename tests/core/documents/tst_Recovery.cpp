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
    }
    void unusableCopies()
    {
        QFETCH(QString, damage);
        QTemporaryDir dir;
        const QString named = damage == "device" ? QStringLiteral("/dev/zero") : dir.filePath(QStringLiteral("a.cfg"));
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

};

QTEST_MAIN(tst_Recovery)
#include "tst_Recovery.moc"
