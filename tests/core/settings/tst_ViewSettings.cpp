#include "settings/ViewSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_ViewSettings : public QObject
{
    Q_OBJECT

private slots:
    // Kept in a file of its own, read back as written; a damaged font gives
    // the default. The recent files' order, limit and merging are tst_RecentFiles's.
    void roundTrip_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<double>("points");
        QTest::addColumn<QString>("familyBack");
        QTest::addColumn<double>("pointsBack");
        QTest::newRow("default font") << "" << 0.0 << "" << 0.0;
        QTest::newRow("chosen font") << "DejaVu Sans Mono" << 10.5 << "DejaVu Sans Mono" << 10.5;
        QTest::newRow("font too small") << "Courier" << 1.0 << "" << 0.0;
    }
    void roundTrip()
    {
        QFETCH(QString, family);
        QFETCH(double, points);
        QTemporaryDir dir;
        ViewSettings view;
        view.geometry = QByteArray("\x01\x02geometry", 10);
        view.zoom = 3;
        view.familiesOff = QStringList{"bxt", "server"};
        view.completion = false;
        view.fontFamily = family;
        view.fontPoints = points;
        QVERIFY(view.save(dir.path()));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("data.dat"))));
        const ViewSettings back = ViewSettings::load(dir.path());
        QCOMPARE(back.geometry, view.geometry);
        QCOMPARE(back.zoom, 3);
        QCOMPARE(back.familiesOff, view.familiesOff);
        QVERIFY(!back.completion);
        QTEST(back.fontFamily, "familyBack");
        QTEST(back.fontPoints, "pointsBack");
    }

    // A missing or damaged file gives the defaults and is written over;
    // one that cannot be written is reported.
    void badFiles()
    {
        QTemporaryDir dir;
        QCOMPARE(ViewSettings::load(dir.path()).recentFiles(), QStringList());
        QFile file(ViewSettings::path(dir.path()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[view]\nzoom=999999\n[recent]\nfiles=a, a, , b\n[session]\nfiles=c, , c, d\ncurrent=7\n\x01\xff[[[");
        file.close();
        const ViewSettings damaged = ViewSettings::load(dir.path());
        QCOMPARE(damaged.recentFiles(), (QStringList{"a", "b"}));
        // The tab in front is one of the tabs.
        QCOMPARE(damaged.sessionFiles, (QStringList{"c", "d"}));
        QCOMPARE(damaged.sessionCurrent, 1);
        QVERIFY(damaged.zoom <= 40);
        // Writing replaces the damage, and says it did.
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("\xff\xfe\xfd[[[\x80\n[\n");
        file.close();
        ViewSettings mended = ViewSettings::load(dir.path());
        mended.zoom = 2;
        QVERIFY(mended.save(dir.path()));
        QCOMPARE(ViewSettings::load(dir.path()).zoom, 2);
        QVERIFY(damaged.completion);
        // A file stands where the folder should: even root cannot write there.
        QFile blocker(dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!ViewSettings().save(blocker.fileName()));
    }
};

QTEST_APPLESS_MAIN(tst_ViewSettings)
#include "tst_ViewSettings.moc"
