#include "editbox/RichText.h"

#include <QTest>

class tst_RichText : public QObject
{
    Q_OBJECT

private slots:
    // The hint line relies on these three properties of the written form.
    void formTheHintLineReliesOn_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("body");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("two lines") << QStringLiteral("a b\r\ngamma") << QStringLiteral("a b\\par\r\ngamma");
        QTest::newRow("ends with a line break") << QStringLiteral("x\r\n") << QStringLiteral("x\\par\r\n");
        QTest::newRow("escapes") << QStringLiteral("\\{x}") << QStringLiteral("\\\\\\{x\\}");
        QTest::newRow("beyond ASCII") << QStringLiteral("caf\u00e9 \u20ac") << QStringLiteral("caf\\'e9 \\'80");
        QTest::newRow("outside windows-1252") << QStringLiteral("\u0416") << QStringLiteral("\\u1046?");
        QTest::newRow("tab and lone LF carry no space") << QStringLiteral("a\tb\nc") << QStringLiteral("a\\'09b\\'0ac");
    }
    void formTheHintLineReliesOn()
    {
        QFETCH(QString, plain);
        const QString rtf = RichText::fromPlain(plain);
        const QString tail = QStringLiteral("\\par\r\n}\r\n") + QChar(0);
        QVERIFY(rtf.endsWith(tail));
        QCOMPARE(tail.size(), 10);
        const qsizetype headerEnd = rtf.indexOf(QStringLiteral("\\fs20 ")) + 6;
        QVERIFY(headerEnd > 6);
        QCOMPARE(rtf.at(headerEnd - 1), QChar(u' '));
        QTEST(rtf.mid(headerEnd, rtf.size() - headerEnd - tail.size()), "body");
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
        QCOMPARE(RichText::toPlain(RichText::fromPlain(plain)), plain);
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
