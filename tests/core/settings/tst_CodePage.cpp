#include "settings/CodePage.h"

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
