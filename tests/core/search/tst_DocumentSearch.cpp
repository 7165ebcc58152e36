#include "editbox/MemoryClipboard.h"
#include "editbox/MemoryEditBox.h"
#include "search/DocumentSearch.h"
#include "search/JumpHistory.h"
#include "search/LineNumbers.h"
#include "undo/clsUndo.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// Whether the text holds a match at i, tried the slow way.
bool matchesAt(const QString &text, const QString &find, SearchOptions options, qsizetype i)
{
    const qsizetype end = i + find.size();
    const auto splitsBreak = [&](qsizetype at) {
        return at > 0 && at < text.size() && text[at - 1] == u'\r' && text[at] == u'\n';
    };
    return end <= text.size()
        && QStringView(text).mid(i, find.size()).compare(find, options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0
        && !splitsBreak(i) && !splitsBreak(end)
        && (!options.wholeWord || ((i == 0 || !isWordChar(text[i - 1])) && (end == text.size() || !isWordChar(text[end]))));
}

// Replace All done the slow way: every position in turn.
QString replacedSlowly(const QString &text, const QString &find, const QString &replacement, SearchOptions options,
                       int &count)
{
    QString out;
    count = 0;
    for (qsizetype i = 0; i < text.size();) {
        if (matchesAt(text, find, options, i)) {
            out += replacement;
            i += find.size();
            ++count;
        } else {
            out += text[i++];
        }
    }
    return out;
}

// Find Next done the slow way: the first match from the selection's end on
// (back: the last that starts before its start), else round from the other end.
FoundAt foundSlowly(const QString &text, const QString &find, SearchOptions options, int selStart, int selEnd, bool forward)
{
    for (const bool round : {false, true}) {
        const qsizetype from = forward ? (round ? 0 : selEnd) : (round ? text.size() : selStart) - 1;
        for (qsizetype i = from; i >= 0 && i <= text.size(); i += forward ? 1 : -1) {
            if (matchesAt(text, find, options, i))
                return {int(i), round};
        }
    }
    return {};
}

} // namespace

class tst_DocumentSearch : public QObject
{
    Q_OBJECT

    MemoryClipboard m_clipboard;

private slots:
    // Random documents, texts, selections and options: Find Next, either way,
    // finds what trying every position finds, going round at the end, and
    // leaves the selection on a miss; Replace All gives what replacing
    // position by position gives, as one undo element that undo and redo apply.
    void findAndReplaceAgreeWithEveryPosition()
    {
        const QStringList pieces = {"ab", "AB", " ", "\r\n", "a_b", "x", "b", "\t"};
        const QStringList finds = {"ab", "b", "AB", "\n", "\r", "\r\n", "b\r\nx", " a", "x"};
        const QStringList replacements = {"", "y", "ab", "XYZ", "\r\n", "a b"};
        auto *random = QRandomGenerator::global();
        for (int run = 0; run < 400; ++run) {
            QString text;
            for (int n = int(random->bounded(12)); n > 0; --n)
                text += pieces[random->bounded(pieces.size())];
            const QString find = finds[random->bounded(finds.size())];
            const QString replacement = replacements[random->bounded(replacements.size())];
            const SearchOptions options{random->bounded(2) == 1, random->bounded(2) == 1};
            MemoryEditBox box(m_clipboard);
            clsUndo undo;
            undo.setRichBox(&box);
            box.setText(text);
            box.setModified(false);
            undo.Reset();
            box.setSelection(int(random->bounded(text.size() + 1)), int(random->bounded(3)));
            const int selStart = box.SelStart(), selEnd = selStart + box.SelLength();
            const bool forward = random->bounded(2);
            const FoundAt slowly = foundSlowly(text, find, options, selStart, selEnd, forward);
            const FoundAt found = findNext(box, find, forward, options);
            QCOMPARE(found.position, slowly.position);
            QCOMPARE(found.wrapped, slowly.wrapped);
            QCOMPARE(box.SelStart(), found.position < 0 ? selStart : found.position);
            QCOMPARE(box.SelLength(), found.position < 0 ? selEnd - selStart : int(find.size()));
            QCOMPARE(findNext(box, QString(), forward, options).position, -1);
            int expectedCount = 0;
            const QString expected = replacedSlowly(text, find, replacement, options, expectedCount);
            const QString what = QStringLiteral("run %1: \"%2\" \"%3\" -> \"%4\" case %5 word %6")
                                     .arg(run).arg(text, find, replacement).arg(options.matchCase).arg(options.wholeWord);
            QVERIFY2(replaceAll(undo, box, find, replacement, options) == expectedCount, qPrintable(what));
            QVERIFY2(box.Text() == expected, qPrintable(what));
            QCOMPARE(undo.UndoCount(), expectedCount > 0 ? 1 : 0);
            QCOMPARE(box.isModified(), expectedCount > 0);
            undo.undo();
            QVERIFY2(box.Text() == text, qPrintable(what));
            QVERIFY(!box.isModified());
            undo.Redo();
            QVERIFY2(box.Text() == expected, qPrintable(what));
        }
    }

    // Replace changes the selected occurrence only, then selects the next.
    void replaceOneThenNext()
    {
        MemoryEditBox box(m_clipboard);
        clsUndo undo;
        undo.setRichBox(&box);
        box.setText(QStringLiteral("sensitivity 2\r\nsensitivity 2"));
        undo.Reset();
        FoundAt next;
        const QString find = QStringLiteral("sensitivity 2");
        const QString replacement = QStringLiteral("sensitivity 2.5");
        QVERIFY(!replaceSelected(undo, box, find, replacement, {}, next)); // nothing selected yet
        QCOMPARE(next.position, 0);
        QVERIFY(replaceSelected(undo, box, find, replacement, {}, next));
        QCOMPARE(box.Text(), QStringLiteral("sensitivity 2.5\r\nsensitivity 2"));
        QCOMPARE(next.position, 17);
        QCOMPARE(undo.UndoCount(), 1);
    }

    void lineNumbers_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("start");
        QTest::newRow("second") << 2 << 4;
        QTest::newRow("a lone LF ends a line too") << 3 << 7;
        QTest::newRow("last") << 4 << 11;
        QTest::newRow("past the last") << 99 << 11;
        QTest::newRow("below 1") << 0 << 0;
    }
    void lineNumbers()
    {
        QFETCH(int, line);
        const QString text = QStringLiteral("ab\r\ncd\nef\r\ngh");
        QTEST(LineNumbers::startOf(text, line), "start");
        QCOMPARE(LineNumbers::count(text), 4);
        QCOMPARE(LineNumbers::lineOf(text, LineNumbers::startOf(text, line)), qBound(1, line, 4));
    }

    // Steps: "j" a jump from where the caret stands, "m" a move of the caret
    // that is no jump, "b" back, "f" forward. Places are "document:position";
    // the caret starts at a:0. `visited` is where the caret stands after each step.
    void jumpHistory_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("visited");
        QTest::newRow("back and forward to the ends")
            << QStringList{"j a:5", "b", "b", "f", "f"} << QStringList{"a:5", "a:0", "a:0", "a:5", "a:5"};
        QTest::newRow("a move after going back is kept for forward")
            << QStringList{"j a:5", "b", "m a:3", "f", "b"} << QStringList{"a:5", "a:0", "a:3", "a:5", "a:3"};
        QTest::newRow("a new jump ends the way forward")
            << QStringList{"j a:5", "j a:9", "b", "j b:1", "f", "b"}
            << QStringList{"a:5", "a:9", "a:5", "b:1", "b:1", "a:5"};
        QTest::newRow("a jump to where the caret stands is passed over")
            << QStringList{"j a:0", "j a:0", "b"} << QStringList{"a:0", "a:0", "a:0"};
    }
    void jumpHistory()
    {
        QFETCH(QStringList, steps);
        const auto placeOf = [](const QString &text) {
            const QStringList parts = text.split(u':');
            return JumpPlace{parts[0], parts[1].toInt()};
        };
        JumpHistory history;
        JumpPlace caret{QStringLiteral("a"), 0};
        QStringList visited;
        for (const QString &step : steps) {
            if (step.startsWith(u'j')) {
                history.recordJump(caret);
                caret = placeOf(step.mid(2));
            } else if (step.startsWith(u'm')) {
                caret = placeOf(step.mid(2));
            } else if (const auto to = step == u"b" ? history.back(caret) : history.forward(caret)) {
                caret = *to;
            }
            visited << caret.document + u':' + QString::number(caret.position);
        }
        QTEST(visited, "visited");
    }
};

QTEST_APPLESS_MAIN(tst_DocumentSearch)
#include "tst_DocumentSearch.moc"
