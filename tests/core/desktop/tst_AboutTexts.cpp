#include "desktop/AboutTexts.h"

#include <QTest>

class tst_AboutTexts : public QObject
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
        QTEST(AboutTexts::versionText(version), "text");
    }
};

QTEST_GUILESS_MAIN(tst_AboutTexts)
#include "tst_AboutTexts.moc"
