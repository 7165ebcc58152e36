#include "catalogue/AliasIndex.h"
#include "catalogue/Catalogue.h"
#include "catalogue/HintRule.h"
#include "editbox/MemoryClipboard.h"
#include "editbox/MemoryEditBox.h"
#include "editbox/RichText.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// The rule as the window states it, on the whole rich-text form: positions
// from 1, scanning back from the length less 7 to the last space, then the
// first entry of that name.
Hint literalRule(const QString &text, const Catalogue &catalogue, bool &writesSearchBox)
{
    const QString s = RichText::fromPlain(text);
    const int length = int(s.size());
    Hint r;
    int p = length - 7;
    while (p != 1 && s[p - 1] != u' ')
        --p;
    writesSearchBox = p != 1;
    r.word = p == 1 ? text : s.mid(p, length - p - 10);
    if (r.word.isEmpty() || r.word == QLatin1String(" "))
        return r;
    r.caption = r.word;
    for (int k = 1; k <= Catalogue::Entries; ++k) {
        // The engine ignores the case of ASCII letters (Q_stricmp).
        if (!catalogue.strCmdName[k].isEmpty() && Catalogue::foldedName(catalogue.strCmdName[k]) == Catalogue::foldedName(r.word)) {
            r.caption = catalogue.strCmdText[k] + " (Range: " + catalogue.strCmdRange[k] + ") ("
                        + catalogue.strCmdNote[k] + ")";
            break;
        }
    }
    return r;
}

} // namespace

class tst_HintRule : public QObject
{
    Q_OBJECT

private slots:
    // Thousands of documents built from pieces the rich-text form escapes or
    // breaks on; some without any space, some with spaces only at the start.
    void agreesWithTheRuleOnTheWholeRichText()
    {
        Catalogue catalogue;
        // Equal names (the lower number wins), another letter case, escaped forms.
        const QList<QPair<int, QString>> names = {{7, "gamma"}, {3, "gamma"}, {5, "GAMMA"}, {2, "MP3Volume"}, {9, "caf\\'e9"},
                                                 {11, "a\\par\r\nb"}, {Catalogue::Entries, "rate"}};
        for (const auto &[k, name] : names) {
            catalogue.strCmdName[k] = name;
            catalogue.strCmdText[k] = QStringLiteral("text %1").arg(k);
            catalogue.strCmdRange[k] = QStringLiteral("0-%1").arg(k);
            catalogue.strCmdNote[k] = QStringLiteral("note %1").arg(k);
        }
        catalogue.reindex();
        const QStringList pieces = {"gamma", "GAMMA", "Gamma", "mp3volume", "MP3volume", "\u00c9", "1", "rate", "caf\u00e9", "a", "b", "\r\n", "\n", "\r", "\t",
                                    "\\", "{", "}", "\u20ac", "\u00a0", "\u0100", "\U0001F600", QString(QChar(0)),
                                    QString(40, u'x')};
        const quint32 seed = qEnvironmentVariableIsSet("SEED") ? qEnvironmentVariable("SEED").toUInt()
                                                               : QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        MemoryClipboard clipboard;
        MemoryEditBox box(clipboard);
        for (int n = 0; n < 5000; ++n) {
            const int spaceChance = int(random.bounded(3)) * 15;
            const bool spacesFirst = random.bounded(4) == 0;
            QString text = spacesFirst ? QString(int(random.bounded(3)), u' ') : QString();
            for (int i = int(random.bounded(16)); i > 0; --i)
                text += !spacesFirst && int(random.bounded(100)) < spaceChance ? QStringLiteral(" ")
                                                                                : pieces[random.bounded(pieces.size())];
            box.setText(text);
            bool writesSearchBox = false;
            bool cutAtAll = false;
            const Hint expected = literalRule(text, catalogue, writesSearchBox);
            // A limit above the longest name may cut a word to its beginning.
            const int limit = random.bounded(2) ? HintWordLimit : 127 + int(random.bounded(20));
            const Hint hint = hintFor(box, catalogue, limit);
            const QByteArray where = QStringLiteral("seed %1 document %2").arg(seed).arg(n).toLatin1();
            QVERIFY2(writesSearchBox, where);
            const bool cut = hint.word.size() < expected.word.size();
            QVERIFY2(hint.word == expected.word.left(hint.word.size()), where);
            QVERIFY2(hint.caption == (cut ? hint.word : expected.caption), where);
            QVERIFY2(!cut || box.textAfterLastSpace(HintWordLimit, cutAtAll).size() > limit, where);
        }
    }

    // Where the rule would show the bare word, a name the document aliases
    // shows its definition; catalogue entries come first, letter case aside.
    void explainsTheDocumentsAliases_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("caption");
        QTest::newRow("aliased") << "echo x\nalias go \"+jump; wait\"\nbind x go" << "alias go: +jump; wait (line 2)";
        QTest::newRow("redefined in another case") << "alias go kill\nalias GO +jump\nbind x gO" << "alias GO: +jump (line 2)";
        QTest::newRow("catalogue first") << "alias gamma kill\nbind x gamma" << "text 1 (Range: 1.8-3) (note 1)";
    }
    void explainsTheDocumentsAliases()
    {
        QFETCH(QString, text);
        Catalogue catalogue;
        catalogue.strCmdName[1] = QStringLiteral("gamma");
        catalogue.strCmdText[1] = QStringLiteral("text 1");
        catalogue.strCmdRange[1] = QStringLiteral("1.8-3");
        catalogue.strCmdNote[1] = QStringLiteral("note 1");
        catalogue.reindex();
        MemoryClipboard clipboard;
        MemoryEditBox box(clipboard);
        box.setText(text);
        AliasIndex aliases;
        aliases.replaceLines(0, 0, text.split(u'\n'));
        QTEST(hintFor(box, catalogue, HintWordLimit, &aliases).caption, "caption");
    }
};

QTEST_GUILESS_MAIN(tst_HintRule)
#include "tst_HintRule.moc"
