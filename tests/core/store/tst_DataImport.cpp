// Mods kept by an earlier copy in its program folder come over into the data
// folder with their backups, subfolders kept, and nothing from elsewhere.
#include "store/DataImport.h"

#include "settings/Settings.h"
#include "settings/mdlVars.h"

#include "FileHelpers.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class tst_DataImport : public QObject
{
    Q_OBJECT

private slots:
    void backupCopies_data()
    {
        QTest::addColumn<QString>("entry"); // in the program folder's backup folder of the mod
        QTest::addColumn<QString>("link");  // a subfolder of it linked to a folder outside, or empty
        QTest::addColumn<bool>("copied");
        QTest::newRow("directly in the folder") << "config.cfg" << "" << true;
        QTest::newRow("in a subfolder") << "cfg/buy.cfg" << "" << true;
        QTest::newRow("an older version") << "versions/config.cfg/20260101-000000-000" << "" << false;
        QTest::newRow("through a link out") << "out/x.cfg" << "out" << false;
    }
    void backupCopies()
    {
        QFETCH(QString, entry);
        QFETCH(QString, link);
        QFETCH(bool, copied);
        QTemporaryDir root;
        const QString program = root.filePath("prog");
        const QString data = root.filePath("data");
        QVERIFY(QDir().mkpath(data));
        auto vars = std::make_unique<mdlVars>();
        vars->strModName[0] = "m";
        vars->strModDir[0] = root.filePath("game");
        QVERIFY(QDir().mkpath(program + "/m"));
        QVERIFY(SaveSettings(*vars, program));
        const QString source = link.isEmpty() ? program + "/m/" + entry : root.filePath("outside/" + entry.section('/', 1));
        QVERIFY(QDir().mkpath(QFileInfo(source).path()));
        writeAll(source, "bytes of " + entry.toLatin1());
        if (!link.isEmpty())
            QVERIFY(QFile::link(root.filePath("outside"), program + "/m/" + link));

        QVERIFY(DataImport::copyInto(program, data));

        QCOMPARE(readAll(data + "/m/" + entry), copied ? "bytes of " + entry.toLatin1() : QByteArray());
    }
};

QTEST_GUILESS_MAIN(tst_DataImport)
#include "tst_DataImport.moc"
