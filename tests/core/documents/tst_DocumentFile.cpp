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
    // is exact. Line ends and encodings mixed at random are
    // tst_DocumentCommands' differential; these are the edges it does not make.
    void formOfAFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("finalBreak");
        const QString cp = QStringLiteral("Windows-1252, CR LF");
        QTest::newRow("empty file") << QByteArray() << QString() << cp << "none";
        QTest::newRow("only a line end") << QByteArray("\r\n") << QString() << cp << "CR LF";
        QTest::newRow("only a BOM") << QByteArray("\xef\xbb\xbf") << QString() << "UTF-8 with BOM, CR LF" << "none";
        QTest::newRow("two BOMs") << QByteArray("\xef\xbb\xbf\xef\xbb\xbf") << QStringLiteral("\ufeff")
                                  << "UTF-8 with BOM, CR LF" << "none";
        QTest::newRow("not UTF-8 stays Windows-1252") << QByteArray("\xc3\xa9\xe9") << QStringLiteral("\u00c3\u00a9\u00e9")
                                                      << cp << "none";
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

};

QTEST_APPLESS_MAIN(tst_DocumentFile)
#include "tst_DocumentFile.moc"
