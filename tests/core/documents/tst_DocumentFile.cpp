#include "documents/DocumentFile.h"

#include "FileHelpers.h"
#include "OrdinaryUser.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class tst_DocumentFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const char *name = "doc.cfg") const { return m_dir.filePath(QString::fromLatin1(name)); }

private slots:
    // What a file reads as and is written as, from its bytes; the round trip
    // is exact. The usual line ends and encodings, mixed at random, are
    // tst_DocumentCommands' differential; these are the edges.
    void formOfAFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("finalBreak");
        const QString cp = QStringLiteral("Windows-1252, CR LF");
        QTest::newRow("empty file") << QByteArray() << QString() << cp << "none";
        QTest::newRow("only a line end") << QByteArray("\r\n") << QString() << cp << "CR LF";
        QTest::newRow("empty last line kept") << QByteArray("a\r\n\r\n") << QStringLiteral("a\r\n") << cp << "CR LF";
        QTest::newRow("LF with no end") << QByteArray("a\nb") << QStringLiteral("a\nb") << "Windows-1252, LF" << "none";
        QTest::newRow("mostly LF") << QByteArray("a\r\nb\nc\n") << QStringLiteral("a\r\nb\nc") << "Windows-1252, LF" << "LF";
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QStringLiteral("a\r\r\nb") << cp << "none";
        QTest::newRow("LF CR") << QByteArray("a\n\rb") << QStringLiteral("a\n\rb") << "Windows-1252, LF" << "none";
        QTest::newRow("UTF-8") << QByteArray("\xd0\xb6 \xe4\xb8\xad\n") << QStringLiteral("\u0436 \u4e2d") << "UTF-8, LF"
                               << "LF";
        QTest::newRow("UTF-8 BOM, ASCII") << QByteArray("\xef\xbb\xbf" "a\r\n") << QStringLiteral("a")
                                          << "UTF-8 with BOM, CR LF" << "CR LF";
        QTest::newRow("only a BOM") << QByteArray("\xef\xbb\xbf") << QString() << "UTF-8 with BOM, CR LF" << "none";
        QTest::newRow("two BOMs") << QByteArray("\xef\xbb\xbf\xef\xbb\xbf") << QStringLiteral("\ufeff")
                                  << "UTF-8 with BOM, CR LF" << "none";
        QTest::newRow("not UTF-8 stays Windows-1252") << QByteArray("\xc3\xa9\xe9") << QStringLiteral("\u00c3\u00a9\u00e9")
                                                      << cp << "none";
        QTest::newRow("windows-1252 letters") << QByteArray("caf\xe9 \x80\r\n") << QStringLiteral("caf\u00e9 \u20ac") << cp
                                              << "CR LF";
        QTest::newRow("overlong UTF-8") << QByteArray("\xc0\xaf") << QStringLiteral("\u00c0\u00af") << cp << "none";
        QTest::newRow("nul byte") << QByteArray("a\0b", 3) << QString::fromLatin1("a\0b", 3) << cp << "none";
    }
    void formOfAFile()
    {
        QFETCH(QByteArray, file);
        writeAll(path(), file);
        const Result<QString> loaded = LoadDocument(path());
        QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
        QTEST(loaded.value(), "text");
        const DocumentFile::Decoded decoded = DocumentFile::decode(file);
        QTEST(decoded.form.describe(), "form");
        QTEST(TextForm::name(decoded.form.finalBreak), "finalBreak");
        QCOMPARE(DocumentFile::encode(decoded.text, decoded.form), file);
    }

    void savingAddsOneLineEnd_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("two lines") << QStringLiteral("a\r\nb") << QByteArray("a\r\nb\r\n");
        QTest::newRow("empty document") << QString() << QByteArray("\r\n");
        QTest::newRow("lone LF kept") << QStringLiteral("a\nb") << QByteArray("a\nb\r\n");
        QTest::newRow("unstorable written as question mark") << QStringLiteral("a\u0416\U0001F600b")
                                                              << QByteArray("a??b\r\n");
    }
    void savingAddsOneLineEnd()
    {
        QFETCH(QString, text);
        QVERIFY(SaveDocument(path(), text).ok());
        QTEST(readAll(path()), "file");
    }

    void unreadableFilesAreReported_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << QStringLiteral("missing.cfg");
        QTest::newRow("a folder") << QStringLiteral(".");
    }
    void unreadableFilesAreReported()
    {
        QFETCH(QString, name);
        const Result<QString> loaded = LoadDocument(m_dir.filePath(name));
        QVERIFY(!loaded.ok());
        QVERIFY2(loaded.error().contains(m_dir.path()), qPrintable(loaded.error()));
    }

    // A name as long as the system allows (255 bytes) leaves no room for a
    // temporary name made from it; the file is saved all the same, and no
    // temporary file stays behind.
    void longNamesAreSaved_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::newRow("255 bytes") << QString(255, u'c') << true;
        QTest::newRow("255 bytes, new file") << QString(255, u'c') << false;
        QTest::newRow("255 bytes of UTF-8") << QString(127, QChar(0x0416)) + u'c' << true;
    }
    void longNamesAreSaved()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        QCOMPARE(QFile::encodeName(name).size() >= 250, true);
        QTemporaryDir dir;
        const QString longName = dir.filePath(name);
        if (exists)
            writeAll(longName, "old\r\n");
        const Status saved = SaveDocument(longName, QStringLiteral("new"));
        QVERIFY2(saved.ok(), qPrintable(saved.error()));
        QCOMPARE(readAll(longName), QByteArray("new\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    }

    void savingAsAnOrdinaryUser_data()
    {
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<int>("fileMode"); // -1: no file yet
        QTest::addColumn<bool>("throughLink");
        QTest::addColumn<bool>("rootOwnsFile");
        QTest::addColumn<int>("sizeLimit"); // 0: none
        QTest::addColumn<QString>("outcome");
        QTest::newRow("writable folder: replaced") << true << 0640 << false << false << 0 << "replaced";
        QTest::newRow("read-only folder: in place") << false << 0604 << false << false << 0 << "in place";
        QTest::newRow("link into a read-only folder") << false << 0640 << true << false << 0 << "in place";
        QTest::newRow("another user's file keeps its owner") << true << 0666 << false << true << 0 << "in place";
        QTest::newRow("read-only file") << true << 0440 << false << false << 0 << "refused";
        QTest::newRow("read-only file and folder") << false << 0440 << false << false << 0 << "refused";
        QTest::newRow("new file in a read-only folder") << false << -1 << false << false << 0 << "refused";
        QTest::newRow("in-place write fails midway, old bytes put back") << false << 0640 << false << false << 20
                                                                          << "put back";
        QTest::newRow("in-place write fails, no room for the old bytes") << false << 0640 << false << false << 12
                                                                          << "partial";
        QTest::newRow("replacing past the size limit keeps the old file") << true << 0640 << false << false << 20
                                                                           << "refused";
    }
    void savingAsAnOrdinaryUser()
    {
        QFETCH(bool, folderWritable);
        QFETCH(int, fileMode);
        QFETCH(bool, throughLink);
        QFETCH(bool, rootOwnsFile);
        QFETCH(int, sizeLimit);
        QFETCH(QString, outcome);
        const OrdinaryUser user = OrdinaryUser::find();
        if (!user.available)
            QSKIP(qPrintable(user.why));
        if (rootOwnsFile && ::geteuid() != 0)
            QSKIP("only root can hand a file to another user");

        QTemporaryDir top;
        QVERIFY(OrdinaryUser::enterable(top.path()));
        const QString folder = top.filePath(QStringLiteral("game"));
        const QString links = top.filePath(QStringLiteral("links"));
        QVERIFY(QDir().mkdir(folder) && QDir().mkdir(links));
        const QString file = folder + QStringLiteral("/config.cfg");
        const QString saved = throughLink ? links + QStringLiteral("/config.cfg") : file;
        const QByteArray old("bind w +forward\r\n");
        if (fileMode >= 0) {
            writeAll(file, old);
            QVERIFY(rootOwnsFile ? ::chmod(QFile::encodeName(file), fileMode) == 0 : user.give(file, fileMode));
        }
        if (throughLink)
            QVERIFY(QFile::link(file, saved));
        QVERIFY(user.give(folder, folderWritable ? 0755 : 0555));
        // An ordinary user running this test must be able to clear the folder again.
        const auto writableAgain = qScopeGuard([&] { QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner
                                                                                     | QFile::ExeOwner); });
        QVERIFY(user.give(links, 0755));
        const struct stat before = statOf(file);

        QProcess helper;
        QStringList args{QStringLiteral("save"), saved, QStringLiteral("bind w +forward\r\nbind s +back")};
        if (sizeLimit)
            args << QString::number(sizeLimit);
        user.start(helper, QStringLiteral(DOCUMENT_HELPER), args);
        QVERIFY(helper.waitForFinished());
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        const QString error = QString::fromLocal8Bit(helper.readAllStandardOutput()).trimmed();
        QCOMPARE(helper.exitCode() == 0, outcome == "replaced" || outcome == "in place");

        const struct stat after = statOf(file);
        if (outcome == "refused") {
            QVERIFY2(error.contains(QStringLiteral("config.cfg")), qPrintable(error));
            QCOMPARE(readAll(file), fileMode >= 0 ? old : QByteArray());
            return;
        }
        if (outcome == "put back") {
            QVERIFY2(error.contains(QStringLiteral("put back")), qPrintable(error));
            QCOMPARE(readAll(file), old);
            return;
        }
        if (outcome == "partial") {
            QVERIFY2(error.contains(QStringLiteral("only partly written")), qPrintable(error));
            QCOMPARE(readAll(file).size(), sizeLimit);
            return;
        }
        QCOMPARE(readAll(file), QByteArray("bind w +forward\r\nbind s +back\r\n"));
        QCOMPARE(after.st_ino == before.st_ino, outcome == "in place");
        QCOMPARE(after.st_mode & 07777, mode_t(fileMode));
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(S_ISLNK(statOf(saved).st_mode), throughLink);
    }

    // Another program (the game, another editor) rewrites the file in place
    // while it is read: the reader gets the shorter text, never a crash.
    void fileShrinkingDuringTheRead_data()
    {
        QTest::addColumn<QString>("reader");
        QTest::newRow("opening") << QStringLiteral("document");
        QTest::newRow("long-line measure") << QStringLiteral("lines");
        QTest::newRow("disk stamp") << QStringLiteral("stamp");
    }
    void fileShrinkingDuringTheRead()
    {
        QFETCH(QString, reader);
        constexpr qint64 Size = 8 << 20; // read 40 times while it changes: every read meets a change
        QFile file(path("shrinking.cfg"));
        QVERIFY(file.open(QIODevice::ReadWrite | QIODevice::Truncate) && file.resize(Size));
        QProcess helper;
        helper.start(QStringLiteral(DOCUMENT_HELPER), {QStringLiteral("read"), reader, file.fileName(), QStringLiteral("40")});
        QVERIFY(helper.waitForStarted());
        while (!helper.waitForFinished(0)) {
            ::ftruncate(file.handle(), Size / 8);
            ::ftruncate(file.handle(), Size);
        }
        QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
        QCOMPARE(helper.exitCode(), 0);
    }

    void firstUnencodable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("character");
        QTest::newRow("none") << QStringLiteral("a\r\nb") << -1 << 0 << QString();
        QTest::newRow("first character") << QStringLiteral("\u0416") << 0 << 1 << QStringLiteral("\u0416");
        QTest::newRow("third line") << QStringLiteral("a\r\nb\nc\r\nd\u03a9") << 9 << 3 << QStringLiteral("\u03a9");
        QTest::newRow("surrogate pair stays whole") << QStringLiteral("\r\n\U0001F600") << 2 << 2
                                                    << QStringLiteral("\U0001F600");
    }
    void firstUnencodable()
    {
        QFETCH(QString, text);
        QFETCH(int, position);
        QFETCH(int, line);
        QFETCH(QString, character);
        const DocumentFile::Unencodable found = DocumentFile::firstUnencodable(text);
        QCOMPARE(found.position, qsizetype(position));
        if (position >= 0) {
            QCOMPARE(found.line, line);
            QCOMPARE(found.character, character);
        }
    }
};

QTEST_APPLESS_MAIN(tst_DocumentFile)
#include "tst_DocumentFile.moc"
