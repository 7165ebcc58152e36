// What the console model met running the configuration, as problems:
// loops, overflows, missing files, the engine's limits, and binds that a
// later one undoes.

#include "config/ConfigAnalysis.h"

#include "console/ConsoleRun.h"
#include "console/ConsoleText.h"
#include "settings/RegularFile.h"

#include <QDir>

#include <QSet>

#include <algorithm>

namespace {

// A long round (an input can make it thousands long) keeps its start and
// its end, so a message stays short.
QString arrows(const QStringList &names)
{
    constexpr qsizetype Head = 6, Tail = 5;
    if (names.size() <= Head + Tail + 1)
        return names.join(QStringLiteral(" → "));
    return (names.mid(0, Head) + QStringList{QStringLiteral("… (%1 more)").arg(names.size() - Head - Tail)}
            + names.mid(names.size() - Tail))
        .join(QStringLiteral(" → "));
}

} // namespace

void ConfigAnalyzer::runProblems(Run &run) const
{
    ConfigModel &model = run.model;
    const ConsoleRun &console = *model.console;
    const ConsoleState &state = console.state;
    auto add = [&](const ConsolePlace &place, const QString &message, ProblemRule rule) {
        const ConsolePlace::FileLine at = place.fileLine();
        if (!at.path.isEmpty())
            run.problems.append({at.path, at.line, at.column, at.length, message, rule, {}, {}});
    };
    QSet<QString> loops;
    auto report = [&](const ConsoleEvent &e) {
        switch (e.kind) {
        case ConsoleEvent::Kind::Missing: {
            // A link to a device, a pipe or a folder by that name is there, not missing.
            const Status regular = regularFile(run, QDir(m_folder.folder()).filePath(e.name));
            if (e.quiet && regular)
                break;
            const bool list = regular && ExecRules::writtenByServer(e.name);
            const ProblemRule rule = list ? ProblemRule::ListNotWritten : ProblemRule::ExecMissing;
            const QString message =
                !regular ? QStringLiteral("exec %1: %2").arg(e.name, regular.error())
                : list   ? QStringLiteral("exec %1: not there yet; the server writes it (writeid, writeip) once it "
                                          "bans someone, and till then only says \"couldn't exec %1\".")
                             .arg(e.name)
                         : QStringLiteral("exec %1: there is no such file in the game folder; the game says "
                                          "\"couldn't exec %1\".")
                               .arg(e.name);
            // Marked on the file's name, where the file's own reading placed it.
            const ConsolePlace::FileLine at = e.place.fileLine();
            const ConfigFile::Exec *exec = nullptr;
            if (const auto facts = model.m_facts.value(at.path)) {
                for (const ConfigFile::Exec &x : facts->execs) {
                    if (!exec && x.line == at.line && x.name.compare(e.name, Qt::CaseInsensitive) == 0)
                        exec = &x;
                }
            }
            if (exec)
                run.problems.append({at.path, at.line, exec->column, exec->length, message, rule, {}, {}});
            else
                add(e.place, message, rule);
            break;
        }
        case ConsoleEvent::Kind::Freeze: {
            // A fan-out is the same one whatever was running when it was cut.
            QStringList round = e.loop ? e.chain.mid(0, e.chain.size() - 1) : e.chain.mid(0, 1);
            round.sort();
            if (loops.contains(round.join(u'\n')))
                break;
            loops.insert(round.join(u'\n'));
            if (e.execChain) {
                add(e.place, e.loop ? QStringLiteral("exec loop: %1. The game would run these files again and again.")
                                          .arg(arrows(e.chain))
                                    : QStringLiteral("exec fan-out: %1 run the same files thousands of times in one "
                                                     "frame, which holds the game up.")
                                          .arg(arrows(e.chain)),
                    ProblemRule::ExecLoop);
                break;
            }
            // Said where the first alias of the loop is defined.
            const ConsoleAlias *first = state.alias(e.chain.value(0));
            const ConsolePlace at = first && !first->history.isEmpty() ? first->history.back().place : e.place;
            add(at, e.loop ? QStringLiteral("Alias loop: %1 runs for ever with no wait, which freezes the game.")
                                 .arg(arrows(e.chain))
                           : QStringLiteral("Alias fan-out: %1 call the same aliases thousands of times in one frame "
                                            "with no wait, which holds the game up.")
                                 .arg(arrows(e.chain)),
                ProblemRule::AliasLoop);
            break;
        }
        case ConsoleEvent::Kind::Overflow:
            add(e.place, QStringLiteral("The command buffer overflows here: %1 does not fit (%2), and the game drops "
                                        "it.")
                             .arg(e.name, e.reason),
                ProblemRule::CommandTooLong);
            break;
        case ConsoleEvent::Kind::TooDeep:
            add(e.place, QStringLiteral("exec %1: large files exec'd inside large files nest too deep to follow.")
                             .arg(e.name),
                ProblemRule::ExecLoop);
            break;
        default:
            break;
        }
    };
    for (const QList<ConsoleEvent> *events : {&console.events, &console.serverEvents, &console.otherEvents, &console.trials})
        for (const ConsoleEvent &e : *events)
            report(e);

    // The engine's limits, where each file's commands break them.
    QSet<QString> done;
    for (const StartupFile &file : std::as_const(model.files)) {
        if (file.path.isEmpty() || done.contains(file.path))
            continue;
        done.insert(file.path);
        const auto consoleFile = m_entries.value(file.path).console;
        if (!consoleFile)
            continue;
        const auto text = consoleFile->size() + 2 < m_profile.bufferSize ? consoleFile->whole() : consoleFile->lines();
        if (!text)
            continue;
        const int cut = m_profile.lineLength - 1;
        for (const ConsoleCommand &c : text->commands) {
            if (c.written > 0)
                run.problems.append(
                    {file.path, c.line, c.column + cut, c.written - cut,
                     m_profile.engine == EngineProfile::Engine::Original
                         ? QStringLiteral("This command is %1 characters long: the game runs the first %2 and then the "
                                          "rest, from character %3, as a command of its own.")
                               .arg(c.written)
                               .arg(cut)
                               .arg(cut + 2)
                         : QStringLiteral("This command is %1 characters long: the game drops all of it (at most %2).")
                               .arg(c.written)
                               .arg(cut - 1),
                     ProblemRule::CommandTooLong, {}, {}});
            if (c.wordsWritten > 0)
                run.problems.append({file.path, c.line, c.column, c.length,
                                     QStringLiteral("This command has %1 words: the game reads only the first %2.")
                                         .arg(c.wordsWritten)
                                         .arg(m_profile.words),
                                     ProblemRule::TooManyWords, {}, {}});
            if (c.longWord)
                run.problems.append({file.path, c.line, c.column, c.length,
                                     QStringLiteral("A word here is %1 characters or longer: the game stops reading "
                                                    "the command's words there.")
                                         .arg(m_profile.wordLength),
                                     ProblemRule::TooManyWords, {}, {}});
        }
    }
}

// The same key bound twice at start-up: the later bind wins, and
// config.cfg starts with unbindall (rehlds host.cpp Host_WriteConfiguration).
// Binding a key again to the same command loses nothing.
void ConfigAnalyzer::keysBoundTwice(Run &run) const
{
    const ConfigModel &model = run.model;
    auto where = [](const ConsoleAssignment &a) { return a.place.describe(); };
    auto report = [&](const ConsoleAssignment &lost, const ConsoleAssignment &by, const QString &why) {
        const ConsolePlace::FileLine at = lost.place.fileLine();
        // A key bound to nothing loses nothing.
        if (at.path.isEmpty() || (lost.kind == ConsoleAssignment::Kind::Set && lost.value.isEmpty()))
            return;
        const ProblemRule rule =
            at.path == by.place.fileLine().path ? ProblemRule::KeyBoundTwice : ProblemRule::BindReplaced;
        run.problems.append({at.path, at.line, at.column, at.length, why, rule, {}, {}});
    };
    for (const ConsoleBind &b : model.console->state.binds) {
        const ConsoleAssignment *bound = nullptr;   // the bind in force
        const ConsoleAssignment *cleared = nullptr; // a bind unbindall took away
        const ConsoleAssignment *clearing = nullptr;
        for (const ConsoleAssignment &a : b.history) {
            if (a.kind == ConsoleAssignment::Kind::Cleared) {
                cleared = bound;
                clearing = &a;
                bound = nullptr;
                continue;
            }
            const bool binds = a.kind == ConsoleAssignment::Kind::Set;
            if (bound && !(binds && bound->value == a.value))
                report(*bound, a, binds ? QStringLiteral("%1 is bound again by %2, which runs later: that bind wins.")
                                           .arg(b.key, where(a))
                                     : QStringLiteral("%1 is unbound by %2, which runs later.").arg(b.key, where(a)));
            if (cleared) {
                if (!binds)
                    report(*cleared, *clearing, QStringLiteral("%1 is cleared by unbindall in %2, which runs later.")
                                         .arg(b.key, where(*clearing)));
                else if (cleared->value != a.value)
                    report(*cleared, a, QStringLiteral("%1 is cleared by unbindall in %2 and bound again by %3: that "
                                                    "bind wins.")
                                         .arg(b.key, where(*clearing), where(a)));
                cleared = nullptr;
            }
            bound = binds ? &a : nullptr;
        }
        if (cleared)
            report(*cleared, *clearing,
                   QStringLiteral("%1 is cleared by unbindall in %2, which runs later.").arg(b.key, where(*clearing)));
    }
}
