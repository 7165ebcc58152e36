// Checks the commands.dat the build made from the catalogue's sources.
#include "desktop/ScriptWizardLists.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueSource.h"
#include "catalogue/QuickSearchNames.h"
#include "catalogue/ValueRange.h"

#include "FileHelpers.h"

#include <QFileInfo>
#include <QTest>

#include <memory>

class tst_CommandsDat : public QObject
{
    Q_OBJECT

    std::unique_ptr<Catalogue> m_catalogue = std::make_unique<Catalogue>();

private slots:
    void initTestCase()
    {
        const QString dat = QStringLiteral(TESSARY_COMMANDS_DAT);
        // Loading would create a missing file and hide a broken build.
        QVERIFY2(QFileInfo::exists(dat), qPrintable(dat));
        QCOMPARE(QFileInfo(dat).size(), 1152000);
        QVERIFY(LoadCatalogue(*m_catalogue, QFileInfo(dat).path()).ok());
    }

    void matchesItsSourcesWithoutDuplicates()
    {
        QList<CatalogueSource::Source> sources;
        for (const QString &path : QStringLiteral(TESSARY_COMMANDS_SOURCES).split(u'|'))
            sources.append({readAll(path), QFileInfo(path).fileName()});
        const auto parsed = CatalogueSource::parse(sources);
        QVERIFY2(parsed.ok(), qPrintable(parsed.error()));
        QCOMPARE(parsed.value().warnings, QStringList());
        QCOMPARE(CatalogueSource::entriesOf(*m_catalogue), parsed.value().entries);
    }

    // A numeric range must be one the editor can check.
    void rangesAreReadable()
    {
        static const QStringList words = {"any text", "none", "key name", "command"};
        QStringList wrong;
        for (const CatalogueEntry &e : CatalogueSource::entriesOf(*m_catalogue)) {
            QVERIFY2(!e.text.isEmpty() && !e.note.isEmpty(), qPrintable(e.name));
            if (!ValueRange::parse(e.range).isChecked() && !words.contains(e.range))
                wrong.append(QStringLiteral("%1: range \"%2\" is not one the editor reads").arg(e.name, e.range));
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
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
