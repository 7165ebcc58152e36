#include "catalogue/Catalogue.h"
#include "catalogue/UseTable.h"
#include "completion/CompletionList.h"
#include "config/KnownCommands.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class tst_CompletionList : public QObject
{
    Q_OBJECT

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
    // Property: on random catalogues, uses and aliases, the sorted fast path
    // and the plain match offer what a slow reference does. Each name once,
    // in any letter case: the catalogue's first entry, an alias only where no
    // entry has its name. Those starting with the typed text come first, then
    // those holding it, each group by use, then by name.
    void offersMatchASlowReference()
    {
        const QStringList pool = {"cl_updaterate", "cl_upspeed", "xcl_up", "Cl_Lw", "cl_lw", "fps_max",
                                  "FPS_MAX", "+jump", "cl_up2", "cl_up10", "_up", "Up"};
        QRandomGenerator rng(31);
        for (int round = 0; round < 300; ++round) {
            auto catalogue = std::make_unique<Catalogue>();
            for (int k = 1; k <= 8; ++k) {
                catalogue->strCmdName[k] = rng.bounded(3) ? pool[rng.bounded(pool.size())] : QString();
                catalogue->strCmdText[k] = QStringLiteral("Entry %1 does this. More text.").arg(k);
            }
            catalogue->reindex();
            QString script;
            for (int n = rng.bounded(12); n > 0; --n)
                script += pool[rng.bounded(pool.size())] + QStringLiteral(" 1\n");
            UseTable uses;
            uses.addFile(script);
            QList<std::pair<QString, QString>> aliases;
            for (int n = rng.bounded(4); n > 0; --n)
                aliases.append({pool[rng.bounded(pool.size())], QStringLiteral("body %1").arg(n)});
            CompletionList list;
            list.setCatalogue(*catalogue, uses);
            list.setAliases(aliases);

            const auto usesOf = [&](const QString &name) {
                qint64 count = 0;
                for (auto it = uses.names().begin(); it != uses.names().end(); ++it)
                    count += it.key().compare(name, Qt::CaseInsensitive) == 0 ? it.value().count : 0;
                return count;
            };
            QList<CompletionList::Item> all;
            QSet<QString> seen;
            for (int k = 1; k <= 8; ++k) {
                const QString name = catalogue->strCmdName[k];
                if (!name.isEmpty() && !seen.contains(name.toLower()))
                    all.append({name, QStringLiteral("Entry %1 does this.").arg(k), usesOf(name)});
                seen.insert(name.toLower());
            }
            for (const auto &[name, body] : aliases) {
                if (!seen.contains(name.toLower()))
                    all.append({name, "alias: " + body, usesOf(name)});
                seen.insert(name.toLower());
            }
            const CatalogueCommands known(*catalogue);
            for (const QString prefix : {"", "cl_up", "UP", "x", "_", "zz", "1", "cl_lw"}) {
                QList<CompletionList::Item> starts, holds;
                for (const CompletionList::Item &item : std::as_const(all)) {
                    if (item.name.startsWith(prefix, Qt::CaseInsensitive))
                        starts.append(item);
                    else if (item.name.contains(prefix, Qt::CaseInsensitive))
                        holds.append(item);
                }
                for (QList<CompletionList::Item> *group : {&starts, &holds})
                    std::sort(group->begin(), group->end(), [](const auto &a, const auto &b) {
                        const int c = naturalCompare(a.name, b.name);
                        return a.uses != b.uses ? a.uses > b.uses : c != 0 ? c < 0 : a.name < b.name;
                    });
                QList<CompletionList::Item> fast;
                for (const auto *item : list.matchNames(prefix))
                    fast.append(*item);
                QCOMPARE(fast, starts + holds);
                QCOMPARE(CompletionList::match(list.offers(in(CompletionContext::Kind::Command), known), prefix), starts + holds);
            }
        }
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
        // As players read them, and the bound ones say what they run.
        QVERIFY2(names(CompletionList::match(keys, u"f")).startsWith("F1 F2 F3 F4 F5 F6 F7 F8 F9 F10 F11 F12"),
                 qPrintable(names(CompletionList::match(keys, u"f"))));
        QVERIFY(names(CompletionList::match(keys, u"mouse")).startsWith("MOUSE1 MOUSE2 MOUSE3 MOUSE4 MOUSE5"));
        const auto f5 = std::find_if(keys.begin(), keys.end(), [](const CompletionList::Item &i) { return i.name == "F5"; });
        QVERIFY(f5 != keys.end() && f5->explanation.startsWith("bound to buyak"));
        QVERIFY(list.offers(in(CompletionContext::Kind::None), known).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_CompletionList)
#include "tst_CompletionList.moc"
