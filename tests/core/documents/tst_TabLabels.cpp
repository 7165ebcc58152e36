#include "documents/TabLabels.h"

#include <QTest>

class tst_TabLabels : public QObject
{
    Q_OBJECT

private slots:
    // Paths and labels are joined with '|' (a folder told apart and Untitled
    // tabs counted: tst_OpenDocuments::rules).
    void labels_data()
    {
        QTest::addColumn<QString>("paths");
        QTest::addColumn<QString>("labels");
        QTest::newRow("same mod folder name further up") << "/a/cstrike/config.cfg|/b/cstrike/config.cfg"
                                                         << "config.cfg (a/cstrike)|config.cfg (b/cstrike)";
        QTest::newRow("one deeper than the other") << "/cstrike/config.cfg|/x/cstrike/config.cfg"
                                                   << "config.cfg (cstrike)|config.cfg (x/cstrike)";
        QTest::newRow("names differ only in case") << "/a/Config.cfg|/b/config.cfg" << "Config.cfg|config.cfg";
        QTest::newRow("a name kept as bytes") << QStringLiteral("/a/caf\xDCE9.cfg") << QStringLiteral("caf\uFFFD.cfg");
    }
    void labels()
    {
        QFETCH(QString, paths);
        QTEST(tabLabels(paths.split(u'|')).join(u'|'), "labels");
    }
};

QTEST_APPLESS_MAIN(tst_TabLabels)
#include "tst_TabLabels.moc"
