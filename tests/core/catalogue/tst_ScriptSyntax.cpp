#include "catalogue/AliasIndex.h"
#include "catalogue/ScriptSyntax.h"

#include "core/catalogue/TestCatalogue.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// Tokens as "kind:text", a "!" marking a bad value and a "?" one the game
// moves into its range: easy to write and read in rows.
QString render(QStringView line, const QList<SyntaxToken> &tokens)
{
    static const char *const names[] = {"plain", "known", "cmd", "str", "num", "comment", "sep", "prefix", "key"};
    QStringList parts;
    for (const SyntaxToken &t : tokens)
        parts << QStringLiteral("%1%2:%3")
                     .arg(QLatin1String(names[int(t.kind)]),
                          t.badValue ? QStringLiteral("!") : t.valueNotice ? QStringLiteral("?") : QString(),
                          line.mid(t.start, t.length));
    return parts.join(u' ');
}

} // namespace

class tst_ScriptSyntax : public QObject
{
    Q_OBJECT

    std::unique_ptr<Catalogue> m_catalogue = testCatalogue();

private slots:
    void tokens_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("tokens");
        const QString cfg = QStringLiteral("autoexec.cfg");
        QTest::newRow("value above") << cfg << "sensitivity 300" << "known:sensitivity num!:300";
        QTest::newRow("misspelt name stays plain") << cfg << "sensitivty 300" << "num:300";
        // The engine ignores letter case (Q_stricmp); the range still applies.
        QTest::newRow("other letter case") << cfg << "Sensitivity 300; +ATTACK" << "known:Sensitivity num!:300 sep:; known:+ATTACK";
        QTest::newRow("other case in a bind") << cfg << "bind x \"-Jump\"" << "cmd:bind str:\" prefix:- known:Jump str:\"";
        QTest::newRow("not a number") << cfg << "cl_updaterate abc" << "known:cl_updaterate plain!:abc";
        QTest::newRow("kept: a notice") << cfg << "rate 500000" << "known:rate num?:500000";
        QTest::newRow("a game library takes more") << cfg << "sv_alltalk 3" << "known:sv_alltalk num:3";
        QTest::newRow("past what any library takes") << cfg << "sv_alltalk 7" << "known:sv_alltalk num!:7";
        QTest::newRow("echo is not a setting") << cfg << "echo sensitivity 300" << "cmd:echo known:sensitivity num:300";
        QTest::newRow("bind settings out of range")
            << cfg << "bind \"x\" \"sensitivity 50;volume 2\""
            << "cmd:bind str:\"x\" str:\" known:sensitivity num!:50 sep:; known:volume num!:2 str:\"";
        QTest::newRow("alias with actions")
            << cfg << "alias \"+jumpthrow\" \"+jump;-attack\""
            << "cmd:alias str:\"+jumpthrow\" str:\" prefix:+ known:jump sep:; prefix:- known:attack str:\"";

        QTest::newRow("text file") << "readme.txt" << "volume 2 \"quoted\" // note" << "num:2 str:\"quoted\" comment:// note";
        QTest::newRow("definition property")
            << "halflife.fgd" << "health(integer) : \"Health\" : -10 // hp"
            << "cmd:health sep:( key:integer sep:) sep:: str:\"Health\" sep:: num:-10 comment:// hp";
    }
    void tokens()
    {
        QFETCH(QString, path);
        QFETCH(QString, line);
        QTEST(render(line, tokenizeLine(line, syntaxForPath(path), *m_catalogue)), "tokens");
    }

    // Lines joined by a lone line feed tokenize as the lines alone, and every
    // token lies inside the line, in order, without overlapping.
    void linesStandAlone()
    {
        static const char *const pieces[] = {"sensitivity", "volume", "bind", "alias", "+attack", "-jump", "3",
                                             "300", "-1.5", "abc", "\"", "\"x\"", ";", "//", " ", " ", "\t", "1."};
        QRandomGenerator rng(9);
        const auto randomLine = [&] {
            QString line;
            for (int n = rng.bounded(8); n > 0; --n)
                line += QLatin1String(pieces[rng.bounded(int(std::size(pieces)))]) + QLatin1Char(' ');
            return line;
        };
        for (const FileSyntax syntax : {FileSyntax::Script, FileSyntax::Plain, FileSyntax::Fgd}) {
            for (int round = 0; round < 2000; ++round) {
                const QString a = randomLine();
                const QString b = randomLine();
                const QString joined = a + QChar(0x2028) + b;
                QList<SyntaxToken> expected = tokenizeLine(a, syntax, *m_catalogue);
                for (SyntaxToken t : tokenizeLine(b, syntax, *m_catalogue)) {
                    t.start += int(a.size()) + 1;
                    t.valueStart += t.badValue || t.valueNotice ? int(a.size()) + 1 : 0;
                    expected.append(t);
                }
                const QList<SyntaxToken> actual = tokenizeLine(joined, syntax, *m_catalogue);
                QVERIFY2(actual == expected, qPrintable(joined));
                int end = 0;
                for (const SyntaxToken &t : actual) {
                    QVERIFY2(t.start >= end && t.length > 0, qPrintable(joined));
                    end = t.start + t.length;
                }
                QVERIFY(end <= joined.size());
            }
        }
    }

    void hover_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        const QString cfg = QStringLiteral("autoexec.cfg");
        const QString sensitivity = QStringLiteral("Mouse sensitivity (Range: 0.1-10) (default 3)");
        QTest::newRow("known name, first letter") << cfg << "sensitivity 300" << 0 << sensitivity;
        QTest::newRow("bad value")
            << cfg << "sensitivity 300" << 14 << "sensitivity takes a number from 0.1 to 10 (Range: 0.1-10): 300 is above 10";
        QTest::newRow("bad quoted value, on its quote")
            << cfg << "cl_updaterate \"abc\"" << 14
            << "cl_updaterate takes a number from 10 to 101 (Range: 10-101): \"abc\" is not a number";
        QTest::newRow("value the game moves")
            << cfg << "rate 500000" << 6
            << "rate takes a number of 0 or more, kept from 1000 to 100000 (Range: 0 or more, kept 1000-100000): "
               "500000: the game keeps it at most 100000";
        QTest::newRow("known word in a text file") << "notes.txt" << "// raise volume here" << 10
                                                   << "Sound volume (Range: 0-1) ()";
    }
    void hover()
    {
        QFETCH(QString, path);
        QFETCH(QString, line);
        QFETCH(int, column);
        QTEST(hoverText(line, column, syntaxForPath(path), *m_catalogue), "text");
    }

    // Names the document aliases are known words, explained by their
    // definition, in any letter case; the catalogue's own names keep their entries.
    void documentAliases()
    {
        AliasIndex aliases;
        aliases.replaceLines(0, 0, {"// mine", "alias go \"+attack; wait\"", "alias volume x"});
        const QString line = QStringLiteral("go; bind x go; Go; volume 0.5");
        QCOMPARE(render(line, tokenizeLine(line, FileSyntax::Script, *m_catalogue, &aliases)),
                 QStringLiteral("known:go sep:; cmd:bind known:go sep:; known:Go sep:; known:volume num:0.5"));
        QCOMPARE(hoverText(line, 12, FileSyntax::Script, *m_catalogue, &aliases),
                 QStringLiteral("alias go: +attack; wait (line 2)"));
        QCOMPARE(hoverText(line, 16, FileSyntax::Script, *m_catalogue, &aliases), QStringLiteral("alias go: +attack; wait (line 2)"));
        QCOMPARE(hoverText(line, 20, FileSyntax::Script, *m_catalogue, &aliases),
                 QStringLiteral("Sound volume (Range: 0-1) ()"));
    }
};

QTEST_GUILESS_MAIN(tst_ScriptSyntax)
#include "tst_ScriptSyntax.moc"
