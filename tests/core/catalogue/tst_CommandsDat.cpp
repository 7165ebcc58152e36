// Checks the commands.dat the build made from data/commands.txt.
#include "desktop/ScriptWizardLists.h"
#include "catalogue/Catalogue.h"
#include "catalogue/CatalogueSource.h"
#include "catalogue/QuickSearchNames.h"

#include "FileHelpers.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

#include <memory>
#include <optional>

namespace {

// The bounds of a numeric range ("A-B", "A or more"); nothing for a range of words.
std::optional<std::pair<double, double>> boundsOf(const QString &range)
{
    static const QRegularExpression between(QStringLiteral(R"(^(-?\d+(\.\d+)?)-(-?\d+(\.\d+)?)$)"));
    static const QRegularExpression atLeast(QStringLiteral(R"(^(-?\d+(\.\d+)?) or more$)"));
    if (const auto m = between.match(range); m.hasMatch())
        return std::pair(m.captured(1).toDouble(), m.captured(3).toDouble());
    if (const auto m = atLeast.match(range); m.hasMatch())
        return std::pair(m.captured(1).toDouble(), qInf());
    return std::nullopt;
}

} // namespace

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

    void matchesItsSourceWithoutDuplicates()
    {
        const auto parsed = CatalogueSource::parse(readAll(QStringLiteral(TESSARY_COMMANDS_SOURCE)), "commands.txt");
        QVERIFY2(parsed.ok(), qPrintable(parsed.error()));
        QCOMPARE(parsed.value().warnings, QStringList());
        QCOMPARE(CatalogueSource::entriesOf(*m_catalogue), parsed.value().entries);
    }

    void everyEntryIsComplete()
    {
        static const QStringList words = {"any number", "any text", "none", "key name", "command"};
        for (const CatalogueEntry &e : CatalogueSource::entriesOf(*m_catalogue)) {
            QVERIFY2(!e.text.isEmpty() && !e.note.isEmpty(), qPrintable(e.name));
            const auto bounds = boundsOf(e.range);
            QVERIFY2(bounds ? bounds->first <= bounds->second : words.contains(e.range),
                     qPrintable(e.name + QStringLiteral(": ") + e.range));
        }
    }

    void coversTheListedNames()
    {
        QStringList listed = QuickSearchNames();
        for (const QString &item : ScriptWizardLists::gameCommands() + ScriptWizardLists::mouseSettings()) {
            const QString name = item.section(u' ', 0, 0);
            const QString argument = item.section(u' ', 1);
            listed.append(name);
            const int k = m_catalogue->find(name);
            bool numeric = false;
            const double value = argument.toDouble(&numeric);
            // A listed value must lie inside the range its entry gives.
            if (const auto bounds = boundsOf(m_catalogue->strCmdRange[k]); k && numeric && bounds)
                QVERIFY2(value >= bounds->first && value <= bounds->second, qPrintable(item));
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
