#pragma once

#include <QString>
#include <QStringView>

class KnownCommands;

// What the word at the caret may be completed with, read from the line
// before the caret as the console splits it: commands at ';' outside
// quotes, and again inside the quoted body of a bind or an alias.
struct CompletionContext
{
    enum class Kind {
        None,    // a comment, a value that is not enumerated, free text
        Command, // a command or variable name, or an alias
        Key,     // the key of bind or unbind
        File,    // the file of exec
        Value,   // a value of `variable`, whose range lists them
    };

    Kind kind = Kind::None;
    int start = 0;      // where the word being typed starts in the line
    QString prefix;     // the word typed so far
    QString variable;   // for Value: the variable, as written

    bool operator==(const CompletionContext &) const = default;

    // Whether the list opens as the player types, without Ctrl+Space: after
    // two letters of a name, at once after bind, exec or an enumerated
    // variable; never in a comment or free text.
    bool opensByItself() const;

    // The context at the end of `line` (the line up to the caret). Value
    // is given only for a variable `known` lists with enumerable values.
    static CompletionContext at(QStringView line, const KnownCommands &known);
};
