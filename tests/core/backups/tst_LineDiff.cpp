#include "backups/LineDiff.h"

#include <QRandomGenerator>
#include <QTest>

#include <vector>

using namespace LineDiff;

namespace {

// The length of the longest common subsequence, the plain quadratic way.
int lcsLength(const QStringList &a, const QStringList &b)
{
    std::vector<std::vector<int>> t(size_t(a.size() + 1), std::vector<int>(size_t(b.size() + 1), 0));
    for (qsizetype i = a.size() - 1; i >= 0; --i)
        for (qsizetype j = b.size() - 1; j >= 0; --j)
            t[size_t(i)][size_t(j)] = a[i] == b[j] ? t[size_t(i + 1)][size_t(j + 1)] + 1
                                                   : std::max(t[size_t(i + 1)][size_t(j)], t[size_t(i)][size_t(j + 1)]);
    return t[0][0];
}

QStringList randomLines(QRandomGenerator &random)
{
    static const QStringList pool = {"bind w +forward", "sensitivity 2", "", "exec binds.cfg", "fps_max 100",
                                     "// mine"};
    QStringList lines;
    for (int i = int(random.bounded(12)); i > 0; --i)
        lines << pool[random.bounded(int(pool.size()))];
    return lines;
}

} // namespace

class tst_LineDiff : public QObject
{
    Q_OBJECT

private slots:
    // Against a plain LCS on random texts: the lines kept are a longest
    // common run, each text is rebuilt from its side in order with its own
    // line numbers, removals come before additions, and the side-by-side
    // rows show every line once on its own side.
    void matchesLongestCommonSubsequence()
    {
        QRandomGenerator random(26);
        for (int round = 0; round < 3000; ++round) {
            const QStringList a = randomLines(random);
            const QStringList b = round % 7 == 0 ? a : randomLines(random);
            // The lines come back from their text with any one kind of line end, the
            // last line's own or none.
            const QString end = QStringList{"\n", "\r\n", "\r"}[round % 3];
            const QString text = a.isEmpty() ? QString() : a.join(end) + (a.last().isEmpty() || round % 2 ? end : QString());
            QCOMPARE(LineDiff::splitLines(text), a);
            const QList<Line> lines = compare(a, b);
            QStringList oldSide, newSide;
            int same = 0;
            for (qsizetype i = 0; i < lines.size(); ++i) {
                const Line &l = lines[i];
                if (l.kind != Kind::Added) {
                    oldSide << l.text;
                    QCOMPARE(l.oldLine, int(oldSide.size()));
                }
                if (l.kind != Kind::Removed) {
                    newSide << l.text;
                    QCOMPARE(l.newLine, int(newSide.size()));
                }
                same += l.kind == Kind::Same;
                if (i > 0 && l.kind == Kind::Removed)
                    QVERIFY(lines[i - 1].kind != Kind::Added);
            }
            QCOMPARE(oldSide, a);
            QCOMPARE(newSide, b);
            QCOMPARE(same, lcsLength(a, b));
            QCOMPARE(changed(lines), a != b);

            QList<int> left, right;
            for (const Row &row : sideBySide(lines)) {
                QVERIFY(row.left >= 0 || row.right >= 0);
                if (row.left >= 0) {
                    QVERIFY(lines[row.left].kind != Kind::Added);
                    left << row.left;
                }
                if (row.right >= 0) {
                    QVERIFY(lines[row.right].kind != Kind::Removed);
                    right << row.right;
                }
                if (row.left >= 0 && row.right >= 0 && lines[row.left].kind == Kind::Same)
                    QCOMPARE(row.left, row.right);
            }
            QCOMPARE(left.size() + right.size() - same, int(lines.size()));
            QVERIFY(std::is_sorted(left.begin(), left.end()) && std::is_sorted(right.begin(), right.end()));
        }
    }
};

QTEST_APPLESS_MAIN(tst_LineDiff)
#include "tst_LineDiff.moc"
