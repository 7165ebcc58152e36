#include "core/editbox/EditBoxSuite.h"

#include "editbox/Clipboard.h"
#include "editbox/RichText.h"

#include <QTest>

void EditBoxSuite::init()
{
    m_box = createBox();
    QVERIFY(m_box);
}

void EditBoxSuite::cleanup()
{
    m_box.reset();
}

void EditBoxSuite::textRoundTrip_data()
{
    QTest::addColumn<QString>("read"); // as written
    QTest::newRow("empty") << QString();
    QTest::newRow("every line end stays as it is") << QStringLiteral("a\r\nb\nc\rd\r\r\ne\n\r\r\n\r\n");
    // Typed or pasted, they are characters the save asks about, never line breaks.
    QTest::newRow("line and paragraph separators stay characters") << QStringLiteral("a\u2028b\u2029c");
    QString every;
    for (int c = 0; c < 256; ++c)
        if (c != '\r' && c != '\n')
            every += QChar(c);
    QTest::newRow("every Latin-1 character, no-break space included") << every;
}

void EditBoxSuite::textRoundTrip()
{
    QFETCH(QString, read);
    int changes = 0;
    box().setChangeHandler([&] { ++changes; });
    box().setText(read);
    QCOMPARE(box().Text(), read);
    QCOMPARE(box().TextLength(), int(read.size()));
    QCOMPARE(box().SelStart(), 0);
    // Each write is told once and makes the text modified; selecting does neither.
    QCOMPARE(changes, 1);
    QVERIFY(box().isModified());
    box().setModified(false);
    box().setSelLength(int(read.size()));
    QCOMPARE(changes, 1);
    QVERIFY(!box().isModified());
    // A snapshot keeps the text it was taken from.
    const EditBox::TextSnapshot snapshot = box().textSnapshot();
    box().setSelText(QStringLiteral("x\r\ny"));
    QCOMPARE(changes, 2);
    QVERIFY(box().isModified());
    QCOMPARE(snapshot(), read);
}

void EditBoxSuite::selection_data()
{
    // a b CR LF c d LF e f CR LF CR LF g
    // 0 1 2  3  4 5 6  7 8 9  10 11 12 13
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<QString>("selText");
    QTest::newRow("a line break is two characters") << 2 << 2 << 2 << QStringLiteral("\r\n");
    QTest::newRow("start inside CR LF moves before it") << 3 << 0 << 2 << QString();
    QTest::newRow("end inside CR LF moves past it") << 1 << 2 << 1 << QStringLiteral("b\r\n");
    QTest::newRow("lone LF is one character") << 4 << 4 << 4 << QStringLiteral("cd\ne");
    QTest::newRow("length past the end") << 13 << 5 << 13 << QStringLiteral("g");
    QTest::newRow("start past the end") << 20 << 0 << 14 << QString();
    QTest::newRow("negative start") << -3 << 1 << 0 << QStringLiteral("a");
}

void EditBoxSuite::selection()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, selText);
    box().setText(QStringLiteral("ab\r\ncd\nef\r\n\r\ng"));
    QCOMPARE(box().TextLength(), 14);
    box().setSelLength(5);
    box().setSelStart(start);
    QCOMPARE(box().SelLength(), 0); // writing SelStart collapses
    box().setSelLength(length);
    QTEST(box().SelStart(), "selStart");
    QCOMPARE(box().SelText(), selText);
    QCOMPARE(box().SelLength(), int(selText.size()));
}

void EditBoxSuite::find_data()
{
    // "gamma 1\r\ncl_updaterate 20\r\nrate 1"
    QTest::addColumn<QString>("needle");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("found");
    QTest::newRow("letter case ignored") << "GAMMA" << 0 << 33 << 0;
    QTest::newRow("from a later start") << "rate" << 19 << 33 << 27;
    QTest::newRow("match must end before end") << "rate" << 19 << 30 << -1;
    QTest::newRow("across a line break") << "20\r\nrate" << 0 << 33 << 23;
    QTest::newRow("empty finds nothing") << "" << 0 << 33 << -1;
    QTest::newRow("end beyond the text") << "1" << 30 << 500 << 32;
}

void EditBoxSuite::find()
{
    QFETCH(QString, needle);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, found);
    box().setText(QStringLiteral("gamma 1\r\ncl_updaterate 20\r\nrate 1"));
    box().setSelStart(2);
    box().setSelLength(3);
    QCOMPARE(box().Find(needle, start, end), found);
    if (found >= 0) {
        QCOMPARE(box().SelStart(), found);
        QCOMPARE(box().SelLength(), int(needle.size()));
    } else {
        QCOMPARE(box().SelStart(), 2);
        QCOMPARE(box().SelLength(), 3);
    }
}

void EditBoxSuite::lineBeforeCaret_data()
{
    // a b ' ' c d CR LF e LF f
    // 0 1 2   3 4 5  6  7 8  9
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("line");
    QTest::newRow("first line") << 4 << 0 << 100 << "ab c";
    QTest::newRow("line start") << 7 << 0 << 100 << "";
    QTest::newRow("after a lone LF") << 10 << 0 << 100 << "f";
    QTest::newRow("selection end") << 0 << 4 << 100 << "ab c";
    QTest::newRow("limit") << 5 << 0 << 2 << "cd";
}

void EditBoxSuite::lineBeforeCaret()
{
    QFETCH(int, caret);
    QFETCH(int, selLength);
    QFETCH(int, limit);
    box().setText(QStringLiteral("ab cd\r\ne\nf"));
    box().setSelStart(caret);
    box().setSelLength(selLength);
    QTEST(box().lineBeforeCaret(limit), "line");
}

// A key is seen before the box acts on it and after; one cancelled as it
// goes down changes nothing, and its release is still seen.
void EditBoxSuite::keyDownComesBeforeTheBoxActs_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<int>("shift");
    QTest::addColumn<bool>("cancelled");
    QTest::addColumn<QString>("textAfter");
    QTest::newRow("shift a") << int(Qt::Key_A) << int(Qt::ShiftModifier) << "A" << 65 << 1 << false << "xA";
    QTest::newRow("enter") << int(Qt::Key_Return) << 0 << "\r" << 13 << 0 << false << "x\r\n";
    QTest::newRow("keypad 7") << int(Qt::Key_7) << int(Qt::KeypadModifier) << "7" << 103 << 0 << false << "x7";
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << "\b" << 8 << 0 << false << "";
    QTest::newRow("a cancelled") << int(Qt::Key_A) << 0 << "a" << 65 << 0 << true << "x";
}

void EditBoxSuite::keyDownComesBeforeTheBoxActs()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, typed);
    QFETCH(int, keyCode);
    QFETCH(bool, cancelled);
    QFETCH(QString, textAfter);
    box().setText(QStringLiteral("x"));
    box().setSelStart(1);
    box().SetFocus();
    KeyEvent seenDown;
    KeyEvent seenUp;
    QString textAtDown;
    QString textAtUp;
    box().setKeyHandlers(
        [&](KeyEvent &k) {
            seenDown = k;
            textAtDown = box().Text();
            if (cancelled)
                k.KeyCode = 0;
        },
        [&](KeyEvent &k) {
            // Modifier keys come and go around the key itself.
            if (k.KeyCode == keyCode) {
                seenUp = k;
                textAtUp = box().Text();
            }
        });
    pressKey(Qt::Key(key), Qt::KeyboardModifiers(modifiers), typed);
    QCOMPARE(seenDown.KeyCode, keyCode);
    QTEST(seenDown.Shift, "shift");
    QCOMPARE(textAtDown, QStringLiteral("x"));
    QCOMPARE(seenUp.KeyCode, keyCode);
    QCOMPARE(textAtUp, textAfter);
    QCOMPARE(box().Text(), textAfter);
}

void EditBoxSuite::rightButtonRelease()
{
    QList<int> buttons;
    box().setMouseUpHandler([&](int button, int, int, int) { buttons << button; });
    releaseMouse(Qt::RightButton);
    releaseMouse(Qt::LeftButton);
    QCOMPARE(buttons, (QList<int>{2, 1}));
}

void EditBoxSuite::copyAndPaste()
{
    clipboard().Clear();
    box().setText(QStringLiteral("ab\r\ncd"));
    box().setSelStart(1);
    box().CopyToClipboard(); // nothing selected: clipboard left alone
    QCOMPARE(clipboard().GetText(), QString());

    box().setSelLength(4);
    box().CopyToClipboard();
    QCOMPARE(clipboard().GetText(Clipboard::Format::Text), QStringLiteral("b\r\nc"));
    QCOMPARE(clipboard().GetText(Clipboard::Format::RichText), RichText::fromPlain(QStringLiteral("b\r\nc")));

    box().setSelStart(6);
    box().PasteFromClipboard();
    QCOMPARE(box().Text(), QStringLiteral("ab\r\ncdb\r\nc"));

    clipboard().Clear();
    clipboard().SetText(QStringLiteral("plain"), Clipboard::Format::Text);
    box().setSelStart(0);
    box().setSelLength(2);
    box().PasteFromClipboard();
    QCOMPARE(box().Text(), QStringLiteral("plain\r\ncdb\r\nc"));
}

