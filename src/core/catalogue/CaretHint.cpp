#include "catalogue/CaretHint.h"

#include "catalogue/AliasIndex.h"
#include "catalogue/Catalogue.h"
#include "catalogue/ConsoleScript.h"
#include "catalogue/ValueRange.h"
#include "config/KeyNames.h"
#include "config/NameOwners.h"
#include "editbox/EditBox.h"

#include <QStringList>

namespace {

bool endsWord(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'"';
}

// Commands whose last quoted argument is itself a line of commands.
bool takesCommandBody(const QString &command)
{
    return command == QLatin1String("bind") || command == QLatin1String("alias");
}

// The words of the statement the caret stands in, before its own word:
// a statement starts at the line start, after a ';' and at the opening
// quote of a bind or alias body. A quoted argument counts as one word.
QStringList statementBefore(QStringView line)
{
    QStringList words;
    QString current;
    bool quoted = false;
    bool inBody = false;
    auto endWord = [&] {
        if (!current.isEmpty())
            words.append(current);
        current.clear();
    };
    for (const QChar c : line) {
        if (c == u'"') {
            if (quoted) {
                quoted = false;
                endWord();
            } else if (inBody) {
                // The body's closing quote.
                inBody = false;
                endWord();
                words.clear();
            } else if (!words.isEmpty() && takesCommandBody(words.front()) && words.size() >= 2) {
                inBody = true;
                endWord();
                words.clear();
            } else {
                endWord();
                quoted = true;
            }
        } else if (quoted) {
            current.append(c);
        } else if (c == u';') {
            endWord();
            words.clear();
        } else if (c == u' ' || c == u'\t') {
            endWord();
        } else {
            current.append(c);
        }
    }
    endWord();
    return words;
}

// The first argument at the start of `rest`, without its quotes; empty
// when the statement ends first.
QString valueAfter(QStringView rest)
{
    qsizetype at = 0;
    while (at < rest.size() && (rest[at] == u' ' || rest[at] == u'\t'))
        ++at;
    if (at == 0 && !rest.isEmpty() && rest[0] != u'"')
        return {};
    const bool quoted = at < rest.size() && rest[at] == u'"';
    qsizetype end = quoted ? ++at : at;
    while (end < rest.size() && rest[end] != u'\r' && rest[end] != u'\n'
           && (quoted ? rest[end] != u'"' : !endsWord(rest[end]) && rest[end] != u';'))
        ++end;
    return rest.mid(at, end - at).toString();
}

} // namespace

Hint hintAtCaret(const QString &lineBeforeCaret, const Catalogue &catalogue, const AliasIndex *aliases,
                 const WiderHints *wider, QStringView afterCaret)
{
    Hint hint;
    // The console skips a comment to its command's end: COM_Parse in rehlds
    // rehlds/engine/common.cpp, and Cbuf_Execute in cmd.cpp ends the command at
    // ';' or the line's end (the "// ... ;" trap, ValveSoftware/halflife #2520).
    if (ConsoleScript::commentStart(ConsoleScript::commands(lineBeforeCaret).constLast()) >= 0)
        return hint;
    qsizetype end = lineBeforeCaret.size();
    qsizetype rest = 0;
    if (end > 0 && lineBeforeCaret[end - 1] == u'"') {
        --end;
    } else if (end > 0 && !endsWord(lineBeforeCaret[end - 1])) {
        while (rest < afterCaret.size() && !endsWord(afterCaret[rest]) && afterCaret[rest] != u';'
               && afterCaret[rest] != u'\r' && afterCaret[rest] != u'\n')
            ++rest;
    }
    qsizetype start = end;
    while (start > 0 && !endsWord(lineBeforeCaret[start - 1]))
        --start;
    hint.word = lineBeforeCaret.mid(start, end - start) + afterCaret.first(rest).toString();
    if (hint.word.isEmpty())
        return hint;
    // The word is a value when it follows a command in its statement.
    const QStringList before = statementBefore(QStringView(lineBeforeCaret).left(start));
    if (wider && before.size() == 1 && before.front() == QLatin1String("bind")) {
        if (const QString key = wider->key(hint.word); !key.isEmpty()) {
            hint.caption = key;
            return hint;
        }
    }
    // The key a bind or unbind names, from the engine's key-name table
    // (Key_StringToKeynum in FWGS/xash3d-fwgs engine/client/input/in_keys.c: a single
    // character is its own name).
    if (before.size() == 1
        && (before.front().compare(QLatin1String("bind"), Qt::CaseInsensitive) == 0
            || before.front().compare(QLatin1String("unbind"), Qt::CaseInsensitive) == 0)) {
        const QString key = KeyNames::describe(hint.word);
        hint.caption = key.isEmpty() ? QStringLiteral("the game has no key named %1").arg(hint.word) : key;
        return hint;
    }
    // "bind space +jd": the key runs +jd, which is what to explain.
    const bool stored = before.size() == 2 && takesCommandBody(before.front());
    const int command = before.isEmpty() || stored ? 0 : catalogue.find(before.front());
    // The name an alias defines, or one a bind or alias runs, explains itself.
    if (command && aliases && ConsoleScript::takesCommand(before.front())) {
        if (QString alias = aliases->explain(hint.word); !alias.isEmpty()) {
            hint.caption = std::move(alias);
            return hint;
        }
    }
    if (command) {
        hint.caption = catalogue.explanation(command);
        if (before.size() == 1) {
            const ValueRange range = ValueRange::parse(catalogue.strCmdRange[command]);
            // A value of several numbers is checked whole by the colours and hovering.
            const QString problem = range.count > 1 || NameOwners::builtIn().widerRangeTakes(before.front(), hint.word)
                                        ? QString()
                                        : range.problem(hint.word);
            if (!problem.isEmpty())
                hint.caption = QStringLiteral("%1: %2").arg(problem, hint.caption);
            else if (wider)
                hint.startup = wider->setting(before.front(), hint.word);
        }
        return hint;
    }
    const int k = catalogue.find(hint.word);
    // The caret on a setting's name: its value is the next word of the line.
    if (k && wider && before.isEmpty()) {
        const QString value = valueAfter(afterCaret.mid(rest));
        const ValueRange range = ValueRange::parse(catalogue.strCmdRange[k]);
        if (!value.isEmpty() && (range.count > 1 || range.problem(value).isEmpty()))
            hint.startup = wider->setting(hint.word, value);
    }
    const QString alias = k || !aliases ? QString() : aliases->explain(hint.word);
    const QString elsewhere = k || !alias.isEmpty() || !wider ? QString() : wider->alias(hint.word);
    hint.caption = k                      ? catalogue.explanation(k)
                   : !alias.isEmpty()     ? alias
                   : !elsewhere.isEmpty() ? elsewhere
                                          : hint.word;
    return hint;
}

Hint hintAtCaret(const EditBox &box, const Catalogue &catalogue, const AliasIndex *aliases, const WiderHints *wider)
{
    // No name is longer than a catalogue record holds.
    constexpr int NameReach = 128;
    const QString after = box.lineAfterCaret(NameReach);
    return hintAtCaret(box.lineBeforeCaret(CaretLineLimit), catalogue, aliases, wider, after);
}
