#include "console/ConsoleState.h"

#include "config/KeyNames.h"

#include <algorithm>

namespace {

// Far enough for any chain the console keeps (deep ones link to their root).
constexpr int PlaceWalk = 64;

} // namespace

ConsolePlace::FileLine ConsolePlace::fileLine() const
{
    const ConsolePlace *at = this;
    for (int i = 0; at && at->source && i < PlaceWalk; ++i) {
        const ConsoleSource &s = *at->source;
        if (s.kind == ConsoleSource::Kind::File)
            return {s.path, s.name, at->line, at->column, at->length};
        if (s.kind != ConsoleSource::Kind::Alias)
            break;
        at = &s.caller;
    }
    return {};
}

QStringList ConsolePlace::aliases() const
{
    QStringList out;
    const ConsoleSource *s = source.get();
    for (int i = 0; s && s->kind == ConsoleSource::Kind::Alias && i < PlaceWalk; ++i) {
        if (out.isEmpty() || out.back() != s->name)
            out.append(s->name);
        s = s->caller.source.get();
    }
    return out;
}

bool ConsolePlace::isFile() const
{
    return source && source->kind == ConsoleSource::Kind::File;
}

QString ConsolePlace::describe() const
{
    if (!source)
        return QStringLiteral("the console");
    const FileLine file = fileLine();
    const QString where = file.path.isEmpty() && file.file.isEmpty()
                              ? QString()
                              : QStringLiteral("%1 (line %2)").arg(file.file).arg(file.line + 1);
    switch (source->kind) {
    case ConsoleSource::Kind::File:
        return where;
    case ConsoleSource::Kind::Alias: {
        const QStringList names = aliases();
        const QString by = QStringLiteral("alias %1").arg(names.front());
        if (!where.isEmpty())
            return QStringLiteral("%1, run from %2").arg(by, where);
        const ConsoleSource *s = source.get();
        for (int i = 0; s && s->kind == ConsoleSource::Kind::Alias && i < PlaceWalk; ++i)
            s = s->caller.source.get();
        if (s && s->kind == ConsoleSource::Kind::Key)
            return QStringLiteral("%1, run by the key %2").arg(by, s->name);
        return by;
    }
    case ConsoleSource::Kind::Key:
        return QStringLiteral("the key %1").arg(source->name);
    case ConsoleSource::Kind::Engine:
        return source->name;
    }
    return {};
}

bool ConsolePlace::operator==(const ConsolePlace &other) const
{
    return source == other.source && line == other.line && column == other.column && length == other.length;
}

const ConsoleVariable *ConsoleState::variable(const QString &name) const
{
    const auto it = variables.constFind(name.toLower());
    return it == variables.cend() ? nullptr : &*it;
}

const ConsoleBind *ConsoleState::bind(const QString &key) const
{
    const auto it = binds.constFind(KeyNames::canonical(key));
    return it == binds.cend() ? nullptr : &*it;
}

const ConsoleAlias *ConsoleState::alias(const QString &name) const
{
    const auto it = aliases.constFind(name.toLower());
    return it == aliases.cend() ? nullptr : &*it;
}

QStringList ConsoleState::held() const
{
    QStringList out;
    for (auto it = buttons.cbegin(); it != buttons.cend(); ++it) {
        if (it->held)
            out.append(QLatin1Char('+') + it.key());
    }
    out.sort();
    return out;
}
