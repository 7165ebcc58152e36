#include "FakeCommands.h"

#include "config/ConfigFile.h"

#include <QTest>

// Where a problem stands in its file, for underlining it: line, column and
// length, through ';', quotes and the bodies of bind and alias.
class tst_ConfigFile : public QObject
{
    Q_OBJECT

private slots:
    void place_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("place"); // line:column:length of the first problem, from 0
        QTest::newRow("a key") << "bind mouse9 +attack" << "0:5:6";
        QTest::newRow("a value") << "sensitivity 20" << "0:12:2";
        QTest::newRow("a quoted value") << "sensitivity \"20\"" << "0:12:4";
        QTest::newRow("second command") << "echo a;bind mouse9 x" << "0:12:6";
        QTest::newRow("second line") << "echo a\r\n  bind mouse9 x" << "1:7:6";
        QTest::newRow("';' after '//'") << "echo x // a; kill" << "0:11:1";
        QTest::newRow("a quote left open") << "echo \"hi; kill" << "0:5:9";
        QTest::newRow("a bind's body") << "bind q \"+attack; sensitivity 99\"" << "0:7:25";
        QTest::newRow("exec refused") << "exec ../x.cfg" << "0:5:8";
    }
    void place()
    {
        QFETCH(QString, text);
        const ConfigFile file = ConfigFile::read(text, FakeCommands());
        QVERIFY(!file.problems.isEmpty());
        const ConfigFile::Problem &p = file.problems.front();
        QFETCH(QString, place);
        QCOMPARE(QStringLiteral("%1:%2:%3").arg(p.line).arg(p.column).arg(p.length), place);
    }
    // Only a variable the file runs itself sets a value at start-up: not a
    // command, nor a variable in a body run later.
    void settings()
    {
        const ConfigFile file = ConfigFile::read(
            u"echo hi\nalias a \"rate 1\"\nbind q \"rate 2\"\nRate 25000\n", FakeCommands());
        QCOMPARE(file.settingCount, 1);
        QCOMPARE(file.settings.keys(), QStringList{"rate"});
        const ConfigFile::Setting s = file.settings.value("rate").front();
        QCOMPARE(QStringList({s.name, s.value, QString::number(s.line)}), QStringList({"Rate", "25000", "3"}));
    }
};

QTEST_GUILESS_MAIN(tst_ConfigFile)
#include "tst_ConfigFile.moc"
