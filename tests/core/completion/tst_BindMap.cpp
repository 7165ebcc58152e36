#include "core/config/FakeCommands.h"

#include "completion/BindMap.h"
#include "config/ConfigAnalysis.h"

#include "FileHelpers.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QString fileText(const QString &path)
{
    return QString::fromLatin1(readAll(path));
}

// valve.rc runs autoexec.cfg, which runs binds.cfg in its middle; the game
// runs config.cfg after valve.rc.
const QStringList Fixture = {
    "valve.rc", "exec autoexec.cfg\n",
    "autoexec.cfg", "bind z +duck\nalias +jd \"+jump; +duck\"\nalias -jd \"-jump; -duck\"\nbind SPACE +jd\n"
                    "exec binds.cfg\nbind q \"say_team hi; wait\"\nbind k kill\nexec x.cfg; bind m slot1\n",
    "binds.cfg", "bind q lastinv\nbind MWHEELUP invprev\nbind F1 buymenu\n",
    "x.cfg", "bind m kill\n",
    "config.cfg", "unbind z\nbind space +jump\nbind w +forward\nbind mouse1 +attack\nunbind k\n",
};

} // namespace

class tst_BindMap : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    FakeCommands m_known;
    std::unique_ptr<ConfigAnalyzer> m_analyzer;

    BindMap map(BindMapBuilder &builder, const QString &document = {}, const QString &text = {})
    {
        if (!document.isEmpty())
            m_analyzer->setDocument(m_dir.filePath(document), text);
        const ConfigModel model = m_analyzer->analyze();
        return builder.build(model, [&](const QString &path) {
            return !document.isEmpty() && path == configPath(m_dir.filePath(document)) ? text : fileText(path);
        });
    }

private slots:
    void initTestCase()
    {
        for (qsizetype i = 0; i + 1 < Fixture.size(); i += 2)
            writeAll(m_dir.filePath(Fixture[i]), Fixture[i + 1].toLatin1());
        m_analyzer = std::make_unique<ConfigAnalyzer>(GameFolder::at(m_dir.path()), m_known);
    }

    void keys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("history");
        QTest::addColumn<BindMap::Kind>("kind");
        QTest::addColumn<QString>("label");
        using K = BindMap::Kind;
        QTest::newRow("bound twice: the later file wins")
            << "SPACE" << "autoexec.cfg:4 +jd|config.cfg:2 +jump*" << K::Movement << "jump";
        QTest::newRow("an exec'd file runs where its exec stands")
            << "q" << "binds.cfg:1 lastinv|autoexec.cfg:6 say_team hi; wait*" << K::Communication << "say_team";
        QTest::newRow("weapons") << "MOUSE1" << "config.cfg:4 +attack*" << K::Weapons << "attack";
        QTest::newRow("unbind frees") << "k" << "autoexec.cfg:7 kill|config.cfg:5 -" << K::Other << "";
        // rehlds cmd.cpp Cmd_Exec_f inserts the file in front of the rest of the
        // buffer, which still holds the line's own later commands.
        QTest::newRow("exec and bind on one line") << "m" << "x.cfg:1 kill|autoexec.cfg:8 slot1*" << K::Weapons << "slot1";
        QTest::newRow("unbind of a movement key") << "z" << "autoexec.cfg:1 +duck|config.cfg:1 -" << K::Other << "";
    }

    void keys()
    {
        QFETCH(QString, key);
        QFETCH(QString, history);
        QFETCH(BindMap::Kind, kind);
        QFETCH(QString, label);
        BindMapBuilder builder(m_known);
        const BindMap bindMap = map(builder);
        const BindMap::Key *k = bindMap.key(key);
        QVERIFY(k);
        QStringList seen;
        for (int i = 0; i < k->binds.size(); ++i) {
            const BindMap::Bind &b = k->binds[i];
            seen.append(QStringLiteral("%1:%2 %3%4").arg(b.file).arg(b.line + 1)
                            .arg(b.unbind ? QStringLiteral("-") : b.runs,
                                 i == k->winner ? QStringLiteral("*") : QString()));
        }
        QCOMPARE(seen.join(u'|'), history);
        QCOMPARE(k->conflict(), history.count(u'|') >= 1 && !history.endsWith(u'-'));
        if (!k->isFree()) {
            QCOMPARE(k->kind, kind);
            QCOMPARE(k->label, label);
        }
        QCOMPARE(BindMap::history(*k).count(u"wins"), k->isFree() ? 0 : 1);
    }

    // An edit of an open document shows at once, and the map equals one
    // built from nothing.
    void followsAnEdit()
    {
        BindMapBuilder builder(m_known);
        map(builder);
        const QString edited = fileText(m_dir.filePath("binds.cfg")) + "bind F2 \"say gg\"\n";
        const BindMap after = map(builder, "binds.cfg", edited);
        QVERIFY(after.key(u"F2"));
        QCOMPARE(after.key(u"F2")->kind, BindMap::Kind::Communication);
        BindMapBuilder fresh(m_known);
        QCOMPARE(after, map(fresh, "binds.cfg", edited));
        m_analyzer->closeDocument(m_dir.filePath("binds.cfg"));
    }

    void standingAlone()
    {
        BindMapBuilder builder(m_known);
        const BindMap m = builder.build("/nowhere/my.cfg", "bind x 1\nunbindall\nalias go \"+jump\"\nbind g go\n"
                                                           "bind h go\nbind g +use\nbind y \"say gg\"\n"
                                                           "bind j +jump\nbind J \"+jump\"\n");
        QVERIFY(m.key(u"g")->conflict());
        QVERIFY(!m.key(u"j")->conflict());
        QCOMPARE(m.key(u"g")->binds[m.key(u"g")->winner].runs, "+use");
        QCOMPARE(m.key(u"h")->kind, BindMap::Kind::Scripts);
        QVERIFY(m.key(u"x")->isFree());
        QCOMPARE(BindMap::history(*m.key(u"x")), "bind x \"1\" (my.cfg, line 1)\nunbindall (my.cfg, line 2)\n"
                                                 "The key ends free.");
        QCOMPARE(m.key(u"y")->kind, BindMap::Kind::Communication);
    }
};

QTEST_GUILESS_MAIN(tst_BindMap)
#include "tst_BindMap.moc"
