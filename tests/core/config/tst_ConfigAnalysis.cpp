#include "FakeCommands.h"

#include "catalogue/Catalogue.h"
#include "config/ConfigAnalysis.h"
#include "config/KnownCommands.h"
#include "config/ProblemGroups.h"
#include "console/ConsoleRun.h"
#include "settings/AcceptedNames.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>

namespace {

// Writes "name", "text" pairs into a fresh game folder.
void writeFiles(const QTemporaryDir &dir, const QStringList &files)
{
    for (qsizetype i = 0; i + 1 < files.size(); i += 2) {
        const QString path = dir.filePath(files[i]);
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (files[i + 1].startsWith("->")) { // a link to what follows
            QVERIFY(QFile::link(files[i + 1].mid(2), path));
            continue;
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(files[i + 1].toLatin1());
    }
}

QString problemsText(const ConfigModel &model)
{
    QStringList out;
    for (const ConfigProblem &p : model.problems)
        out.append(QStringLiteral("%1:%2: %3 %4: %5")
                       .arg(QFileInfo(p.path).fileName())
                       .arg(p.line + 1)
                       .arg(ProblemRules::weightWord(p.weight()), p.code(), p.message));
    return out.join(u'\n');
}

// The player's folder of the fixture: a real valve.rc, files that exec
// others, an exec cycle, a missing file and a byte-order mark.
const QStringList GameFixture = {
    "valve.rc", "exec autoexec.cfg\n",
    "autoexec.cfg", "sensitivity 2.5\r\nbind space +jd\r\nexec rates.cfg\r\nrate 5000\r\nexec loop1.cfg\r\n"
                    "exec binds.cfg\r\nexec missing.cfg\r\nfov 90\r\n",
    "rates.cfg", "rate 20000\ncl_updaterate 101\n",
    "loop1.cfg", "exec loop2.cfg\n",
    "loop2.cfg", "exec loop1.cfg\n",
    "binds.cfg", "\u00EF\u00BB\u00BFbind q +attack\nbind e +attack2\n",
    "config.cfg", "unbindall\nbind space +jump\nsensitivity 3\nfps_max 60\nexec userconfig.cfg\n",
    "userconfig.cfg", "alias +jd \"+jump; wait; +duck\"\nalias -jd \"-jump; -duck\"\nfps_max 100\n",
    "listenserver.cfg", "exec rates.cfg\nsensitivity 9\n",
};

// The hint on a line of a folder of these files: "bind:KEY" for a bind's,
// "name" or "name=value as the line reads now" for a setting's.
QString hintOf(const QStringList &files, const QString &file, int line, const QString &name)
{
    QTemporaryDir dir;
    writeFiles(dir, files);
    FakeCommands known;
    ConfigAnalyzer analyzer(GameFolder::at(dir.path()), known);
    const ConfigModel model = analyzer.analyze();
    const QString path = dir.filePath(file);
    if (name.startsWith("bind:"))
        return model.bindHint(path, line, name.mid(5));
    return name.contains(u'=') ? model.valueHint(path, line, name.section(u'=', 0, 0), name.section(u'=', 1))
                               : model.valueHint(path, line, name);
}

} // namespace

class tst_ConfigAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void startupOrder()
    {
        QTemporaryDir dir;
        writeFiles(dir, GameFixture);
        FakeCommands known;
        ConfigAnalyzer analyzer(GameFolder::at(dir.path()), known);
        const ConfigModel model = analyzer.analyze();
        QStringList order;
        for (const StartupFile &f : model.files)
            order.append(QString(f.depth, u'>') + f.name + u' ' + QString::number(f.settings) + u'/'
                         + QString::number(f.binds) + u'/' + QString::number(f.aliases));
        QCOMPARE(order.join(u' '), QStringLiteral("valve.rc 0/0/0 >autoexec.cfg 3/1/0 >>rates.cfg 2/0/0 >>loop1.cfg "
                                                  "0/0/0 >>>loop2.cfg 0/0/0 >>binds.cfg 0/1/0 config.cfg 2/1/0 "
                                                  ">userconfig.cfg 1/0/2 listenserver.cfg 1/0/0 >rates.cfg 2/0/0"));
        const QString problems = problemsText(model);
        QVERIFY2(problems.contains("loop2.cfg:1: error TS112: exec loop: loop1.cfg → loop2.cfg → loop1.cfg"), qPrintable(problems));
        QVERIFY2(problems.contains("autoexec.cfg:7: error TS111: exec missing.cfg: there is no such file"), qPrintable(problems));
        QVERIFY2(problems.contains("binds.cfg:1: error TS101: The file starts with a UTF-8 byte-order mark"), qPrintable(problems));
        // The alias from userconfig.cfg is known in autoexec.cfg.
        QVERIFY2(!problems.contains("+jd"), qPrintable(problems));
        QCOMPARE(model.aliasExplanation(u"+JD"), QStringLiteral("alias +jd: +jump; wait; +duck (userconfig.cfg, line 1)"));
    }

    // The value or bind that applies, across the fixture's start-up order
    // and through what the console model runs: exec has no run-once guard,
    // an alias run at start-up sets what its body sets, and a line's
    // commands run in order, an exec'd file before what follows the exec.
    void valueThatApplies_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("hint");
        QTest::newRow("config.cfg runs later") << GameFixture << "autoexec.cfg" << 0 << "sensitivity"
            << "sensitivity 2.5 here; config.cfg (line 3) runs later and sets 3, so 3 applies. Put it in userconfig.cfg to keep it.";
        QTest::newRow("userconfig.cfg runs last") << GameFixture << "userconfig.cfg" << 2 << "fps_max"
            << "fps_max 100 here, and nothing later in the start-up order changes it: it applies.";
        QTest::newRow("overridden by userconfig.cfg") << GameFixture << "config.cfg" << 3 << "fps_max"
            << "fps_max 60 here; userconfig.cfg (line 3) runs later and sets 100, so 100 applies.";
        QTest::newRow("exec'd file runs before the rest") << GameFixture << "rates.cfg" << 0 << "rate"
            << "rate 20000 here; autoexec.cfg (line 4) runs later and sets 5000, so 5000 applies.";
        QTest::newRow("saved to config.cfg, which runs later") << GameFixture << "rates.cfg" << 1 << "cl_updaterate"
            << "cl_updaterate 101 here; the game saves cl_updaterate to config.cfg when it quits, and config.cfg "
               "runs later: the value it had then applies. Put it in userconfig.cfg to keep it.";
        QTest::newRow("not saved") << GameFixture << "autoexec.cfg" << 7 << "fov" << "fov 90 here, and nothing later in the start-up order changes it: it applies.";
        QTest::newRow("a line that sets nothing") << GameFixture << "autoexec.cfg" << 1 << "sensitivity" << "";
        // The line as it reads now, when it was edited since the analysis.
        QTest::newRow("edited since") << GameFixture << "autoexec.cfg" << 0 << "sensitivity=2.75"
            << "sensitivity 2.75 here; config.cfg (line 3) runs later and sets 3, so 3 applies. Put it in userconfig.cfg to keep it.";
        QTest::newRow("config.cfg sets the same anyway") << GameFixture << "autoexec.cfg" << 0 << "sensitivity=3.0"
            << "sensitivity 3.0 here; config.cfg (line 3) runs later and sets 3, so 3 applies.";
        QTest::newRow("bind undone by config.cfg") << GameFixture << "autoexec.cfg" << 1 << "bind:space"
            << "bind space \"+jd\" here; config.cfg (line 2) runs later and binds SPACE to \"+jump\", so that applies. "
               "Put it in userconfig.cfg to keep it.";
        QTest::newRow("bind that applies") << GameFixture << "binds.cfg" << 1 << "bind:e"
            << "bind e \"+attack2\" here; config.cfg (line 1) runs unbindall later, which leaves e unbound. "
               "Put it in userconfig.cfg to keep it.";
        QTest::newRow("alias run at start-up")
            << QStringList{"config.cfg", "sensitivity 3\nexec userconfig.cfg\n", "userconfig.cfg",
                           "alias sens_2 \"sensitivity 2\"\nsens_2\n"}
            << "config.cfg" << 0 << "sensitivity"
            << "sensitivity 3 here; alias sens_2, run from userconfig.cfg (line 2) runs later and sets 2, so 2 applies.";
        QTest::newRow("exec'd twice")
            << QStringList{"valve.rc", "exec autoexec.cfg\n", "autoexec.cfg", "sensitivity 4\n", "config.cfg",
                           "sensitivity 3\nexec userconfig.cfg\n", "userconfig.cfg", "exec autoexec.cfg\n"}
            << "config.cfg" << 0 << "sensitivity"
            << "sensitivity 3 here; autoexec.cfg (line 1) runs later and sets 4, so 4 applies.";
        QTest::newRow("exec'd twice, the second time wins")
            << QStringList{"valve.rc", "exec autoexec.cfg\n", "autoexec.cfg", "sensitivity 4\n", "config.cfg",
                           "sensitivity 3\nexec userconfig.cfg\n", "userconfig.cfg", "exec autoexec.cfg\n"}
            << "autoexec.cfg" << 0 << "sensitivity"
            << "sensitivity 4 here, and nothing later in the start-up order changes it: it applies.";
        // A dedicated server runs server.cfg once, then game.cfg at each map;
        // a listen server game.cfg, then listenserver.cfg.
        QTest::newRow("dedicated server: game.cfg runs later")
            << QStringList{"server.cfg", "sv_alltalk 1\n", "game.cfg", "sv_alltalk 0\n"} << "server.cfg" << 0
            << "sv_alltalk" << "sv_alltalk 1 here; on a dedicated server, game.cfg (line 1) runs later and sets 0, so 0 applies.";
        QTest::newRow("listen server: listenserver.cfg runs later")
            << QStringList{"listenserver.cfg", "sv_alltalk 1\n", "game.cfg", "sv_alltalk 0\n"} << "game.cfg" << 0
            << "sv_alltalk" << "sv_alltalk 0 here; on a listen server, listenserver.cfg (line 1) runs later and sets 1, so 1 applies.";
        QTest::newRow("server.cfg run again at each map")
            << QStringList{"server.cfg", "sv_alltalk 1\nmapchangecfgfile \"server.cfg\"\n", "game.cfg", "sv_alltalk 0\n"}
            << "server.cfg" << 0 << "sv_alltalk"
            << "sv_alltalk 1 here, and nothing later changes it when a dedicated server starts a map: it applies.";
        QTest::newRow("game.cfg kept by both servers")
            << QStringList{"server.cfg", "sv_alltalk 1\n", "listenserver.cfg", "echo\n", "game.cfg", "sv_alltalk 0\n"}
            << "game.cfg" << 0 << "sv_alltalk"
            << "sv_alltalk 0 here, and nothing later changes it when a server starts a map: it applies.";
        QTest::newRow("exec and bind on one line")
            << QStringList{"autoexec.cfg", "exec x.cfg; bind k +attack2\n", "x.cfg", "bind k kill\n"}
            << "x.cfg" << 0 << "bind:k"
            << "bind k \"kill\" here; autoexec.cfg (line 1) runs later and binds k to \"+attack2\", so that applies.";
    }
    void valueThatApplies()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, file);
        QFETCH(int, line);
        QFETCH(QString, name);
        QFETCH(QString, hint);
        QCOMPARE(hintOf(files, file, line, name), hint);
    }

    // One row per rule and look-alikes that must not be flagged; an empty
    // message means the folder has no problem at all. A first file named
    // "game/name" puts the configs in a game folder of that name.
    void problems_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("open"); // documents open in the editor, name and text
        const QString autoexec = QStringLiteral("autoexec.cfg");
        auto row = [&](const char *name, const QString &text, const char *expected) {
            QTest::newRow(name) << QStringList{autoexec, text} << QString::fromUtf8(expected) << QStringList();
        };
        // errors
        row("byte-order mark", "\u00EF\u00BB\u00BFsensitivity 2\n", "autoexec.cfg:1: error TS101: The file starts with a UTF-8 byte-order mark");
        row("byte-order mark before a comment or a blank line", "\u00EF\u00BB\u00BF// rates\nsensitivity 2\n", "");
        row("quote that swallows a command", "echo \"hi; kill\n", "autoexec.cfg:1: error TS102: A quote is left open");
        row("closing quote missing at the line's end", "echo \"hi\nbind q \"+attack\n", "");
        row("open quote in a bind's body", "bind q \"+jump; wait\n", "");
        row("quote inside a comment", "// don't say \"hi\nsensitivity 2 // my \"fast one; slow\n", "");
        row("; after //", "// turn off; kill\n", "autoexec.cfg:1: error TS103: ';' after '//' ends the comment");
        row("// with nothing after the ;", "echo hi // done;\necho hi // a; // b\n", "");
        row("; after // before a smiley", "// you noob ;-)\n", "notice TS303: Unknown command \"-\"");
        row("; after // before an alias of the file", "// clean; reset\nalias reset \"echo\"\n", "autoexec.cfg:1: error TS103");
        row("// with no ;", "// kill it all\nsensitivity 2 // fast, slow\n", "");
        row("; in a quoted comment", "echo \"// a; b\"\n", "");
        row("command too long", "echo " + QString(1100, u'x') + "\n", "error TS104: This command is 1105 characters long");
        row("too many words", "echo" + QString(" w").repeated(85) + "\n", "error TS105: This command has 86 words");
        row("alias name too long", "alias " + QString(300, u'a') + " kill\n", "error TS106: The alias name is 300 characters long");
        row("alias name of a variable", "alias sensitivity kill\n", "error TS107: sensitivity is a variable");
        row("alias name of a command", "alias +attack kill\n", "error TS108: +attack is a command of the game");
        row("alias named like a forwarded command", "alias shield \"\"\nalias go \"say hi\"\n", "");
        QTest::newRow("_special outside team fortress") << QStringList{"valve/autoexec.cfg", "alias _special \"+jump\"\n"} << "" << QStringList();
        QTest::newRow("_special in team fortress")
            << QStringList{"tfc/autoexec.cfg", "alias _special \"+jump\"\n"}
            << "autoexec.cfg:1: error TS107: _special: the game refuses an alias of that name in tfc" << QStringList();
        QTest::newRow("cl_autobuy in counter-strike")
            << QStringList{"cstrike/autoexec.cfg", "alias cl_autobuy \"buy\"\n"}
            << "error TS107: cl_autobuy: the game refuses an alias of that name in cstrike" << QStringList();
        row("key the game lacks", "bind mouse9 +attack\n", "error TS109: \"mouse9\" is not a key the game has");
        row("keys of the original engine", "bind JOY1 +attack\nbind aux5 +jump\nbind AUX32 +duck\n", "");
        row("single characters and table names", "bind q +attack\nbind [ +attack2\nbind Mouse1 +jump\n", "");
        QTest::newRow("exec of a link to a device") << QStringList{autoexec, "exec zero.cfg\n", "zero.cfg", "->/dev/zero"}
                                                    << "exec zero.cfg: " << QStringList();
        QTest::newRow("exec of a folder") << QStringList{autoexec, "exec sub.cfg\n", "sub.cfg/x.cfg", ""}
                                          << "sub.cfg is a folder" << QStringList();
        row("alias loop through either of two", "alias a \"b; c\"\nalias b a\nalias c a\n",
            "Alias loop: a → b → a runs for ever");
        row("exec refused", "exec ../valve/x.cfg\n", "error TS110: exec ../valve/x.cfg: the game refuses this name");
        row("exec of a text file", "exec binds.txt\n", "the game runs only .cfg and .rc files");
        row("exec of a missing file", "exec binds.cfg\n", "error TS111: exec binds.cfg: there is no such file");
        row("userconfig.cfg missing is normal", "exec userconfig.cfg\n", "");
        row("ban lists the server writes itself", "exec banned.cfg\nexec listip.cfg\n", "notice TS304: exec listip.cfg: not there yet");
        row("alias loop", "alias a b\nalias b \"echo x; a\"\n", "autoexec.cfg:1: error TS113: Alias loop: a → b → a runs for ever");
        row("alias loop of one", "alias a \"echo x; a\"\n", "autoexec.cfg:1: error TS113: Alias loop: a → a");
        row("loop through three aliases, said once", "alias a b\nalias b c\nalias c \"echo x; a\"\n", "Alias loop");
        row("loop with wait", "alias a \"wait; b\"\nalias b a\n", "");
        // No round, but 2^16 calls with no wait: said once, as what it is.
        QString fan;
        for (int i = 0; i < 16; ++i)
            fan += QStringLiteral("alias f%1 \"f%2;f%2\"\n").arg(i).arg(i + 1);
        row("fan-out without a loop", fan + "alias f16 echo\nf0\n", "error TS113: Alias fan-out: f0 → f1 → f2");
        row("toggle that redefines itself", "alias spin s1\nalias s1 \"alias spin s2; spin\"\nalias s2 \"alias spin s1\"\n", "");
        // warnings
        row("unknown command near a known one", "cl_updaterat 20\n", "autoexec.cfg:1: warning TS201: Unknown command \"cl_updaterat\": did you mean cl_updaterate?");
        row("unknown in a bind", "bind q +atack\n", "autoexec.cfg:1: warning TS201: Unknown command \"+atack\": did you mean +attack");
        row("a short name two letters off", "hpk_max 160\n", "notice TS303: Unknown command \"hpk_max\"");
        row("each suggestion once", "alias wait \"echo\"\nwiat\n", "did you mean wait?");
        row("value out of range", "sensitivity 20\n", "warning TS202: ");
        row("value the game keeps in range", "rate 500000\n", "");
        row("a range a game library widens", "sv_alltalk 3\nsv_cheats 2\n", "");
        row("past the widest library's range", "sv_alltalk 7\n", "warning TS202: ");
        row("names in any letter case", "Bind Q +ATTACK\nSENSITIVITY 2\nAlias +Jd +JUMP\nbind e +jd\n", "");
        row("a name of the Source engine", "mat_queue_mode 2\ncl_interp_ratio 1\n",
            "autoexec.cfg:2: warning TS206: cl_interp_ratio is a name of the later Source engine; this game does not have it");
        row("names both engines have, or Source's as an alias", "cl_updaterate 30\nalias mat_queue_mode echo\nmat_queue_mode\nmat_queue_modes 1\n",
            "autoexec.cfg:4: warning TS201: Unknown command \"mat_queue_modes\": did you mean mat_queue_mode?");
        QTest::newRow("a Source name the game wrote into config.cfg")
            << QStringList{autoexec, "viewmodel_fov 100\n", "config.cfg", "viewmodel_fov \"90\"\n"}
            << "autoexec.cfg:1: notice TS303: viewmodel_fov: a saved variable of this game" << QStringList();
        row("same key twice", "bind q +attack\nbind q +attack2\n", "autoexec.cfg:1: warning TS205: q is bound again by autoexec.cfg (line 2)");
        row("same key, same command", "bind f1 kill\nbind F1 kill\n", "");
        row("a key bound to nothing, then unbound", "bind F3 \"\"\nunbind F3\n", "");
        QTest::newRow("bind cleared by config.cfg")
            << QStringList{autoexec, "bind q +attack\n", "config.cfg", "unbindall\nbind q +attack2\n"}
            << "autoexec.cfg:1: warning TS204: q is cleared by unbindall in config.cfg (line 1) and bound again by config.cfg (line 2)" << QStringList();
        QTest::newRow("setting replaced by a later file")
            << QStringList{autoexec, "sensitivity 2.5\n", "config.cfg", "sensitivity 3\nexec userconfig.cfg\n"}
            << "autoexec.cfg:1: warning TS203: sensitivity 2.5 is replaced by config.cfg (line 1) at start-up, which sets 3." << QStringList();
        QTest::newRow("server.cfg replaced by game.cfg")
            << QStringList{autoexec, "", "server.cfg", "sv_alltalk 1\nfov 90\n", "game.cfg", "sv_alltalk 0\nfov 90\n"}
            << "server.cfg:1: warning TS203: sv_alltalk 1 is replaced by game.cfg (line 1) on a dedicated server, which sets 0."
            << QStringList();
        QTest::newRow("the same value again")
            << QStringList{autoexec, "sensitivity 3\n", "config.cfg", "sensitivity 3\n"} << "" << QStringList();
        // notices
        row("a plugin's name", "gg_enabled 1\namx_kick bob\n", "notice TS301: gg_enabled: a name of GunGame, an AMX Mod X plugin");
        row("a name of the engine the catalogue lacks", "sv_rollspeed 0\nhud_scale 1\n", "notice TS301: sv_rollspeed: a name of the game's engine");
        row("a bot's name", "yb_quota 5\npb_minbots 2\n", "notice TS301: pb_minbots: a name of POD-Bot, a bot");
        row("a command forwarded to the server", "bind F2 \"krieg550\"\n", "notice TS302: krieg550: a command the client sends on to the server");
        QTest::newRow("a saved variable the game wrote")
            << QStringList{autoexec, "", "config.cfg", "sensitivty \"2\"\nbind q \"sensitivty 3\"\n"}
            << "config.cfg:1: notice TS303: sensitivty: a saved variable of this game" << QStringList();
        row("a name nobody knows", "zzqx\n", "autoexec.cfg:1: notice TS303: Unknown command \"zzqx\"");
        row("a line kept from running with #", "#hostname \"x\"\n", "notice TS303: #hostname: '#' starts no comment here");
        QTest::newRow("alias of another file") << QStringList{autoexec, "bind space +jd\n", "config.cfg",
                                                              "exec userconfig.cfg\n", "userconfig.cfg", "alias +jd +jump\n"}
                                               << "" << QStringList();
        QTest::newRow("userconfig.cfg before the game wrote config.cfg")
            << QStringList{autoexec, "bind space +jd\n", "userconfig.cfg", "alias +jd +jump\n"} << "" << QStringList();
        QTest::newRow("one report for a body's many uses")
            << QStringList{autoexec, "alias t \"w 3; w 4; w 5\"\n"}
            << "autoexec.cfg:1: notice TS303: Unknown command \"w\": neither the catalogue nor any alias of the configuration has it" << QStringList();
        // An open file nothing runs is read with what it execs: it knows the
        // aliases of the start-up files and its own, and lends none to them.
        QTest::newRow("alias of an open file nothing execs")
            << QStringList{autoexec, "bind space +jd\n"} << "Unknown command \"+jd\"" << QStringList{"other.cfg", "alias +jd +jump\n"};
        QTest::newRow("open file nothing execs, a start-up alias")
            << QStringList{autoexec, "alias +jd +jump\n"} << "" << QStringList{"other.cfg", "bind space +jd\n"};
        QTest::newRow("open file nothing execs, an alias of a file it execs")
            << QStringList{autoexec, "echo\n", "more.cfg", "alias x kill\n"} << ""
            << QStringList{"other.cfg", "exec more.cfg\nbind k x\n"};
    }
    void problems()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        QFETCH(QStringList, open);
        QTemporaryDir dir;
        writeFiles(dir, files + open);
        FakeCommands known;
        const qsizetype slash = files.front().indexOf(u'/');
        ConfigAnalyzer analyzer(GameFolder::at(slash < 0 ? dir.path() : dir.filePath(files.front().left(slash))), known);
        for (qsizetype i = 0; i + 1 < open.size(); i += 2)
            analyzer.setDocument(dir.filePath(open[i]), open[i + 1]);
        const QString got = problemsText(analyzer.analyze());
        if (expected.isEmpty())
            QCOMPARE(got, QString());
        else
            QVERIFY2(got.contains(expected) && got.count(expected) == 1, qPrintable(got));
    }

    // What the input sets no limit to: the analysis runs on a thread with a
    // small stack, gets to its end, and says each problem in a few words.
    void longInputs_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("edit"); // then this text for a file, as an open document
        QTest::addColumn<QStringList>("said"); // the problem, and the one after the edit
        // Each file once took a call of its own: 5,000 of them overflow 256 KB.
        QStringList chain{"autoexec.cfg", "exec c0.cfg\n"};
        for (int i = 0; i < 5'000; ++i)
            chain << QStringLiteral("c%1.cfg").arg(i) << QStringLiteral("exec c%1.cfg\n").arg(i + 1);
        QTest::newRow("exec chain of 5,000 files, then back to its start")
            << chain << QStringList{"c4999.cfg", "exec c0.cfg\n"} << QStringList{"c5000.cfg", "exec loop: "};
        const auto aliases = [](int count, bool loop) {
            QString text;
            for (int i = 0; i < count; ++i)
                text += QStringLiteral("alias q%1 q%2\n").arg(i).arg(i + 1 < count ? i + 1 : loop ? 0 : count);
            if (!loop)
                text += QStringLiteral("alias q%1 kill\n").arg(count);
            return QStringList{"autoexec.cfg", text};
        };
        QTest::newRow("alias loop of 10,000") << aliases(10'000, true) << QStringList() << QStringList{"Alias loop: q0 → q1 →"};
        // Longer than the bound of calls at start-up: a chain that ends is no loop.
        QTest::newRow("alias chain of 30,000") << aliases(30'000, false) << QStringList() << QStringList{QString()};
    }
    void longInputs()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, edit);
        QFETCH(QStringList, said);
        QTemporaryDir dir;
        writeFiles(dir, files);
        FakeCommands known;
        ConfigAnalyzer analyzer(GameFolder::at(dir.path()), known);
        for (const QString &expected : said) {
            ConfigModel model;
            std::unique_ptr<QThread> thread(QThread::create([&] { model = analyzer.analyze(); }));
            thread->setStackSize(256 * 1024);
            thread->start();
            QVERIFY(thread->wait());
            QCOMPARE(model.files.size(), files.size() / 2 + 2); // with valve.rc and config.cfg
            QCOMPARE(model.problems.size(), expected.isEmpty() ? 0 : 1);
            for (const ConfigProblem &p : model.problems)
                QVERIFY2(p.message.size() < 300, qPrintable(p.message.left(300)));
            QVERIFY2(problemsText(model).contains(expected), qPrintable(problemsText(model).left(300)));
            if (!edit.isEmpty())
                analyzer.setDocument(dir.filePath(edit[0]), edit[1]);
        }
    }

    // Told to stop (the window closes), an analysis ends at once.
    void cancelled()
    {
        QTemporaryDir dir;
        writeFiles(dir, GameFixture);
        FakeCommands known;
        ConfigAnalyzer analyzer(GameFolder::at(dir.path()), known);
        QVERIFY(!analyzer.analyze().problems.isEmpty());
        analyzer.cancel();
        const ConfigModel model = analyzer.analyze();
        QVERIFY(model.problems.isEmpty());
    }

    // The panel's lines: errors, then warnings, then notices; a name's uses
    // in one line whatever their letter case, an owner's names in one line,
    // a file's many unknown names in one.
    void groups()
    {
        QTemporaryDir dir;
        writeFiles(dir, {"autoexec.cfg", "zzqx\namx_kick a\nsensitivty 1\nZZQX 2\namx_ban b\nbind mouse9 x\nzzqx\nexec many.cfg\n"
                                         "amx_slay c\namx_map d\namx_say e\n",
                         "many.cfg", "zq1\nzq2\nzq3\nzq4\nzq5\nzq1\n"});
        FakeCommands known;
        ConfigAnalyzer analyzer(GameFolder::at(dir.path()), known);
        const ConfigModel model = analyzer.analyze();
        QStringList lines;
        for (const ProblemGroup &g : groupProblems(model.problems))
            lines.append(model.problems[g.members.front()].code() + u' ' + g.text);
        QCOMPARE(lines, QStringList({
            "TS109 \"mouse9\" is not a key the game has.",
            "TS201 Unknown command \"sensitivty\": did you mean sensitivity?",
            "TS303 Unknown command \"zzqx\": neither the catalogue nor any alias of the configuration has it; "
            "connected, the game sends it to the server. (3 uses, in autoexec.cfg)",
            "TS301 Names of AMX Mod X, a server plugin platform: amx_kick, amx_ban, amx_slay and 2 more (5 names, 5 uses, "
            "in autoexec.cfg)",
            "TS303 Names nobody knows, in many.cfg: zq1, zq2, zq3 and 2 more (5 names, 6 uses)",
        }));
        QCOMPARE(countProblems(model.problems).text() + " / " + ProblemCounts{}.text(),
                 QStringLiteral("1 error, 1 warning, 14 notices / no problems"));
    }

    // A name the player declared fine, as tessary.ini keeps it for its
    // folder, is no problem; another still is.
    void acceptedNames()
    {
        QTemporaryDir dir;
        QTemporaryDir data;
        writeFiles(dir, {"autoexec.cfg", "zzqx\nZZQX 2\nqqzz\n"});
        for (const char *name : {"ZzQx", "qqzz", "other"})
            QVERIFY(AcceptedNames::add(data.path(), dir.path(), name).ok());
        QVERIFY(AcceptedNames::remove(data.path(), dir.path(), "QQZZ").ok());
        QVERIFY(AcceptedNames::load(data.path(), data.path()).isEmpty());
        FakeCommands known;
        ConfigAnalyzer analyzer(GameFolder::at(dir.path()), known);
        analyzer.setAcceptedNames(AcceptedNames::load(data.path(), dir.path()));
        const QString got = problemsText(analyzer.analyze());
        QVERIFY2(!got.contains("zzqx", Qt::CaseInsensitive) && got.contains("qqzz"), qPrintable(got));
    }

    void configCfgNotice()
    {
        QTemporaryDir dir;
        writeFiles(dir, GameFixture);
        const GameFolder folder = GameFolder::at(dir.path());
        QVERIFY(::configCfgNotice(folder, dir.filePath("config.cfg")).startsWith("The game rewrites config.cfg"));
        QVERIFY(::configCfgNotice(folder, dir.filePath("autoexec.cfg")).isEmpty());
    }

    // The open document's unsaved text takes part, and analysing again after
    // edits gives what a fresh analysis of the same texts gives.
    void incrementalEqualsFresh()
    {
        QTemporaryDir dir;
        writeFiles(dir, GameFixture);
        FakeCommands known;
        const GameFolder folder = GameFolder::at(dir.path());
        ConfigAnalyzer analyzer(folder, known);
        const QStringList names = {"autoexec.cfg", "config.cfg", "userconfig.cfg", "notrun.cfg"};
        QHash<QString, QString> texts;
        for (const QString &name : names) {
            QFile file(dir.filePath(name));
            texts[name] = file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
        }
        const QStringList pieces = {"exec rates.cfg\n", "alias a b\n", "alias b a\n", "bind q +attack\n",
                                    "sensitivity 7\n", "\"", ";", "//", "\n", "unbindall\n", "exec binds.cfg\n",
                                    "alias +jd +jump\n", "cl_updaterat 1\n", "exec userconfig.cfg\n", " "};
        QSet<QString> opened;
        int resumed = 0;
        QRandomGenerator random(24);
#ifdef __SANITIZE_ADDRESS__
        const int rounds = 100; // the sanitizers look for memory faults; the breadth is the plain build's
#else
        const int rounds = 300;
#endif
        for (int round = 0; round < rounds; ++round) {
            const QString name = names[random.bounded(int(names.size()))];
            QString &text = texts[name];
            const int at = text.isEmpty() ? 0 : random.bounded(int(text.size()) + 1);
            if (random.bounded(3) == 0 && !text.isEmpty())
                text.remove(at, random.bounded(1, 12));
            else
                text.insert(at, pieces[random.bounded(int(pieces.size()))]);
            analyzer.setDocument(dir.filePath(name), text);
            opened.insert(name);
            const ConfigModel incremental = analyzer.analyze();
            ConfigAnalyzer fresh(folder, known);
            for (const QString &open : opened)
                fresh.setDocument(dir.filePath(open), texts[open]);
            QVERIFY2(incremental == fresh.analyze(), qPrintable(QStringLiteral("round %1").arg(round)));
            resumed += incremental.console->resumedAt >= 0;
        }
        // Most runs were taken up again from just before an edited file.
        QVERIFY(resumed > rounds / 2);
    }

    // An analysis is known to be up to date until the disk changes what it
    // would give: a file it runs, one it missed, a server's start file.
    void upToDate_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing changed") << QString() << QString();
        QTest::newRow("a file it runs grows") << "rates.cfg" << "rate 20000\nfps_max 70\n";
        QTest::newRow("a missing file appears") << "missing.cfg" << "fov 80\n";
        QTest::newRow("a server's start file appears") << "server.cfg" << "rate 9000\n";
    }
    void upToDate()
    {
        QFETCH(QString, file);
        QFETCH(QString, text);
        QTemporaryDir dir;
        writeFiles(dir, GameFixture);
        FakeCommands known;
        ConfigAnalyzer analyzer(GameFolder::at(dir.path()), known);
        QVERIFY(!analyzer.upToDate());
        const ConfigModel before = analyzer.analyze();
        QVERIFY(analyzer.upToDate());
        if (!file.isEmpty())
            writeFiles(dir, {file, text});
        const ConfigModel after = ConfigAnalyzer(GameFolder::at(dir.path()), known).analyze();
        QCOMPARE(analyzer.upToDate(), after == before);
        QVERIFY(analyzer.analyze() == after && analyzer.upToDate());
        analyzer.setDocument(dir.filePath("autoexec.cfg"), "fov 90\n");
        QVERIFY(!analyzer.upToDate());
    }

    // The catalogue's compiled kind and flags reach the analysis; a family
    // switched off is unknown there too, and an old commands.dat claims nothing.
    void catalogueFacts_data()
    {
        QTest::addColumn<QString>("field4");
        QTest::addColumn<QStringList>("off");
        QTest::addColumn<QString>("expected"); // known, variable, archived, cheat, server as 0/1/?

        QTest::newRow("saved setting") << "variable archived" << QStringList() << "1 1 1 0 0";
        QTest::newRow("cheat command") << "command cheat" << QStringList() << "1 0 0 1 0";
        QTest::newRow("server setting") << "variable server" << QStringList() << "1 1 0 0 1";
        QTest::newRow("family off") << "variable archived" << QStringList{"regamedll"} << "0";
        QTest::newRow("old commands.dat") << "" << QStringList() << "1 ? ? ? ?";
    }
    void catalogueFacts()
    {
        QFETCH(QString, field4);
        QFETCH(QStringList, off);
        QFETCH(QString, expected);
        Catalogue catalogue;
        catalogue.strCmdName[1] = QStringLiteral("mp_maxmoney");
        catalogue.strCmdField2[1] = QStringLiteral("regamedll");
        catalogue.strCmdField4[1] = field4;
        catalogue.strCmdRange[1] = QStringLiteral("0 or more");
        catalogue.setFamiliesOff(off);
        const CatalogueCommands known(catalogue);
        const auto facts = known.facts(u"MP_MaxMoney");
        const auto shown = [](std::optional<bool> b) { return b ? QString::number(*b) : QStringLiteral("?"); };
        const QString got = !facts ? QStringLiteral("0")
                                   : QStringList{"1", shown(facts->variable), shown(facts->archived),
                                                 shown(facts->cheat), shown(facts->serverOnly)}
                                         .join(u' ');
        QCOMPARE(got, expected);
    }
};

QTEST_GUILESS_MAIN(tst_ConfigAnalysis)
#include "tst_ConfigAnalysis.moc"
