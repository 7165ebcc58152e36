#include "dialogs/AboutTexts.h"
#include "dialogs/VersionPage.h"

#include <QTest>

class tst_VersionPage : public QObject
{
    Q_OBJECT

private slots:
    void versionText_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("text");
        QTest::newRow("1.0.0") << "1.0.0" << "v 1.00";
        QTest::newRow("2.3.4") << "2.3.4" << "v 2.34";
        QTest::newRow("1.10.0") << "1.10.0" << "v 1.100";
        QTest::newRow("missing parts") << "3" << "v 3.00";
    }
    void versionText()
    {
        QFETCH(QString, version);
        QFETCH(QString, text);
        QCOMPARE(AboutTexts::versionText(version), text);
    }

    void opensThePageOrSaysWhyNot_data()
    {
        QTest::addColumn<bool>("browserStarts");
        QTest::newRow("browser starts") << true;
        QTest::newRow("no browser") << false;
    }
    void opensThePageOrSaysWhyNot()
    {
        QFETCH(bool, browserStarts);
        QList<QUrl> opened;
        const Status status = VersionPage::open([&](const QUrl &url) {
            opened << url;
            return browserStarts;
        });
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened[0].scheme(), QStringLiteral("http"));
        QCOMPARE(opened[0].path(), QStringLiteral("/1.00b.htm"));
        QCOMPARE(opened[0].host(), QUrl(VersionPage::siteAddress()).host());
        QCOMPARE(status.ok(), browserStarts);
        if (!browserStarts)
            QVERIFY(status.error().contains(opened[0].toString()));
    }
};

QTEST_GUILESS_MAIN(tst_VersionPage)
#include "tst_VersionPage.moc"
