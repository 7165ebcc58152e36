#include "console/WrittenConfig.h"

#include "config/KnownCommands.h"
#include "console/Console.h"
#include "console/ConsoleState.h"
#include "console/ConsoleText.h"

#include <QSet>

#include <algorithm>

QString WrittenConfig::text(const ConsoleState &state, const KnownCommands &known)
{
    QString out = QStringLiteral("// This file is overwritten whenever you change your user settings in the game.\n"
                                 "// Add custom configurations to the file \"userconfig.cfg\".\n\nunbindall\n");
    // Key_WriteBindings goes through the keys by number.
    QList<const ConsoleBind *> binds;
    for (const ConsoleBind &b : state.binds) {
        if (b.isBound())
            binds.append(&b);
    }
    std::sort(binds.begin(), binds.end(), [](const ConsoleBind *a, const ConsoleBind *b) {
        const int na = Console::keyNumber(a->key);
        const int nb = Console::keyNumber(b->key);
        return na != nb ? na < nb : a->key < b->key;
    });
    for (const ConsoleBind *b : binds)
        out += QStringLiteral("bind \"%1\" \"%2\"\n").arg(b->key, b->runs);
    // The variables by name, as Cvar_RegisterVariable keeps its list sorted.
    QList<std::pair<QString, QString>> saved;
    QSet<QString> written;
    for (const ConsoleVariable &v : state.variables) {
        if (v.saved) {
            saved.append({v.name, v.value});
            written.insert(v.name.toLower());
        }
    }
    for (const QString &name : known.names()) {
        if (written.contains(name.toLower()))
            continue;
        const std::optional<CommandFacts> f = known.facts(name);
        if (f && f->variable == true && f->archived == true && f->defaultValue) {
            saved.append({f->name, *f->defaultValue});
            written.insert(name.toLower());
        }
    }
    std::sort(saved.begin(), saved.end(),
              [](const auto &a, const auto &b) { return a.first.compare(b.first, Qt::CaseInsensitive) < 0; });
    for (const auto &[name, value] : saved)
        out += QStringLiteral("%1 \"%2\"\n").arg(name, value);
    for (const auto &[key, value] : state.userinfo) {
        if (!key.startsWith(u'*') && !state.variables.contains(key.toLower()) && !known.isVariable(key).value_or(false))
            out += QStringLiteral("setinfo \"%1\" \"%2\"\n").arg(key, value);
    }
    for (const char *button : {"mlook", "jlook"}) {
        const auto it = state.buttons.constFind(QString::fromLatin1(button));
        if (it != state.buttons.cend() && it->held)
            out += QStringLiteral("+%1\n").arg(QString::fromLatin1(button));
    }
    out += QStringLiteral("exec userconfig.cfg\n");
    return out;
}

QList<WrittenConfig::Lost> WrittenConfig::lost(const QString &present, const KnownCommands &known)
{
    QList<Lost> out;
    const QStringList lines = present.split(u'\n');
    const EngineProfile profile = EngineProfile::original();
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1String("//"))) {
            if (i > 1)
                out.append({i, QStringLiteral("a comment: the game writes only its own two")});
            continue;
        }
        QString why;
        const auto text = ConsoleText::text(line, profile);
        for (const ConsoleCommand &c : text->commands) {
            const QString &name = c.name;
            if (name == QLatin1String("bind") || name == QLatin1String("unbindall") || name == QLatin1String("setinfo")
                || name == QLatin1String("+mlook") || name == QLatin1String("+jlook")
                || (name == QLatin1String("exec") && c.words.size() == 2
                    && c.words[1].compare(QLatin1String("userconfig.cfg"), Qt::CaseInsensitive) == 0))
                continue;
            if (name == QLatin1String("alias"))
                why = QStringLiteral("an alias: the game does not write aliases back");
            else if (name == QLatin1String("exec"))
                why = QStringLiteral("an exec line: only exec userconfig.cfg is written back");
            else if (const std::optional<CommandFacts> f = known.facts(name); f && f->variable != false) {
                if (f->archived != true)
                    why = QStringLiteral("%1 is a setting the game does not save").arg(f->name);
            } else {
                why = QStringLiteral("a command: the game writes only binds and saved settings");
            }
            if (!why.isEmpty())
                break;
        }
        if (line.contains(QLatin1String("//")) && why.isEmpty())
            why = QStringLiteral("the comment after it: the game writes none");
        if (!why.isEmpty())
            out.append({i, why});
    }
    return out;
}
