#include "documents/CommandLine.h"

#include "FileHelpers.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

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

    // A style sheet Qt would read for ever (or one no style sheet is as
    // large as) is taken out before Qt sees it; a real one stays.
    void badStyleSheetIsTakenOut_data()
    {
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::addColumn<QByteArrayList>("left");
        QTest::addColumn<QString>("said");
        const QByteArray zero("/dev/zero");
        QTest::newRow("/dev/zero") << QByteArrayList{"-stylesheet", zero, "a.cfg"} << QByteArrayList{"a.cfg"}
                                   << "character device";
        QTest::newRow("joined by =") << QByteArrayList{"-stylesheet=/dev/zero"} << QByteArrayList{} << "character device";
        QTest::newRow("two dashes") << QByteArrayList{"a.cfg", "--stylesheet", zero} << QByteArrayList{"a.cfg"}
                                    << "character device";
        QTest::newRow("a folder") << QByteArrayList{"-stylesheet", "."} << QByteArrayList{} << "a folder";
        QTest::newRow("huge") << QByteArrayList{"-stylesheet", "huge.qss"} << QByteArrayList{} << "larger than";
        QTest::newRow("a style sheet") << QByteArrayList{"-stylesheet", "dark.qss"}
                                       << QByteArrayList{"-stylesheet", "dark.qss"} << "";
    }
    void badStyleSheetIsTakenOut()
    {
        QFETCH(QByteArrayList, arguments);
        QFETCH(QByteArrayList, left);
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        writeAll("dark.qss", "QWidget { color: white; }");
        QFile huge("huge.qss");
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(CommandLine::LargestStyleSheet + 1));
        huge.close();
        QByteArrayList storage = QByteArrayList{"tessary"} + arguments;
        std::vector<char *> argv;
        for (QByteArray &argument : storage)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        int argc = int(storage.size());
        const QString told = CommandLine::takeBadStyleSheet(argc, argv.data());
        QVERIFY(QDir::setCurrent(previous));
        QByteArrayList got;
        for (int i = 1; i < argc; ++i)
            got << argv[size_t(i)];
        QCOMPARE(got, left);
        QCOMPARE(argv[size_t(argc)], nullptr);
        QFETCH(QString, said);
        if (said.isEmpty())
            QCOMPARE(told, QString());
        else
            QVERIFY2(told.contains(said), qPrintable(told));
    }

    // tessary *.cfg: every file named opens, each once; what cannot open,
    // or goes beyond the most opened at once, is named in one short message.
    void moreFiles_data()
    {
        QTest::addColumn<int>("existing");
        QTest::addColumn<int>("missing");
        QTest::addColumn<int>("opened");
        QTest::addColumn<QString>("said");
        QTest::newRow("a few") << 3 << 0 << 3 << "";
        QTest::newRow("3,000") << 3000 << 0 << CommandLine::MoreFilesLimit << "more files at once from the command line";
        QTest::newRow("some missing") << 2 << 5 << 2 << "could not be found or are not files";
    }
    void moreFiles()
    {
        QFETCH(int, existing);
        QFETCH(int, missing);
        QTemporaryDir dir;
        QByteArrayList arguments;
        for (int i = 0; i < existing; ++i) {
            const QByteArray name = "f" + QByteArray::number(i) + ".cfg";
            writeAll(dir.filePath(QString::fromLatin1(name)), "x");
            arguments << name << name; // named twice, opened once
        }
        for (int i = 0; i < missing; ++i)
            arguments << "gone" + QByteArray::number(i) + ".cfg";
        arguments << "/dev/zero";
        ++missing;
        const CommandLine::MoreFiles more = CommandLine::moreFiles(arguments, QFile::encodeName(dir.path()));
        QTEST(int(more.open.size()), "opened");
        QCOMPARE(more.open.value(0), dir.filePath("f0.cfg"));
        QFETCH(QString, said);
        QVERIFY2(more.notOpened.contains(said) && more.notOpened.contains("/dev/zero"), qPrintable(more.notOpened));
        QVERIFY2(more.notOpened.count(u'\n') < 30, qPrintable(more.notOpened));
    }

    // --new-window and the file in either order, before Qt's options or
    // after them; a file of that name is a file all the same.
    void start_data()
    {
        QTest::addColumn<QByteArrayList>("before"); // the arguments Qt sees
        QTest::addColumn<QByteArrayList>("after"); // what Qt leaves
        QTest::addColumn<QByteArrayList>("files"); // existing in the current folder
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("newWindow");
        QTest::addColumn<int>("left"); // arguments left
        const QByteArrayList none;
        QTest::newRow("a file") << QByteArrayList{"a.cfg"} << none << QByteArrayList{"a.cfg"} << QByteArray("a.cfg")
                                << false << 1;
        QTest::newRow("a new window for a file")
            << QByteArrayList{"--new-window", "a.cfg"} << none << QByteArrayList{"a.cfg"} << QByteArray("a.cfg") << true << 1;
        QTest::newRow("a file in a new window")
            << QByteArrayList{"a.cfg", "--new-window"} << none << QByteArrayList{"a.cfg"} << QByteArray("a.cfg") << true << 1;
        QTest::newRow("a file named like the option")
            << QByteArrayList{"--new-window"} << none << QByteArrayList{"--new-window"} << QByteArray("--new-window")
            << false << 1;
        QTest::newRow("the option, and a file named like it")
            << QByteArrayList{"--new-window", "--new-window"} << none << QByteArrayList{"--new-window"}
            << QByteArray("--new-window") << true << 1;
        QTest::newRow("after Qt's options")
            << QByteArrayList{"-style", "fusion", "--new-window", "a.cfg"} << QByteArrayList{"--new-window", "a.cfg"}
            << QByteArrayList{"a.cfg"} << QByteArray("a.cfg") << true << 1;
        QTest::newRow("a missing file is left to the caller")
            << QByteArrayList{"--new-window", "gone.cfg"} << none << none << QByteArray() << true << 2;
        QTest::newRow("twice the option") << QByteArrayList{"--new-window", "--new-window"} << none << none << QByteArray()
                                          << true << 2;
    }
    void start()
    {
        QFETCH(QByteArrayList, before);
        QFETCH(QByteArrayList, after);
        QFETCH(QByteArrayList, files);
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        for (const QByteArray &file : files)
            writeAll(QString::fromLatin1(file), "fov 90\r\n");
        QByteArrayList args = QByteArrayList{"tessary"} + before;
        std::vector<char *> argv;
        for (QByteArray &arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        int argc = int(args.size());
        CommandLine::Start start;
        CommandLine::takeStart(argc, argv.data(), start);
        // Qt takes its options.
        if (!after.isEmpty()) {
            args = QByteArrayList{"tessary"} + after;
            argv.clear();
            for (QByteArray &arg : args)
                argv.push_back(arg.data());
            argv.push_back(nullptr);
            argc = int(args.size());
        }
        CommandLine::takeStart(argc, argv.data(), start);
        QVERIFY(QDir::setCurrent(previous));
        QTEST(start.file, "file");
        QTEST(start.newWindow, "newWindow");
        QTEST(argc, "left");
        QCOMPARE(argv[argc], nullptr);
    }
};

QTEST_APPLESS_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
