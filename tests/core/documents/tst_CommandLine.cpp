#include "documents/CommandLine.h"

#include "FileHelpers.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    // Qt would take "-reverse" as its option and mirror the window: a file
    // of that name is the file, and an option without one stays Qt's.
    void existingFileIsTakenBeforeQtReadsIt_data()
    {
        QTest::addColumn<QByteArray>("argument");
        QTest::addColumn<bool>("exists");
        QTest::newRow("file named like a Qt option") << QByteArray("-reverse") << true;
        QTest::newRow("file named like a Qt option with a value") << QByteArray("-style") << true;
        QTest::newRow("Qt option") << QByteArray("-reverse") << false;
        QTest::newRow("file") << QByteArray("config.cfg") << true;
        QTest::newRow("missing file") << QByteArray("config.cfg") << false;
    }
    void existingFileIsTakenBeforeQtReadsIt()
    {
        QFETCH(QByteArray, argument);
        QFETCH(bool, exists);
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        if (exists)
            writeAll(QString::fromLatin1(argument), "fov 90\r\n");
        QByteArray program("tessary"), next("fusion");
        char *argv[] = {program.data(), argument.data(), next.data(), nullptr};
        int argc = 3;
        const QByteArray taken = CommandLine::takeExistingFile(argc, argv);
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(taken, exists ? argument : QByteArray());
        QCOMPARE(taken.isNull(), !exists);
        QCOMPARE(argc, exists ? 2 : 3);
        QCOMPARE(QByteArray(argv[argc - 1]), next);
        QCOMPARE(argv[argc], nullptr);
    }
};

QTEST_APPLESS_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
