#include "settings/RecordFile.h"
#include "catalogue/Catalogue.h"
#include "catalogue/ScriptSyntax.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class tst_Catalogue : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path() const { return Catalogue::path(m_dir.path()); }

    // Writes "r<record>" into records 1 to `records`.
    void writeNumberedRecords(int records)
    {
        RecordFile file;
        QVERIFY(file.open(path()).ok());
        for (int r = 1; r <= records; ++r)
            QVERIFY(file.write(r, QStringLiteral("r%1").arg(r)).ok());
        QVERIFY(file.commit().ok());
    }

private slots:
    void init() { QFile::remove(path()); }

    void readsFieldsColumnByColumn_data()
    {
        QTest::addColumn<int>("records");
        QTest::newRow("complete file") << 9000;
        QTest::newRow("empty file") << 0;
        QTest::newRow("missing file") << -1;
    }
    void readsFieldsColumnByColumn()
    {
        QFETCH(int, records);
        if (records >= 0)
            writeNumberedRecords(records);
        auto c = std::make_unique<Catalogue>();
        c->strCmdName[1] = QStringLiteral("stale");
        const Status loaded = LoadCatalogue(*c, m_dir.path());
        // Missing or without a command: one message naming the file and what it costs.
        QCOMPARE(loaded.ok(), records > 0);
        if (records <= 0) {
            QVERIFY(loaded.error().contains(QDir::toNativeSeparators(path())));
            QVERIFY(loaded.error().contains(records < 0 ? QStringLiteral("is missing") : QStringLiteral("no commands")));
        }
        // A missing file is created empty.
        QCOMPARE(QFileInfo(path()).size(), qMax(records, 0) * 128);
        const std::pair<const std::array<QString, Catalogue::Entries + 1> *, int> columns[] = {
            {&c->strCmdName, 0},     {&c->strCmdField2, 1500}, {&c->strCmdRange, 3000},
            {&c->strCmdField4, 4500}, {&c->strCmdText, 6000},   {&c->strCmdNote, 7500},
        };
        for (const auto &[column, base] : columns) {
            QCOMPARE((*column)[0], QString());
            for (int k = 1; k <= Catalogue::Entries; ++k) {
                const int r = base + k;
                QCOMPARE((*column)[k], r <= records ? QStringLiteral("r%1").arg(r) : QString());
            }
        }
        QCOMPARE(c->find(QStringLiteral("stale")), 0);
    }

    // The index must agree with a first-match scan: lowest number wins, the
    // case of ASCII letters aside, as the engine's Q_stricmp compares.
    void findMatchesFirstMatchScan()
    {
        const QStringList pool = {"gamma", "Gamma", "GAMMA", "fov", "fov ", "+jump", "", "gamm", "\u00e9t\u00e9", "\u00c9T\u00c9", "\u00e9T\u00e9"};
        QRandomGenerator rng(5);
        auto c = std::make_unique<Catalogue>();
        for (int round = 0; round < 20; ++round) {
            for (int k = 1; k <= Catalogue::Entries; ++k)
                c->strCmdName[k] = rng.bounded(8) ? QString() : pool[rng.bounded(pool.size())];
            c->reindex();
            for (const QString &name : pool + QStringList{"absent"}) {
                int first = 0;
                for (int k = 1; k <= Catalogue::Entries && !first; ++k)
                    first = !name.isEmpty() && !c->strCmdName[k].isEmpty()
                                    && c->strCmdName[k].toLatin1().toLower() == name.toLatin1().toLower()
                                ? k : 0;
                QCOMPARE(c->find(name), first);
            }
        }
    }

    // One entry stands for a family of settings that differ only by what
    // they name (the game's 252 skill settings, a mod's per-item settings),
    // and for no other name.
    void familyEntryStandsForItsNames_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        QTest::newRow("a level") << "sk_*" << "sk_agrunt_health2" << true;
        QTest::newRow("no such level") << "sk_*" << "sk_agrunt_health4" << false;
        QTest::newRow("Sven Co-op's, without a level") << "sk_*(svencoop)" << "sk_plr_hpmedic" << true;
        QTest::newRow("the entry's own name") << "sk_*" << "sk_*" << false;
        QTest::newRow("no spawn setting for it") << "sv_ag_start_*" << "sv_ag_start_recharg" << false;
        QTest::newRow("a mod's own weapon") << "weapon_*" << "weapon_uzi" << true;
        QTest::newRow("another family's weapon") << "weapon_*" << "weapon_crowbar" << false;
    }
    void familyEntryStandsForItsNames()
    {
        QFETCH(QString, entry);
        QFETCH(QString, name);
        auto c = std::make_unique<Catalogue>();
        c->strCmdName[4] = entry;
        c->reindex();
        QFETCH(bool, found);
        QCOMPARE(c->find(name), found ? 4 : 0);
        QCOMPARE(Catalogue::namesOf(QStringLiteral("sk_*")).size(), 252);
    }

    // A family switched off takes its names out of every lookup, the
    // colours' too; a name another family also gives falls to it.
    void familiesOffHideTheirNames_data()
    {
        QTest::addColumn<QStringList>("off");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("entry");
        QTest::newRow("all on") << QStringList() << "mp_round_infinite" << 2;
        QTest::newRow("its family off") << QStringList{"regamedll"} << "mp_round_infinite" << 0;
        QTest::newRow("base game off") << QStringList{"engine"} << "gamma" << 0;
        QTest::newRow("shared name, first family off") << QStringList{"bxt", "server"} << "sv_cheats" << 4;
    }
    void familiesOffHideTheirNames()
    {
        QFETCH(QStringList, off);
        QFETCH(QString, name);
        QFETCH(int, entry);
        auto c = std::make_unique<Catalogue>();
        const char *const entries[][2] = {
            {"gamma", "engine"}, {"mp_round_infinite", "regamedll"}, {"sv_cheats", "bxt"}, {"sv_cheats", "rehlds"}};
        for (int k = 1; k <= int(std::size(entries)); ++k) {
            c->strCmdName[k] = QString::fromLatin1(entries[k - 1][0]);
            c->strCmdField2[k] = QString::fromLatin1(entries[k - 1][1]);
        }
        c->setFamiliesOff(off);
        QCOMPARE(c->find(name), entry);
        const QList<SyntaxToken> tokens = tokenizeLine(QString(name + QStringLiteral(" 1")), FileSyntax::Script, *c);
        QVERIFY(!tokens.isEmpty());
        QCOMPARE(tokens[0].kind == SyntaxToken::Kind::Known, entry != 0);
        QCOMPARE(tokens[0].entry, entry);
        // Switching back on restores the full index.
        c->setFamiliesOff({});
        QVERIFY(c->find(name) != 0);
    }
};

QTEST_APPLESS_MAIN(tst_Catalogue)
#include "tst_Catalogue.moc"
