#include "desktop/FileTypes.h"

#include <QTest>

class tst_FileTypes : public QObject
{
    Q_OBJECT

private slots:
    void associate_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("started");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("ran");
        QTest::addColumn<QString>("lineHas");
        QTest::newRow("done") << "/usr/share/applications/tessary.desktop" << true << 0 << true << ".cfg, .lst";
        QTest::newRow("not installed") << "" << true << 0 << false << "not installed";
        QTest::newRow("xdg-mime fails") << "/x/tessary.desktop" << true << 4 << true << "no access";
    }
    void associate()
    {
        QFETCH(QString, entry);
        QFETCH(bool, started);
        QFETCH(int, exitCode);
        QFETCH(bool, ran);
        QFETCH(QString, lineHas);
        QStringList call;
        const Result<QString> result = FileTypes::associate(entry, FileTypes::all(), [&](const QString &program, const QStringList &args) {
            call = QStringList{program} + args;
            return FileTypes::CommandOutcome{started, exitCode, QStringLiteral("no access\nmore")};
        });
        QCOMPARE(result.ok(), ran && started && exitCode == 0);
        QVERIFY2((result ? result.value() : result.error()).contains(lineHas), qPrintable(result.error()));
        if (ran) {
            QStringList expected = {"xdg-mime", "default", "tessary.desktop"};
            for (const FileTypes::FileType &type : FileTypes::all())
                expected << QString::fromLatin1(type.mimeType);
            QCOMPARE(call, expected);
        } else {
            QVERIFY(call.isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(tst_FileTypes)
#include "tst_FileTypes.moc"
