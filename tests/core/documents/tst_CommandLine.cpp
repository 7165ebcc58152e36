#include "documents/CommandLine.h"

#include "FileHelpers.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace {

// A program's arguments as main() gets them, after the program's name.
struct Argv
{
    QByteArrayList storage;
    std::vector<char *> argv;
    int argc = 0;

    explicit Argv(const QByteArrayList &arguments) : storage(QByteArrayList{"tessary"} + arguments)
    {
        for (QByteArray &argument : storage)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        argc = int(storage.size());
    }
    QByteArrayList left() const
    {
        QByteArrayList out;
        for (int i = 1; i < argc; ++i)
            out << argv[size_t(i)];
        return out;
    }
};

// Runs in a fresh temporary folder as the current one, and goes back after.
struct InTemporaryFolder
{
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    InTemporaryFolder() { QDir::setCurrent(dir.path()); }
    ~InTemporaryFolder() { QDir::setCurrent(previous); }
};

} // namespace

class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    // A style sheet Qt would read for ever (or one no style sheet is as
    // large as) is taken out before Qt sees it; a real one stays.
    void badStyleSheetIsTakenOut_data()
    {
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::addColumn<QByteArrayList>("left");
        QTest::addColumn<QString>("said");
        const QByteArray zero("/dev/zero");
        QTest::newRow("/dev/zero, two dashes") << QByteArrayList{"a.cfg", "--stylesheet", zero, "b.cfg"}
                                               << QByteArrayList{"a.cfg", "b.cfg"} << "character device";
        QTest::newRow("joined by =") << QByteArrayList{"-stylesheet=/dev/zero"} << QByteArrayList{} << "character device";
        QTest::newRow("huge") << QByteArrayList{"-stylesheet", "huge.qss"} << QByteArrayList{} << "larger than";
        QTest::newRow("a style sheet") << QByteArrayList{"-stylesheet", "dark.qss"}
                                       << QByteArrayList{"-stylesheet", "dark.qss"} << "";
    }
    void badStyleSheetIsTakenOut()
    {
        QFETCH(QByteArrayList, arguments);
        const InTemporaryFolder here;
        writeAll("dark.qss", "QWidget { color: white; }");
        QFile huge("huge.qss");
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(CommandLine::LargestStyleSheet + 1));
        huge.close();
        Argv args(arguments);
        const QString told = CommandLine::takeBadStyleSheet(args.argc, args.argv.data());
        QTEST(args.left(), "left");
        QCOMPARE(args.argv[size_t(args.argc)], nullptr);
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
    // after them; a file of that name is a file all the same, as is one
    // named like Qt's own "-reverse" (Qt would mirror the window).
    void start_data()
    {
        QTest::addColumn<QByteArrayList>("before"); // the arguments Qt sees
        QTest::addColumn<QByteArrayList>("after"); // what Qt leaves
        QTest::addColumn<QByteArrayList>("files"); // existing in the current folder
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("newWindow");
        QTest::addColumn<int>("left"); // arguments left
        const QByteArrayList none;
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
        QTest::newRow("a file named like a Qt option")
            << QByteArrayList{"-reverse", "fusion"} << none << QByteArrayList{"-reverse"} << QByteArray("-reverse") << false << 2;
        QTest::newRow("twice the option") << QByteArrayList{"--new-window", "--new-window"} << none << none << QByteArray()
                                          << true << 2;
    }
    void start()
    {
        QFETCH(QByteArrayList, before);
        QFETCH(QByteArrayList, after);
        QFETCH(QByteArrayList, files);
        const InTemporaryFolder here;
        for (const QByteArray &file : files)
            writeAll(QString::fromLatin1(file), "fov 90\r\n");
        auto args = std::make_unique<Argv>(before);
        CommandLine::Start start;
        CommandLine::takeStart(args->argc, args->argv.data(), start);
        // Qt takes its options.
        if (!after.isEmpty())
            args = std::make_unique<Argv>(after);
        CommandLine::takeStart(args->argc, args->argv.data(), start);
        QTEST(start.file, "file");
        QTEST(start.newWindow, "newWindow");
        QTEST(args->argc, "left");
        QCOMPARE(args->argv[size_t(args->argc)], nullptr);
    }
};

QTEST_APPLESS_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
