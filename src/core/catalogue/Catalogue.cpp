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
// Families of settings that differ only by the weapon or item they name,
// each with one entry: commands.dat holds too few for each to have its own.
// Adrenaline Gamer registers one of each per item (ag-community/agmod-server
// src/game/server/agglobal.cpp): sv_ag_ban_ keeps it off the map and out of
// the spawn, sv_ag_start_ gives it at spawn, sv_ag_dmg_ sets a weapon's
// damage (aggamerules.cpp copies them into gSkillData). Sven Co-op's
// weaponmode_ settings are listed in LacledesLAN/gamesvr-svencoop
// Documentation/all_cvars.md and, with weaponmode_357, in the game's own
// template default_map_settings.cfg; the weapons and ammunition a Sven
// Co-op map's .cfg gives at spawn are named in its manual (svencoop.com/
// manual/mapping-config.html) and read by wootguy/SevenKewp
// dlls/game/gamerules.cpp (execMapCfg's itemNames, weapon_saw among them).
// Weapons other families name are left out.
// Sven Co-op's vote thresholds, one for each kind of vote, are listed in
// LacledesLAN/gamesvr-svencoop Documentation/all_cvars.md.
// ReHLDS's guard on compressed uploads is the bare name and six settings after
// it (rehlds/rehlds README.md, rehlds/engine/net_chan.cpp).
// Day of Defeat's class limits, one for each team's class, are named in a
// public re-creation of its libraries (whamemer/dod13-client
// dlls/dod_shared.cpp at 0d98bc1, classlimitcvarNames).
const char *const AgBanBases[] = {
    "crowbar", "glock", "357", "mp5", "shotgun", "crossbow", "rpg", "gauss", "egon", "hornet", "hgrenade", "satchel",
    "tripmine", "snark", "longjump", "m203", "9mmar", "bockshot", "uranium", "bolts", "rockets", "357ammo", "armour",
    "health", "recharg",
};
const char *const AgDamageBases[] = {
    "crowbar", "glock", "357", "mp5", "shotgun", "crossbow", "bolts", "rpg", "gauss", "egon_wide", "egon_narrow",
    "hornet", "hgrenade", "satchel", "tripmine", "m203",
};
const char *const SvenWeaponBases[] = {
    "mp5", "python", "glock", "uzi", "uziakimbo", "m16", "minigun", "medkit", "wrench", "saw",
};
const char *const SvenAmmoBases[] = {
    "crossbow", "egonclip", "gaussclip", "mp5clip", "9mmar", "9mmbox", "mp5grenades", "argrenades", "357", "rpgclip",
    "buckshot", "glockclip", "9mm", "9mmclip", "556", "556clip", "762", "uziclip", "spore", "sporeclip",
};
const char *const DodClassLimitBases[] = {
    "alliesgarand", "alliescarbine", "alliesthompson", "alliesgreasegun", "alliesspring", "alliesbar", "allies30cal",
    "alliesbazooka", "alliesmortar", "axiskar", "axisk43", "axismp40", "axismp44", "axisscopedkar", "axisfg42",
    "axisfg42s", "axismg34", "axismg42", "axispschreck", "axismortar", "britlight", "britassault", "britsniper",
    "britmg", "britpiat", "britmortar",
};
const char *const RehldsDecompressionBases[] = {
    "", "_max_ratio", "_max_size", "_min_failures", "_max_failures", "_min_failuretime", "_punish",
};
const char *const SvenVoteBases[] = {
    "kickrequired", "maprequired", "banrequired", "killrequired", "classicmoderequired", "survivalmoderequired",
};
// Sven Co-op's own skill settings carry no level digit: one value each, the
// monster's or weapon's name and what it sets (the game's skill.cfg as servers
// publish it: DDopeman/Limitless-Potential svencoop/skill.cfg at 5f29e1b,
// v5.23; LacledesLAN/gamesvr-svencoop Documentation/all_cvars.md, its
// "Skill" variables). "sk_*(svencoop)" stands for them all.
const char *const SvenSkillBases[] = {
    "12mm_bullet", "556_bullet", "9mm_bullet", "9mmAR_bullet", "agrunt_berserker_dmg_punch", "agrunt_dmg_punch",
    "agrunt_health", "agrunt_melee_engage_distance", "apache_enable_rockets", "apache_health",
    "babygargantua_dmg_fire", "babygargantua_dmg_slash", "babygargantua_dmg_stomp", "babygargantua_health",
    "barnacle_bite", "barnacle_health", "barney_health", "battery", "bigmomma_dmg_blast", "bigmomma_dmg_slash",
    "bigmomma_health_factor", "bigmomma_radius_blast", "blkopsosprey", "bullsquid_dmg_bite", "bullsquid_dmg_spit",
    "bullsquid_dmg_whip", "bullsquid_health", "controller_dmgball", "controller_dmgzap", "controller_health",
    "controller_speedball", "gargantua_dmg_fire", "gargantua_dmg_slash", "gargantua_dmg_stomp", "gargantua_health",
    "gonome_dmg_guts", "gonome_dmg_one_bite", "gonome_dmg_one_slash", "gonome_health", "grunt_buckshot",
    "grunt_handgrenades", "hassassin_enable_cloaking", "hassassin_health", "headcrab_dmg_bite", "headcrab_health",
    "healthcharger", "healthkit", "hgrunt_gspeed", "hgrunt_health", "hgrunt_kick", "hgrunt_pellets", "hornet_dmg",
    "hornet_pdmg", "houndeye_dmg_blast", "houndeye_health", "hwgrunt_health", "hwgrunt_minipellets",
    "ichthyosaur_health", "ichthyosaur_shake", "islave_dmg_claw", "islave_dmg_clawrake", "islave_dmg_zap",
    "islave_health", "islave_speed_zap", "kingpin_health", "kingpin_lightning", "kingpin_melee",
    "kingpin_plasma_blast", "kingpin_tele_blast", "kingpin_telefrag", "leech_dmg_bite", "leech_health",
    "massassin_sniper", "miniturret_health", "monster_arm", "monster_chest", "monster_head", "monster_leg",
    "monster_stomach", "mortar", "nihilanth_health", "nihilanth_zap", "osprey", "otis_bullet", "otis_health",
    "pitdrone_dmg_bite", "pitdrone_dmg_spit", "pitdrone_dmg_whip", "pitdrone_health", "player_arm", "player_chest",
    "player_head", "player_leg", "player_stomach", "plr_357_bullet", "plr_762_bullet", "plr_9mm_bullet",
    "plr_9mmAR_bullet", "plr_9mmAR_grenade", "plr_buckshot", "plr_crowbar", "plr_displacer_other",
    "plr_displacer_radius", "plr_egon_narrow", "plr_egon_wide", "plr_gauss", "plr_grapple", "plr_hand_grenade",
    "plr_HpMedic", "plr_rpg", "plr_satchel", "plr_secondarygauss", "plr_shockrifle", "plr_shockrifle_beam",
    "plr_shockrifle_recharge", "plr_spore", "plr_tripmine", "plr_uzi", "plr_wrench", "plr_xbow_bolt_client",
    "plr_xbow_bolt_monster", "rgrunt_explode", "scientist_heal", "scientist_health", "sentry_health",
    "shockroach_dmg_xpl_splash", "shockroach_dmg_xpl_touch", "shocktrooper_enable_spores", "shocktrooper_health",
    "shocktrooper_kick", "shocktrooper_maxcharge", "snark_dmg_bite", "snark_dmg_pop", "snark_health",
    "sqknest_health", "stukabat", "stukabat_dmg_bite", "suitcharger", "tentacle", "tor_energybeam", "tor_health",
    "tor_punch", "tor_sonicblast", "turret_health", "voltigore_dmg_beam", "voltigore_dmg_explode",
    "voltigore_dmg_punch", "voltigore_health", "zombie_barney_dmg_both_slash", "zombie_barney_dmg_one_slash",
    "zombie_barney_health", "zombie_dmg_both_slash", "zombie_dmg_one_slash", "zombie_health",
    "zombie_soldier_dmg_both_slash", "zombie_soldier_dmg_one_slash", "zombie_soldier_health",
};
// Sven Co-op's own client settings and media player commands, from its
// published lists (LacledesLAN/gamesvr-svencoop Documentation/all_cvars.md,
// all_commands.md) and a config.cfg the game wrote (JJMAGame/
// fast-dl-svencoop-moriya svencoop/config.cfg at c8a79d5, which adds
// cl_discord and hud_saytext_block_muted). Portals, mirrors and monitors
// share the drawing settings; portals add one for their shaders.
const char *const SvenViewBases[] = {"disabled", "fps", "halfframes", "quality"};
const char *const SvenHudBases[] = {
    "alpha_default", "alpha_max", "bordersize", "saytext_block_muted", "saytext_lines", "selection_fadeout",
    "selection_timeout", "weaponautoswitch",
};
const char *const SvenClientBases[] = {
    "discord", "fpscolor", "fpspos", "hideadmin", "hidextra", "outline_sounds", "particles_max",
    "scaleenginefont", "showstats", "spectrum_debug", "texture_lod", "vr", "vr_inverted",
};
// ReGameDLL's bot buying switches by weapon class (regamedll/dlls/bot/cs_bot_init.cpp);
// bot_allow_rogues is no weapon and keeps its own entry.
const char *const BotWeaponBases[] = {
    "pistols", "shotguns", "sub_machine_guns", "rifles", "machine_guns", "grenades", "snipers", "shield",
};
// Sven Co-op's own log settings, from its published variable list.
const char *const SvenLogBases[] = {
    "client_commands", "monster_damage", "monster_deaths", "monster_monster_kills", "player_deaths", "player_frequency",
};
const char *const SvenMediaCommands[] = {"mediaplayer", "playmedia", "nextsong", "lastsong", "stopsong"};
const char *const SvenWeaponModeBases[] = {
    "9mmhandgun", "357", "crossbow", "displacer", "eagle", "mp5", "rpg", "shotgun",
};

template <size_t N>
QStringList prefixed(const char *prefix, const char *const (&bases)[N])
{
    QStringList names;
    for (const char *base : bases)
        names.append(QLatin1String(prefix) + QLatin1String(base));
    return names;
}

// The entries that stand for a family, by the name the entry has.
const QHash<QString, QStringList> &familyEntries()
{
    static const QHash<QString, QStringList> entries = [] {
        QStringList skill;
        for (const char *base : SkillBases)
            for (const char level : {'1', '2', '3'})
                skill.append(QLatin1String(base) + QLatin1Char(level));
        // recharg is banned but never given at spawn.
        QStringList start = prefixed("sv_ag_start_", AgBanBases);
        start.removeOne(QStringLiteral("sv_ag_start_recharg"));
        return QHash<QString, QStringList>{
            {QStringLiteral("sk_*"), skill},
            {QStringLiteral("sv_ag_ban_*"), prefixed("sv_ag_ban_", AgBanBases)},
            {QStringLiteral("sv_ag_start_*"), start},
            {QStringLiteral("sv_ag_dmg_*"), prefixed("sv_ag_dmg_", AgDamageBases)},
            {QStringLiteral("weaponmode_*"), prefixed("weaponmode_", SvenWeaponModeBases)},
            {QStringLiteral("weapon_*"), prefixed("weapon_", SvenWeaponBases)},
            {QStringLiteral("ammo_*"), prefixed("ammo_", SvenAmmoBases)},
            {QStringLiteral("mp_limit*"), prefixed("mp_limit", DodClassLimitBases)},
            {QStringLiteral("mp_vote*"), prefixed("mp_vote", SvenVoteBases)},
            {QStringLiteral("sk_*(svencoop)"), prefixed("sk_", SvenSkillBases)},
            {QStringLiteral("cl_portal_*"), prefixed("cl_portal_", SvenViewBases) << "cl_portal_disable_shaders"},
            {QStringLiteral("cl_mirror_*"), prefixed("cl_mirror_", SvenViewBases)},
            {QStringLiteral("cl_monitor_*"), prefixed("cl_monitor_", SvenViewBases)},
            {QStringLiteral("hud_*(svencoop)"), prefixed("hud_", SvenHudBases)},
            {QStringLiteral("cl_*(svencoop)"), prefixed("cl_", SvenClientBases)},
            {QStringLiteral("mediaplayer*"), prefixed("", SvenMediaCommands)},
            {QStringLiteral("bot_allow_*"), prefixed("bot_allow_", BotWeaponBases)},
            {QStringLiteral("sv_log_*(svencoop)"), prefixed("sv_log_", SvenLogBases)},
            {QStringLiteral("sv_net_incoming_decompression*"),
             prefixed("sv_net_incoming_decompression", RehldsDecompressionBases)},
        };
    }();
    return entries;
}

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
    // Only names holding '*' stand for a family; the rest stand for themselves.
    if (!name.contains(u'*'))
        return {name};
    return familyEntries().value(name, {name});
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
