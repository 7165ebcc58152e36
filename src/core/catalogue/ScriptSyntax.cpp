#include "catalogue/ScriptSyntax.h"

#include "catalogue/AliasIndex.h"
#include "catalogue/Catalogue.h"
#include "catalogue/ValueRange.h"
#include "config/NameOwners.h"

#include <QFileInfo>

namespace {

using Kind = SyntaxToken::Kind;

bool isBreak(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'\n' || u == u'\r' || u == 0x2028 || u == 0x2029;
}

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f';
}

bool startsComment(QStringView line, qsizetype i)
{
    return line[i] == u'/' && i + 1 < line.size() && line[i + 1] == u'/';
}

qsizetype lineEnd(QStringView line, qsizetype i)
{
    while (i < line.size() && !isBreak(line[i]))
        ++i;
    return i;
}

// Script words the game runs that are not variables.
bool isScriptCommand(QStringView word)
{
    static const char *const words[] = {"alias", "bind", "unbind", "unbindall", "exec", "echo", "wait",
                                        "toggle", "incrementvar", "say", "say_team", "writeconfig"};
    for (const char *w : words) {
        if (word == QLatin1String(w))
            return true;
    }
    return false;
}

// The entry of an action word without its own: "-attack" ends what
// "+attack" starts, and either may stand for the bare name.
int findAction(const Catalogue &catalogue, QStringView word)
{
    const QString rest = word.mid(1).toString();
    if (word.startsWith(u'-')) {
        if (const int k = catalogue.find(QLatin1Char('+') + rest))
            return k;
    }
    return catalogue.find(rest);
}

// A word or quoted string of a script command.
struct Word
{
    qsizetype start;
    qsizetype length;
    bool quoted;
    bool closed; // a quoted word that has its closing quote

    QStringView inner(QStringView line) const
    {
        return quoted ? line.mid(start + 1, length - (closed ? 2 : 1)) : line.mid(start, length);
    }
};

class ScriptTokenizer
{
public:
    ScriptTokenizer(QStringView line, const Catalogue &catalogue, const AliasIndex *aliases,
                    const KnownNames &elsewhere, QList<SyntaxToken> &out)
        : m_line(line), m_catalogue(catalogue), m_aliases(aliases), m_elsewhere(elsewhere), m_out(out)
    {
    }

    // Tokenizes [from, to), where no quote of the line's own ends.
    void run(qsizetype from, qsizetype to, bool insideQuotes)
    {
        QList<Word> command;
        qsizetype i = from;
        while (i < to) {
            const QChar c = m_line[i];
            if (isSpace(c)) {
                ++i;
            } else if (isBreak(c)) {
                finish(command);
                ++i;
            } else if (startsComment(m_line, i)) {
                finish(command);
                const qsizetype end = lineEnd(m_line.first(to), i);
                add(i, end - i, Kind::Comment);
                i = end;
            } else if (c == u';') {
                finish(command);
                add(i, 1, Kind::Separator);
                ++i;
            } else if (c == u'"' && !insideQuotes) {
                qsizetype end = i + 1;
                while (end < to && m_line[end] != u'"' && !isBreak(m_line[end]))
                    ++end;
                const bool closed = end < to && m_line[end] == u'"';
                command.append({i, end - i + (closed ? 1 : 0), true, closed});
                i = end + (closed ? 1 : 0);
            } else {
                qsizetype end = i;
                while (end < to && !isSpace(m_line[end]) && !isBreak(m_line[end]) && m_line[end] != u';'
                       && m_line[end] != u'"' && !startsComment(m_line, end))
                    ++end;
                command.append({i, end - i, false, false});
                i = end;
            }
        }
        finish(command);
    }

private:
    void add(qsizetype start, qsizetype length, Kind kind, int entry = 0)
    {
        if (length > 0)
            m_out.append({int(start), int(length), kind, entry});
    }

    // Looked up in place: a line is coloured without a string made per word.
    static QString inPlace(QStringView word) { return QString::fromRawData(word.data(), word.size()); }
    int find(QStringView word) const { return m_catalogue.find(inPlace(word)); }
    bool aliased(QStringView word) const
    {
        return (m_aliases && m_aliases->defines(inPlace(word))) || (m_elsewhere && m_elsewhere(word));
    }

    // A command word: a catalogue name, a script word, or an action with its prefix.
    void commandWord(const Word &word)
    {
        const QStringView text = m_line.mid(word.start, word.length);
        if (const int k = find(text)) {
            add(word.start, word.length, Kind::Known, k);
        } else if (aliased(text)) {
            add(word.start, word.length, Kind::Known);
        } else if ((text.startsWith(u'+') || text.startsWith(u'-')) && text.size() > 1 && !isConsoleNumber(text)) {
            add(word.start, 1, Kind::Prefix);
            // An unknown action keeps only its prefix coloured.
            if (const int rest = findAction(m_catalogue, text))
                add(word.start + 1, word.length - 1, Kind::Known, rest);
        } else if (isScriptCommand(text)) {
            add(word.start, word.length, Kind::Command);
        } else if (isConsoleNumber(text)) {
            add(word.start, word.length, Kind::Number);
        }
    }

    void argument(const Word &word)
    {
        if (word.quoted) {
            add(word.start, word.length, Kind::String);
            return;
        }
        const QStringView text = m_line.mid(word.start, word.length);
        if (isConsoleNumber(text))
            add(word.start, word.length, Kind::Number);
        else if (const int k = find(text))
            add(word.start, word.length, Kind::Known, k);
        else if (aliased(text))
            add(word.start, word.length, Kind::Known);
    }

    // A quoted command of bind or alias: its quotes as a string, its inside as script.
    void nestedCommand(const Word &word)
    {
        add(word.start, 1, Kind::String);
        const qsizetype innerEnd = word.start + word.length - (word.closed ? 1 : 0);
        run(word.start + 1, innerEnd, true);
        if (word.closed)
            add(innerEnd, 1, Kind::String);
    }

    void finish(QList<Word> &command)
    {
        if (command.isEmpty())
            return;
        const Word &name = command.first();
        const QStringView nameText = name.inner(m_line);
        if (name.quoted)
            add(name.start, name.length, Kind::String);
        else
            commandWord(name);
        const bool takesCommand = nameText == QLatin1String("bind") || nameText == QLatin1String("alias");
        const int entry = name.quoted ? 0 : find(nameText);
        for (qsizetype a = 1; a < command.size(); ++a) {
            const Word &word = command[a];
            if (takesCommand && a == 2) {
                if (word.quoted)
                    nestedCommand(word);
                else
                    commandWord(word);
                continue;
            }
            const qsizetype before = m_out.size();
            argument(word);
            if (a == 1 && entry)
                checkValue(word, entry, before);
        }
        command.clear();
    }

    void checkValue(const Word &word, int entry, qsizetype tokenIndex)
    {
        const QStringView value = word.inner(m_line);
        ValueRange::Severity severity = ValueRange::parse(m_catalogue.strCmdRange[entry]).check(value).severity;
        // Some game library takes more (data/known-names.txt: sv_alltalk 0-5 in ReGameDLL_CS).
        if (severity == ValueRange::Severity::Error && NameOwners::builtIn().widerRangeTakes(m_catalogue.strCmdName[entry], value))
            severity = ValueRange::Severity::None;
        if (severity == ValueRange::Severity::None)
            return;
        if (tokenIndex == m_out.size())
            m_out.append({int(word.start), int(word.length), Kind::Plain});
        SyntaxToken &token = m_out[tokenIndex];
        token.badValue = severity == ValueRange::Severity::Error;
        token.valueNotice = severity == ValueRange::Severity::Notice;
        token.entry = entry;
        token.valueStart = int(word.start + (word.quoted ? 1 : 0));
        token.valueLength = int(value.size());
    }

    QStringView m_line;
    const Catalogue &m_catalogue;
    const AliasIndex *m_aliases;
    const KnownNames &m_elsewhere;
    QList<SyntaxToken> &m_out;
};

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'-' || c == u'+';
}

// Comments, strings and numbers; in .fgd files also classes, types and punctuation.
void tokenizeStructured(QStringView line, bool fgd, QList<SyntaxToken> &out)
{
    static const char *const fgdTypes[] = {"string", "integer", "float", "choices", "flags", "color255",
                                           "color1", "target_source", "target_destination", "sound",
                                           "sprite", "studio", "decal", "void"};
    qsizetype i = 0;
    while (i < line.size()) {
        const QChar c = line[i];
        if (startsComment(line, i)) {
            const qsizetype end = lineEnd(line, i);
            out.append({int(i), int(end - i), Kind::Comment});
            i = end;
        } else if (c == u'"') {
            qsizetype end = i + 1;
            while (end < line.size() && line[end] != u'"' && !isBreak(line[end]))
                ++end;
            if (end < line.size() && line[end] == u'"')
                ++end;
            out.append({int(i), int(end - i), Kind::String});
            i = end;
        } else if (isWordChar(c) || (fgd && c == u'@')) {
            qsizetype end = i + 1;
            while (end < line.size() && isWordChar(line[end]))
                ++end;
            const QStringView word = line.mid(i, end - i);
            Kind kind = Kind::Plain;
            if (isConsoleNumber(word)) {
                kind = Kind::Number;
            } else if (fgd && c == u'@') {
                kind = Kind::Keyword;
            } else if (fgd) {
                qsizetype next = end;
                while (next < line.size() && isSpace(line[next]))
                    ++next;
                if (next < line.size() && line[next] == u'(')
                    kind = Kind::Command; // base(), size(), color() ...
                for (const char *type : fgdTypes) {
                    if (word.compare(QLatin1String(type), Qt::CaseInsensitive) == 0)
                        kind = Kind::Keyword;
                }
            }
            if (kind != Kind::Plain)
                out.append({int(i), int(end - i), kind});
            i = end;
        } else {
            if (fgd && QStringView(u"=:[](),").contains(c))
                out.append({int(i), 1, Kind::Separator});
            ++i;
        }
    }
}

bool isWordBoundary(QChar c)
{
    return isSpace(c) || isBreak(c) || QStringView(u";\"()[]=:,").contains(c);
}

} // namespace

FileSyntax syntaxForPath(const QString &path)
{
    if (path.isEmpty())
        return FileSyntax::Script;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("cfg"))
        return FileSyntax::Script;
    if (suffix == QLatin1String("fgd"))
        return FileSyntax::Fgd;
    return FileSyntax::Plain;
}

QList<SyntaxToken> tokenizeLine(QStringView line, FileSyntax syntax, const Catalogue &catalogue,
                                const AliasIndex *aliases, const KnownNames &elsewhere)
{
    QList<SyntaxToken> tokens;
    if (syntax == FileSyntax::Script)
        ScriptTokenizer(line, catalogue, aliases, elsewhere, tokens).run(0, line.size(), false);
    else
        tokenizeStructured(line, syntax == FileSyntax::Fgd, tokens);
    return tokens;
}

QString hoverText(QStringView line, int column, FileSyntax syntax, const Catalogue &catalogue,
                  const AliasIndex *aliases)
{
    if (column < 0 || column >= line.size())
        return {};
    if (syntax == FileSyntax::Script) {
        for (const SyntaxToken &token : tokenizeLine(line, syntax, catalogue)) {
            if (!(token.badValue || token.valueNotice) || column < token.start || column >= token.start + token.length)
                continue;
            const QString &rangeText = catalogue.strCmdRange[token.entry];
            const ValueRange range = ValueRange::parse(rangeText);
            return QStringLiteral("%1 takes %2 (Range: %3): %4")
                .arg(catalogue.strCmdName[token.entry], range.description(), rangeText,
                     range.problem(line.mid(token.valueStart, token.valueLength)));
        }
    }
    if (isWordBoundary(line[column]))
        return {};
    qsizetype start = column;
    while (start > 0 && !isWordBoundary(line[start - 1]))
        --start;
    qsizetype end = column + 1;
    while (end < line.size() && !isWordBoundary(line[end]))
        ++end;
    const QStringView word = line.mid(start, end - start);
    int k = catalogue.find(word.toString());
    if (!k && word.size() > 1 && (word.startsWith(u'+') || word.startsWith(u'-')))
        k = findAction(catalogue, word);
    if (k)
        return catalogue.explanation(k);
    return syntax == FileSyntax::Script && aliases ? aliases->explain(word.toString()) : QString();
}
