#include "settings/FileName.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

class tst_FileName : public QObject
{
    Q_OBJECT

private slots:
    // Any bytes come back the same; a valid UTF-8 name is Qt's own string.
    void everyNameComesBack()
    {
        QRandomGenerator random(22);
        const QByteArray pieces[] = {"a", "/", "\xe9", "\xc3\xa9", "\xe2\x82\xac", "\xf0\x9f\x98\x80", "\xed\xb3\xa9",
                                     "\xc0\xaf", "\xef\xbf\xbd", "\x80", "\xff", "\xf4\x90\x80\x80"};
        for (int i = 0; i < 3000; ++i) {
            QByteArray name;
            for (int n = random.bounded(8); n >= 0; --n)
                name += pieces[random.bounded(int(std::size(pieces)))];
            const QString kept = FileName::fromNative(name);
            QCOMPARE(FileName::toNative(kept), name);
            const QString qt = QFile::decodeName(name);
            const bool valid = QFile::encodeName(qt) == name;
            QCOMPARE(FileName::hasRawBytes(kept), !valid);
            if (valid)
                QCOMPARE(kept, qt);
            QCOMPARE(FileName::shown(kept), qt);
        }
    }
};

QTEST_APPLESS_MAIN(tst_FileName)
#include "tst_FileName.moc"
