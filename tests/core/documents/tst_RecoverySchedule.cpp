#include "documents/RecoverySchedule.h"

#include <QTest>

class tst_RecoverySchedule : public QObject
{
    Q_OBJECT

private slots:
    // Changes at the given times (ms): the copy is written when the timer,
    // restarted with each delay, first runs out.
    void dueAfterAPauseOrTheBound_data()
    {
        QTest::addColumn<QList<int>>("changes");
        QTest::addColumn<int>("written");
        QTest::newRow("one change") << QList<int>{100} << 3100;
        QTest::newRow("a pause after a burst") << QList<int>{0, 500, 1000} << 4000;
        QTest::newRow("steady typing reaches the bound") << QList<int>{0, 1000, 2000, 3000, 4000, 5000, 6000, 7000,
                                                                      8000, 9000, 10000, 11000} << 10000;
        QTest::newRow("change exactly at the bound") << QList<int>{0, 2500, 5000, 7500, 10000} << 10000;
    }
    void dueAfterAPauseOrTheBound()
    {
        QFETCH(QList<int>, changes);
        QFETCH(int, written);
        RecoverySchedule schedule(3000, 10000);
        qint64 due = -1;
        for (const int at : changes) {
            if (due >= 0 && at > due)
                break; // the timer ran out before this change
            due = at + schedule.changed(at);
        }
        QCOMPARE(due, qint64(written));
        // Once kept, the next change waits the whole pause again.
        schedule.kept();
        QCOMPARE(schedule.changed(due + 1), 3000);
    }
};

QTEST_APPLESS_MAIN(tst_RecoverySchedule)
#include "tst_RecoverySchedule.moc"
