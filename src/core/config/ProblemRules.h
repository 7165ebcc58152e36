#pragma once

#include <QList>
#include <QString>

// Every rule the analysis checks, each with a short code (as ShellCheck's
// SC2086) and a weight:
//   error    the game will not do what the line says;
//   warning  very likely a mistake;
//   notice   harmless, said so the player knows whose name it is.
enum class ProblemRule {
    // errors
    ByteOrderMark,
    OpenQuote,
    CommentSemicolon,
    CommandTooLong,
    TooManyWords,
    AliasNameTooLong,
    AliasNameRefused,
    AliasNeverRuns,
    NoSuchKey,
    ExecRefused,
    ExecMissing,
    ExecLoop,
    AliasLoop,
    Unreadable,
    // warnings
    NearName,
    ValueOutOfRange,
    SettingReplaced,
    BindReplaced,
    KeyBoundTwice,
    SourceEngineName,
    // notices
    ThirdPartyName,
    ForwardedName,
    UnknownName,
    ListNotWritten,
};

enum class ProblemWeight { Error, Warning, Notice };

namespace ProblemRules {

ProblemWeight weight(ProblemRule rule);
// "TS101"; stable across releases, for scripts and "This name is fine".
QString code(ProblemRule rule);
// "error", "warning", "notice", as compilers print them.
QString weightWord(ProblemWeight weight);
// The weight of a word from weightWord(), for --min; nothing for any other.
bool parseWeight(const QString &word, ProblemWeight &weight);
// Rules about a name nobody defines: grouped by name in the panel, and
// the ones a player can declare fine.
bool isAboutName(ProblemRule rule);

} // namespace ProblemRules
