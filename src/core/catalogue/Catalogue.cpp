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

// The skill settings the Half-Life game registers, each as NAME1, NAME2 and
// NAME3 for the three skill levels, read for the level being played
// (ValveSoftware/halflife dlls/game.cpp GameDLLInit, dlls/skill.cpp
// GetSkillCvar). One entry, "sk_*", stands for all 252: commands.dat holds
// too few entries for each to have its own.
const char *const SkillBases[] = {
    "sk_12mm_bullet", "sk_9mmAR_bullet", "sk_9mm_bullet", "sk_agrunt_dmg_punch", "sk_agrunt_health",
    "sk_apache_health", "sk_barney_health", "sk_battery", "sk_bigmomma_dmg_blast", "sk_bigmomma_dmg_slash",
    "sk_bigmomma_health_factor", "sk_bigmomma_radius_blast", "sk_bullsquid_dmg_bite", "sk_bullsquid_dmg_spit",
    "sk_bullsquid_dmg_whip", "sk_bullsquid_health", "sk_controller_dmgball", "sk_controller_dmgzap",
    "sk_controller_health", "sk_controller_speedball", "sk_gargantua_dmg_fire", "sk_gargantua_dmg_slash",
    "sk_gargantua_dmg_stomp", "sk_gargantua_health", "sk_hassassin_health", "sk_headcrab_dmg_bite",
    "sk_headcrab_health", "sk_healthcharger", "sk_healthkit", "sk_hgrunt_gspeed", "sk_hgrunt_health",
    "sk_hgrunt_kick", "sk_hgrunt_pellets", "sk_hornet_dmg", "sk_houndeye_dmg_blast", "sk_houndeye_health",
    "sk_ichthyosaur_health", "sk_ichthyosaur_shake", "sk_islave_dmg_claw", "sk_islave_dmg_clawrake",
    "sk_islave_dmg_zap", "sk_islave_health", "sk_leech_dmg_bite", "sk_leech_health", "sk_miniturret_health",
    "sk_monster_arm", "sk_monster_chest", "sk_monster_head", "sk_monster_leg", "sk_monster_stomach",
    "sk_nihilanth_health", "sk_nihilanth_zap", "sk_player_arm", "sk_player_chest", "sk_player_head",
    "sk_player_leg", "sk_player_stomach", "sk_plr_357_bullet", "sk_plr_9mmAR_bullet", "sk_plr_9mmAR_grenade",
    "sk_plr_9mm_bullet", "sk_plr_buckshot", "sk_plr_crowbar", "sk_plr_egon_narrow", "sk_plr_egon_wide",
    "sk_plr_gauss", "sk_plr_hand_grenade", "sk_plr_rpg", "sk_plr_satchel", "sk_plr_tripmine", "sk_plr_xbow_bolt",
    "sk_plr_xbow_bolt_client", "sk_plr_xbow_bolt_monster", "sk_scientist_heal", "sk_scientist_health",
    "sk_sentry_health", "sk_snark_dmg_bite", "sk_snark_dmg_pop", "sk_snark_health", "sk_suitcharger",
    "sk_turret_health", "sk_zombie_dmg_both_slash", "sk_zombie_dmg_one_slash", "sk_zombie_health",
};
const QLatin1StringView SkillEntry("sk_*");

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

QStringList Catalogue::namesOf(const QString &name)
{
    if (name != SkillEntry)
        return {name};
    QStringList names;
    for (const char *base : SkillBases)
        for (const char level : {'1', '2', '3'})
            names.append(QLatin1String(base) + QLatin1Char(level));
    return names;
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
            for (const QString &name : namesOf(strCmdName[k]))
                m_index.insert(foldedName(name), k);
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
    // A command takes no value: it has no range to tell.
    const QString range = strCmdRange[k] == QLatin1String("none") ? QString()
                                                                   : QStringLiteral(" (Range: ") + strCmdRange[k] + u')';
    QString shown = strCmdText[k] + range + QStringLiteral(" (") + strCmdNote[k] + QLatin1Char(')');
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
