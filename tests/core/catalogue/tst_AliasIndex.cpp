#include "catalogue/AliasIndex.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

const QStringList Names = {"a", "A", "+b", "-b", "c"};

// A line that may define a few of the names, plainly, nested or in a comment.
QString randomLine(QRandomGenerator &rng)
{
    static const QStringList pieces = {"alias %1 \"wait; +jump\"", "alias %1", "bind x \"alias %1 kill\"",
                                       "// alias %1 x", "%1", "fps_max 100", "echo \"alias %1\""};
    QStringList parts;
    for (int n = rng.bounded(3); n >= 0; --n)
        parts.append(pieces[rng.bounded(pieces.size())].arg(Names[rng.bounded(Names.size())]));
    return parts.join(QStringLiteral("; "));
}

AliasIndex rescanned(const QStringList &lines)
{
    AliasIndex full;
    full.replaceLines(0, 0, lines);
    return full;
}

} // namespace

class tst_AliasIndex : public QObject
{
    Q_OBJECT

private slots:
    void findsTheDefinitionHeldAtStart()
    {
        const AliasIndex index = rescanned({"bind q \"alias go kill\"", "alias go \"+jump; wait\"", "alias Go x"});
        // One alias in any letter case, as the engine redefines it (Cmd_Alias_f, Q_stricmp).
        QCOMPARE(index.find("go"), (AliasIndex::Definition{"Go", "x", 2, {}, false}));
        QCOMPARE(AliasIndex::explanation(*index.find("GO")), QStringLiteral("alias Go: x (line 3)"));
        QCOMPARE(index.definitions("gO").size(), 3);
        QVERIFY(!index.find("kill"));
        QCOMPARE(index.definitions(), (QList<AliasIndex::Definition>{{"Go", "x", 2, {}, false}}));
    }

    // After any edit, the index answers as one built afresh from the whole text.
    void editsMatchAFullRescan()
    {
        QRandomGenerator rng(14);
        QStringList lines;
        AliasIndex index;
        for (int step = 0; step < 3000; ++step) {
            const int first = rng.bounded(int(lines.size()) + 1);
            const int removed = rng.bounded(std::min<int>(3, int(lines.size()) - first) + 1);
            QStringList added;
            for (int n = rng.bounded(step % 50 == 0 ? 40 : 3); n > 0; --n)
                added.append(randomLine(rng));
            lines.remove(first, removed);
            for (qsizetype i = 0; i < added.size(); ++i)
                lines.insert(first + i, added[i]);
            const quint64 before = index.namesGeneration();
            QStringList definedBefore;
            for (const QString &name : Names)
                if (index.defines(name))
                    definedBefore.append(name);
            index.replaceLines(first, removed, added);

            const AliasIndex full = rescanned(lines);
            QCOMPARE(index.lineCount(), lines.size());
            QStringList definedAfter;
            for (const QString &name : Names) {
                QCOMPARE(index.find(name), full.find(name));
                QCOMPARE(index.defines(name), full.defines(name));
                if (index.defines(name))
                    definedAfter.append(name);
            }
            // The colours refresh whenever the defined names change.
            if (definedBefore != definedAfter)
                QVERIFY(index.namesGeneration() != before);
        }
    }
};

QTEST_APPLESS_MAIN(tst_AliasIndex)
#include "tst_AliasIndex.moc"
