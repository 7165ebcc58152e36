#include "completion/BindMap.h"

#include "config/ConfigAnalysis.h"
#include "config/ConfigFile.h"
#include "config/KeyNames.h"

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

BindMap BindMap::build(const QList<File> &files, const std::function<bool(QStringView)> &isAlias)
{
    struct Ordered
    {
        QList<int> place;
        QString key;
        Bind bind;
        bool all = false; // unbindall
    };
    QList<Ordered> run;
    for (const File &file : files) {
        if (!file.facts)
            continue;
        for (const ConfigFile::Bind &b : file.facts->binds) {
            Ordered o;
            o.place = file.place;
            o.place.append(b.line);
            o.place.append(b.command);
            o.key = b.key;
            o.all = b.kind == ConfigFile::Bind::Kind::UnbindAll;
            o.bind = {b.written, b.kind == ConfigFile::Bind::Kind::Bind ? b.runs : QString(), file.path, file.name,
                      b.line, b.kind != ConfigFile::Bind::Kind::Bind};
            run.append(o);
        }
    }
    // An exec'd file runs where its exec stands: its place continues the
    // exec line's, so comparing places orders the whole run.
    std::stable_sort(run.begin(), run.end(), [](const Ordered &a, const Ordered &b) { return a.place < b.place; });

    BindMap map;
    for (const Ordered &o : std::as_const(run)) {
        if (o.all) {
            // Shown on the keys it frees: why a bind of an earlier file is gone.
            for (Key &k : map.m_keys) {
                if (k.isFree())
                    continue;
                Bind freed = o.bind;
                freed.written = k.key;
                freed.all = true;
                k.binds.append(freed);
                k.winner = -1;
            }
            continue;
        }
        if (o.key.isEmpty())
            continue;
        auto at = map.m_index.find(o.key);
        if (at == map.m_index.end()) {
            at = map.m_index.insert(o.key, int(map.m_keys.size()));
            map.m_keys.append(Key{o.key, {}, -1, Kind::Other, {}});
        }
        Key &k = map.m_keys[*at];
        k.binds.append(o.bind);
        k.winner = o.bind.unbind ? -1 : int(k.binds.size()) - 1;
    }
    for (Key &k : map.m_keys) {
        if (!k.isFree()) {
            k.kind = kindOf(k.binds[k.winner].runs, isAlias);
            k.label = label(k.binds[k.winner].runs);
        }
    }
    return map;
}

const BindMap::Key *BindMap::key(QStringView canonical) const
{
    const auto at = m_index.constFind(canonical.toString());
    return at == m_index.cend() ? nullptr : &m_keys[*at];
}

BindMap BindMapBuilder::build(const ConfigModel &model, const TextOf &textOf)
{
    QList<BindMap::File> files;
    QList<QList<int>> places;
    for (int i = 0; i < model.files.size(); ++i) {
        const StartupFile &f = model.files[i];
        QList<int> place;
        if (f.parent >= 0 && f.parent < places.size()) {
            place = places[f.parent];
            place.append(f.execLine);
            // After the exec line's own commands, before the next line's.
            place.append(INT_MAX);
        } else {
            place.append(i);
        }
        places.append(place);
        if (!f.atStartup || f.path.isEmpty())
            continue;
        files.append({f.name, f.path, place, m_facts.of(f.path, textOf(f.path))});
    }
    return BindMap::build(files, [&model](QStringView name) { return model.alias(name).has_value(); });
}

BindMap BindMapBuilder::build(const QString &path, const QString &text)
{
    const auto facts = m_facts.of(path, text);
    QSet<QString> aliases;
    for (const ConfigFile::Alias &a : facts->aliases)
        aliases.insert(a.key);
    return BindMap::build({{QFileInfo(path).fileName(), path, {0}, facts}},
                          [&aliases](QStringView name) { return aliases.contains(name.toString().toLower()); });
}
