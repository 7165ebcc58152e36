#include "editbox/RichText.h"

#include <QTest>

class tst_RichText : public QObject
{
    Q_OBJECT

private slots:
    // The box's rich form as the program's readers of it expect: a header
    // ending in a space, "\par" and CR LF for each line break, and a fixed end.
    void writtenForm()
    {
        const QString end = QStringLiteral("\\par\r\n}\r\n") + QChar(u'\0');
        QCOMPARE(RichText::fromPlain(QStringLiteral("a b\r\nc")).right(21), QStringLiteral(" a b\\par\r\nc") + end);
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::newRow("empty") << QString();
        QTest::newRow("every kind of line end") << QStringLiteral("a\rb\nc\r\r\nd\n\r");
        QTest::newRow("spaces kept") << QStringLiteral("  two  spaces  ");
        QTest::newRow("surrogate pair") << QStringLiteral("smile \U0001F600!");
        QTest::newRow("nul and controls") << QString::fromLatin1("a\0b\x01\x7f", 5);
        QString every;
        for (int c = 1; c < 256; ++c)
            if (c != '\r')
                every += QChar(c);
        QTest::newRow("every Latin-1 character") << every;
    }
    void roundTrip()
    {
        QFETCH(QString, plain);
        const QString rtf = RichText::fromPlain(plain);
        QVERIFY(RichText::isRichText(rtf));
        QCOMPARE(RichText::toPlain(rtf), plain);
    }

    // Rich text written by other programs; text that is not rich passes unchanged.
    void readsForeignText_data()
    {
        QTest::addColumn<QString>("rtf");
        QTest::addColumn<QString>("plain");
        QTest::newRow("tables and groups skipped")
            << QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue0;}"
                              "{\\*\\generator Writer;}\\pard\\plain {\\b bold} text\\par }")
            << QStringLiteral("bold text");
        QTest::newRow("unicode with a longer fallback")
            << QStringLiteral("{\\rtf1\\uc2 a\\u1046\\'3f\\'3fb}") << QStringLiteral("a\u0416b");
        QTest::newRow("line and tab words") << QStringLiteral("{\\rtf1 a\\line b\\tab c}") << QStringLiteral("a\nb\tc");
        QTest::newRow("text after the last paragraph mark")
            << QStringLiteral("{\\rtf1 a\\par b}") << QStringLiteral("a\r\nb");
        QTest::newRow("plain, empty") << QString() << QString();
        QTest::newRow("plain, backslashes") << QStringLiteral("\\par {x}") << QStringLiteral("\\par {x}");
    }
    void readsForeignText()
    {
        QFETCH(QString, rtf);
        QFETCH(QString, plain);
        QCOMPARE(RichText::isRichText(rtf), rtf != plain);
        QCOMPARE(RichText::toPlain(rtf), plain);
    }
};

QTEST_APPLESS_MAIN(tst_RichText)
#include "tst_RichText.moc"
