#pragma once

#include "config/KnownCommands.h"

// Names and their facts from a table a test fills.
class TableCommands : public KnownCommands
{
public:
    std::optional<CommandFacts> facts(QStringView name) const override
    {
        const auto found = m_facts.constFind(name.toString().toLower());
        return found == m_facts.cend() ? std::nullopt : std::optional<CommandFacts>(*found);
    }
    QStringList names() const override
    {
        QStringList out;
        for (const CommandFacts &f : m_facts)
            out.append(f.name);
        out.sort();
        return out;
    }

protected:
    CommandFacts &add(const char *name, bool variable, bool archived = false, const char *range = nullptr)
    {
        CommandFacts f;
        f.name = QString::fromLatin1(name);
        f.variable = variable;
        f.archived = archived;
        if (range)
            f.range = ValueRange::parse(QString::fromLatin1(range));
        return m_facts.insert(f.name.toLower(), f).value();
    }
    QHash<QString, CommandFacts> m_facts;
};

// A few names with every fact known, as the catalogue will give them.
class FakeCommands : public TableCommands
{
public:
    FakeCommands()
    {
        add("sensitivity", true, true, "0.1-10");
        add("cl_updaterate", true, true, "10-101");
        add("fps_max", true, true, "20 or more");
        add("rate", true, true, "0 or more, kept 1000-100000");
        add("fov", true, false, "any number");
        add("sv_alltalk", true, false, "0-1");
        add("sv_cheats", true, false, "0-1");
        add("mapchangecfgfile", true, false, "any text");
        for (const char *command : {"+attack", "+attack2", "+jump", "+duck", "echo", "kill", "wait", "bind", "unbind",
                                    "unbindall", "alias", "exec", "say", "_special", "shield", "go", "cl_autobuy"})
            add(command, false, false, "none");
    }
};
