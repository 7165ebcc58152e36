#include "core/config/FakeCommands.h"
#include "console/Console.h"
#include "console/ConsoleRun.h"
#include "console/ConsoleText.h"
#include "console/EngineChoice.h"
#include "console/WrittenConfig.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The names the rows use, with the kinds the game gives them.
class Known : public TableCommands
{
public:
    Known()
    {
        for (const char *v : {"fov", "sensitivity", "name", "volume", "cl_updaterate"})
            add(v, true);
        for (const char *c : {"+attack", "+attack2", "+jump", "+duck", "+left", "+forward", "+mlook", "echo", "kill", "say",
                              "buy", "slot1", "cl_autobuy"})
            add(c, false);
        m_facts[QStringLiteral("volume")].archived = true;
        m_facts[QStringLiteral("volume")].defaultValue = QStringLiteral("0.7");
    }
};

// Files by name from "name", "text" pairs; the first one is run.
FindConsoleFile folder(const QStringList &files, const EngineProfile &profile)
{
    auto byName = std::make_shared<QHash<QString, std::shared_ptr<const ConsoleFile>>>();
    for (qsizetype i = 0; i + 1 < files.size(); i += 2)
        byName->insert(files[i].toLower(), std::make_shared<ConsoleFile>(u'/' + files[i], files[i], files[i + 1], profile));
    return [byName](const QString &name) { return byName->value(name.toLower()); };
}

// What a run leaves, one item a line: variables (with where they were last
// set), binds, aliases, held buttons, then what it met.
QString summary(const ConsoleState &s, const QList<ConsoleEvent> &events, int frames)
{
    QStringList out;
    for (auto it = s.variables.cbegin(); it != s.variables.cend(); ++it)
        out.append(QStringLiteral("%1=%2 @%3").arg(it.key(), it->value,
                                                    it->history.isEmpty() ? QString() : it->history.back().place.describe()));
    for (auto it = s.binds.cbegin(); it != s.binds.cend(); ++it)
        out.append(QStringLiteral("bind %1=%2").arg(it.key(), it->runs));
    for (auto it = s.aliases.cbegin(); it != s.aliases.cend(); ++it)
        out.append(QStringLiteral("alias %1=%2").arg(it.key(), QString(it->body).replace(u'\n', u'|')));
    for (const QString &held : s.held())
        out.append(QStringLiteral("held %1").arg(held));
    out.sort();
    static const char *const kinds[] = {"exec", "missing", "refused", "alias refused", "overflow", "freeze", "too deep", "unknown"};
    for (const ConsoleEvent &e : events) {
        QString line = QString::fromLatin1(kinds[int(e.kind)]) + u' ' + e.name;
        if (e.quiet)
            line += QStringLiteral(" (quiet)");
        if (!e.chain.isEmpty())
            line += u' ' + e.chain.join(QStringLiteral(">"));
        out.append(line.trimmed());
    }
    out.append(QStringLiteral("frames=%1").arg(frames));
    return out.join(u'\n');
}

QString summary(const Console &console)
{
    return summary(console.state(), console.events(), console.frame());
}

QString run(const QStringList &files, const EngineProfile &profile, const Known &known)
{
    Console console(profile, known, folder(files, profile));
    auto start = std::make_shared<ConsoleSource>();
    console.addText(QStringLiteral("exec %1\n").arg(files[0]), start);
    console.runUntilEmpty(100);
    return summary(console);
}

QString steps(const QList<ConsoleStep> &list)
{
    QStringList frames;
    int frame = -1;
    for (const ConsoleStep &s : list) {
        if (s.frame != frame) {
            frames.append(QStringLiteral("F%1:").arg(s.frame));
            frame = s.frame;
        }
        frames.back() += u' ' + s.command;
    }
    return frames.join(u' ');
}

} // namespace

class tst_Console : public QObject
{
    Q_OBJECT

private slots:
    // Each row: the files (the first is exec'd), the engine, and lines the
    // run's summary must hold ("!" before a line: must not hold).
    void rules_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("xash");
        QTest::addColumn<QStringList>("expected");
        const QString x1019(1019, u'x');
        const QString x515(515, u'x');
        const QString comments = QStringLiteral("// filler line of a large config\n").repeated(600);
        auto row = [](const char *name, const QStringList &files, bool xash, const QStringList &expected) {
            QTest::newRow(name) << files << xash << expected;
        };
        // rehlds cmd.cpp Cbuf_Execute: ';' outside quotes ends a command.
        row("semicolon splits", {"a.cfg", "echo a;fov 80\n"}, false, {"fov=80"});
        // ... and one inside quotes does not; bind keeps the words from the third.
        row("semicolon in quotes", {"a.cfg", "bind q \"fov 70;fov 80\"\n"}, false, {"bind q=fov 70;fov 80", "!fov=80"});
        // Cbuf_Execute knows no comments (issue #2520); xash3d-fwgs's does.
        row("semicolon after //", {"a.cfg", "// old; fov 75\n"}, false, {"fov=75"});
        row("semicolon after // in xash", {"a.cfg", "// old; fov 75\n"}, true, {"!fov=75"});
        // COM_Parse: "//" at a word's start ends the words.
        row("// ends the words", {"a.cfg", "fov 60 //fov 61\n"}, false, {"fov=60"});
        // Cbuf_Execute without REHLDS_FIXES: cut at 1023, the 1024th character
        // is taken off too, and the rest runs as a command of its own.
        row("over-long command runs on", {"a.cfg", "echo " + x1019 + "fov 66\n"}, false, {"fov=66"});
        // xash3d-fwgs: "command string owerflow", the whole command is dropped.
        row("over-long command in xash", {"a.cfg", "echo " + QString(2100, u'x') + ";fov 66\n"}, true, {"fov=66"});
        // Cmd_TokenizeString: a word of 515 characters (arglen 516) ends the words.
        row("long word ends the words", {"a.cfg", "fov 50\nfov " + x515 + "\n"}, false, {"fov=50"});
        // COM_Parse: ':' is a word of its own in the original, not in xash3d-fwgs.
        row("colon is a word", {"a.cfg", "fov 1:5\n"}, false, {"fov=1"});
        row("colon in xash", {"a.cfg", "fov 1:5\n"}, true, {"fov=1:5"});
        // Cmd_ExecuteString_internal: a command before an alias; xash tries the alias first.
        row("command before alias", {"a.cfg", "alias kill \"fov 33\"\nkill\n"}, false, {"!fov=33"});
        row("alias before command in xash", {"a.cfg", "alias kill \"fov 33\"\nkill\n"}, true, {"fov=33"});
        // Q_stricmp everywhere.
        row("names in any case", {"a.cfg", "alias Vol \"FOV 12\"\nVOL\n"}, false, {"fov=12"});
        // Cmd_Alias_f stores the words with quotes gone, each followed by a space.
        row("alias body splits when run", {"a.cfg", "alias b bind q \"echo a;fov 22\"\nb\n"}, false,
            {"alias b=bind q echo a;fov 22 |", "bind q=echo a", "fov=22"});
        row("alias body in xash", {"a.cfg", "alias b bind q \"echo a\"\n"}, true, {"alias b=bind q echo a|"});
        // Cmd_Alias_f: MAX_ALIAS_NAME 32, and no alias of a variable's name.
        row("alias name of 32", {"a.cfg", "alias " + QString(32, u'a') + " kill\n"}, false, {"alias refused " + QString(32, u'a')});
        row("alias name of 31", {"a.cfg", "alias " + QString(31, u'a') + " kill\n"}, false, {"!alias refused"});
        row("alias of a variable", {"a.cfg", "alias fov kill\n"}, false, {"alias refused fov"});
        row("alias of a variable in xash", {"a.cfg", "alias fov kill\n"}, true, {"alias fov=kill|"});
        // Cvar_Command: Cvar_Set(name, Cmd_Argv(1)).
        row("first word only", {"a.cfg", "name John Smith\n"}, false, {"name=John"});
        // Cmd_Wait_f: the rest of the whole buffer waits a frame.
        row("wait", {"a.cfg", "fov 1\nwait\nfov 2\n"}, false, {"fov=2", "frames=2"});
        row("wait in an exec'd file holds its caller", {"a.cfg", "exec b.cfg\nfov 3\n", "b.cfg", "wait\n"}, false,
            {"fov=3", "frames=2"});
        // xash3d-fwgs Cmd_Wait_f: wait N.
        row("wait 3 in xash", {"a.cfg", "wait 3\nfov 2\n"}, true, {"frames=4"});
        row("wait 3 in the original", {"a.cfg", "wait 3\nfov 2\n"}, false, {"frames=2"});
        // Cmd_Exec_f has no guard: a file runs each time it is exec'd.
        row("exec twice", {"a.cfg", "exec r.cfg\nfov 5\nexec r.cfg\n", "r.cfg", "fov 9\n"}, false, {"fov=9"});
        row("exec refused", {"a.cfg", "exec x.txt\nexec ../a.cfg\n"}, false, {"refused x.txt", "refused ../a.cfg"});
        row("exec adds .cfg in xash", {"a.cfg", "exec r\n", "r.cfg", "fov 9\n"}, true, {"fov=9"});
        row("quiet miss", {"a.cfg", "exec userconfig.cfg\nexec other.cfg\n"}, false,
            {"missing userconfig.cfg (quiet)", "missing other.cfg"});
        // A file too large for the buffer: what is queued runs before its lines...
        row("large file runs after the rest", {"a.cfg", "exec big.cfg\nfov 7\n", "big.cfg", comments + "fov 8\n"},
            false, {"fov=8"});
        row("small file runs first", {"a.cfg", "exec big.cfg\nfov 7\n", "big.cfg", "fov 8\n"}, false, {"fov=7"});
        // ... and COM_ParseLine splits its lines at tabs.
        row("large file splits at tabs", {"a.cfg", "exec big.cfg\n", "big.cfg", comments + "fov 4\tfov 6\n"}, false,
            {"fov=6 @big.cfg (line 601)"});
        row("small file keeps tabs", {"a.cfg", "exec big.cfg\n", "big.cfg", "fov 4\tfov 6\n"}, false, {"fov=4"});
        // xash3d-fwgs Cmd_ExecScript: a file past the buffer overflows and none of it runs.
        row("large file in xash", {"a.cfg", "exec big.cfg\n", "big.cfg", comments.repeated(2) + "fov 8\n"}, true,
            {"!fov=8", "overflow big.cfg"});
        // Cbuf_InsertText: "overflow", the alias's text dropped; the loop ends there.
        row("growing alias overflows", {"a.cfg", "alias g \"g;echo x\"\ng\n"}, false, {"overflow alias g", "!freeze"});
        // An alias that calls itself with no wait never lets the frame end.
        row("self-calling alias freezes", {"a.cfg", "alias a \"echo x;a\"\na\nfov 3\n"}, false,
            {"freeze a a>a", "fov=3"});
        // No loop, but 2^16 calls in a frame: frozen too, told by the aliases running.
        QString fan;
        for (int i = 0; i < 16; ++i)
            fan += QStringLiteral("alias f%1 \"f%2;f%2\"\n").arg(i).arg(i + 1);
        row("fanning out freezes", {"a.cfg", fan + "f0\nfov 3\n"}, false, {"freeze f0 f0>f1>f2>", "fov=3"});
        row("loop through three aliases", {"a.cfg", "alias a b\nalias b \"echo;c\"\nalias c a\na\n"}, false,
            {"freeze a a>b>c>a"});
        row("exec loop freezes", {"a.cfg", "exec l1.cfg\n", "l1.cfg", "exec l2.cfg\n", "l2.cfg", "exec l1.cfg\n"},
            false, {"freeze l1.cfg l1.cfg>l2.cfg>l1.cfg"});
        row("loop with a wait in a helper", {"a.cfg", "alias w2 \"wait;wait\"\nalias spin \"+left;w2;-left;spin\"\nspin\n"},
            false, {"!freeze", "frames=100"});
        row("unbind and unbindall", {"a.cfg", "bind q kill\nbind e kill\nunbind q\nunbindall\nbind f kill\n"}, false,
            {"bind q=", "bind e=", "bind f=kill"});
        row("unbindall in xash keeps escape", {"a.cfg", "unbindall\n"}, true, {"bind ESCAPE=cancelselect"});
        row("typed button stays held", {"a.cfg", "+left\n"}, false, {"held +left"});
        row("alias refused in cstrike", {"a.cfg", "alias cl_autobuy kill\n"}, false, {"!alias refused"});
    }
    void rules()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, xash);
        QFETCH(QStringList, expected);
        const Known known;
        const QString got = run(files, xash ? EngineProfile::xash() : EngineProfile::original(), known);
        const QStringList lines = got.split(u'\n');
        for (const QString &e : expected) {
            const bool negated = e.startsWith(u'!');
            const QString want = negated ? e.mid(1) : e;
            const bool has = std::any_of(lines.begin(), lines.end(), [&](const QString &l) { return l.startsWith(want); });
            QVERIFY2(has != negated, qPrintable(QStringLiteral("%1\n--- in ---\n%2").arg(e, got)));
        }
    }

    void cstrikeAlias()
    {
        const Known known;
        const QString got = run({"a.cfg", "alias cl_autobuy kill\n"}, EngineProfile::original(EngineProfile::Game::CStrike), known);
        QVERIFY2(got.contains("alias refused cl_autobuy"), qPrintable(got));
        QCOMPARE(EngineProfile::gameOf("CStrike"), EngineProfile::Game::CStrike);
    }

    // Words as COM_Parse makes them; the evidence is beside ConsoleText::words.
    void words_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("xash");
        QTest::addColumn<QString>("words");
        QTest::newRow("quotes") << "bind \"q\" \"say hi\"" << false << "bind|q|say hi";
        QTest::newRow("unclosed quote") << "say \"hi there" << false << "say|hi there";
        QTest::newRow("one-character words") << "a{b}(c),'d'" << false << "a|{|b|}|(|c|)|,|'|d|'";
        QTest::newRow("brackets in xash") << "a{b}(c)" << true << "a|{|b|}|(c)";
        QTest::newRow("// mid-word") << "fov 1//2" << false << "fov|1//2";
        QTest::newRow("escaped quote in xash") << "say \"a\\\"b\"" << true << "say|a\"b";
        QTest::newRow("high character before a word") << "name \u00C9ric" << false << "name|ric";
        QTest::newRow("high character inside") << "name \u00C9ric" << true << "name|\u00C9ric";
        QTest::newRow("80 words") << QString("w ").repeated(85) << false << QString("w|").repeated(79) + "w";
        QTest::newRow("empty quotes") << "say \"\" x" << false << "say||x";
    }
    void words()
    {
        QFETCH(QString, line);
        QFETCH(bool, xash);
        QFETCH(QString, words);
        QCOMPARE(ConsoleText::words(line, xash ? EngineProfile::xash() : EngineProfile::original()).join(u'|'), words);
    }

    // What a key does, frame by frame, for scripts players use.
    void keys_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("press");
        QTest::addColumn<QString>("release");
        QTest::addColumn<QString>("note");
        QTest::newRow("jump-throw") << "alias +jt \"+jump;-attack\"\nalias -jt -jump\nbind t +jt\n" << "t"
                                    << "F1: +jt 116 +jump -attack" << "F1: -jt 116 -jump" << "";
        QTest::newRow("duck-jump") << "alias +dj \"+duck;wait;+jump\"\nalias -dj \"-jump;-duck\"\nbind SPACE +dj\n"
                                   << "space" << "F1: +dj 32 +duck wait F2: +jump" << "F1: -dj 32 -jump -duck" << "";
        QTest::newRow("plain + bind") << "bind MOUSE1 +attack\n" << "mouse1" << "F1: +attack 241"
                                      << "F1: -attack 241" << "";
        QTest::newRow("+ bind with more commands") << "bind x \"+jump;+duck\"\n" << "x" << "F1: +jump +duck 120"
                                                   << "F1: -jump +duck 120" << "held +duck";
        QTest::newRow("buy script") << "bind F1 \"buy ak47; buy vesthelm\"\n" << "F1"
                                    << "F1: buy ak47 buy vesthelm" << "" << "";
        QTest::newRow("say with quotes") << "bind F2 say \"gg wp\"\n" << "f2" << "F1: say gg wp" << "" << "";
        QTest::newRow("wait table") << "alias w3 \"wait;wait;wait\"\nalias jt \"+jump;w3;-jump\"\nbind j jt\n" << "j"
                                    << "F1: jt +jump w3 wait F2: wait F3: wait F4: -jump" << "" << "frames 4";
        QTest::newRow("self-calling alias") << "alias spin \"+left;spin\"\nbind k spin\n" << "k"
                                            << "" << "" << "freeze spin>spin";
        QTest::newRow("wait in a helper") << "alias w2 \"wait;wait\"\nalias spin \"+left;w2;-left;spin\"\nbind k spin\n"
                                          << "k" << "" << "" << "endless";
    }
    void keys()
    {
        QFETCH(QString, script);
        QFETCH(QString, key);
        QFETCH(QString, press);
        QFETCH(QString, release);
        QFETCH(QString, note);
        const Known known;
        const EngineProfile profile = EngineProfile::original();
        Console console(profile, known, folder({"a.cfg", script}, profile));
        console.addText("exec a.cfg\n", std::make_shared<ConsoleSource>());
        console.runUntilEmpty(10);
        const ConsoleStartup::KeyRun run = ConsoleStartup::key(console.state(), key, profile, known, folder({}, profile));
        if (!press.isEmpty())
            QCOMPARE(steps(run.press), press);
        if (!release.isEmpty())
            QCOMPARE(steps(run.release), release);
        if (note.startsWith("held"))
            QCOMPARE(QStringLiteral("held ") + run.heldAfter.join(u' '), note);
        if (note.startsWith("frames"))
            QCOMPARE(run.pressFrames, note.mid(7).toInt());
        if (note.startsWith("freeze")) {
            QVERIFY(!run.events.isEmpty());
            QCOMPARE(run.events.front().kind, ConsoleEvent::Kind::Freeze);
            QCOMPARE(run.events.front().chain.join(u'>'), note.mid(7));
        }
        if (note == "endless") {
            QVERIFY(run.endless);
            QVERIFY(std::none_of(run.events.begin(), run.events.end(),
                                 [](const ConsoleEvent &e) { return e.kind == ConsoleEvent::Kind::Freeze; }));
        }
    }

    // "Press again" follows a toggle to its next state.
    void toggle()
    {
        const Known known;
        const EngineProfile profile = EngineProfile::original();
        const QString script = "alias bhop bh_on\nalias bh_on \"alias bhop bh_off;+jump\"\n"
                               "alias bh_off \"alias bhop bh_on;-jump\"\nbind b bhop\n";
        Console console(profile, known, folder({"a.cfg", script}, profile));
        console.addText("exec a.cfg\n", std::make_shared<ConsoleSource>());
        console.runUntilEmpty(10);
        const auto first = ConsoleStartup::key(console.state(), "b", profile, known, {});
        QCOMPARE(steps(first.press), QStringLiteral("F1: bhop bh_on alias bhop bh_off +jump"));
        QCOMPARE(first.heldAfter, QStringList{"+jump"});
        const auto second = ConsoleStartup::key(first.after, "b", profile, known, {});
        QCOMPARE(steps(second.press), QStringLiteral("F1: bhop bh_off alias bhop bh_on -jump"));
        QVERIFY(second.after.held().isEmpty());
    }

    // Where each value came from, the aliases that set it named.
    void history()
    {
        const Known known;
        const EngineProfile profile = EngineProfile::original();
        const QStringList files = {"a.cfg", "volume 0.3\nexec u.cfg\n", "u.cfg", "alias vol_2 \"volume 0.2\"\nvol_2\n"};
        Console console(profile, known, folder(files, profile));
        console.addText("exec a.cfg\n", std::make_shared<ConsoleSource>());
        console.runUntilEmpty(10);
        const ConsoleVariable *v = console.state().variable("VOLUME");
        QVERIFY(v);
        QCOMPARE(v->defaultValue, std::optional<QString>("0.7"));
        QCOMPARE(v->history.size(), 2);
        QCOMPARE(v->history[0].place.describe(), QStringLiteral("a.cfg (line 1)"));
        QCOMPARE(v->history[1].place.describe(), QStringLiteral("alias vol_2, run from u.cfg (line 2)"));
        QCOMPARE(v->history[1].place.fileLine().line, 1);
        QVERIFY(v->history[0].step < v->history[1].step);
    }

    // The config.cfg the game writes, and what of the present one is lost.
    void writtenConfig()
    {
        const Known known;
        const EngineProfile profile = EngineProfile::original();
        const QStringList files = {"a.cfg", "bind MOUSE1 +attack\nbind q kill\nvolume 0.5\nfov 100\nsetinfo _pw x\n+mlook\n"};
        Console console(profile, known, folder(files, profile));
        console.addText("exec a.cfg\n", std::make_shared<ConsoleSource>());
        console.runUntilEmpty(10);
        QCOMPARE(WrittenConfig::text(console.state(), known),
                 QStringLiteral("// This file is overwritten whenever you change your user settings in the game.\n"
                                "// Add custom configurations to the file \"userconfig.cfg\".\n\nunbindall\n"
                                "bind \"q\" \"kill\"\nbind \"MOUSE1\" \"+attack\"\nvolume \"0.5\"\n"
                                "setinfo \"_pw\" \"x\"\n+mlook\nexec userconfig.cfg\n"));
        const QList<WrittenConfig::Lost> lost =
            WrittenConfig::lost("// header\n// two\nunbindall\nalias a kill\nfov 90\nvolume 1 // loud\nexec x.cfg\nbind q kill\n", known);
        QStringList lines;
        for (const auto &l : lost)
            lines.append(QString::number(l.line + 1));
        QCOMPARE(lines.join(u' '), QStringLiteral("4 5 6 7"));
        // After a start-up that sets nothing: its own +mlook held, a saved
        // variable written with its default, an unsaved one not at all.
        ConsoleStartup::Input input;
        input.profile = profile;
        input.known = &known;
        input.trials = false;
        input.find = folder({}, profile);
        const QString written = WrittenConfig::text(ConsoleStartup::run(input).state, known);
        QVERIFY2(written.contains("\nvolume \"0.7\"\n") && written.contains("\n+mlook\n") && !written.contains("fov"),
                 qPrintable(written));
    }

    // Random configurations: the run stays within its bounds, never
    // crashes, and gives the same state when run twice.
    void randomConfigurations()
    {
        const Known known;
        QRandomGenerator random(36);
        const QStringList pieces = {"exec f%1.cfg", "alias a%1 \"a%2;fov %1\"", "alias a%1 \"wait;a%2\"", "a%1",
                                    "bind k%1 a%2", "wait", "fov %1", "unbind k%1", "unbindall",
                                    "alias a%1 \"alias a%2 a%1;+jump\"", "+left", "-left %1", "exec f%1.cfg;a%2",
                                    "alias a%1 \"a%2;a%2\""};
        int resumes = 0;
        for (int round = 0; round < 40; ++round) {
            QStringList files;
            for (int f = 0; f < 4; ++f) {
                QString text;
                const int lines = random.bounded(1, 8);
                for (int l = 0; l < lines; ++l)
                    text += QString(pieces[random.bounded(int(pieces.size()))])
                                .replace("%1", QString::number(random.bounded(4)))
                                .replace("%2", QString::number(random.bounded(4)))
                            + u'\n';
                files << QStringLiteral("f%1.cfg").arg(f) << text;
            }
            const EngineProfile profile = round % 3 ? EngineProfile::original() : EngineProfile::xash();
            // A run ends within the model's bound of commands and frames; how
            // fast is bench_config's to say, not a test's.
            const QString once = run(files, profile, known);
            QCOMPARE(run(files, profile, known), once);
            QVERIFY(once.contains("frames="));

            // A file changed: the start-up taken up again from just before
            // it first ran is the fresh one, step for step. A large valve.rc
            // runs the files inside its line loop.
            if (round % 2)
                continue;
            const QString rc = QStringLiteral("exec f0.cfg\n%1exec f2.cfg\n")
                                   .arg(round % 4 ? QStringLiteral("// a large config\n").repeated(1000) : QString());
            auto byName = std::make_shared<QHash<QString, std::shared_ptr<const ConsoleFile>>>();
            byName->insert("valve.rc", std::make_shared<ConsoleFile>("/valve.rc", "valve.rc", rc, profile));
            for (qsizetype i = 0; i + 1 < files.size(); i += 2)
                byName->insert(files[i], std::make_shared<ConsoleFile>(u'/' + files[i], files[i], files[i + 1], profile));
            ConsoleStartup::Input input;
            input.profile = profile;
            input.known = &known;
            input.trials = false;
            input.watch = {"/f1.cfg", "/f2.cfg", "/f3.cfg"};
            auto startup = [&](const std::shared_ptr<QHash<QString, std::shared_ptr<const ConsoleFile>>> &in) {
                input.find = [in](const QString &name) { return in->value(name.toLower()); };
                const ConsoleRun r = ConsoleStartup::run(input);
                QStringList steps;
                for (const ConsoleEvent &e : r.events)
                    steps.append(QString::number(e.step));
                for (const ConsoleVariable &v : r.state.variables)
                    for (const ConsoleAssignment &a : v.history)
                        steps.append(QStringLiteral("%1 %2 %3").arg(v.name).arg(a.step).arg(a.place.describe()));
                steps.sort();
                resumes += r.resumedAt >= 0;
                return std::pair{r.resumes, summary(r.state, r.events, r.frames) + steps.join(u'\n')};
            };
            input.resumes = startup(byName).first;
            const QString edited = QStringLiteral("f%1.cfg").arg(random.bounded(1, 4));
            auto after = std::make_shared<QHash<QString, std::shared_ptr<const ConsoleFile>>>(*byName);
            after->insert(edited, std::make_shared<ConsoleFile>(u'/' + edited, edited, "fov 7\nexec f3.cfg\nwait\n", profile));
            const auto resumed = startup(after);
            input.resumes.reset();
            QCOMPARE(resumed.second, startup(after).second);
        }
        QVERIFY(resumes > 10);
    }

    // The engine chosen per game folder, kept in tessary.ini.
    void engineChoice()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath("tessary.ini");
        QCOMPARE(EngineChoice::load(ini, "/games/cstrike"), QStringLiteral("original"));
        QVERIFY(EngineChoice::save(ini, "/games/cstrike", "xash3d").ok());
        QCOMPARE(EngineChoice::load(ini, "/games/cstrike"), QStringLiteral("xash3d"));
        QCOMPARE(EngineChoice::load(ini, "/games/valve"), QStringLiteral("original"));
        QCOMPARE(EngineProfile::fromId("xash3d").bufferSize, 32768);
    }
};

QTEST_APPLESS_MAIN(tst_Console)
#include "tst_Console.moc"
