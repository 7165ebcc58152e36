#include "config/KeyNames.h"

#include <QTest>

class tst_KeyNames : public QObject
{
    Q_OBJECT

private slots:
    void keys_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("described");
        QTest::newRow("table name") << "MOUSE1" << "MOUSE1: left mouse button";
        QTest::newRow("any letter case") << "mwheelup" << "MWHEELUP: mouse wheel turned up";
        QTest::newRow("a letter") << "q" << "q: the q key";
        QTest::newRow("a printable character") << "[" << "[: the [ key";
        QTest::newRow("the ; key by name") << "semicolon" << "SEMICOLON: the ; key";
        QTest::newRow("the original engine's joystick button") << "joy1" << "JOY1: joystick button 1";
        QTest::newRow("the original engine's extra button") << "AUX5" << "AUX5: extra button 5";
        QTest::newRow("past the extra buttons") << "AUX33" << "";
        QTest::newRow("no such button") << "MOUSE9" << "";
        QTest::newRow("two characters") << "qq" << "";
        QTest::newRow("a control character") << "\t" << "";
        QTest::newRow("the newer engine's hex codes") << "0x11" << "";
    }
    void keys()
    {
        QFETCH(QString, name);
        QFETCH(QString, described);
        QCOMPARE(KeyNames::describe(name), described);
        QCOMPARE(KeyNames::isKey(name), !described.isEmpty());
    }

    void everyKeyIsDescribed()
    {
        QSet<QString> seen;
        for (const KeyNames::Key &key : KeyNames::all()) {
            const QString name = QString::fromLatin1(key.name);
            QVERIFY2(!seen.contains(name), key.name);
            seen.insert(name);
            QVERIFY2(qstrlen(key.description) > 0 && name == name.toUpper(), key.name);
        }
    }
};

QTEST_GUILESS_MAIN(tst_KeyNames)
#include "tst_KeyNames.moc"
