#include "catalogue/CatalogueFamily.h"

#include <algorithm>
#include <array>

namespace {

// The entries of the engine, the base game and the mods whose texts name
// them say themselves where they work; the others end their hint with it.
const std::array<CatalogueFamily, 18> Families = {{
    {QStringLiteral("engine"), QStringLiteral("Engine"), QString()},
    {QStringLiteral("client"), QStringLiteral("Half-Life game and client"), QString()},
    {QStringLiteral("server"), QStringLiteral("Server settings and administration"), QString()},
    {QStringLiteral("tfc"), QStringLiteral("Team Fortress Classic"), QString()},
    {QStringLiteral("cstrike"), QStringLiteral("Counter-Strike"), QString()},
    {QStringLiteral("cstrike-legacy"), QStringLiteral("Counter-Strike's early releases"),
     QStringLiteral("Counter-Strike's early releases")},
    {QStringLiteral("rehlds"), QStringLiteral("ReHLDS"), QStringLiteral("ReHLDS")},
    {QStringLiteral("regamedll"), QStringLiteral("ReGameDLL"), QStringLiteral("ReGameDLL")},
    {QStringLiteral("update"), QStringLiteral("25th anniversary update and later"),
     QStringLiteral("the 25th anniversary update or later")},
    {QStringLiteral("bxt"), QStringLiteral("Bunnymod XT (speedrun tool)"), QStringLiteral("Bunnymod XT")},
    {QStringLiteral("ag"), QStringLiteral("Adrenaline Gamer"), QStringLiteral("Adrenaline Gamer")},
    {QStringLiteral("gearbox"), QStringLiteral("Opposing Force"), QStringLiteral("Opposing Force")},
    {QStringLiteral("dod"), QStringLiteral("Day of Defeat"), QStringLiteral("Day of Defeat")},
    {QStringLiteral("ns"), QStringLiteral("Natural Selection"), QStringLiteral("Natural Selection")},
    {QStringLiteral("svencoop"), QStringLiteral("Sven Co-op"), QStringLiteral("Sven Co-op")},
    {QStringLiteral("hltv"), QStringLiteral("HLTV spectator proxy"), QStringLiteral("HLTV")},
    {QStringLiteral("bugfixedhl"), QStringLiteral("BugfixedHL (client and server replacement)"), QStringLiteral("BugfixedHL")},
    {QStringLiteral("openag"), QStringLiteral("OpenAG (client replacement)"), QStringLiteral("OpenAG")},
}};

} // namespace

namespace CatalogueFamilies {

std::span<const CatalogueFamily> all()
{
    return Families;
}

const CatalogueFamily *find(QStringView id)
{
    const auto it = std::find_if(Families.begin(), Families.end(), [id](const CatalogueFamily &f) { return f.id == id; });
    return it == Families.end() ? nullptr : &*it;
}

} // namespace CatalogueFamilies
