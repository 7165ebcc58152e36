// Checks the commands.dat the build made from the catalogue's sources, and
// measures it against the table of what real config files use.
#include "desktop/ScriptWizardLists.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueSource.h"
#include "catalogue/QuickSearchNames.h"
#include "catalogue/UseTable.h"
#include "catalogue/ValueRange.h"

#include "FileHelpers.h"

#include <QFileInfo>
#include <QSet>
#include <QTest>

#include <memory>

class tst_CommandsDat : public QObject
{
    Q_OBJECT

    std::unique_ptr<Catalogue> m_catalogue = std::make_unique<Catalogue>();
    UseTable m_uses;
    CoverageScope m_scope;
    CatalogueSource::Parsed m_sources;
    // Entries of the old single source, which the family parts are taking over.
    QSet<QString> m_legacy;

private slots:
    void initTestCase()
    {
        const QString dat = QStringLiteral(TESSARY_COMMANDS_DAT);
        // Loading would create a missing file and hide a broken build.
        QVERIFY2(QFileInfo::exists(dat), qPrintable(dat));
        QCOMPARE(QFileInfo(dat).size(), 1152000);
        QVERIFY(LoadCatalogue(*m_catalogue, QFileInfo(dat).path()).ok());
        auto uses = UseTable::fromTsv(readAll(QStringLiteral(TESSARY_USES_TABLE)), QStringLiteral("uses.tsv"));
        QVERIFY2(uses.ok(), qPrintable(uses.error()));
        m_uses = uses.take();
        QVERIFY(m_uses.uses() > 10000);
        auto scope = CoverageScope::fromText(readAll(QStringLiteral(TESSARY_SCOPE_LIST)), QStringLiteral("out-of-scope.txt"));
        QVERIFY2(scope.ok(), qPrintable(scope.error()));
        m_scope = scope.take();
        QList<CatalogueSource::Source> sources;
        for (const QString &path : QStringLiteral(TESSARY_COMMANDS_SOURCES).split(u'|'))
            sources.append({readAll(path), QFileInfo(path).fileName()});
        auto parsed = CatalogueSource::parse(sources);
        QVERIFY2(parsed.ok(), qPrintable(parsed.error()));
        m_sources = parsed.take();
        const auto legacy = CatalogueSource::parse(sources.last().utf8, sources.last().name);
        QVERIFY(sources.last().name == QLatin1String("commands.txt") && legacy.ok());
        for (const CatalogueEntry &e : legacy.value().entries)
            m_legacy.insert(e.name);
    }

    // Every entry read twice, or marked as awaiting its second reading; the
    // game writes exactly its saved variables into config.cfg: every
    // "archived" flag agrees with the files it wrote, or cites its code.
    void matchesItsSourcesAndTheGamesOwnFiles()
    {
        QCOMPARE(m_sources.warnings, QStringList());
        QCOMPARE(CatalogueSource::entriesOf(*m_catalogue), m_sources.entries);
        // A family's entry whose name the list of families lacks would stand for its own name only.
        for (const CatalogueEntry &e : m_sources.entries)
            QVERIFY2(!e.name.contains(u'*') || Catalogue::namesOf(e.name).size() > 1, qPrintable(e.name));
        QCOMPARE(CatalogueSource::readingProblems(m_sources).join(u'\n'), QString());
        qInfo("%lld of %lld entries await their second reading",
              qlonglong(CatalogueSource::awaitingSecondReading(m_sources)), qlonglong(m_sources.entries.size()));
        const auto saved = CatalogueSource::parseSaved(readAll(QStringLiteral(TESSARY_SAVED_TABLE)), QStringLiteral("saved.txt"));
        QVERIFY2(saved.ok(), qPrintable(saved.error()));
        QCOMPARE(CatalogueSource::savedFlagProblems(m_sources, saved.value()).join(u'\n'), QString());
    }

    // A numeric range must be one the editor can check, and never mark as
    // an error a value real configs give the name: the game takes each of
    // them, unchanged or (a notice) moved into its range.
    void rangesAreReadableAndTakeWhatConfigsUse()
    {
        // Values configs give that the game really reads as something else.
        static const QSet<QString> misread = {
            // A lone number, unquoted: the game reads three (Velaron/cs16-client cl_dll/ammo.cpp
            // CalcCrosshairColor), so green and blue stay as they were.
            "cl_crosshair_color 0",
        };
        static const QStringList words = {"any text", "none", "key name", "command"};
        QStringList wrong;
        for (const CatalogueEntry &e : CatalogueSource::entriesOf(*m_catalogue)) {
            QVERIFY2(!e.text.isEmpty() && !e.note.isEmpty(), qPrintable(e.name));
            const ValueRange range = ValueRange::parse(e.range);
            if (!range.isChecked() && !words.contains(e.range))
                wrong.append(QStringLiteral("%1: range \"%2\" is not one the editor reads").arg(e.name, e.range));
            if (m_legacy.contains(e.name))
                continue;
            for (const QString &value : m_uses.names().value(e.name).values) {
                const bool error = range.check(value).severity == ValueRange::Severity::Error;
                if (error != misread.contains(e.name + u' ' + value))
                    wrong.append(QStringLiteral("%1: configs give %2, which \"%3\" %4")
                                     .arg(e.name, value, e.range, error ? "refuses" : "takes"));
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }

    // The goal: 95% of the uses of the game's own names have an entry.
    void coversWhatRealConfigsUse()
    {
        const Coverage coverage = coverageOf(m_uses, *m_catalogue, m_scope);
        QStringList top;
        for (qsizetype i = 0; i < std::min<qsizetype>(30, coverage.uncovered.size()); ++i)
            top.append(QStringLiteral("%1 (%2)").arg(coverage.uncovered[i].first).arg(coverage.uncovered[i].second));
        qInfo("%lld of %lld command uses in real configs have an entry: %.1f%%; of the %lld in scope, %.1f%%; "
              "most used without: %s",
              coverage.covered, coverage.uses, 100 * coverage.share(), coverage.usesInScope(),
              100 * coverage.shareInScope(), qPrintable(top.join(u' ')));
        QVERIFY(coverage.shareInScope() >= 0.95);
        // A third-party name with an entry would be the catalogue's after all.
        for (const CatalogueEntry &e : CatalogueSource::entriesOf(*m_catalogue))
            QVERIFY2(m_scope.projectOf(e.name).isEmpty(), qPrintable(e.name));
    }

    void coversTheListedNames()
    {
        QStringList listed = QuickSearchNames();
        for (const QString &item : ScriptWizardLists::gameCommands() + ScriptWizardLists::mouseSettings()) {
            const QString name = item.section(u' ', 0, 0);
            const QString argument = item.section(u' ', 1);
            listed.append(name);
            double number = 0;
            // A listed value must lie inside the range its entry gives.
            if (const int k = m_catalogue->find(name); k && parseConsoleNumber(argument, number))
                QVERIFY2(ValueRange::parse(m_catalogue->strCmdRange[k]).problem(argument).isEmpty(), qPrintable(item));
        }
        QStringList missing;
        for (const QString &name : listed)
            if (!m_catalogue->find(name))
                missing.append(name);
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u' ')));
        QVERIFY(listed.removeDuplicates() >= 0 && listed.size() > 200);
    }
};

QTEST_APPLESS_MAIN(tst_CommandsDat)
#include "tst_CommandsDat.moc"
