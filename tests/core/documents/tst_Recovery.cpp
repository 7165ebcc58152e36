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
};

QTEST_MAIN(tst_Recovery)
#include "tst_Recovery.moc"
