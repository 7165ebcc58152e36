#include "catalogue/ConsoleScript.h"

#include <QTest>

class tst_ConsoleScript : public QObject
{
    Q_OBJECT

private slots:
    // Names: every command run, in order, with its first argument after '='.
    // Aliases: name=body of each alias defined.
    void scan_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("aliases");
        QTest::newRow("settings") << "fps_max 100\r\nsensitivity \"2.5\"\n" << "fps_max=100 sensitivity=2.5" << "";
        QTest::newRow("; separates") << "wait;wait ; echo hi" << "wait wait echo=hi" << "";
        QTest::newRow("; in quotes") << "echo \"a;b\"; bind x \"+jump;wait\"" << "echo=a;b bind=x +jump wait" << "";
        QTest::newRow("comment") << "// fps_max 1\nvolume 0.5 // loud" << "volume=0.5" << "";
        QTest::newRow("comment ends at ;") << "// a; kill" << "kill" << "";
        QTest::newRow("bind body") << "bind \"F1\" \"buy; m4a1\"" << "bind=F1 buy m4a1" << "";
        QTest::newRow("alias body") << "alias +f \"+forward; wait\"" << "alias=+f +forward wait" << "+f=+forward; wait";
        QTest::newRow("nested bodies") << "alias t \"bind q t2; alias t t3\"" << "alias=t bind=q t2 alias=t t3"
                                       << "t=bind q t2; alias t t3|t=t3";
        QTest::newRow("alias in a bind body") << "bind q \"ALIAS b x\"" << "bind=q ALIAS=b x" << "b=x";
        QTest::newRow("empty alias") << "alias x" << "alias=x" << "x=";
        QTest::newRow("alias body of words unquoted") << "alias go say hi there" << "alias=go say=hi" << "go=say hi there";
        QTest::newRow("letter case of bind") << "Alias a b" << "Alias=a b" << "a=b";
        QTest::newRow("quote inside a word") << "echo\"##\" x" << "echo\"##\"=x" << "";
        QTest::newRow("unclosed quote") << "name \"abc; kill" << "name=abc; kill" << "";
        QTest::newRow("single characters") << "connect 1.2.3.4:27015" << "connect=1.2.3.4" << "";
        QTest::newRow("paragraph separator") << QString::fromUtf16(u"kill\u2028wait") << "kill wait" << "";
    }
    void scan()
    {
        QFETCH(QString, script);
        QFETCH(QString, names);
        QFETCH(QString, aliases);
        const ConsoleScript::Scan scan = ConsoleScript::scan(script);
        QStringList gotNames;
        for (const ConsoleScript::Use &use : scan.uses)
            gotNames.append(use.hasValue ? use.name + u'=' + use.value : use.name);
        QStringList gotAliases;
        for (const ConsoleScript::Alias &alias : scan.aliases)
            gotAliases.append(alias.name + u'=' + alias.body);
        QCOMPARE(gotNames.join(u' '), names);
        QCOMPARE(gotAliases.join(u'|'), aliases);
        QCOMPARE(ConsoleScript::aliases(script), scan.aliases);
    }
};

QTEST_APPLESS_MAIN(tst_ConsoleScript)
#include "tst_ConsoleScript.moc"
