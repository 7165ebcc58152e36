#include "completion/BindMap.h"

#include "config/ConfigAnalysis.h"
#include "config/ConfigFile.h"
#include "config/KeyNames.h"
#include "console/ConsoleRun.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace {

// The game's own commands by kind, as the base game and Counter-Strike
// name them; anything else that is no alias is "other".
const QSet<QString> &movement()
{
    static const QSet<QString> names = {
        "+forward", "+back", "+moveleft", "+moveright", "+jump", "+duck", "+speed", "+walk", "+left",
        "+right", "+moveup", "+movedown", "+strafe", "+lookup", "+lookdown", "+klook", "+mlook", "+jlook",
        "centerview", "force_centerview",
    };
    return names;
}

const QSet<QString> &weapons()
{
    static const QSet<QString> names = {
        "+attack", "+attack2", "+reload", "invnext", "invprev", "lastinv", "drop", "slot1", "slot2",
        "slot3", "slot4", "slot5", "slot6", "slot7", "slot8", "slot9", "slot10", "buy", "buymenu",
        "buyequip", "buyammo1", "buyammo2", "rebuy", "autobuy", "nightvision", "impulse",
    };
    return names;
}

const QSet<QString> &communication()
{
    static const QSet<QString> names = {
        "say", "say_team", "messagemode", "messagemode2", "+voicerecord", "radio1", "radio2", "radio3",
        "voice_showbanned", "+commandmenu", "spk", "speak",
    };
    return names;
}

QString firstWord(QStringView runs)
{
    QStringView command = runs.trimmed();
    if (command.startsWith(u'"'))
        command = command.mid(1);
    const qsizetype semicolon = command.indexOf(u';');
    if (semicolon >= 0)
        command = command.left(semicolon).trimmed();
    const qsizetype space = command.indexOf(u' ');
    return (space >= 0 ? command.left(space) : command).toString();
}

} // namespace

// The same command bound again (one file repeating another) changes nothing.
bool BindMap::Key::conflict() const
{
    const auto first = std::find_if(binds.begin(), binds.end(), [](const Bind &b) { return !b.unbind; });
    return first != binds.end() && std::any_of(first + 1, binds.end(), [&](const Bind &b) {
               return !b.unbind && b.runs.trimmed().compare(first->runs.trimmed(), Qt::CaseInsensitive) != 0;
           });
}

BindMap::Kind BindMap::kindOf(QStringView runs, const std::function<bool(QStringView)> &isAlias)
{
    const QString word = firstWord(runs).toLower();
    if (movement().contains(word))
        return Kind::Movement;
    if (weapons().contains(word) || word.startsWith(u"weapon_"))
        return Kind::Weapons;
    if (communication().contains(word))
        return Kind::Communication;
    if (!word.isEmpty() && isAlias && isAlias(word))
        return Kind::Scripts;
    return Kind::Other;
}

QString BindMap::label(QStringView runs)
{
    constexpr int Letters = 12;
    QString word = firstWord(runs);
    if (word.startsWith(u'+') || word.startsWith(u'-'))
        word.remove(0, 1);
    if (word.size() > Letters)
        word = word.left(Letters - 1) + QChar(0x2026);
    return word;
}

QString BindMap::history(const Key &key)
{
    QStringList lines;
    for (int i = 0; i < key.binds.size(); ++i) {
        const Bind &b = key.binds[i];
        QString line = b.all      ? QStringLiteral("unbindall")
                       : b.unbind ? QStringLiteral("unbind %1").arg(b.written)
                                  : QStringLiteral("bind %1 \"%2\"").arg(b.written, b.runs);
        line += QStringLiteral(" (%1, line %2)").arg(b.file).arg(b.line + 1);
        if (i == key.winner)
            line += QStringLiteral(": wins");
        lines.append(line);
    }
    if (key.isFree())
        lines.append(QStringLiteral("The key ends free."));
    return lines.join(QLatin1Char('\n'));
}

QString BindMap::describe(const QString &keyName, const Key *key)
{
    if (!key || key->isFree())
        return QStringLiteral("%1: free").arg(keyName);
    const Bind &b = key->binds[key->winner];
    return QStringLiteral("%1: bound to %2 (%3, line %4)").arg(keyName, b.runs, b.file).arg(b.line + 1);
}

BindMap BindMap::build(const ConsoleState &state, const std::function<bool(QStringView)> &isAlias)
{
    BindMap map;
    QStringList keys = state.binds.keys();
    keys.sort();
    for (const QString &name : keys) {
        const ConsoleBind &b = state.binds[name];
        if (b.history.isEmpty())
            continue;
        Key k{name, {}, -1, Kind::Other, {}};
        for (const ConsoleAssignment &a : b.history) {
            const ConsolePlace::FileLine at = a.place.fileLine();
            Bind bind{a.written.isEmpty() ? name : a.written, a.kind == ConsoleAssignment::Kind::Set ? a.value : QString(),
                      at.path, at.file, at.line, a.kind != ConsoleAssignment::Kind::Set,
                      a.kind == ConsoleAssignment::Kind::Cleared};
            k.binds.append(bind);
        }
        k.winner = b.isBound() ? int(k.binds.size()) - 1 : -1;
        if (!k.isFree()) {
            k.kind = kindOf(k.binds[k.winner].runs, isAlias);
            k.label = label(k.binds[k.winner].runs);
        }
        map.m_index.insert(name, int(map.m_keys.size()));
        map.m_keys.append(std::move(k));
    }
    return map;
}

const BindMap::Key *BindMap::key(QStringView canonical) const
{
    const auto at = m_index.constFind(canonical.toString());
    return at == m_index.cend() ? nullptr : &m_keys[*at];
}

BindMap BindMapBuilder::build(const ConfigModel &model, const TextOf &)
{
    if (!model.console)
        return {};
    return BindMap::build(model.console->state, [&model](QStringView name) { return model.alias(name).has_value(); });
}

BindMap BindMapBuilder::build(const QString &path, const QString &text)
{
    const EngineProfile profile = EngineProfile::original();
    Console console(profile, m_known, {});
    auto file = std::make_shared<const ConsoleFile>(path, QFileInfo(path).fileName(), text, profile);
    console.execFile(file, {});
    console.runUntilEmpty(ConsoleStartup::Frames);
    const ConsoleState &state = console.state();
    return BindMap::build(state, [&state](QStringView name) { return state.alias(name.toString()) != nullptr; });
}
