#include "catalogue/CaretHint.h"
#include "catalogue/AliasIndex.h"
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
        QTest::addColumn<QString>("after"); // the line after the caret
        const QString sensitivity = QStringLiteral("Mouse sensitivity (Range: 0.1-10) (default 3)");
        const QString volume = QStringLiteral("Sound volume (Range: 0-1) ()");
        QTest::newRow("name at line start") << "sensitivity" << "sensitivity" << sensitivity << "";
        QTest::newRow("after a space") << "echo sens" << "sens" << "sens" << "";
        QTest::newRow("quoted name") << "\"volume\"" << "volume" << volume << "";
        QTest::newRow("name in another letter case") << "SENSITIVITY 30" << "30" << "30 is above 10: " + sensitivity << "";
        QTest::newRow("value not a number") << "volume x" << "x" << "\"x\" is not a number: " + volume << "";
        QTest::newRow("value after ;") << "jump; volume 5" << "5" << "5 is above 1: " + volume << "";
        QTest::newRow("bind body value") << "bind w \"volume 0.2" << "0.2" << volume << "";
        QTest::newRow("alias body") << "alias go \"volume 2" << "2" << "2 is above 1: " + volume << "";
        QTest::newRow("bind named key") << "bind mouse1" << "mouse1" << "MOUSE1: left mouse button" << "";
        QTest::newRow("unbind key, mid-word") << "UNBIND MOU" << "MOUSE1" << "MOUSE1: left mouse button" << "SE1";
        QTest::newRow("no such key") << "bind mouse9" << "mouse9" << "the game has no key named mouse9" << "";
        QTest::newRow("the command a key runs") << "bind mouse1 +at" << "+attack"
                                                << "Fire while held ()" << "tack";
        QTest::newRow("comment ended by ;") << "// off; volume" << "volume" << volume << "";
        QTest::newRow("mid-value") << "sensitivity 3" << "30" << "30 is above 10: " + sensitivity << "0";
        QTest::newRow("before a word: nothing") << "volume " << "" << "" << "1";
    }

    // The game holds an alias's last top-level definition from the start; a
    // copy in another alias's body takes over only when that alias runs.
    void aliasHint_data()
    {
        QTest::addColumn<QStringList>("document");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        const QStringList toggle = {"alias duck_on \"+duck; alias duck_t duck_off\"",
                                    "alias duck_off \"-duck; alias duck_t duck_on\"", "alias duck_t duck_on"};
        QTest::newRow("toggle") << toggle << "duck_t"
                                << "alias duck_t: duck_on (line 3); redefined when duck_on runs (line 1); "
                                   "redefined when duck_off runs (line 2)";
        QTest::newRow("toggle, bound") << toggle << "bind c duck_on"
                                       << "alias duck_on: +duck; alias duck_t duck_off (line 1)";
        QTest::newRow("only inside a bind") << QStringList{"bind x \"alias go kill\""} << "go"
                                            << "alias go: kill (line 1); defined when key x is pressed";
        QTest::newRow("nested twice") << QStringList{"alias a \"alias b \"", "alias b jump"} << "b"
                                      << "alias b: jump (line 2); redefined when a runs (line 1)";
    }
    void aliasHint()
    {
        QFETCH(QStringList, document);
        QFETCH(QString, name);
        AliasIndex aliases;
        aliases.replaceLines(0, 0, document);
        // With entries of their own, bind and alias still let an alias name explain itself.
        auto catalogue = testCatalogue();
        catalogue->strCmdName[100] = QStringLiteral("alias");
        catalogue->strCmdName[101] = QStringLiteral("bind");
        catalogue->reindex();
        QTEST(hintAtCaret(name, *catalogue, &aliases).caption, "caption");
    }

    void hint()
    {
        QFETCH(QString, line);
        QFETCH(QString, after);
        const Hint hint = hintAtCaret(line, *testCatalogue(), nullptr, nullptr, after);
        QTEST(hint.word, "word");
        QTEST(hint.caption, "caption");
    }

    // What the rest of the configuration adds, and where the document's own
    // facts come first. What applies at start-up follows the explanation, for
    // the caret on the value or on the name, with the value as the line reads now.
    void wider_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("startup");
        const QString volume = QStringLiteral("Sound volume (Range: 0-1) ()");
        const QString jump = QStringLiteral("Jump once ()");
        QTest::newRow("alias of another file") << "+jd" << "" << "alias +jd: +jump (userconfig.cfg, line 3)" << "";
        QTest::newRow("the command an alias stores") << "alias j jump" << "" << jump << "";
        QTest::newRow("value that applies") << "volume 0.5" << "" << volume << "volume 0.5 applies";
        QTest::newRow("on the name") << "vol" << "ume 0.5 // quiet" << volume << "volume 0.5 applies";
        QTest::newRow("on the name, bad value") << "volume" << " 5" << volume << "";
        QTest::newRow("a bad value says so first") << "volume 5" << "" << "5 is above 1: " + volume << "";
        QTest::newRow("a bind's key") << "bind space" << "" << "key space" << "";
    }
    void wider()
    {
        struct Fake : WiderHints
        {
            QString alias(const QString &name) const override
            {
                return name == "+jd" ? QStringLiteral("alias +jd: +jump (userconfig.cfg, line 3)") : QString();
            }
            QString setting(const QString &name, const QString &value) const override
            {
                return name + ' ' + value + " applies";
            }
            QString key(const QString &name) const override { return "key " + name; }
        } fake;
        QFETCH(QString, line);
        QFETCH(QString, after);
        const Hint hint = hintAtCaret(line, *testCatalogue(), nullptr, &fake, after);
        QTEST(hint.caption, "caption");
        QTEST(hint.startup, "startup");
    }
};

QTEST_APPLESS_MAIN(tst_CaretHint)
#include "tst_CaretHint.moc"
