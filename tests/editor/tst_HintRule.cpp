#include "editor/Catalogue.h"
#include "editor/HintRule.h"
#include "editor/MemoryClipboard.h"
#include "editor/MemoryEditBox.h"
#include "editor/RichText.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

struct Literal
{
    QString word;
    bool writesSearchBox = false;
    QString caption;
};

// The rule as the window states it, run on the whole rich-text form:
// positions from 1, the scan from the length less 7 back to the last space.
Literal literalRule(const QString &text, const Catalogue &catalogue)
{
    const QString s = RichText::fromPlain(text);
    const int length = int(s.size());
    Literal r;
    for (int p = length - 7;; --p) {
        if (p == 1) {
            r.word = text;
            break;
        }
        if (s[p - 1] == u' ') {
            r.word = s.mid(p, length - p - 10);
            r.writesSearchBox = true;
            break;
        }
    }
    if (r.word.isEmpty() || r.word == QLatin1String(" "))
        return r;
    r.caption = r.word;
    for (int k = 1; k <= Catalogue::Entries; ++k) {
        if (catalogue.strCmdName[k] == r.word) {
            r.caption = catalogue.strCmdText[k] + QStringLiteral(" (Range: ") + catalogue.strCmdRange[k]
                        + QStringLiteral(") (") + catalogue.strCmdNote[k] + QStringLiteral(")");
            break;
        }
    }
    return r;
}

void addEntry(Catalogue &catalogue, int k, const QString &name)
{
    catalogue.strCmdName[k] = name;
    catalogue.strCmdText[k] = QStringLiteral("text %1").arg(k);
    catalogue.strCmdRange[k] = QStringLiteral("0-%1").arg(k);
    catalogue.strCmdNote[k] = QStringLiteral("note %1").arg(k);
}

} // namespace

class tst_HintRule : public QObject
{
    Q_OBJECT

private slots:
    // Thousands of documents built from the pieces that the rich-text form
    // escapes or breaks on, each compared with the rule run on the whole form.
    void agreesWithTheRuleOnTheWholeRichText()
    {
        Catalogue catalogue;
        addEntry(catalogue, 3, QStringLiteral("gamma"));
        addEntry(catalogue, 7, QStringLiteral("gamma")); // the lower number wins
        addEntry(catalogue, 5, QStringLiteral("GAMMA"));
        addEntry(catalogue, 9, QStringLiteral("caf\\'e9"));  // as "café" is escaped
        addEntry(catalogue, 11, QStringLiteral("a\\par\r\nb"));
        addEntry(catalogue, Catalogue::Entries, QStringLiteral("rate"));
        catalogue.reindex();

        const QStringList pieces = {
            QStringLiteral("gamma"), QStringLiteral("GAMMA"), QStringLiteral("1"), QStringLiteral("rate"),
            QStringLiteral("caf\u00e9"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("\r\n"),
            QStringLiteral("\n"), QStringLiteral("\r"), QStringLiteral("\t"), QStringLiteral("\\"),
            QStringLiteral("{"), QStringLiteral("}"), QStringLiteral("\u20ac"), QStringLiteral("\u00a0"),
            QStringLiteral("\u0100"), QStringLiteral("\U0001F600"), QString(QChar(0)), QStringLiteral("\u0081"),
        };
        const quint32 seed = qEnvironmentVariableIsSet("SEED") ? quint32(qEnvironmentVariableIntValue("SEED"))
                                                               : QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        MemoryClipboard clipboard;
        MemoryEditBox box(clipboard);
        for (int n = 0; n < 5000; ++n) {
            // Some documents have no space at all, some only at their start.
            const int spaceChance = int(random.bounded(3)) * 15;
            const bool spacesFirst = random.bounded(4) == 0;
            QString text = spacesFirst ? QString(int(random.bounded(3)), u' ') : QString();
            const int count = int(random.bounded(12));
            for (int i = 0; i < count; ++i)
                text += !spacesFirst && int(random.bounded(100)) < spaceChance ? QStringLiteral(" ")
                                                                                : pieces[random.bounded(pieces.size())];
            box.setText(text);
            const Literal expected = literalRule(text, catalogue);
            const Hint hint = hintFor(box, catalogue);
            const QByteArray where = QStringLiteral("seed %1 document %2").arg(seed).arg(n).toLatin1();
            QVERIFY2(expected.writesSearchBox, where);
            QVERIFY2(hint.word == expected.word, where);
            QVERIFY2(hint.caption == expected.caption, where);
        }
    }
};

QTEST_GUILESS_MAIN(tst_HintRule)
#include "tst_HintRule.moc"
