#include "catalogue/Catalogue.h"

#include "catalogue/CatalogueFamily.h"
#include "settings/RecordFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

QString Catalogue::path(const QString &programFolder)
{
    return programFolder + QStringLiteral("/commands.dat");
}

std::array<QString, Catalogue::Entries + 1> &Catalogue::field(int f)
{
    std::array<QString, Entries + 1> *fields[Fields] = {
        &strCmdName, &strCmdField2, &strCmdRange, &strCmdField4, &strCmdText, &strCmdNote,
    };
    return *fields[f];
}

const std::array<QString, Catalogue::Entries + 1> &Catalogue::field(int f) const
{
    return const_cast<Catalogue *>(this)->field(f);
}

namespace {

bool hasAsciiCapital(QStringView name)
{
    return std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() >= u'A' && c.unicode() <= u'Z'; });
}

} // namespace

QString Catalogue::foldedName(const QString &name)
{
    if (!hasAsciiCapital(name))
        return name;
    QString folded = name;
    for (QChar &c : folded)
        if (c.unicode() >= u'A' && c.unicode() <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    return folded;
}

int Catalogue::find(const QString &name) const
{
    // Words typed in lower case, nearly all of them, are looked up without a copy.
    return m_index.value(hasAsciiCapital(name) ? foldedName(name) : name, 0);
}

void Catalogue::reindex()
{
    m_index.clear();
    // Walking down lets the lowest-numbered of equal names win.
    for (int k = Entries; k >= 1; --k) {
        if (!strCmdName[k].isEmpty() && (m_familiesOff.isEmpty() || !m_familiesOff.contains(strCmdField2[k])))
            m_index.insert(foldedName(strCmdName[k]), k);
    }
}

void Catalogue::setFamiliesOff(const QStringList &ids)
{
    m_familiesOff = QSet<QString>(ids.begin(), ids.end());
    reindex();
}

QHash<QString, int> Catalogue::entriesPerFamily() const
{
    QHash<QString, int> counts;
    for (int k = 1; k <= Entries; ++k)
        if (!strCmdName[k].isEmpty())
            ++counts[strCmdField2[k]];
    return counts;
}

const QStringList &Catalogue::flagWords()
{
    static const QStringList words = {QStringLiteral("archived"), QStringLiteral("cheat"), QStringLiteral("server")};
    return words;
}

QString Catalogue::kindField(bool isVariable, const QStringList &flags)
{
    QStringList words = {isVariable ? QStringLiteral("variable") : QStringLiteral("command")};
    return (words + flags).join(u' ');
}

CatalogueFacts Catalogue::facts(int k) const
{
    CatalogueFacts facts;
    facts.family = strCmdField2[k];
    const QStringList words = strCmdField4[k].split(u' ', Qt::SkipEmptyParts);
    facts.isVariable = words.value(0) == QLatin1String("variable");
    facts.archived = words.contains(QLatin1String("archived"));
    facts.cheat = words.contains(QLatin1String("cheat"));
    facts.serverOnly = words.contains(QLatin1String("server"));
    return facts;
}

QString Catalogue::explanation(int k) const
{
    QString shown = strCmdText[k] + QStringLiteral(" (Range: ") + strCmdRange[k] + QStringLiteral(") (") + strCmdNote[k]
                    + QLatin1Char(')');
    if (const CatalogueFamily *family = CatalogueFamilies::find(strCmdField2[k]); family && !family->onlyWith.isEmpty())
        shown += QStringLiteral(" (only with ") + family->onlyWith + QLatin1Char(')');
    return shown;
}

Status LoadCatalogue(Catalogue &catalogue, const QString &programFolder)
{
    const QString path = Catalogue::path(programFolder);
    const bool existed = QFileInfo::exists(path);
    RecordFile file;
    const Status opened = file.open(path);
    for (int f = 0; f < Catalogue::Fields; ++f) {
        auto &values = catalogue.field(f);
        for (int k = 1; k <= Catalogue::Entries; ++k)
            values[k] = file.read(Catalogue::record(f, k));
    }
    catalogue.reindex();
    if (existed && !opened)
        return opened;
    // Created empty or read without a single name: the hint line stays bare, and the user learns why.
    const bool named = std::any_of(catalogue.strCmdName.begin() + 1, catalogue.strCmdName.end(),
                                   [](const QString &name) { return !name.isEmpty(); });
    if (!existed || !named)
        return Status::failure(QStringLiteral("%1 %2, so the hint line cannot explain the commands you type. "
                                              "Installing Tessary again puts it back.")
                                   .arg(QDir::toNativeSeparators(path),
                                        existed ? QStringLiteral("holds no commands") : QStringLiteral("is missing")));
    return Status::success();
}
