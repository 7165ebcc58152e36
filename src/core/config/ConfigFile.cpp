#include "config/ConfigFile.h"

#include "catalogue/ConsoleScript.h"
#include "config/GameFolder.h"
#include "config/KeyNames.h"
#include "config/KnownCommands.h"
#include "config/NameOwners.h"

#include <algorithm>

namespace {

// The same bound as ConsoleScript's: bodies nest only so deep in practice.
constexpr int MaxDepth = 32;

bool is(QStringView word, QLatin1StringView name)
{
    // The length first: most words are none of the few names asked about.
    return word.size() == name.size() && word.compare(name, Qt::CaseInsensitive) == 0;
}

// A byte-order mark as the file's Windows-1252 reading shows it, or as one character.
int bomLength(QStringView text)
{
    if (text.startsWith(u"\u00EF\u00BB\u00BF"))
        return 3;
    return text.startsWith(QChar(0xFEFF)) ? 1 : 0;
}

class Reader
{
public:
    Reader(const KnownCommands &known, ConfigFile &out) : m_known(known), m_out(out) {}

    void read(QStringView text)
    {
        const int bom = bomLength(text);
        int line = 0;
        qsizetype lineStart = 0;
        qsizetype scanned = 0;
        int index = 0;
        for (const QStringView command : ConsoleScript::commands(text)) {
            const qsizetype offset = command.data() - text.data();
            for (; scanned < offset; ++scanned) {
                if (text[scanned] == u'\n') {
                    ++line;
                    lineStart = scanned + 1;
                }
            }
            m_line = line;
            m_command = index++;
            const int column = int(offset - lineStart);
            const qsizetype end = offset + command.size();
            const bool endsAtSemicolon = end < text.size() && text[end] == u';';
            // rehlds engine/cmd.cpp Cmd_Exec_f skips a UTF-8 mark only under
            // REHLDS_FIXES: the game itself reads it as part of the first word
            // (common.cpp COM_Parse takes U+FEFF for no space). Before a
            // comment or a line break that word is all the command: the game
            // says it does not know it, and nothing is lost.
            const QStringView afterMark = command.mid(bom).trimmed();
            if (offset == 0 && bom) {
                if (!afterMark.isEmpty() && !afterMark.startsWith(u"//"))
                    problem(0, bom, QStringLiteral("The file starts with a UTF-8 byte-order mark: the game reads it as "
                                                   "part of the first command, which then does not run. Save the file "
                                                   "without it."),
                            ProblemRule::ByteOrderMark);
                continue;
            }
            QStringView rest;
            if (endsAtSemicolon) {
                const qsizetype lineEnd = text.indexOf(u'\n', end);
                rest = text.mid(end + 1, (lineEnd < 0 ? text.size() : lineEnd) - end - 1);
            }
            readCommand(command, column, endsAtSemicolon, rest);
        }
        for (const Semicolon &at : std::as_const(m_semicolons)) {
            const QString key = at.follows.toLower();
            const bool aliased = std::any_of(m_out.aliases.cbegin(), m_out.aliases.cend(),
                                             [&](const ConfigFile::Alias &a) { return a.key == key; });
            if (aliased || m_known.facts(at.follows))
                m_out.problems.append({at.line, at.column, 1,
                                       QStringLiteral("';' after '//' ends the comment: the game runs what follows it "
                                                      "on this line."),
                                       ProblemRule::CommentSemicolon});
        }
    }

private:
    struct Semicolon
    {
        int line = 0;
        int column = 0;
        QString follows; // the first word after the ';'
    };
    QList<Semicolon> m_semicolons;

    void problem(int column, int length, const QString &message, ProblemRule rule)
    {
        m_out.problems.append({m_line, column, length, message, rule});
    }

    // The name of the command that follows on the line: none after a
    // comment or nothing.
    static QString commandFollows(QStringView rest)
    {
        for (const QStringView command : ConsoleScript::commands(rest)) {
            const QList<ConsoleScript::Word> words = ConsoleScript::locatedWords(command);
            if (!words.isEmpty())
                return words.front().text;
        }
        return QString();
    }

    // `rest` is the line after the ';' that ends the command, if one does.
    void readCommand(QStringView command, int column, bool endsAtSemicolon, QStringView rest)
    {
        // The engine's limits (a command's length, its words) are the console
        // model's to tell: console/ConsoleText.
        const qsizetype comment = ConsoleScript::commentStart(command);
        // Cbuf_Execute splits at ';' without knowing comments (REHLDS_FIXES
        // only spares a command that starts with "//"); ValveSoftware/halflife
        // issue #2520, rehlds issue #719. Nothing after the ';' runs nothing.
        // What follows matters when the game has it: a smiley's "-)" or more
        // words of the comment are a command nobody has, which only prints
        // "Unknown command" (and is told as such). An alias of this file
        // counts once the file is read.
        if (endsAtSemicolon && comment >= 0) {
            const QString follows = commandFollows(rest);
            if (!follows.isEmpty())
                m_semicolons.append({m_line, column + int(command.size()), follows});
        }
        const QList<ConsoleScript::Word> words = ConsoleScript::locatedWords(command);
        if (command.count(u'"') % 2)
            openQuote(command, column, comment, words);
        if (words.isEmpty())
            return;
        QStringList texts;
        texts.reserve(words.size());
        for (const ConsoleScript::Word &word : words)
            texts.append(word.text);
        m_column = column;
        m_words = &words;
        readWords(texts, 0, column + words[0].start, words[0].length);
    }

    // Cbuf_Execute (rehlds engine/cmd.cpp) counts quotes only to keep ';'
    // inside them, so an unclosed quote runs the command to the line's end,
    // and COM_Parse (common.cpp) reads the quoted word to the command's end.
    // Closing it at the line's end changes nothing; it matters when a ';'
    // follows, whose command then never runs on its own. A bind or alias
    // stores that text as its body and splits it when it runs, which works;
    // a quote inside a comment is no word at all.
    void openQuote(QStringView command, int column, qsizetype comment, const QList<ConsoleScript::Word> &words)
    {
        const qsizetype quote = command.lastIndexOf(u'"');
        if (comment >= 0 && quote > comment)
            return;
        if (!command.mid(quote + 1).contains(u';'))
            return;
        if (words.size() >= 3 && ConsoleScript::takesCommand(words[0].text) && quote >= words[2].start)
            return;
        problem(column + int(quote), int(command.size() - quote),
                QStringLiteral("A quote is left open: the game reads the rest of the line, ';' included, as one word, "
                               "so what follows the ';' does not run as a command of its own."),
                ProblemRule::OpenQuote);
    }

    // Where a word of the command stands: its own place at the top, the
    // whole stored body inside a bind or alias.
    struct Place
    {
        int column;
        int length;
    };
    Place wordPlace(int depth, int word, Place body) const
    {
        if (depth > 0 || word >= m_words->size())
            return body;
        const ConsoleScript::Word &w = (*m_words)[word];
        return {m_column + w.start, w.length};
    }

    void readWords(const QStringList &words, int depth, int bodyColumn, int bodyLength)
    {
        const Place body{bodyColumn, bodyLength};
        const QString &name = words[0];
        const bool atTop = depth == 0;
        if (is(name, QLatin1StringView("alias"))) {
            if (words.size() >= 2)
                defineAlias(words, depth, body);
            return;
        }
        if (is(name, QLatin1StringView("bind")) || is(name, QLatin1StringView("unbind"))) {
            if (words.size() >= 2)
                bindKey(words, depth, body);
            return;
        }
        if (is(name, QLatin1StringView("unbindall"))) {
            if (atTop)
                m_out.binds.append({ConfigFile::Bind::Kind::UnbindAll, {}, -1, {}, {}, m_line, body.column, body.length,
                                    m_command});
            return;
        }
        if (is(name, QLatin1StringView("exec"))) {
            readExec(words, depth, body);
            return;
        }
        std::optional<CommandFacts> facts = m_known.facts(name);
        // The game registers its button commands in pairs (+attack and
        // -attack; the key handler, xash3d-fwgs in_keys.c Key_AddKeyCommands,
        // runs "-name" when a key bound to "+name" is let go), while the
        // catalogue lists the "+" half alone.
        if (!facts && name.startsWith(u'-'))
            facts = m_known.facts(QString(u'+' + name.mid(1)));
        const Place at = wordPlace(depth, 0, body);
        if (!facts) {
            m_out.unknown.append({name, m_line, at.column, at.length});
            return;
        }
        if (words.size() < 2)
            return;
        // A value the game takes but moves (kept at most 102) is a notice in
        // the text, not a problem: only a value it refuses is listed.
        const ValueRange::Check checked = facts->range.check(words[1]);
        if (checked.severity == ValueRange::Severity::Error && !NameOwners::builtIn().widerRangeTakes(name, words[1])) {
            const Place value = wordPlace(depth, 1, body);
            problem(value.column, value.length, QStringLiteral("%1: %2").arg(checked.message, facts->name),
                    ProblemRule::ValueOutOfRange);
        }
        // Only what the file runs itself sets a value at start-up.
        if (atTop && facts->variable != false) {
            m_out.settings[name.toLower()].append(
                {name, words[1], m_line, at.column, at.length, m_command, facts->archived});
            ++m_out.settingCount;
        }
    }

    void readBody(const QString &body, int depth, Place at)
    {
        if (depth >= MaxDepth)
            return;
        for (const QStringView command : ConsoleScript::commands(body)) {
            const QStringList words = ConsoleScript::words(command);
            if (!words.isEmpty())
                readWords(words, depth, at.column, at.length);
        }
    }

    // The body a bind or alias stores, and where it stands.
    Place bodyPlace(const QStringList &words, int depth, Place body) const
    {
        if (depth > 0 || words.size() < 3)
            return body;
        const Place first = wordPlace(0, 2, body);
        const Place last = wordPlace(0, int(words.size()) - 1, body);
        return {first.column, last.column + last.length - first.column};
    }

    void defineAlias(const QStringList &words, int depth, Place body)
    {
        const QString &name = words[1];
        const Place at = wordPlace(depth, 1, body);
        // rehlds engine/cmd.cpp Cmd_Alias_f: "Alias name is too long" when
        // Q_strlen(s) >= MAX_ALIAS_NAME, "Alias name is invalid" when
        // Cvar_FindVar(s) finds a variable; neither defines anything.
        if (name.size() > ConsoleLimits::AliasName) {
            problem(at.column, at.length,
                    QStringLiteral("The alias name is %1 characters long: the game refuses names of more than %2.")
                        .arg(name.size())
                        .arg(ConsoleLimits::AliasName),
                    ProblemRule::AliasNameTooLong);
            return;
        }
        if (const std::optional<CommandFacts> facts = m_known.facts(name)) {
            // Cmd_ExecuteString_internal looks for a command before an alias,
            // so an alias named like a command is defined but never runs; a
            // name the server's game library answers is only forwarded when
            // no alias has it, so such an alias runs.
            const std::optional<NameOwners::Owner> owner = NameOwners::builtIn().owner(name);
            if (facts->variable == true) {
                problem(at.column, at.length,
                        QStringLiteral("%1 is a variable: the game refuses an alias of that name.").arg(facts->name),
                        ProblemRule::AliasNameRefused);
                return;
            }
            if (!owner || !owner->forwarded)
                problem(at.column, at.length,
                        facts->variable == false
                            ? QStringLiteral("%1 is a command of the game: it runs instead of this alias, which never "
                                             "runs.")
                                  .arg(facts->name)
                            : QStringLiteral("%1 is a name the game knows: it refuses an alias named like a variable "
                                             "and runs its own command instead of one named like a command.")
                                  .arg(facts->name),
                        ProblemRule::AliasNeverRuns);
        }
        ConfigFile::Alias alias;
        alias.name = name;
        alias.key = name.toLower();
        alias.body = ConsoleScript::storedCommand(words);
        alias.line = m_line;
        alias.column = at.column;
        alias.length = at.length;
        alias.command = m_command;
        alias.nested = depth > 0;
        for (const QStringView command : ConsoleScript::commands(alias.body)) {
            const QStringList bodyWords = ConsoleScript::words(command);
            if (bodyWords.isEmpty())
                continue;
            const QString first = bodyWords[0].toLower();
            // rehlds engine/cmd.cpp Cmd_Wait_f sets cmd_wait, and Cbuf_Execute
            // leaves the rest of the buffer for the next frame.
            if (first == QLatin1String("wait"))
                alias.waits = true;
            alias.calls.append(first);
        }
        m_out.aliases.append(alias);
        readBody(alias.body, depth + 1, bodyPlace(words, depth, body));
    }

    void bindKey(const QStringList &words, int depth, Place body)
    {
        const bool unbind = is(words[0], QLatin1StringView("unbind"));
        const QString &key = words[1];
        const Place at = wordPlace(depth, 1, body);
        // xash3d-fwgs engine/client/input/in_keys.c Key_Bind_f and Key_Unbind_f:
        // "\"%s\" isn't a valid key" when Key_StringToKeynum finds nothing.
        if (!KeyNames::isKey(key)) {
            problem(at.column, at.length, QStringLiteral("\"%1\" is not a key the game has.").arg(key),
                    ProblemRule::NoSuchKey);
            return;
        }
        if (!unbind && words.size() < 3)
            return; // "bind key" only shows what the key runs
        const QString runs = unbind ? QString() : ConsoleScript::storedCommand(words);
        if (depth == 0) {
            ConfigFile::Bind bind;
            bind.kind = unbind ? ConfigFile::Bind::Kind::Unbind : ConfigFile::Bind::Kind::Bind;
            bind.key = KeyNames::canonical(key);
            bind.code = KeyNames::code(key);
            bind.written = key;
            bind.runs = runs;
            bind.line = m_line;
            bind.column = at.column;
            bind.length = at.length;
            bind.command = m_command;
            m_out.binds.append(bind);
        }
        if (!unbind)
            readBody(runs, depth + 1, bodyPlace(words, depth, body));
    }

    void readExec(const QStringList &words, int depth, Place body)
    {
        const Place at = wordPlace(depth, 0, body);
        // rehlds engine/cmd.cpp Cmd_Exec_f prints its usage unless Cmd_Argc() == 2.
        if (words.size() != 2) {
            problem(at.column, at.length,
                    QStringLiteral("exec takes exactly one file name: the game shows its usage and runs nothing."),
                    ProblemRule::ExecRefused);
            return;
        }
        const Place name = wordPlace(depth, 1, body);
        if (const QString refused = ExecRules::refusal(words[1]); !refused.isEmpty()) {
            problem(name.column, name.length, QStringLiteral("exec %1: %2.").arg(words[1], refused),
                    ProblemRule::ExecRefused);
            return;
        }
        m_out.execs.append({words[1], m_line, name.column, name.length, m_command, depth == 0});
    }

    const KnownCommands &m_known;
    ConfigFile &m_out;
    int m_line = 0;
    int m_command = 0;
    int m_column = 0;
    const QList<ConsoleScript::Word> *m_words = nullptr;
};

} // namespace

ConfigFile ConfigFile::read(QStringView text, const KnownCommands &known)
{
    ConfigFile out;
    Reader(known, out).read(text);
    // The analysis across files needs only each name's first definition,
    // as a file's commands run in the order written.
    QHash<QString, int> seen;
    for (qsizetype i = 0; i < out.aliases.size(); ++i) {
        const auto found = seen.constFind(out.aliases[i].key);
        if (found != seen.cend()) {
            ++out.aliasNames[*found].count;
            continue;
        }
        seen.insert(out.aliases[i].key, int(out.aliasNames.size()));
        out.aliasNames.append({out.aliases[i].key, int(i), 1});
    }
    return out;
}
