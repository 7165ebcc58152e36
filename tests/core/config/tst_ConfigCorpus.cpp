#include "catalogue/Catalogue.h"
#include "config/ConfigCheck.h"
#include "config/KnownCommands.h"
#include "config/NameOwners.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

// Real-looking game folders (fixtures/): a game-written config.cfg, an
// autoexec.cfg, a userconfig.cfg, a jump and a buy script, a server.cfg with
// AMX Mod X, Metamod and bots, run again after ReGameDLL's game.cfg. Each
// mistake planted in them carries the comment "// planted CODE" on its line.
// Over the real catalogue, every error and warning must stand on a planted
// line with that code, and every planted mistake must be found.
class tst_ConfigCorpus : public QObject
{
    Q_OBJECT

private slots:
    void plantedMistakesOnly_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("a player's folder") << QStringLiteral(TESSARY_FIXTURES "/cstrike");
        QTest::newRow("a server's folder") << QStringLiteral(TESSARY_FIXTURES "/server/cstrike");
    }
    void plantedMistakesOnly()
    {
        QFETCH(QString, folder);
        Catalogue catalogue;
        QVERIFY(LoadCatalogue(catalogue, QStringLiteral(TESSARY_PROGRAM_FOLDER)).ok());
        const CatalogueCommands known(catalogue);
        const ConfigCheck::Checked checked = ConfigCheck::analyze(folder, known, {});
        QVERIFY2(checked.unreadable.isEmpty(), qPrintable(checked.unreadable.join(u'\n')));

        // file:line -> the code planted there
        QHash<QString, QString> planted;
        static const QRegularExpression mark(QStringLiteral("// planted (TS\\d+)"));
        QDirIterator it(folder, {QStringLiteral("*.cfg")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QStringList lines = QString::fromLatin1(file.readAll()).split(u'\n');
            for (int i = 0; i < lines.size(); ++i) {
                const QRegularExpressionMatch m = mark.match(lines[i]);
                if (m.hasMatch())
                    planted.insert(QStringLiteral("%1:%2").arg(QDir(folder).relativeFilePath(it.filePath())).arg(i + 1),
                                   m.captured(1));
            }
        }
        QStringList falseAlarms;
        QSet<QString> found;
        int flagged = 0;
        for (const ConfigProblem &p : checked.model.problems) {
            if (p.weight() == ProblemWeight::Notice)
                continue;
            ++flagged;
            const QString at = QStringLiteral("%1:%2").arg(QDir(folder).relativeFilePath(p.path)).arg(p.line + 1);
            if (planted.value(at) == p.code())
                found.insert(at);
            else
                falseAlarms.append(QStringLiteral("%1: %2 %3").arg(at, p.code(), p.message));
        }
        QStringList missed;
        for (auto i = planted.cbegin(); i != planted.cend(); ++i) {
            if (!found.contains(i.key()))
                missed.append(i.key() + u' ' + i.value());
        }
        missed.sort();
        qInfo("%d errors and warnings, %d on planted lines; %d of %d planted mistakes found", flagged,
              flagged - int(falseAlarms.size()), int(found.size()), int(planted.size()));
        QVERIFY2(falseAlarms.isEmpty(), qPrintable(falseAlarms.join(u'\n')));
        QVERIFY2(missed.isEmpty(), qPrintable(missed.join(u'\n')));
    }

    // A name the catalogue knows is this game's, whatever the Source engine
    // calls the same: never one "pasted from Source".
    void sourceNamesAreNoCatalogueNames()
    {
        Catalogue catalogue;
        QVERIFY(LoadCatalogue(catalogue, QStringLiteral(TESSARY_PROGRAM_FOLDER)).ok());
        const CatalogueCommands known(catalogue);
        QStringList both;
        for (const QString &name : known.names()) {
            const std::optional<NameOwners::Owner> owner = NameOwners::builtIn().owner(name);
            if (owner && owner->sourceEngine)
                both.append(name);
        }
        QVERIFY2(both.isEmpty(), qPrintable(both.join(u' ')));
    }
};

QTEST_GUILESS_MAIN(tst_ConfigCorpus)
#include "tst_ConfigCorpus.moc"
