#include "store/PathExists.h"

#include "FileHelpers.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class tst_PathExists : public QObject
{
    Q_OBJECT

private slots:
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
        QTEST(PathExists(path), "exists");
    }
};

QTEST_GUILESS_MAIN(tst_PathExists)
#include "tst_PathExists.moc"
