#include "core/store/FakeModPrompts.h"
#include "core/store/StoreFolders.h"

#include "settings/Settings.h"
#include "settings/mdlVars.h"
#include "store/ModStore.h"
#include "store/PendingAdds.h"
#include "backups/Restore.h"
#include "store/StoreCommands.h"
#include "backups/Versions.h"

#include "OrdinaryUser.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace ModStore;

namespace {

constexpr QFileDevice::Permissions Open = QFileDevice::Permissions(0x7777);
constexpr QFileDevice::Permissions ReadOnly = QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
    | QFileDevice::ExeOther | QFileDevice::ReadGroup | QFileDevice::ExeGroup;

// A copy of this program where the ordinary user may run it, whatever
// folder the build lies in.
QString helperProgram()
{
    static QTemporaryDir dir;
    static const QString copy = dir.filePath("helper");
    if (!QFileInfo::exists(copy)) {
        QFile::setPermissions(dir.path(), Open);
        QFile::copy(QCoreApplication::applicationFilePath(), copy);
        QFile::setPermissions(copy, Open & ~QFileDevice::Permissions(0x2222));
    }
    return copy;
}

// Runs this test program's helper mode as an ordinary user, since root
// writes to read-only folders. Its output is its verdict.
QString runHelper(const QStringList &arguments)
{
    QProcess process;
    OrdinaryUser::find().start(process, helperProgram(), QStringList{"--helper"} + arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

// helper restore <program> <mod> <folder> <file> [step] | helper backup-until-copied <program> <mod> <folder> <file>
// | helper add <program> <mod> <folder> [noted]. A step given, a backup's copy
// written or a noted add made ends the process there, as a crash would.
int helperMain(const QStringList &args)
{
    auto vars = std::make_unique<mdlVars>(oneMod(args[2], args[3], args.value(4)));
    FakeModPrompts prompts;
    QString out;
    if (args[0] == "restore") {
        const int until = args.value(5, "-1").toInt();
        const Status s = Restore::RestoreBackup(*vars, args[1], 0, args[4], [until](Restore::Step step) {
            if (int(step) == until)
                _exit(3);
        });
        out = s ? QStringLiteral("restored") : s.error();
    } else if (args[0] == "backup-until-copied") {
        StoreCommands::backup(*vars, args[1], 0, prompts, [] { _exit(3); });
    } else if (args[0] == "add") {
        *vars = mdlVars();
        PendingAdds pending(args[1]);
        const AddOutcome added = AddMod(*vars, args[1], args[2], args[3], prompts, args.size() > 4 ? &pending : nullptr);
        out = added.added ? QStringLiteral("added") : added.message;
        if (args.size() > 4) {
            fputs(qPrintable(out), stdout);
            fflush(stdout);
            _exit(0);
        }
    }
    fputs(qPrintable(out), stdout);
    return 0;
}

} // namespace

class tst_ModStore : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<mdlVars> m_vars;
    FakeModPrompts m_prompts;
    QString m_program;
    QString m_game;

    // Both folders open to everyone, so an unprivileged helper can work in them.
    void makeFolder(const QString &path)
    {
        QVERIFY(QDir().mkpath(path));
        QVERIFY(QFile::setPermissions(path, Open));
    }
    void put(const QString &path, const QByteArray &bytes)
    {
        writeAll(path, bytes);
        QVERIFY(QFile::setPermissions(path, Open & ~QFileDevice::Permissions(0x1111)));
    }
    // The mod "m" of the game folder, backing up `file`, its backup folder made.
    std::unique_ptr<mdlVars> storedMod(const QString &file = QStringLiteral("config.cfg"))
    {
        makeFolder(backupFolder(m_program, "m"));
        return std::make_unique<mdlVars>(oneMod("m", m_game, file));
    }
    // The versions of the mod's file, newest first.
    QList<QByteArray> versionTexts(const QString &file) const
    {
        QList<QByteArray> texts;
        for (const Versions::Version &v : Versions::of(m_program, "m", file))
            texts << readAll(v.path);
        return texts;
    }

private slots:
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(QFile::setPermissions(m_root->path(), Open));
        m_program = m_root->filePath("prog");
        m_game = m_root->filePath("game");
        makeFolder(m_program);
        makeFolder(m_game);
        m_vars = std::make_unique<mdlVars>();
        m_prompts = FakeModPrompts();
    }

    void refusedAdds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("usedModSlots");
        QTest::addColumn<int>("usedBackupSlots");
        QTest::addColumn<QString>("why"); // in the message, besides the name
        const QString game = "game";
        QTest::newRow("empty name") << "" << game << 0 << 0 << "";
        QTest::newRow("dot dot") << ".." << game << 0 << 0 << "";
        QTest::newRow("separator") << "a/b" << game << 0 << 0 << "";
        QTest::newRow("NUL") << QString("a") + QChar(0) + "b" << game << 0 << 0 << "";
        QTest::newRow("scratch folder, other case") << "TeMp" << game << 0 << 0 << "";
        QTest::newRow("127 characters") << QString(127, 'n') << game << 0 << 0 << "";
        QTest::newRow("empty folder") << "mod" << "" << 0 << 0 << "";
        for (const char *own : {"data.dat", "DATA.DAT.lock", "restore.journal", "restore.journal.ignored", "tessary.ini",
                                "recovery", "installed", "x.pending-add"})
            QTest::addRow("the store's own %s", own) << own << game << 0 << 0 << "";
        QTest::newRow("mod list full") << "mod" << game << 501 << 0 << "";
        QTest::newRow("backup list full") << "mod" << game << 0 << 1000 << "";
        QTest::newRow("folder does not exist") << "mod" << "none" << 0 << 0 << "does not exist";
        QTest::newRow("folder is a file") << "mod" << "game/config.cfg" << 0 << 0 << "is a file, not a folder";
        QTest::newRow("none of the files") << "mod" << "empty" << 0 << 0 << "none of the files";
        // Registered as game plus the tail below; the new entry is the plain folder.
        QTest::newRow("registered, trailing separator") << "mod" << "registered:/" << 0 << 0 << "already registered";
        QTest::newRow("registered through a link") << "mod" << "registered:link" << 0 << 0 << "already registered";
    }

    // Nothing stored, nothing made on disk, and one message why.
    void refusedAdds()
    {
        QFETCH(QString, name);
        QFETCH(QString, folder);
        QFETCH(int, usedModSlots);
        QFETCH(int, usedBackupSlots);
        QFETCH(QString, why);
        makeFolder(m_root->filePath("empty"));
        put(m_root->filePath("empty/readme.txt"), "not a config");
        QVERIFY(QFile::link(m_game, m_root->filePath("link")));
        if (folder.startsWith("registered:")) {
            const QString tail = folder.mid(11);
            m_vars->strModName[0] = "first";
            m_vars->strModDir[0] = tail == "link" ? m_root->filePath("link") : m_game + tail;
            folder = m_game;
        } else if (folder.startsWith("game")) {
            folder = m_game + folder.mid(4);
        } else if (!folder.isEmpty() && !folder.startsWith('/')) {
            folder = m_root->filePath(folder);
        }
        for (int i = 0; i < usedModSlots; ++i)
            m_vars->strModName[i] = QString::number(i);
        for (int i = 0; i < usedBackupSlots; ++i)
            m_vars->strBackupFile[i] = "x";
        put(m_game + "/config.cfg", "c");
        put(m_game + "/motd.txt", "m");
        const auto before = std::make_unique<mdlVars>(*m_vars);
        const auto files = tree(m_root->path());

        const AddOutcome added = AddMod(*m_vars, m_program, name, folder, m_prompts);
        QVERIFY(!added.added);
        QVERIFY(!added.message.isEmpty());
        QVERIFY2(added.message.contains(why), qPrintable(added.message));
        QCOMPARE(m_vars->strModName, before->strModName);
        QCOMPARE(m_vars->strBackupFile, before->strBackupFile);
        QCOMPARE(tree(m_root->path()), files);
    }

    void backupApartFromModFolder_data()
    {
        QTest::addColumn<QString>("folder"); // below the test's root
        QTest::addColumn<QString>("made");   // folder made before the add
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("link"); // "link>target", below the test's root
        QTest::newRow("is the mod folder") << "prog/mod" << "prog/mod" << true << "";
        QTest::newRow("is the mod folder, not made yet") << "prog/mod" << "" << true << "";
        QTest::newRow("data folder is the game folder") << "prog" << "" << true << "";
        QTest::newRow("mod folder inside the backup folder") << "prog/mod/sub" << "prog/mod/sub" << true << "";
        QTest::newRow("through a link") << "link/mod" << "prog/mod" << true << "";
        QTest::newRow("dot dot") << "game/../prog/mod" << "" << true << "";
        // The system takes ".." from the link's target: game/deep/.. is prog.
        QTest::newRow("link before dot dot") << "game/deep/../mod" << "prog/mod" << true << "game/deep>prog/sub";
        QTest::newRow("link before dot dot, elsewhere") << "game/deep/../mod" << "game/mod" << false << "game/deep>game/sub";
        QTest::newRow("name is only a prefix") << "prog/mod2" << "prog/mod2" << false << "";
    }

    // A backup kept in the live folder would be the live file itself.
    void backupApartFromModFolder()
    {
        QFETCH(QString, folder);
        QFETCH(QString, made);
        QFETCH(bool, refused);
        QFETCH(QString, link);
        QVERIFY(QFile::link(m_program, m_root->filePath("link")));
        if (!link.isEmpty()) {
            makeFolder(m_root->filePath(link.section(u'>', 1)));
            QVERIFY(QFile::link(m_root->filePath(link.section(u'>', 1)), m_root->filePath(link.section(u'>', 0, 0))));
        }
        if (!made.isEmpty())
            makeFolder(m_root->filePath(made));
        const QString modFolder = m_root->filePath(folder);
        if (QFileInfo(modFolder).isDir())
            put(modFolder + "/config.cfg", "live");
        const auto files = tree(m_root->path());
        const AddOutcome added = AddMod(*m_vars, m_program, "mod", modFolder, m_prompts);
        QCOMPARE(added.added, !refused);
        if (refused) {
            QVERIFY2(added.message.contains("inside"), qPrintable(added.message));
            QCOMPARE(tree(m_root->path()), files);
            QCOMPARE(listedMods(*m_vars), QList<int>());
            // Nor is a mod kept so backed up.
            auto inside = std::make_unique<mdlVars>(oneMod("mod", modFolder, "config.cfg"));
            QVERIFY(!StoreCommands::backup(*inside, m_program, 0, m_prompts));
        }
    }

    void knownFiles_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("backedUp");
        QTest::newRow("known in table order, then other .cfg") << QStringList{"motd.txt", "config.cfg", "other.cfg", "a.txt"}
                                             << QStringList{"config.cfg", "motd.txt", "other.cfg"};
        QTest::newRow("names in other case") << QStringList{"CONFIG.CFG", "Motd.Txt"}
                                             << QStringList{"config.cfg", "motd.txt"};
        // "path|text" gives a file its text; "@link>target" is a link in the mod folder.
        QTest::newRow("start-up order: subfolders, not the base game")
            << QStringList{"userconfig.cfg|exec binds.cfg\nexec cfg/buy.cfg", "binds.cfg|bind w +forward",
                           "cfg/buy.cfg|exec cfg/more.cfg", "cfg/more.cfg|echo more", "cfg/never.cfg|echo never",
                           "autoexec.cfg|exec base.cfg", "../valve/base.cfg|echo base"}
            << QStringList{"autoexec.cfg", "userconfig.cfg", "binds.cfg", "cfg/buy.cfg", "cfg/more.cfg"};
        QTest::newRow("start-up order: the mod's own valve.rc") << QStringList{"valve.rc|exec autoexec.cfg", "autoexec.cfg"}
                                                              << QStringList{"autoexec.cfg", "valve.rc"};
        QTest::newRow("start-up order: subfolder linked out of the mod folder")
            << QStringList{"userconfig.cfg|exec out/x.cfg", "@out>../outside", "../outside/x.cfg|echo out"}
            << QStringList{"userconfig.cfg"};
    }

    // Each present known file is copied byte for byte under its known name
    // and recorded, in the known files' order (tst_Settings: how a name with
    // a path is kept in data.dat).
    void knownFiles()
    {
        QFETCH(QStringList, present);
        QFETCH(QStringList, backedUp);
        for (const QString &f : present) {
            if (f.startsWith('@')) {
                QVERIFY(QDir().mkpath(m_game + "/" + f.section('>', 1)));
                QVERIFY(QFile::link(f.section('>', 1), m_game + "/" + f.mid(1).section('>', 0, 0)));
                continue;
            }
            const QString path = m_game + "/" + f.section('|', 0, 0);
            QVERIFY(QDir().mkpath(QFileInfo(path).path()));
            put(path, f.contains('|') ? f.section('|', 1).toLatin1() : f.toLatin1() + "\r\n\xff");
        }
        m_prompts.copyAnswer = false; // shown the list, the user declines: nothing made
        QVERIFY(!AddMod(*m_vars, m_program, "My Mod", m_game, m_prompts).added);
        QVERIFY(!QFileInfo::exists(backupFolder(m_program, "My Mod")));
        m_prompts.copyAnswer = true;
        const AddOutcome added = AddMod(*m_vars, m_program, "My Mod", m_game, m_prompts);
        QVERIFY2(added.added, qPrintable(added.message));
        QCOMPARE(added.message, QString());
        QCOMPARE(m_prompts.listed, QList<QStringList>({backedUp, backedUp}));

        QCOMPARE(listedMods(*m_vars), QList<int>{added.modSlot});
        QStringList listed;
        for (int j : backupsOf(*m_vars, added.modSlot))
            listed << m_vars->strBackupFile[j];
        QCOMPARE(listed, backedUp);
        for (const QString &f : backedUp)
            QCOMPARE(readAll(backupCopy(m_program, "My Mod", f)), readAll(findFile(m_game, f)));
    }

    // A second folder under a name already kept, with other bytes, asks
    // before its copies replace the kept ones (the same bytes ask nothing:
    // removeMod's row of a shared name).
    void sameNameTwice_data()
    {
        QTest::addColumn<bool>("added"); // the answer
        QTest::newRow("answered no") << false;
        QTest::newRow("answered yes") << true;
    }

    void sameNameTwice()
    {
        QFETCH(bool, added);
        put(m_game + "/config.cfg", "first");
        QVERIFY(AddMod(*m_vars, m_program, "m", m_game, m_prompts).added);
        const QString other = m_root->filePath("other");
        makeFolder(other);
        put(other + "/config.cfg", "second");
        m_prompts.answer = added;
        const AddOutcome again = AddMod(*m_vars, m_program, "m", other, m_prompts);

        QCOMPARE(m_prompts.questions.size(), 1);
        QCOMPARE(again.added, added);
        QCOMPARE(listedMods(*m_vars).size(), added ? 2 : 1);
        QCOMPARE(backupsOf(*m_vars, 0).size(), added ? 2 : 1);
        QCOMPARE(readAll(backupCopy(m_program, "m", "config.cfg")), added ? readAll(other + "/config.cfg") : "first");
    }

    void takenBackAdd_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("earlierBackup"); // the name's folder exists, with a copy and a file of the user's
        for (const bool earlier : {false, true}) {
            const char *what = earlier ? "over an earlier backup" : "new folder";
            QTest::addRow("cancel, %s", what) << "cancel" << earlier;
            QTest::addRow("crash, next start, %s", what) << "crash" << earlier;
            QTest::addRow("crash while its lock was made, %s", what) << "empty lock" << earlier;
            QTest::addRow("still open in another editor, %s", what) << "live" << earlier;
        }
        QTest::newRow("saved, then ended before clearing its note") << "saved" << true;
    }

    // An add not saved is taken back whole, and nothing else is touched; an
    // editor still running keeps its own, and one that ended after saving
    // the add but before clearing its note had saved it.
    void takenBackAdd()
    {
        QFETCH(QString, end);
        QFETCH(bool, earlierBackup);
        put(m_game + "/config.cfg", "new");
        put(m_game + "/motd.txt", "motd");
        // A copy in a subfolder: its folder is taken back too, and its entry.
        put(m_game + "/autoexec.cfg", "exec cfg/buy.cfg");
        makeFolder(m_game + "/cfg");
        put(m_game + "/cfg/buy.cfg", "buy");
        if (earlierBackup) {
            makeFolder(backupFolder(m_program, "m"));
            put(backupCopy(m_program, "m", "config.cfg"), "old copy");
            put(backupFolder(m_program, "m") + "/notes.txt", "the user's");
        }
        const auto before = std::make_unique<mdlVars>(*m_vars);
        const auto files = tree(m_root->path());
        auto pending = std::make_unique<PendingAdds>(m_program);
        if (end == "crash" || end == "empty lock" || end == "saved") {
            QCOMPARE(runHelper({"add", m_program, "m", m_game, "noted"}), QString("added"));
            const QStringList locks = QDir(m_program).entryList({"*.pending-add.lock"});
            QCOMPARE(locks.size(), 1);
            if (end == "empty lock") {
                QFile lock(m_program + "/" + locks[0]);
                QVERIFY(lock.open(QIODevice::ReadWrite | QIODevice::Truncate));
                QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime));
            }
        } else {
            QVERIFY(AddMod(*m_vars, m_program, "m", m_game, m_prompts, pending.get()).added);
            QCOMPARE(readAll(backupCopy(m_program, "m", "config.cfg")), "new");
        }
        if (end == "saved") {
            const auto saved = std::make_unique<mdlVars>(oneMod("m", m_game, "config.cfg"));
            QVERIFY(SaveSettings(*saved, m_program));
            QVERIFY(PendingAdds::recoverAbandoned(m_program, *saved));
            QCOMPARE(readAll(backupCopy(m_program, "m", "config.cfg")), "new");
            QCOMPARE(QDir(m_program).entryList({"*.pending-add"}), QStringList());
            return;
        }
        if (end == "cancel")
            pending->rollBack(*m_vars);
        else
            QVERIFY(PendingAdds::recoverAbandoned(m_program, *before));
        if (end == "live") {
            QCOMPARE(readAll(backupCopy(m_program, "m", "motd.txt")), "motd");
            pending->commit();
            return;
        }
        QCOMPARE(tree(m_root->path()), files);
        QCOMPARE(m_vars->strModName, before->strModName);
        QCOMPARE(m_vars->strBackupFile, before->strBackupFile);
    }

    void addThroughALink_data()
    {
        QTest::addColumn<QString>("link"); // below the program folder, to "elsewhere"
        QTest::newRow("backup folder is a link") << "m";
        QTest::newRow("backup copy is a link") << "m/config.cfg";
    }
    // A link planted in the store is never written through, even when the
    // user agrees to replace what it shows.
    void addThroughALink()
    {
        QFETCH(QString, link);
        put(m_game + "/config.cfg", "live");
        makeFolder(m_program + "/m");
        makeFolder(m_root->filePath("elsewhere"));
        put(m_root->filePath("elsewhere/config.cfg"), "not the store's");
        const QString target = link == "m" ? m_root->filePath("elsewhere") : m_root->filePath("elsewhere/config.cfg");
        QDir(m_program + "/" + link).removeRecursively();
        QVERIFY(QFile::link(target, m_program + "/" + link));
        const AddOutcome added = AddMod(*m_vars, m_program, "m", m_game, m_prompts);
        QVERIFY2(added.message.contains("symbolic link"), qPrintable(added.message));
        QCOMPARE(readAll(m_root->filePath("elsewhere/config.cfg")), "not the store's");
    }

    // A copy that fails is reported and not recorded; the others are.
    void failedCopyIsNotRecorded()
    {
        put(m_game + "/config.cfg", "c");
        put(m_game + "/motd.txt", "m");
        makeFolder(backupCopy(m_program, "m", "motd.txt")); // a folder where the copy goes
        const AddOutcome added = AddMod(*m_vars, m_program, "m", m_game, m_prompts);
        QVERIFY(added.added);
        QVERIFY(added.message.contains("motd.txt"));
        QCOMPARE(added.backupSlots.size(), 1);
        QCOMPARE(m_vars->strBackupFile[added.backupSlots[0]], QString("config.cfg"));
    }

    void unwritableProgramFolder()
    {
        if (const OrdinaryUser user = OrdinaryUser::find(); !user.available)
            QSKIP(qPrintable(user.why));
        put(m_game + "/config.cfg", "c");
        QVERIFY(QFile::setPermissions(m_program, ReadOnly));
        const QString out = runHelper({"add", m_program, "m", m_game});
        QVERIFY2(out.contains("cannot be made"), qPrintable(out));
        QCOMPARE(QDir(m_program).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    void restore_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("swapped");
        QTest::newRow("both present, unprivileged") << "unprivileged" << true;
        QTest::newRow("mod file in other case") << "upper case" << true;
        QTest::newRow("missing mod folder") << "no mod folder" << false;
        QTest::newRow("missing backup copy") << "no backup" << false;
        QTest::newRow("missing mod file: backup put in, kept") << "no mod file" << true;
        QTest::newRow("file where scratch goes") << "scratch file" << false;
        QTest::newRow("mod folder vanishes") << "vanish" << false;
        // The last step fails after the mod's file was replaced.
        QTest::newRow("backup folder lost: mod file put back") << "lost backup" << false;
        QTest::newRow("both folders lost: mod file kept in scratch") << "lost both" << false;
        QTest::newRow("read-only mod folder") << "read-only mod" << false;
        QTest::newRow("read-only backup folder") << "read-only backup" << false;
        QTest::newRow("in a subfolder") << "subfolder" << true;
        QTest::newRow("in a subfolder the player removed") << "subfolder removed" << true;
    }

    // Either the two files swap, or every file keeps its bytes and the user
    // is told; the mod's earlier file is never lost, and when it cannot be
    // put back the user learns where it is kept.
    void restore()
    {
        QFETCH(QString, fault);
        QFETCH(bool, swapped);
        const bool asUser = fault == "unprivileged" || fault.startsWith("read-only");
        if (const OrdinaryUser user = OrdinaryUser::find(); asUser && !user.available)
            QSKIP(qPrintable(user.why));
        const QString stored = fault.startsWith("subfolder") ? "cfg/buy.cfg" : "config.cfg";
        const QString file = fault == "upper case" ? "CONFIG.CFG" : stored;
        const QString backupFolderPath = backupFolder(m_program, "m");
        makeFolder(backupFolderPath + "/cfg");
        makeFolder(m_game + "/cfg");
        put(m_game + "/" + file, "in the game\r\n");
        put(backupFolderPath + "/" + stored, "backed up\r\n");
        put(m_game + "/motd.txt", "bystander");
        static const QMap<QString, QString> missing = {{"no mod folder", "game"}, {"no mod file", "game/config.cfg"},
                                                       {"no backup", "prog/m/config.cfg"}, {"subfolder removed", "game/cfg"}};
        if (const QString gone = m_root->filePath(missing.value(fault)); missing.contains(fault))
            QVERIFY(QFileInfo(gone).isDir() ? QDir(gone).removeRecursively() : QFile::remove(gone));
        if (fault == "scratch file")
            put(scratchFolder(m_program), "not a folder");
        const auto before = tree(m_root->path());
        const QString gameFile = "game/" + file;
        const QString backupFile = "prog/m/" + stored;

        QString result;
        if (asUser) {
            QVERIFY(QFile::setPermissions(fault == "read-only mod" ? m_game : backupFolderPath,
                                          fault.startsWith("read-only") ? ReadOnly : Open));
            result = runHelper({"restore", m_program, "m", m_game, stored});
        } else {
            const auto vars = std::make_unique<mdlVars>(oneMod("m", m_game, stored));
            const Restore::StepHook takeFolders = [&](Restore::Step step) {
                if (fault == "vanish" && step == Restore::Step::ScratchSaved)
                    QDir(m_game).removeRecursively();
                if (fault.startsWith("lost") && step == Restore::Step::ModFileReplaced) {
                    for (const QString &folder : fault == "lost both" ? QStringList{backupFolderPath, m_game}
                                                                      : QStringList{backupFolderPath}) {
                        QDir(folder).removeRecursively();
                        put(folder, "a file");
                    }
                }
            };
            const Status s = Restore::RestoreBackup(*vars, m_program, 0, stored, takeFolders);
            result = s ? "restored" : s.error();
        }

        auto after = tree(m_root->path());
        const QString scratch = "prog/temp/" + stored;
        QCOMPARE(result == "restored", swapped);
        QVERIFY2(swapped || result.contains("config.cfg"), qPrintable(result));
        if (fault == "vanish" || fault.startsWith("lost")) {
            // Whatever took the folders, the mod's file survives in the scratch folder.
            QCOMPARE(after.take(scratch), before[gameFile]);
            if (fault == "lost backup")
                QCOMPARE(after.value(gameFile), before[gameFile]);
            else
                QVERIFY2(result.contains(QDir::toNativeSeparators(scratchCopy(m_program, stored))), qPrintable(result));
            if (fault == "vanish")
                QCOMPARE(after.value(backupFile), before[backupFile]);
            return;
        }
        auto expected = before;
        if (swapped) {
            expected[gameFile] = before[backupFile];
            expected[backupFile] = before.value(gameFile, before[backupFile]);
            expected[QFileInfo(gameFile).path()] = "folder"; // made again when the player removed it
        }
        if (after.contains(scratch) && fault != "scratch file")
            QCOMPARE(after.take(scratch), before[gameFile]);
        // The scratch folder may stay, emptied.
        after.remove("prog/temp/cfg");
        if (fault != "scratch file")
            after.remove("prog/temp");
        QCOMPARE(after, expected);
    }

    void crashedRestore_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<bool>("atStart"); // else the next restore finds it
        QTest::addColumn<QString>("file");
        for (const auto &[name, step] : {std::pair{"journal written", Restore::Step::JournalWritten},
                                         {"scratch saved", Restore::Step::ScratchSaved},
                                         {"mod file replaced", Restore::Step::ModFileReplaced},
                                         {"backup replaced", Restore::Step::BackupReplaced}}) {
            QTest::addRow("%s, next start", name) << int(step) << true << "config.cfg";
            QTest::addRow("%s, next restore", name) << int(step) << false << "config.cfg";
        }
        const int replaced = int(Restore::Step::ModFileReplaced);
        QTest::newRow("mod file replaced, in a subfolder, next start") << replaced << true << "cfg/buy.cfg";
        // A known file's name, in a subfolder: not the known file itself.
        QTest::newRow("mod file replaced, known name in a subfolder") << replaced << true << "cfg/autoexec.cfg";
    }

    // Killed after any step, the restore leaves both files whole once the
    // next start or restore has looked, and the next restore still swaps.
    void crashedRestore()
    {
        QFETCH(int, step);
        QFETCH(bool, atStart);
        QFETCH(QString, file);
        makeFolder(m_game + "/cfg");
        const auto vars = storedMod(file);
        makeFolder(backupFolder(m_program, "m") + "/cfg");
        put(m_game + "/" + file, "mine");
        put(backupCopy(m_program, "m", file), "backed up");
        QCOMPARE(runHelper({"restore", m_program, "m", m_game, file, QString::number(step)}), QString());
        const auto files = [&] {
            return QByteArrayList{readAll(m_game + "/" + file), readAll(backupCopy(m_program, "m", file))};
        };
        const QList<QByteArrayList> whole = {{"mine", "backed up"}, {"backed up", "mine"}};
        if (atStart) {
            QVERIFY(Restore::RecoverInterrupted(m_program, *vars));
            QVERIFY2(whole.contains(files()), qPrintable(files().join(" | ")));
        }
        const QByteArrayList before = atStart ? files() : QByteArrayList();
        QVERIFY(Restore::RestoreBackup(*vars, m_program, 0, file));
        QVERIFY2(whole.contains(files()), qPrintable(files().join(" | ")));
        if (atStart)
            QCOMPARE(files(), (QByteArrayList{before[1], before[0]}));
        QVERIFY(!QFileInfo::exists(m_program + "/restore.journal"));
        QVERIFY(!QFileInfo::exists(m_program + "/data.dat.lock"));
    }

    // Restore Backup shows the difference, asks, and tells what it did; a
    // version the same as the file says so and swaps nothing.
    void restoreAsksAndTells()
    {
        put(m_game + "/config.cfg", "mine\nsame");
        const auto vars = storedMod();
        put(backupCopy(m_program, "m", "config.cfg"), "backed up\nsame");
        StoreCommands::restore(*vars, m_program, -1, "config.cfg", 0, m_prompts);
        StoreCommands::restore(*vars, m_program, 0, QString(), 0, m_prompts);
        QVERIFY(!StoreCommands::backup(*vars, m_program, -1, m_prompts));
        QCOMPARE(m_prompts.told.size(), 3);
        QVERIFY(m_prompts.told[0].contains("Select a mod") && m_prompts.told[1].contains("Files list")
                && m_prompts.told[2].contains("Select the mod"));
        const QString date = StoreCommands::copyDate(m_program, "m", "config.cfg");
        QVERIFY(!date.isEmpty());
        m_prompts.answers = {false, true};
        QVERIFY(StoreCommands::restore(*vars, m_program, 0, "config.cfg", 0, m_prompts).modFile.isEmpty());
        QCOMPARE(readAll(m_game + "/config.cfg"), "mine\nsame");
        const StoreCommands::Restored restored = StoreCommands::restore(*vars, m_program, 0, "config.cfg", 0, m_prompts);
        QCOMPARE(restored.modFile, m_game + "/config.cfg");
        QCOMPARE(Versions::shownDate(restored.when), date);
        QCOMPARE(readAll(m_game + "/config.cfg"), "backed up\nsame");
        const QString question = QString("Swap config.cfg in %1 with the backup of %2?")
                                     .arg(QDir::toNativeSeparators(m_game), date);
        QCOMPARE(m_prompts.questions, QStringList({question, question}));
        QCOMPARE(m_prompts.differences.value(0), QStringList({"mine\nsame", "backed up\nsame"}));
        QCOMPARE(m_prompts.told.size(), 4);
        QVERIFY(m_prompts.told[3].contains("undo"));

        put(backupCopy(m_program, "m", "config.cfg"), "backed up\nsame");
        QVERIFY(StoreCommands::restore(*vars, m_program, 0, "config.cfg", 0, m_prompts).modFile.isEmpty());
        QCOMPARE(m_prompts.questions.size(), 2);
        QVERIFY(m_prompts.told.last().contains("is the same as"));
    }

    // Each backup adds a dated version and keeps the newest ten; killed
    // after writing the new copy and before removing the oldest, no version
    // is lost and the next backup removes the one too many.
    void versionsRotate_data()
    {
        QTest::addColumn<int>("backups");
        QTest::addColumn<bool>("killed"); // the last backup ends after its copy is written
        QTest::newRow("three backups, three versions") << 3 << false;
        QTest::newRow("twelve backups, newest ten") << 12 << false;
        QTest::newRow("killed before the oldest goes") << 11 << true;
    }
    void versionsRotate()
    {
        QFETCH(int, backups);
        QFETCH(bool, killed);
        auto vars = storedMod();
        QList<QByteArray> written;
        for (int i = 1; i <= backups; ++i) {
            const QByteArray bytes = "bind w +forward // " + QByteArray::number(i);
            put(m_game + "/config.cfg", bytes);
            written.prepend(bytes);
            if (killed && i == backups) {
                // The folders the backups made, open to the unprivileged helper.
                QDirIterator dirs(m_program, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
                while (dirs.hasNext())
                    QVERIFY(QFile::setPermissions(dirs.next(), Open));
                QCOMPARE(runHelper({"backup-until-copied", m_program, "m", m_game, "config.cfg"}), QString());
                break;
            }
            StoreCommands::backup(*vars, m_program, 0, m_prompts);
        }
        QCOMPARE(m_prompts.errors, QStringList());
        if (killed) {
            QCOMPARE(versionTexts("config.cfg"), written.mid(0, 11));
            put(m_game + "/config.cfg", "after");
            written.prepend("after");
            StoreCommands::backup(*vars, m_program, 0, m_prompts);
        }
        QCOMPARE(versionTexts("config.cfg"), written.mid(0, Versions::Kept));
        StoreCommands::backup(*vars, m_program, 0, m_prompts); // nothing changed: no new version
        QCOMPARE(versionTexts("config.cfg"), written.mid(0, Versions::Kept));
        QVERIFY(m_prompts.told.last().startsWith("Nothing changed since the last backup"));
        if (backups != 3)
            return;
        // An older version restored, then undone by restoring the version the
        // restore made; every version stays.
        put(m_game + "/config.cfg", "edited");
        StoreCommands::restore(*vars, m_program, 0, "config.cfg", 2, m_prompts);
        QCOMPARE(readAll(m_game + "/config.cfg"), written[2]);
        QCOMPARE(versionTexts("config.cfg"), QList<QByteArray>{"edited"} + written);
        StoreCommands::restore(*vars, m_program, 0, "config.cfg", 0, m_prompts);
        QCOMPARE(readAll(m_game + "/config.cfg"), "edited");
        QCOMPARE(readAll(backupCopy(m_program, "m", "config.cfg")), written[2]);
        QCOMPARE(m_prompts.errors, QStringList());
        QVERIFY(!QFileInfo::exists(m_program + "/restore.journal"));
    }

    // A link where the older versions go would carry them out of the store:
    // the backup is not made and says so; the backup copy keeps its text.
    void backupBlockedByVersions()
    {
        auto vars = storedMod();
        put(backupCopy(m_program, "m", "config.cfg"), "old");
        put(m_game + "/config.cfg", "new");
        makeFolder(m_root->filePath("elsewhere"));
        QVERIFY(QFile::link(m_root->filePath("elsewhere"), backupFolder(m_program, "m") + "/versions"));
        StoreCommands::backup(*vars, m_program, 0, m_prompts);
        QCOMPARE(m_prompts.errors.size(), 1);
        QVERIFY2(!m_prompts.errors[0].contains("Backed up") && m_prompts.errors[0].contains("Not backed up"),
                 qPrintable(m_prompts.errors[0]));
        QVERIFY(m_prompts.told.isEmpty());
        QCOMPARE(readAll(backupCopy(m_program, "m", "config.cfg")), QByteArray("old"));
        QVERIFY(QDir(m_root->filePath("elsewhere")).isEmpty());
    }

    // Property: on the days the clocks change (the whole test runs in
    // Berlin's time zone), a version pushed aside is listed again at the time
    // it had, the hour the clocks skip or repeat included.
    void versionNamesReadBack()
    {
        QRandomGenerator random(29);
        QList<QDateTime> times{QDateTime(QDate(2026, 3, 29), QTime(2, 30), Qt::UTC)};
        for (const QTimeZone::OffsetData &change : QTimeZone::systemTimeZone().transitions(
                 QDateTime(QDate(2024, 1, 1), QTime(), Qt::UTC), QDateTime(QDate(2028, 1, 1), QTime(), Qt::UTC))) {
            for (int i = 0; i < 30; ++i)
                times << QDateTime(change.atUtc.date(), QTime::fromMSecsSinceStartOfDay(random.bounded(86'400'000)), Qt::UTC);
        }
        QVERIFY(times.size() > 200);
        makeFolder(backupFolder(m_program, "m"));
        const QString copy = backupCopy(m_program, "m", "config.cfg");
        QList<qint64> expected, listed;
        for (const QDateTime &when : std::as_const(times)) {
            put(copy, "version");
            QFile file(copy);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(when, QFileDevice::FileModificationTime));
            file.close();
            QVERIFY(Versions::pushAside(m_program, "m", "config.cfg"));
            expected << when.toMSecsSinceEpoch();
        }
        for (const Versions::Version &v : Versions::of(m_program, "m", "config.cfg"))
            listed << v.when.toMSecsSinceEpoch();
        std::sort(expected.begin(), expected.end());
        std::sort(listed.begin(), listed.end());
        QCOMPARE(listed, expected);
    }

    void removeMod_data()
    {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<bool>("sharedName");
        QTest::addColumn<bool>("removed");
        QTest::addColumn<bool>("copiesDeleted");
        QTest::newRow("not removed") << QList<bool>{false} << false << false << false;
        QTest::newRow("removed, folder kept") << QList<bool>{true, false} << false << true << false;
        QTest::newRow("removed with its copies") << QList<bool>{true, true} << false << true << true;
        QTest::newRow("name shared: no folder question") << QList<bool>{true, true} << true << true << false;
    }

    // Del removes the registration after asking and deletes only the
    // copies Tessary made, and only when asked separately.
    void removeMod()
    {
        QFETCH(QList<bool>, answers);
        QFETCH(bool, sharedName);
        QFETCH(bool, removed);
        QFETCH(bool, copiesDeleted);
        put(m_game + "/config.cfg", "c");
        QVERIFY(AddMod(*m_vars, m_program, "m", m_game, m_prompts).added);
        if (sharedName) {
            makeFolder(m_root->filePath("other"));
            put(m_root->filePath("other/config.cfg"), "c");
            QVERIFY(AddMod(*m_vars, m_program, "m", m_root->filePath("other"), m_prompts).added);
        }
        put(m_game + "/config.cfg", "changed");
        StoreCommands::backup(*m_vars, m_program, 0, m_prompts); // an older version too
        QCOMPARE(Versions::of(m_program, "m", "config.cfg").size(), 2);
        put(backupFolder(m_program, "m") + "/notes.txt", "the user's");
        m_prompts.answers = answers;
        int saves = 0;
        const bool done = StoreCommands::remove(*m_vars, m_program, 0, m_prompts, [&] {
            ++saves;
            return Status::success();
        });
        QCOMPARE(done, removed);
        QCOMPARE(saves, removed ? 1 : 0);
        QCOMPARE(m_prompts.questions.size(), answers.size() - (sharedName ? 1 : 0));
        QCOMPARE(listedMods(*m_vars).size(), (sharedName ? 2 : 1) - (removed ? 1 : 0));
        QCOMPARE(backupsOf(*m_vars, listedMods(*m_vars).value(0, -1)).size(), sharedName ? 2 : removed ? 0 : 1);
        QCOMPARE(QFileInfo::exists(backupCopy(m_program, "m", "config.cfg")), !copiesDeleted);
        QCOMPARE(QFileInfo::exists(backupFolder(m_program, "m") + "/versions"), !copiesDeleted);
        QCOMPARE(readAll(backupFolder(m_program, "m") + "/notes.txt"), "the user's");
    }
};

int main(int argc, char *argv[])
{
    // A zone with daylight saving, whatever the machine's: versionNamesReadBack.
    qputenv("TZ", "Europe/Berlin");
    QCoreApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--helper") == 0)
        return helperMain(app.arguments().mid(2));
    tst_ModStore test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ModStore.moc"
