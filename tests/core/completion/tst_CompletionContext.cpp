#include "catalogue/Catalogue.h"
#include "completion/CompletionContext.h"
#include "config/KnownCommands.h"

#include <QTest>

using Kind = CompletionContext::Kind;

class tst_CompletionContext : public QObject
{
    Q_OBJECT

    std::unique_ptr<Catalogue> m_catalogue = std::make_unique<Catalogue>();
    std::unique_ptr<CatalogueCommands> m_known;

private slots:
    void initTestCase()
    {
        const QList<std::pair<const char *, const char *>> entries = {
            {"cl_lw", "0-1"}, {"hud_centerid", "0-2"}, {"sensitivity", "0 or more"}, {"rate", "0-100000"},
            {"name", "any text"}, {"+jump", "none"},
        };
        int k = 1;
        for (const auto &[name, range] : entries) {
            m_catalogue->strCmdName[k] = QString::fromLatin1(name);
            m_catalogue->strCmdRange[k++] = QString::fromLatin1(range);
        }
        m_catalogue->reindex();
        m_known = std::make_unique<CatalogueCommands>(*m_catalogue);
    }

    void context_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("start");

        // command start
        QTest::newRow("start: empty line") << "" << Kind::Command << "" << 0;
        QTest::newRow("start: one letter") << "c" << Kind::Command << "c" << 0;
        QTest::newRow("start: indented") << "  sens" << Kind::Command << "sens" << 2;
        // after ;
        QTest::newRow("after ;") << "+jump;cl_" << Kind::Command << "cl_" << 6;
        QTest::newRow("; inside quotes does not split") << "say \"a;b" << Kind::None << "a;b" << 5;
        // inside a quoted body
        QTest::newRow("bind body start") << "bind f \"+at" << Kind::Command << "+at" << 8;
        QTest::newRow("bind body after ;") << "bind f \"+attack; wa" << Kind::Command << "wa" << 17;
        QTest::newRow("closed body, then ;") << "bind f \"a;b\"; ex" << Kind::Command << "ex" << 14;
        QTest::newRow("value inside a body") << "alias g \"cl_lw " << Kind::Value << "" << 15;
        // after bind / unbind
        QTest::newRow("bind key") << "bind MOU" << Kind::Key << "MOU" << 5;
        QTest::newRow("unbind key, any case") << "UnBind " << Kind::Key << "" << 7;
        QTest::newRow("bind's command, unquoted") << "bind f +att" << Kind::None << "+att" << 7;
        // after exec
        QTest::newRow("exec") << "exec " << Kind::File << "" << 5;
        QTest::newRow("exec in a body") << "bind f \"exec bu" << Kind::File << "bu" << 13;
        // enumerated value
        QTest::newRow("0-1 value") << "cl_lw " << Kind::Value << "" << 6;
        QTest::newRow("not enumerated: 0 or more") << "sensitivity 2" << Kind::None << "2" << 12;
        QTest::newRow("not enumerated: too many") << "rate 25" << Kind::None << "25" << 5;
        QTest::newRow("second value") << "cl_lw 1 " << Kind::None << "" << 8;
        // comment
        QTest::newRow("comment after a command") << "cl_lw 1 // bind " << Kind::None << "" << 0;
        QTest::newRow("; after a comment starts a command the game runs")
            << "// note; cl" << Kind::Command << "cl" << 9;
        QTest::newRow("// inside quotes is no comment") << "echo \"//\"; cl" << Kind::Command << "cl" << 11;
    }

    void context()
    {
        QFETCH(QString, line);
        QFETCH(Kind, kind);
        QFETCH(QString, prefix);
        QFETCH(int, start);
        const CompletionContext c = CompletionContext::at(line, *m_known);
        QCOMPARE(c.kind, kind);
        if (kind != Kind::None || !prefix.isEmpty()) {
            QCOMPARE(c.prefix, prefix);
            QCOMPARE(c.start, start);
            // The word replaced on taking an item is exactly the prefix.
            QCOMPARE(line.mid(c.start), prefix);
        }
        // The list opens by itself after two letters of a command, and at once for the rest.
        QCOMPARE(c.opensByItself(), kind != Kind::None && (kind != Kind::Command || prefix.size() >= 2));
    }
};

QTEST_GUILESS_MAIN(tst_CompletionContext)
#include "tst_CompletionContext.moc"
