#include "store/PathExists.h"

#include "FileHelpers.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class tst_PathExists : public QObject
{
    Q_OBJECT

private slots:
    void driveRoots_data()
    {
        QTest::addColumn<QStringList>("drives");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("exists");
        const QStringList cd = {"C:\\", "D:\\"};
        QStringList sixteen;
        for (char letter = 'C'; letter < 'C' + 16; ++letter)
            sixteen << QString(QChar(letter)) + QStringLiteral(":\\");
        QTest::newRow("upper case") << cd << "C:\\" << true;
        QTest::newRow("lower case") << cd << "d:\\" << true;
        QTest::newRow("no such drive") << cd << "X:\\" << false;
        QTest::newRow("15 drives fit") << sixteen.mid(0, 15) << "Q:\\" << true;
        QTest::newRow("16 drives overflow") << sixteen << "C:\\" << false;
        QTest::newRow("colon alone is short") << cd << ":" << false;
    }

    void driveRoots()
    {
        QFETCH(QStringList, drives);
        QFETCH(QString, path);
        QTEST(PathExists(path, drives), "exists");
    }

    void filesAndFolders_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<bool>("exists");
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("file") << "/a.cfg" << true;
        QTest::newRow("folder") << "/sub" << true;
        QTest::newRow("folder with separator") << "/sub/" << false;
        QTest::newRow("missing file") << "/b.cfg" << false;
        QTest::newRow("wildcard matches") << "/*.cfg" << true;
    }

    void filesAndFolders()
    {
        QFETCH(QString, relative);
        QTemporaryDir dir;
        writeAll(dir.filePath("a.cfg"), "x");
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        const QString path = relative.isEmpty() ? QString() : dir.path() + relative;
        QTEST(PathExists(path, {}), "exists");
    }
};

QTEST_GUILESS_MAIN(tst_PathExists)
#include "tst_PathExists.moc"
