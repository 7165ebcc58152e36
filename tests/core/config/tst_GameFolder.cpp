#include "config/GameFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void touch(const QString &path, const QByteArray &bytes = "echo\n")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class tst_GameFolder : public QObject
{
    Q_OBJECT

private slots:
    void exec_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("cfg") << "binds.cfg" << "";
        QTest::newRow("rc, any case") << "game.RC" << "";
        QTest::newRow("a subfolder") << "cfg/binds.cfg" << "";
        QTest::newRow("parent folder") << "../binds.cfg" << "refuses";
        QTest::newRow("backslash") << "cfg\\binds.cfg" << "refuses";
        QTest::newRow("drive") << "c:binds.cfg" << "refuses";
        QTest::newRow("home") << "~binds.cfg" << "refuses";
        QTest::newRow("absolute") << "/binds.cfg" << "refuses";
        QTest::newRow("text file") << "binds.txt" << "only .cfg";
        QTest::newRow("no extension") << "binds" << "only .cfg";
        QTest::newRow("two dots") << "my.binds.cfg" << "only .cfg";
        QTest::newRow("dot in a folder name") << "cfg.d/binds.cfg" << "";
    }
    void exec()
    {
        QFETCH(QString, name);
        QFETCH(QString, refusal);
        const QString got = ExecRules::refusal(name);
        QVERIFY2(refusal.isEmpty() ? got.isEmpty() : got.contains(refusal), qPrintable(got));
    }

    // Looked up in the game folder, then liblist.gam's fallback_dir, the
    // install's folder and the base game; a name in another letter case
    // still finds its file.
    void find()
    {
        QTemporaryDir root;
        const QString mod = root.filePath("mymod");
        touch(mod + "/liblist.gam", "game \"My mod\"\nfallback_dir \"cstrike\"\n");
        touch(mod + "/Binds.cfg");
        touch(root.filePath("cstrike/buy.cfg"));
        touch(root.filePath("valve/valve.rc"));
        touch(root.filePath("valve/buy.cfg"));
        const std::optional<GameFolder> game = GameFolder::forFile(mod + "/autoexec.cfg");
        QVERIFY(game);
        QCOMPARE(game->find("binds.cfg"), mod + "/Binds.cfg");
        QCOMPARE(game->find("buy.cfg"), root.filePath("cstrike/buy.cfg"));
        QCOMPARE(game->find("valve.rc"), root.filePath("valve/valve.rc"));
        QCOMPARE(game->find("none.cfg"), QString());
        touch(root.filePath("reunion.cfg")); // beside hlds, and searched before the base game
        touch(root.filePath("valve/reunion.cfg"));
        QCOMPARE(game->find("reunion.cfg"), root.filePath("reunion.cfg"));
        QVERIFY(!GameFolder::at(root.path()).fallbacks().contains(QDir::cleanPath(QDir::tempPath()))); // no install
        QCOMPARE(game->find("../valve/buy.cfg"), QString());
        QVERIFY(!GameFolder::forFile(root.filePath("loose/notes.cfg")));
        // A server's folder that holds only its start file.
        touch(root.filePath("server/cstrike/server.cfg"));
        QVERIFY(GameFolder::forFile(root.filePath("server/cstrike/server.cfg")));
    }

    // A file in a subfolder belongs to the game folder above it.
    void forFile_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("game");
        QTest::newRow("in the game folder") << QStringList{"cstrike/liblist.gam"} << "cstrike/config.cfg" << "cstrike";
        QTest::newRow("in a subfolder") << QStringList{"cstrike/liblist.gam"} << "cstrike/cfg/buy.cfg" << "cstrike";
        QTest::newRow("two folders down") << QStringList{"cstrike/valve.rc"} << "cstrike/cfg/team/buy.cfg" << "cstrike";
        QTest::newRow("below a folder of configs") << QStringList{"cstrike/autoexec.cfg"} << "cstrike/cfg/buy.cfg"
                                                   << "cstrike";
        QTest::newRow("a subfolder with a config.cfg of its own")
            << QStringList{"cstrike/liblist.gam", "cstrike/cfg/config.cfg"} << "cstrike/cfg/config.cfg" << "cstrike";
        QTest::newRow("configs only, nearest") << QStringList{"cstrike/autoexec.cfg", "cstrike/cfg/userconfig.cfg"}
                                               << "cstrike/cfg/x.cfg" << "cstrike/cfg";
        QTest::newRow("stands alone") << QStringList{"loose/notes.txt"} << "loose/notes.cfg" << "";
        QTest::newRow("too deep") << QStringList{"cstrike/liblist.gam"} << "cstrike/a/b/c/d/e/x.cfg" << "";
    }
    void forFile()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, opened);
        QFETCH(QString, game);
        QTemporaryDir root;
        for (const QString &file : files + QStringList{opened})
            touch(root.filePath(file));
        const std::optional<GameFolder> found = GameFolder::forFile(root.filePath(opened));
        QCOMPARE(found ? found->folder() : QString(), game.isEmpty() ? QString() : root.filePath(game));
    }

    void onlyRegularFilesUnderTheCap()
    {
        QTemporaryDir dir;
        touch(dir.filePath("big.cfg"), QByteArray(MaxConfigBytes + 1, 'x'));
        QVERIFY(!readConfig(dir.filePath("big.cfg")));
        QVERIFY(!readConfig(dir.path()));
        touch(dir.filePath("small.cfg"), "name \"\xe9\"\n");
        QCOMPARE(readConfig(dir.filePath("small.cfg")).value(), QString::fromUtf8("name \"é\"\n"));
    }
};

QTEST_GUILESS_MAIN(tst_GameFolder)
#include "tst_GameFolder.moc"
