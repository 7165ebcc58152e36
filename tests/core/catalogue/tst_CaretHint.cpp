#include "catalogue/CaretHint.h"
#include "TestCatalogue.h"

#include <QTest>

class tst_CaretHint : public QObject
{
    Q_OBJECT

private slots:
    void hint_data()
    {
        QTest::addColumn<QString>("line"); // the caret's line up to the caret
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("caption");
        const QString sensitivity = QStringLiteral("Mouse sensitivity (Range: 0.1-10) (default 3)");
        const QString volume = QStringLiteral("Sound volume (Range: 0-1) ()");
        QTest::newRow("name at line start") << "sensitivity" << "sensitivity" << sensitivity;
        QTest::newRow("after a space") << "echo sens" << "sens" << "sens";
        QTest::newRow("after a tab") << "x\tvolume" << "volume" << volume;
        QTest::newRow("after a space: empty") << "volume " << "" << "";
        QTest::newRow("empty line") << "" << "" << "";
        QTest::newRow("opening quote") << "\"volume" << "volume" << volume;
        QTest::newRow("quoted name") << "\"volume\"" << "volume" << volume;
        QTest::newRow("value") << "sensitivity 3" << "3" << sensitivity;
        QTest::newRow("value out of range") << "sensitivity 30" << "30" << "30 is above 10: " + sensitivity;
        QTest::newRow("value not a number") << "volume x" << "x" << "\"x\" is not a number: " + volume;
        QTest::newRow("quoted value") << "\"volume\" \"2\"" << "2" << "2 is above 1: " + volume;
        QTest::newRow("quoted value being typed") << "\"volume\" \"0.5" << "0.5" << volume;
        QTest::newRow("second value: entry only") << "volume 1 2" << "2" << volume;
        QTest::newRow("value of an unknown command") << "foo volume" << "volume" << volume;
        QTest::newRow("after ;") << "volume 1; sensitivity" << "sensitivity" << sensitivity;
        QTest::newRow("value after ;") << "jump; volume 5" << "5" << "5 is above 1: " + volume;
        QTest::newRow("bind body command") << "bind \"w\" \"volume" << "volume" << volume;
        QTest::newRow("bind body value") << "bind w \"volume 0.2" << "0.2" << volume;
        QTest::newRow("bind body after ;") << "bind \"w\" \"jump; sensitivity 99"
                                           << "99" << "99 is above 10: " + sensitivity;
        QTest::newRow("alias body") << "alias go \"volume 2" << "2" << "2 is above 1: " + volume;
        QTest::newRow("bind key") << "bind \"w" << "w" << "w";
        QTest::newRow("quoted value with a space") << "name \"big fish" << "fish" << "Player name (Range: any text) ()";
    }

    void hint()
    {
        QFETCH(QString, line);
        const Hint hint = hintAtCaret(line, *testCatalogue());
        QTEST(hint.word, "word");
        QTEST(hint.caption, "caption");
    }

    // What the rest of the configuration adds, and where the document's own facts come first.
    void wider_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("caption");
        QTest::newRow("alias of another file") << "+jd" << "alias +jd: +jump (userconfig.cfg, line 3)";
        QTest::newRow("the command a key runs") << "bind space +jd" << "alias +jd: +jump (userconfig.cfg, line 3)";
        QTest::newRow("the command an alias stores") << "alias j jump" << "Jump once (Range: none) ()";
        QTest::newRow("value that applies") << "volume 0.5" << "volume applies";
        QTest::newRow("a bad value says so first") << "volume 5" << "5 is above 1: Sound volume (Range: 0-1) ()";
        QTest::newRow("a bind's key") << "bind space" << "key space";
        QTest::newRow("catalogue before aliases") << "jump" << "Jump once (Range: none) ()";
        QTest::newRow("unknown everywhere") << "+jx" << "+jx";
    }
    void wider()
    {
        struct Fake : WiderHints
        {
            QString alias(const QString &name) const override
            {
                return name == "+jd" ? QStringLiteral("alias +jd: +jump (userconfig.cfg, line 3)") : QString();
            }
            QString setting(const QString &name) const override { return name + " applies"; }
            QString key(const QString &name) const override { return "key " + name; }
        } fake;
        QFETCH(QString, line);
        QTEST(hintAtCaret(line, *testCatalogue(), nullptr, &fake).caption, "caption");
    }
};

QTEST_APPLESS_MAIN(tst_CaretHint)
#include "tst_CaretHint.moc"
