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
};

QTEST_APPLESS_MAIN(tst_CodePage)
#include "tst_CodePage.moc"
