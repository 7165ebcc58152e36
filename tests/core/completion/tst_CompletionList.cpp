#include "catalogue/Catalogue.h"
#include "catalogue/UseTable.h"
#include "completion/CompletionList.h"
#include "config/KnownCommands.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class tst_CompletionList : public QObject
{
    Q_OBJECT

    static QList<CompletionList::Item> items(const QString &wanted)
    {
        // "name:uses name:uses ..."
        QList<CompletionList::Item> list;
        for (const QString &part : wanted.split(u' ', Qt::SkipEmptyParts))
            list.append({part.section(u':', 0, 0), {}, part.section(u':', 1).toLongLong()});
        return list;
    }
    static CompletionContext in(CompletionContext::Kind kind)
    {
        CompletionContext context;
        context.kind = kind;
        return context;
    }
    static QString names(const QList<CompletionList::Item> &list)
    {
        QStringList out;
        for (const auto &i : list)
            out.append(i.name);
        return out.join(u' ');
    }

private slots:
    void ranking_data()
    {
        QTest::addColumn<QString>("offers");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("expected");
        QTest::newRow("prefix before substring, even if used less")
            << "xcl_a:90 cl_b:1" << "cl_" << "cl_b xcl_a";
        QTest::newRow("more used first in each group")
            << "cl_a:1 cl_b:9 x_cl_c:2 x_cl_d:5" << "cl" << "cl_b cl_a x_cl_d x_cl_c";
        QTest::newRow("equal use: alphabetical, any case")
            << "cl_b:3 CL_A:3 cl_c:3" << "cl" << "CL_A cl_b cl_c";
        QTest::newRow("case ignored in matching") << "Sensitivity:0 zoom_sensitivity_ratio:0" << "SENS"
                                                  << "Sensitivity zoom_sensitivity_ratio";
        QTest::newRow("empty prefix: all by use") << "b:1 a:1 c:7" << "" << "c a b";
    }

    void ranking()
    {
        QFETCH(QString, offers);
        QFETCH(QString, prefix);
        QTEST(names(CompletionList::match(items(offers), prefix)), "expected");
    }

    // The sorted fast path agrees with the plain match over names and aliases.
    void fastPathAgrees()
    {
        auto catalogue = std::make_unique<Catalogue>();
        const QStringList catalogueNames = {"cl_updaterate", "cl_upspeed", "xcl_up", "Cl_Lw", "fps_max", "+jump"};
        for (int k = 0; k < catalogueNames.size(); ++k)
            catalogue->strCmdName[k + 1] = catalogueNames[k];
        catalogue->strCmdName[7] = "fps_max"; // a second entry of a name find() leaves out
        catalogue->strCmdText[1] = "How many updates per second you ask the server to send you. More text.";
        catalogue->reindex();
        UseTable uses;
        uses.addFile(u"cl_updaterate 100\ncl_updaterate 60\nfps_max 100\ncl_upspeed 1");
        CompletionList list;
        list.setCatalogue(*catalogue, uses);
        list.setAliases({{"cl_uptoggle", "cl_updaterate 30"}, {"FPS_MAX", "shadows the catalogue"}});
        const CatalogueCommands known(*catalogue);
        const QList<CompletionList::Item> all = list.offers(in(CompletionContext::Kind::Command), known);
        QCOMPARE(all.size(), 7);
        for (const QString prefix : {"", "cl_up", "UP", "x", "_", "zz"}) {
            QList<CompletionList::Item> fast;
            for (const auto *item : list.matchNames(prefix))
                fast.append(*item);
            QCOMPARE(names(fast), names(CompletionList::match(all, prefix)));
        }
        const auto first = list.matchNames(u"cl_up").first();
        QCOMPARE(first->name, "cl_updaterate");
        QCOMPARE(first->explanation, "How many updates per second you ask the server to send you.");
        QCOMPARE(list.matchNames(u"cl_upt").first()->explanation, "alias: cl_updaterate 30");
    }

    // The compiled catalogue and the use table the program ships: the most
    // used name first, typed into the line; without the table, a message
    // naming it, and the names alphabetical.
    void useTableOfTheFolder()
    {
        const QString folder = QStringLiteral(TESSARY_PROGRAM_BUILD_DIR);
        auto catalogue = std::make_unique<Catalogue>();
        QVERIFY(LoadCatalogue(*catalogue, folder).ok());
        CompletionList list;
        const Status loaded = list.setCatalogue(*catalogue, folder);
        QVERIFY2(loaded.ok(), qPrintable(loaded.error()));
        const CatalogueCommands known(*catalogue);
        const auto completed = list.complete(CompletionContext::at(u"bind q \"+jump; cl_up", known), known);
        QCOMPARE(completed.first().name, "cl_updaterate");
        QVERIFY(completed.first().explanation.startsWith("How many updates per second"));
        QTemporaryDir dir;
        const Status missing = list.setCatalogue(*catalogue, dir.path());
        QVERIFY(!missing.ok());
        QVERIFY(missing.error().contains(QDir::toNativeSeparators(dir.filePath("uses.tsv"))));
        const auto all = list.matchNames(u"");
        QVERIFY(all.size() > 1000);
        QVERIFY(std::all_of(all.begin(), all.end(), [](const CompletionList::Item *item) { return item->uses == 0; }));
    }

    void offersInContext()
    {
        QTemporaryDir dir;
        for (const char *name : {"autoexec.cfg", "Buy.CFG", "notes.txt", "config.cfg"})
            QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
        auto catalogue = std::make_unique<Catalogue>();
        catalogue->strCmdName[1] = "cl_lw";
        catalogue->strCmdRange[1] = "0-1";
        catalogue->reindex();
        const CatalogueCommands known(*catalogue);
        CompletionList list;
        QStringList listed;
        list.setGameFolder(dir.path(), [&listed](const QString &folder) {
            listed.append(folder);
            return CompletionList::cfgFilesIn(folder);
        });
        QCOMPARE(names(list.offers(in(CompletionContext::Kind::File), known)), "autoexec.cfg Buy.CFG config.cfg");
        QCOMPARE(listed, QStringList{dir.path()});
        CompletionContext value = in(CompletionContext::Kind::Value);
        value.variable = "CL_LW";
        QCOMPARE(names(list.offers(value, known)), "0 1");
        list.setKeyBinds({{"F5", "buyak"}, {"MOUSE1", "+attack"}});
        const auto keys = list.offers(in(CompletionContext::Kind::Key), known);
        QVERIFY(names(keys).contains("MOUSE1"));
        // As players read them, and the bound ones say what they run.
        QVERIFY2(names(CompletionList::match(keys, u"f")).startsWith("F1 F2 F3 F4 F5 F6 F7 F8 F9 F10 F11 F12"),
                 qPrintable(names(CompletionList::match(keys, u"f"))));
        QVERIFY(names(CompletionList::match(keys, u"mouse")).startsWith("MOUSE1 MOUSE2 MOUSE3 MOUSE4 MOUSE5"));
        const auto f5 = std::find_if(keys.begin(), keys.end(), [](const CompletionList::Item &i) { return i.name == "F5"; });
        QVERIFY(f5 != keys.end() && f5->explanation.startsWith("bound to buyak"));
        const auto f6 = std::find_if(keys.begin(), keys.end(), [](const CompletionList::Item &i) { return i.name == "F6"; });
        QVERIFY(f6 != keys.end() && !f6->explanation.contains("bound"));
        QVERIFY(list.offers(in(CompletionContext::Kind::None), known).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_CompletionList)
#include "tst_CompletionList.moc"
