#include "settings/StoreLock.h"

#include "FileHelpers.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Answers the lock's questions from a script and keeps what was asked.
class ScriptedWaiter : public StoreLock::Waiter
{
public:
    bool answer = false;
    QStringList asked;
    int waits = 0;
    bool done = false;

    bool takeOver(const QString &message) override
    {
        asked << message;
        return answer;
    }
    bool keepWaiting(const QString &, int) override
    {
        ++waits;
        return true;
    }
    void doneWaiting() override { done = true; }
};

// The lines a lock of this program holds: process, program, computer, and
// whatever Qt adds after them.
QByteArrayList ownLockLines(const QString &folder)
{
    QLockFile model(folder + "/model.lock");
    if (!model.tryLock(0))
        return {};
    QByteArrayList lines = readAll(folder + "/model.lock").split('\n');
    model.unlock();
    return lines;
}

} // namespace

class tst_StoreLock : public QObject
{
    Q_OBJECT

private slots:
    void lockTable_data()
    {
        QTest::addColumn<QString>("holder");
        QTest::addColumn<bool>("answer"); // to "take it over?"
        QTest::addColumn<bool>("taken");
        QTest::newRow("empty or unreadable, left by a crash") << "empty" << false << true;
        QTest::newRow("its editor has ended") << "ended" << false << true;
        QTest::newRow("another computer, kept") << "foreign" << false << false;
        QTest::newRow("another computer, taken over") << "foreign" << true << true;
        QTest::newRow("a running editor here") << "live" << false << false;
        QTest::newRow("a link to another file") << "link" << true << false;
    }

    // Nothing is waited for that cannot end; another computer's lock is
    // named with its computer and age and taken over only when the user
    // says so; a running editor's lock is waited for, and the wait shown.
    void lockTable()
    {
        QFETCH(QString, holder);
        QFETCH(bool, answer);
        QFETCH(bool, taken);
        QTemporaryDir dir;
        const QString path = StoreLock::path(dir.path());
        QByteArrayList lines = ownLockLines(dir.path());
        QVERIFY(lines.size() >= 3);
        QLockFile live(path);
        if (holder == "live") {
            QVERIFY(live.tryLock(0));
        } else if (holder == "link") {
            writeAll(dir.filePath("elsewhere"), "not a lock");
            QVERIFY(QFile::link(dir.filePath("elsewhere"), path));
        } else {
            if (holder == "ended")
                lines[0] = "4194305"; // above the kernel's largest process number: no process has it
            if (holder == "foreign") {
                lines[0] = "4242";
                lines[2] = "build-server-7";
                for (qsizetype i = 3; i < lines.size(); ++i)
                    lines[i] = lines[i].isEmpty() ? lines[i] : QByteArray(lines[i].size(), '7');
            }
            writeAll(path, holder == "empty" ? QByteArray() : lines.join('\n'));
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3 * 3600), QFileDevice::FileModificationTime));
        }
        const QByteArray before = readAll(path);

        ScriptedWaiter waiter;
        waiter.answer = answer;
        QElapsedTimer clock;
        clock.start();
        {
            const StoreLock lock(dir.path(), 600, &waiter);
            const qint64 took = clock.elapsed();
            QVERIFY2(bool(lock) == taken, qPrintable(lock.status().error()));
            QCOMPARE(waiter.asked.size(), holder == "foreign" ? 1 : 0);
            if (holder == "foreign") {
                QVERIFY2(waiter.asked[0].contains("build-server-7") && waiter.asked[0].contains("3 hours ago"),
                         qPrintable(waiter.asked[0]));
                QVERIFY(taken || lock.status().error().contains("build-server-7"));
            }
            if (holder == "link")
                QVERIFY2(lock.status().error().contains("symbolic link"), qPrintable(lock.status().error()));
            if (holder == "live") {
                QVERIFY(waiter.waits > 0 && waiter.done);
                QVERIFY2(lock.status().error().contains("Another Tessary"), qPrintable(lock.status().error()));
            } else {
                QVERIFY2(took < 500, qPrintable(QString::number(took)));
            }
        }
        if (taken)
            QVERIFY(!QFileInfo::exists(path));
        else if (holder != "live")
            QCOMPARE(readAll(path), before);
        QCOMPARE(QFileInfo(path).isSymLink(), holder == "link");
    }
};

QTEST_GUILESS_MAIN(tst_StoreLock)
#include "tst_StoreLock.moc"
