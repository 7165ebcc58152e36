#include "app/CodePage.h"

#include <QTest>

class tst_CodePage : public QObject
{
    Q_OBJECT

private slots:
    void everyByteSurvivesRoundTrip()
    {
        QByteArray all(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        const QString text = CodePage::decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(CodePage::firstUnencodable(text), qsizetype(-1));
        QCOMPARE(CodePage::encode(text), all);
        for (int i = 0; i < 256; ++i)
            QCOMPARE(CodePage::charForByte(uchar(i)), text[i]);
    }

    void knownCharacters_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("unicode");
        QTest::newRow("euro sign") << 0x80 << 0x20AC;
        QTest::newRow("undefined 0x81 kept as a control") << 0x81 << 0x0081;
        QTest::newRow("undefined 0x9D kept as a control") << 0x9D << 0x009D;
        QTest::newRow("no-break space") << 0xA0 << 0x00A0;
        QTest::newRow("e acute") << 0xE9 << 0x00E9;
    }
    void knownCharacters()
    {
        QFETCH(int, byte);
        QFETCH(int, unicode);
        QCOMPARE(CodePage::charForByte(uchar(byte)).unicode(), char16_t(unicode));
    }

    void firstUnencodable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("position");
        QTest::newRow("plain") << QStringLiteral("gamma 1") << -1;
        QTest::newRow("euro") << QStringLiteral("a\u20ACb") << -1;
        QTest::newRow("cyrillic") << QStringLiteral("ab\u0416c") << 2;
        QTest::newRow("emoji") << QStringLiteral("x\U0001F600") << 1;
        QTest::newRow("line separator") << QStringLiteral("a\u2028") << 1;
    }
    void firstUnencodable()
    {
        QFETCH(QString, text);
        QFETCH(int, position);
        QCOMPARE(CodePage::firstUnencodable(text), qsizetype(position));
    }
};

QTEST_APPLESS_MAIN(tst_CodePage)
#include "tst_CodePage.moc"
