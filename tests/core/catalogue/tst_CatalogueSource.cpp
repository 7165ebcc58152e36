#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueFamily.h"
#include "catalogue/CatalogueSource.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Values that stress the source form: separators, comment marks, leading
// and trailing spaces, Windows-1252 letters, the longest value.
QString randomValue(QRandomGenerator &rng)
{
    static const QString pool = QStringLiteral("ab :#\t-0.9\u00e9\u20ac\u00ff\\\"");
    if (rng.bounded(10) == 0)
        return QString(126, u'x');
    QString v;
    for (int n = rng.bounded(12); n > 0; --n)
        v += pool[rng.bounded(pool.size())];
    return v;
}

// A command of the base game, with nothing else said of it.
CatalogueEntry entry(const QString &name)
{
    return {name, QStringLiteral("engine"), {}, QStringLiteral("command"), {}, {}};
}

// A family, a kind and any flags, in the compiled form of fields 2 and 4.
void randomFacts(QRandomGenerator &rng, CatalogueEntry &e)
{
    const auto families = CatalogueFamilies::all();
    e.field2 = families[rng.bounded(int(families.size()))].id;
    QStringList flags;
    for (const QString &flag : Catalogue::flagWords())
        if (rng.bounded(2))
            flags.append(flag);
    e.field4 = Catalogue::kindField(rng.bounded(2), flags);
}

} // namespace

class tst_CatalogueSource : public QObject
{
    Q_OBJECT

private slots:
    void sourceAndDatRoundTrip()
    {
        QTemporaryDir dir;
        const QString dat = dir.filePath(QStringLiteral("commands.dat"));
        QRandomGenerator rng(7);
        for (int round = 0; round < 30; ++round) {
            QList<CatalogueEntry> entries(rng.bounded(round == 0 ? 1500 : 40) + 1);
            for (CatalogueEntry &e : entries) {
                e = {randomValue(rng), randomValue(rng), randomValue(rng),
                     randomValue(rng), randomValue(rng), randomValue(rng)};
                if (rng.bounded(8) == 0)
                    e.range = e.text = QString();
                randomFacts(rng, e);
                e.name = e.name.left(125) + u'n'; // six empty fields make a free slot
            }
            const auto source = CatalogueSource::write(entries);
            QVERIFY(source.ok());
            const auto parsed = CatalogueSource::parse(source.value(), QStringLiteral("s"));
            QVERIFY2(parsed.ok(), qPrintable(parsed.error()));
            QCOMPARE(parsed.value().entries, entries);

            QVERIFY(CatalogueSource::compile(entries, dat).ok());
            QCOMPARE(QFileInfo(dat).size(), 1152000);
            const auto dumped = CatalogueSource::dump(dat);
            QVERIFY(dumped.ok());
            QCOMPARE(dumped.value(), entries);
            // The facts read back from the compiled fields are the ones chosen.
            auto c = std::make_unique<Catalogue>();
            QVERIFY(LoadCatalogue(*c, dir.path()).ok());
            for (int k = 1; k <= int(entries.size()); ++k) {
                const CatalogueFacts f = c->facts(k);
                QStringList flags;
                for (const auto &[word, set] : {std::pair{"archived", f.archived}, {"cheat", f.cheat}, {"server", f.serverOnly}})
                    if (set)
                        flags.append(QString::fromLatin1(word));
                QCOMPARE(f.family, entries[k - 1].field2);
                QCOMPARE(Catalogue::kindField(f.isVariable, flags), entries[k - 1].field4);
                if (f.family == u"regamedll")
                    QVERIFY(c->explanation(k).endsWith(QStringLiteral("(only with ReGameDLL)")));
            }
        }
    }

    void refusesBadSource_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QString>("error");
        QByteArray tooMany;
        for (int i = 0; i <= 1500; ++i)
            tooMany += "name: n" + QByteArray::number(i) + "\n\n";
        QTest::newRow("field over 126") << "name: a\ntext: " + QByteArray(127, 'x') << "s:2: text is 127";
        QTest::newRow("outside windows-1252") << QByteArray("# c\nname: a\nnote: \xd0\x96") << "s:3: note holds U+0416";
        QTest::newRow("1501 entries") << tooMany << "s:3001: entry 1501 is one too many";
        QTest::newRow("invalid utf-8") << QByteArray("name: a\nrange: \xff") << "s:2: the line is not valid UTF-8";
        QTest::newRow("unknown key") << QByteArray("name: a\nhint: b") << "s:2: expected";
        QTest::newRow("blank line missing") << QByteArray("name: a\nname: b") << "s:2: name given twice";
        QTest::newRow("no name") << QByteArray("name: a\n\r\n\ntext: b\nnote: c") << "s:4: the entry has no name";
        QTest::newRow("no family") << QByteArray("\nname: a\nkind: command") << "s:2: the entry has no family line";
    }
    void refusesBadSource()
    {
        QFETCH(QByteArray, source);
        QFETCH(QString, error);
        const auto parsed = CatalogueSource::parse(source, QStringLiteral("s"));
        QVERIFY(!parsed.ok());
        QVERIFY2(parsed.error().contains(error), qPrintable(parsed.error()));
    }

    // Several parts make one catalogue; where a fact was verified is not
    // compiled. A name given again, in any letter case, can never be looked
    // up, nor one with a space.
    void readsSeveralSources()
    {
        const auto parsed = CatalogueSource::parse(
            {{"name: a\nfamily: engine\nkind: command\nverified: engine cmd.cpp\ntext: t\n", "one.txt"},
             {"# part two\nname: b\nfamily: engine\nkind: command\n\nname: a\nfamily: engine\nkind: command\n\n"
              "name: B\nfamily: engine\nkind: command\n\nname: b c\nfamily: engine\nkind: command\n",
              "two.txt"}});
        QVERIFY2(parsed.ok(), qPrintable(parsed.error()));
        CatalogueEntry first = entry("a");
        first.text = QStringLiteral("t");
        QCOMPARE(parsed.value().entries, (QList<CatalogueEntry>{first, entry("b"), entry("a"), entry("B"), entry("b c")}));
        QCOMPARE(parsed.value().warnings,
                 (QStringList{"two.txt:6: \"a\" repeats the entry of one.txt:1, which is the one shown",
                              "two.txt:10: \"B\" repeats the entry of line 2, which is the one shown",
                              "two.txt:14: \"b c\" can never be looked up: a name has no spaces"}));
        const auto broken = CatalogueSource::parse(
            {{"name: a\nfamily: engine\nkind: command\n", "one.txt"}, {"name: b\nhint: x\n", "two.txt"}});
        QVERIFY(!broken.ok());
        QVERIFY2(broken.error().startsWith("two.txt:2: expected \"name:\""), qPrintable(broken.error()));
    }

    void readingsAreCounted_data()
    {
        QTest::addColumn<QByteArray>("readings");
        QTest::addColumn<int>("awaiting");
        QTest::addColumn<QString>("problem");
        QTest::newRow("two readings") << QByteArray("verified: a\nverified: b\n") << 0 << QString();
        QTest::newRow("one, pending") << QByteArray("verified: a\npending: second reading\n") << 1 << QString();
        QTest::newRow("one, marked done") << QByteArray("verified: a\n") << 1 << "one verified: reading and no pending:";
        QTest::newRow("none") << QByteArray("pending: x\n") << 1 << "has no verified: line";
        QTest::newRow("empty reading") << QByteArray("verified: a\nverified: \n") << 1 << "one verified: reading";
        QTest::newRow("stale pending") << QByteArray("verified: a\npending: x\nverified: b\n") << 0 << "its pending: line goes";
    }
    void readingsAreCounted()
    {
        QFETCH(QByteArray, readings);
        QFETCH(int, awaiting);
        QFETCH(QString, problem);
        const auto parsed = CatalogueSource::parse("name: a\nfamily: engine\nkind: command\n" + readings
                                                       + "\nname: b\nfamily: engine\nkind: command\nverified: x\nverified: y\n",
                                                   "s");
        QVERIFY2(parsed.ok(), qPrintable(parsed.error()));
        QCOMPARE(CatalogueSource::awaitingSecondReading(parsed.value()), awaiting);
        const QStringList problems = CatalogueSource::readingProblems(parsed.value());
        QCOMPARE(problems.size(), problem.isEmpty() ? 0 : 1);
        if (!problem.isEmpty())
            QVERIFY2(problems[0].startsWith(QStringLiteral("s:1: \"a\"")) && problems[0].contains(problem),
                     qPrintable(problems[0]));
    }

    // A file counts as the game's only as the game writes it.
    void savedLinesOfAGameWrittenFile_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("refusal"); // empty: taken
        QTest::addColumn<QByteArray>("lines");
        QTest::newRow("as written") << QByteArray("unbindall\nbind \"TAB\" \"+showscores\"\n_snd_mixahead \"0.1\"\n"
                                                  "gl_fog \"1\"\nMP3Volume \"0.8\"\nsetinfo \"_ah\" \"0\"\n+mlook\n"
                                                  "exec userconfig.cfg\n")
                                    << QString() << QByteArray("_snd_mixahead \"0.1\"\ngl_fog \"1\"\nMP3Volume \"0.8\"\n");
        QTest::newRow("alias added by hand") << QByteArray("gl_fog \"1\"\nalias \"a\" \"b\"\n") << "no such line" << QByteArray();
        QTest::newRow("out of order") << QByteArray("volume \"1\"\ngl_fog \"1\"\n") << "gl_fog is out of" << QByteArray();
    }
    void savedLinesOfAGameWrittenFile()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, refusal);
        QFETCH(QByteArray, lines);
        const QByteArray header("// This file is overwritten whenever you change your user settings in the game.\r\n"
                                "// Add custom configurations to the file \"userconfig.cfg\".\r\n\r\n");
        const auto taken = CatalogueSource::savedLinesOf(header + body, "c");
        QVERIFY2(taken.ok() == refusal.isEmpty(), qPrintable(taken.ok() ? QString() : taken.error()));
        if (taken.ok())
            QCOMPARE(taken.value(), lines);
        else
            QVERIFY2(taken.error().contains(refusal), qPrintable(taken.error()));
        QVERIFY(!CatalogueSource::savedLinesOf(body, "c").ok());
    }

    void savedFlagsAgreeWithTheTable_data()
    {
        QTest::addColumn<QByteArray>("facts");
        QTest::addColumn<QString>("problem"); // empty: agrees
        QTest::newRow("saved, flagged") << QByteArray("name: GL_fog\nkind: variable\nflags: archived\n") << QString();
        QTest::newRow("saved, unflagged") << QByteArray("name: gl_fog\nkind: variable\n") << "2 of 2 of its config.cfg files) but not flagged";
        QTest::newRow("saved, a command") << QByteArray("name: gl_fog\nkind: command\n") << "not a command";
        QTest::newRow("flagged, in no file") << QByteArray("name: r_decals\nkind: variable\nflags: archived\n") << "no saved: line";
        QTest::newRow("flagged, code cited") << QByteArray("name: r_decals\nkind: variable\nflags: archived\nsaved: x.cpp\n") << QString();
        QTest::newRow("cited, unflagged") << QByteArray("name: r_decals\nkind: variable\nsaved: x.cpp\n") << "no archived flag";
        QTest::newRow("unsaved, unflagged") << QByteArray("name: r_decals\nkind: variable\n") << QString();
    }
    void savedFlagsAgreeWithTheTable()
    {
        QFETCH(QByteArray, facts);
        QFETCH(QString, problem);
        const auto saved = CatalogueSource::parseSaved("# two files\n[one]\ngl_fog \"1\"\n\n[two]\ngl_fog \"0\"\nvolume \"1\"\n", "t");
        QVERIFY2(saved.ok(), qPrintable(saved.error()));
        QCOMPARE(saved.value().find("GL_FOG")->values, QStringList({"0", "1"}));
        const auto parsed = CatalogueSource::parse(facts + "family: engine\nverified: a\nverified: b\n", "s");
        QVERIFY2(parsed.ok(), qPrintable(parsed.error()));
        const QStringList problems = CatalogueSource::savedFlagProblems(parsed.value(), saved.value());
        QCOMPARE(problems.size(), problem.isEmpty() ? 0 : 1);
        if (!problem.isEmpty())
            QVERIFY2(problems[0].contains(problem), qPrintable(problems[0]));
    }
};

QTEST_APPLESS_MAIN(tst_CatalogueSource)
#include "tst_CatalogueSource.moc"
