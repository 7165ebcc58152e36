// Bad files met where Tessary reads or writes: devices, pipes and sockets
// are refused before they are read or written, and a failed write names its
// reason.
#include "settings/RegularFile.h"

#include "core/store/FakeModPrompts.h"
#include "core/store/StoreFolders.h"
#include "documents/DocumentFile.h"
#include "store/ModStore.h"
#include "backups/Restore.h"
#include "store/SafeFile.h"
#include "settings/RecordFile.h"
#include "settings/Settings.h"
#include "settings/ViewSettings.h"
#include "settings/mdlVars.h"

#include "FileHelpers.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

class tst_RegularFile : public QObject
{
    Q_OBJECT

    // Makes a special file of the kind at `path`; false when this system cannot.
    static bool make(const QString &kind, const QString &path)
    {
        const QByteArray p = QFile::encodeName(path);
        if (kind == "nothing")
            return true; // a link to it dangles
        if (kind == "regular file") {
            QFile victim(path);
            return victim.open(QIODevice::WriteOnly) && victim.write("victim") == 6;
        }
        if (kind == "named pipe")
            return ::mkfifo(p.constData(), 0666) == 0;
        if (kind == "character device")
            return ::mknod(p.constData(), S_IFCHR | 0666, makedev(1, 5)) == 0; // /dev/zero
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        if (fd < 0 || size_t(p.size()) >= sizeof(address.sun_path))
            return false;
        memcpy(address.sun_path, p.constData(), p.size());
        const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
        ::close(fd);
        return bound;
    }

private slots:
    void specialFilesAreRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("throughLink");
        QTest::addColumn<QString>("use");
        for (const char *kind : {"named pipe", "character device", "socket"})
            for (const bool link : {false, true})
                for (const char *use : {"document", "Save As target", "data.dat", "known file", "restored file",
                                        "tessary.ini", "data.dat.extra"})
                    QTest::addRow("%s%s as %s", kind, link ? " behind a link" : "", use) << kind << link << use;
        // The program's own files are never written through a link.
        for (const char *use : {"data.dat", "tessary.ini", "data.dat.extra"}) {
            QTest::addRow("regular file behind a link as %s", use) << "regular file" << true << use;
            QTest::addRow("link to nothing as %s", use) << "nothing" << true << use;
        }
    }
    // Answered at once with a message naming the file and what it is; the
    // special file is still there, unchanged in kind.
    void specialFilesAreRefused()
    {
        QFETCH(QString, kind);
        QFETCH(bool, throughLink);
        QFETCH(QString, use);
        // A short path: a socket's name has room for about a hundred bytes.
        QTemporaryDir dir(QStringLiteral("/tmp/rf-XXXXXX"));
        const QString program = dir.filePath("p"), game = dir.filePath("g");
        QVERIFY(QDir().mkpath(program + "/mod") && QDir().mkpath(game));
        const QString name = use == "data.dat" ? program + "/data.dat"
                           : use == "tessary.ini" ? ViewSettings::path(program)
                           : use == "data.dat.extra" ? Settings::extraPath(program)
                           : use == "known file" || use == "restored file" ? game + "/config.cfg"
                                                                           : dir.filePath("doc.cfg");
        const QString special = throughLink ? dir.filePath("s") : name;
        if (!make(kind, special))
            QSKIP(qPrintable("cannot make a " + kind + " here"));
        if (throughLink)
            QVERIFY(QFile::link(special, name));

        auto vars = std::make_unique<mdlVars>();
        FakeModPrompts prompts;
        QString error;
        if (use == "document") {
            error = LoadDocument(name).error();
        } else if (use == "Save As target") {
            error = SaveDocument(name, QStringLiteral("x")).error();
        } else if (use == "data.dat") {
            error = LoadSettings(*vars, program).error();
            QCOMPARE(vars->strModName[0], QString()); // not read as the lists
            vars->strModName[0] = QStringLiteral("mod");
            QCOMPARE(SaveSettings(*vars, program).error(), error);
            QVERIFY(!RefreshSettings(*vars, program));
            QVERIFY(!CheckSettingsWritable(program));
        } else if (use == "tessary.ini") {
            Status read = Status::success();
            ViewSettings view = ViewSettings::load(program, &read);
            error = read.error();
            view.addRecentFile(dir.filePath("doc.cfg"));
            QCOMPARE(view.saveRecentFiles(program).error(), error);
            QCOMPARE(view.save(program).error(), error);
        } else if (use == "data.dat.extra") {
            error = LoadSettings(*vars, program).error();
            vars->strBackupFile[600] = "x.cfg";
            vars->strBackupMod[600] = "mod";
            QCOMPARE(SaveSettings(*vars, program).error(), error);
        } else if (use == "known file") {
            const ModStore::AddOutcome added = ModStore::AddMod(*vars, program, "mod", game, prompts);
            QVERIFY(!added.added);
            error = added.message;
        } else {
            *vars = oneMod("mod", game, "config.cfg");
            writeAll(program + "/mod/config.cfg", "backup");
            error = Restore::RestoreBackup(*vars, program, 0, "config.cfg").error();
            QCOMPARE(readAll(program + "/mod/config.cfg"), QByteArray("backup"));
        }
        // The store's own files and a restore are refused at the link itself.
        const bool own = use == "data.dat" || use == "tessary.ini" || use == "data.dat.extra";
        const QString said = throughLink && (own || use == "restored file") ? "symbolic link" : kind;
        QVERIFY2(error.contains(QDir::toNativeSeparators(name)) && error.contains(said), qPrintable(error));
        struct stat st = {};
        QCOMPARE(::lstat(QFile::encodeName(special).constData(), &st) == 0, kind != "nothing");
        if (kind == "regular file")
            QCOMPARE(readAll(special), QByteArray("victim"));
        else
            QVERIFY(!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode));
        if (throughLink)
            QVERIFY(QFileInfo(name).isSymLink());
    }

    void writeFailureNamesItsReason_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::newRow("new document") << "document";
        QTest::newRow("mod backup copy") << "backup";
        QTest::newRow("data.dat on Settings Ok") << "data.dat";
    }
    // A full disk (here a file size limit: the same path through the code)
    // is reported with the system's reason and the file, never "Unknown error".
    void writeFailureNamesItsReason()
    {
        QFETCH(QString, writer);
        QTemporaryDir dir;
        const QString path = dir.filePath(writer == "data.dat" ? "data.dat" : "file");
        const QByteArray big(64 * 1024, 'x');
        rlimit old = {};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &old) == 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 4096;
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
        QString error;
        if (writer == "document") {
            error = SaveDocument(path, QString::fromLatin1(big)).error();
        } else if (writer == "backup") {
            error = SafeFile::write(path, big).error();
        } else {
            auto vars = std::make_unique<mdlVars>();
            for (int i = 0; i < mdlVars::ModSlots; ++i)
                vars->strModName[i] = QStringLiteral("mod %1").arg(i);
            error = SaveSettings(*vars, dir.path()).error();
        }
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY2(error.contains(qt_error_string(EFBIG)) && error.contains(QDir::toNativeSeparators(path)),
                 qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(tst_RegularFile)
#include "tst_RegularFile.moc"
