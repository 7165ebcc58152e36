#include "desktop/ScriptLine.h"

#include <QTest>

using Type = ScriptChoice::Type;
Q_DECLARE_METATYPE(ScriptChoice::Type)

class tst_ScriptLine : public QObject
{
    Q_OBJECT

private slots:
    void line_data()
    {
        QTest::addColumn<ScriptChoice::Type>("type");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("line"); // empty: Insert is not offered
        QTest::newRow("bind drops the trailing space") << Type::Bind << "MOUSE1 " << "" << "+attack"
                                                       << "bind \"MOUSE1\" \"+attack\"";
        QTest::newRow("bind without a key") << Type::Bind << "" << "" << "kill" << "";
        QTest::newRow("alias ignores the key") << Type::Alias << "F1 " << "zoom" << "fov 90"
                                               << "alias zoom \"fov 90\"";
        QTest::newRow("alias without a name") << Type::Alias << "F1 " << "" << "fov 90" << "";
        QTest::newRow("alias name with a space") << Type::Alias << "" << "my zoom" << "fov 90" << "";
        QTest::newRow("alias name with a semicolon") << Type::Alias << "" << "a;kill" << "fov 90" << "";
    }
    void line()
    {
        QFETCH(ScriptChoice::Type, type);
        QFETCH(QString, key);
        QFETCH(QString, name);
        QFETCH(QString, command);
        QFETCH(QString, line);
        const Result<QString> built = ScriptLine({type, key, name, command});
        QCOMPARE(built.ok(), !line.isEmpty());
        if (built)
            QCOMPARE(built.value(), line);
        else
            QVERIFY(!built.error().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_ScriptLine)
#include "tst_ScriptLine.moc"
