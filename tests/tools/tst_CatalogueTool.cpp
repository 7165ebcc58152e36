// Runs tessary-catalogue as a user does, on config files in a temporary
// game folder.
#include "catalogue/CatalogueSource.h"

#include "FileHelpers.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class tst_CatalogueTool : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    QString run(const QStringList &args)
    {
        QProcess tool;
        tool.start(QStringLiteral(TESSARY_CATALOGUE_TOOL), args);
        if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
            return QStringLiteral("failed: ") + QString::fromUtf8(tool.readAllStandardError());
        return QString::fromUtf8(tool.readAllStandardOutput());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QList<CatalogueEntry> entries;
        for (const char *name : {"gamma", "bind", "alias"})
            entries.append({QString::fromLatin1(name), "engine", {}, "command", {}, {}});
        QVERIFY(CatalogueSource::compile(entries, path("commands.dat")).ok());
        writeAll(path("scope.txt"), "# nothing third-party\n");
        QVERIFY(QDir(m_dir.path()).mkpath("game/cfg") && QDir(m_dir.path()).mkpath("other"));
        writeAll(path("game/cfg/aliases.cfg"), "alias myjump \"gamma 2\"\n");
        writeAll(path("game/userconfig.cfg"), "bind x myjump\nMYJUMP\ngamma 3\nunknown_thing 1\n");
        writeAll(path("other/aliases.cfg"), "alias myjump \"gamma 2\"\n");
        const char *settings = "## forcepmodels th_dave;th_jack\nforcepmodels th_dave;th_jack\ngamma\t2\n";
        QVERIFY(QDir(m_dir.path()).mkpath("svencoop/maps"));
        writeAll(path("svencoop/maps/m.cfg"), settings);
        writeAll(path("other/m.cfg"), settings);
    }

    // An alias defined in any file of the game folder is the folder's own in
    // all of them, in any letter case; one of another folder is not.
    void countsTheFoldersOwnAliases_data()
    {
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QString>("own");
        QTest::addColumn<QString>("without");
        QTest::newRow("the folder") << QStringList{"game"} << "2 uses of the folders' own aliases" << "unknown_thing";
        QTest::newRow("its files, one in a subfolder")
            << QStringList{"game/userconfig.cfg", "game/cfg/aliases.cfg"} << "2 uses of the folders' own aliases"
            << "unknown_thing";
        QTest::newRow("one file alone") << QStringList{"game/userconfig.cfg"} << "0 uses of the folders' own aliases"
                                        << "MYJUMP myjump unknown_thing";
        QTest::newRow("alias in another folder")
            << QStringList{"game/userconfig.cfg", "other/aliases.cfg"} << "0 uses of the folders' own aliases"
            << "MYJUMP myjump unknown_thing";
        // Sven Co-op reads its map settings a line a setting, "##" a comment.
        QTest::newRow("map settings") << QStringList{"svencoop/maps/m.cfg"} << "0 uses" << "forcepmodels";
        QTest::newRow("the same lines run") << QStringList{"other/m.cfg"} << "0 uses" << "## forcepmodels th_jack";
    }
    void countsTheFoldersOwnAliases()
    {
        QFETCH(QStringList, given);
        QFETCH(QString, own);
        QFETCH(QString, without);
        QStringList args = {"coverage", "--catalogue", path("commands.dat"), "--scope", path("scope.txt")};
        for (const QString &name : given)
            args.append(path(name));
        const QString out = run(args);
        QVERIFY2(out.contains(own), qPrintable(out));
        const QString tail = out.section(QStringLiteral("without an entry (uses):\n"), 1);
        QStringList names;
        for (const QString &line : tail.split(u'\n', Qt::SkipEmptyParts))
            if (line.contains(u'\t')) // not a section's heading
                names.append(line.section(u'\t', 1, 1));
        names.sort();
        QCOMPARE(names.join(u' '), without);
    }
};

QTEST_GUILESS_MAIN(tst_CatalogueTool)
#include "tst_CatalogueTool.moc"
