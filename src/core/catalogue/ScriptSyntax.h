#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>

class AliasIndex;
struct Catalogue;

// How a document's lines are coloured, chosen by its file name.
enum class FileSyntax {
    Script, // console scripts (.cfg) and new documents
    Plain,  // .gam .lst .txt .ps: comments, strings and numbers
    Fgd,    // game-definition files: classes, keywords, strings
};

// The syntax for a document path; an empty path is a new document.
FileSyntax syntaxForPath(const QString &path);

// A coloured stretch of one line. Stretches are sorted and never overlap.
struct SyntaxToken
{
    enum class Kind {
        Plain,     // no colour of its own; only carries a bad value
        Known,     // a name the catalogue knows (entry set) or the document aliases (entry 0)
        Command,   // a script word the catalogue need not know (bind, alias, ...)
        String,
        Number,
        Comment,
        Separator, // ';' between commands, and punctuation in .fgd files
        Prefix,    // '+' or '-' before an action name
        Keyword,   // .fgd class and type words
    };

    int start = 0;
    int length = 0;
    Kind kind = Kind::Plain;
    // Catalogue entry of a known name, or of the variable a bad value is given to.
    int entry = 0;
    // A value the entry's range does not take (an error), or one the game
    // takes but changes (valueNotice, a milder mark).
    bool badValue = false;
    bool valueNotice = false;
    // Where the checked value starts and how long it is, quotes excluded.
    int valueStart = 0;
    int valueLength = 0;

    friend bool operator==(const SyntaxToken &, const SyntaxToken &) = default;
};

// The tokens of one line. Each line stands alone: a comment or string ends
// at the line's end, and so does a line held inside a paragraph by a lone
// line feed (LF or U+2028). Names the document defines with alias count
// as known in scripts.
// Names known beyond the document: the aliases other files of the
// configuration define. Coloured as the document's own aliases are.
using KnownNames = std::function<bool(QStringView)>;

QList<SyntaxToken> tokenizeLine(QStringView line, FileSyntax syntax, const Catalogue &catalogue,
                                const AliasIndex *aliases = nullptr, const KnownNames &elsewhere = {});

// What hovering over a column of the line explains: why a value is out of
// its variable's range, else the catalogue's explanation of the word there,
// else the document's alias of that name, else nothing.
QString hoverText(QStringView line, int column, FileSyntax syntax, const Catalogue &catalogue,
                  const AliasIndex *aliases = nullptr);
