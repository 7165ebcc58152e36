#include "catalogue/UseTable.h"

#include <QTest>

class tst_UseTable : public QObject
{
    Q_OBJECT

private slots:
    void countsWhatTheFilesRun()
    {
        UseTable table;
        table.addFile(u"alias +j \"+jump; wait\"\nbind space +j\nfps_max 100; fps_max 99.5\nfps_max \"100\"\n"
                      u"alias n \"alias m kill\"; bind x m\n");
        table.addFile(u"fps_max high // not a number\nm\n");
        const auto &names = table.names();
        // The first file's own aliases (+j, n and m) are left out; the second uses m without defining it.
        QCOMPARE(names.keys(), (QStringList{"+jump", "alias", "bind", "fps_max", "kill", "m", "wait"}));
        QCOMPARE(names["fps_max"], (UseTable::Name{4, 2, 1, {"99.5", "100"}}));
        QCOMPARE(names["m"].count, 1);
        QCOMPARE(names["alias"].count, 3);
        QCOMPARE(table.uses(), 13);

        const auto read = UseTable::fromTsv(table.toTsv(), QStringLiteral("t"));
        QVERIFY2(read.ok(), qPrintable(read.error()));
        QCOMPARE(read.value(), table);
        UseTable twice = table;
        twice.add(table);
        QCOMPARE(twice.uses(), 26);
        QCOMPARE(twice.names()["fps_max"].values, (QStringList{"99.5", "100"}));
    }

    void refusesBrokenTable_data()
    {
        QTest::addColumn<QByteArray>("tsv");
        QTest::newRow("too few cells") << QByteArray("# x\nkill\t1\t\t1\n");
        QTest::newRow("value not a number") << QByteArray("gamma\t1\t2 high\t1\t0\n");
        QTest::newRow("name twice") << QByteArray("kill\t1\t\t1\t0\nkill\t1\t\t1\t0\n");
    }
    void refusesBrokenTable()
    {
        QFETCH(QByteArray, tsv);
        QVERIFY(!UseTable::fromTsv(tsv, QStringLiteral("t")).ok());
    }
};

QTEST_APPLESS_MAIN(tst_UseTable)
#include "tst_UseTable.moc"
