#include "completion/CompletionContext.h"

#include "catalogue/ConsoleScript.h"
#include "completion/CompletionList.h"
#include "config/KnownCommands.h"

#include <QList>

namespace {

struct Word
{
    int start = 0; // where the word's text starts (past an opening quote)
    QString text;
    bool openQuote = false; // the caret is inside this word's quotes
};

// The words of the command the caret is in, from `from` to the end of the
// line, or nothing when the caret is in a comment. The console splits at
// ';' outside quotes even after "//", so a comment ends with its command
// (rehlds engine/cmd.cpp Cbuf_Execute; see ConsoleScript::commentStart).
bool wordsOfLastCommand(QStringView line, int from, QList<Word> &words)
{
    int commandStart = from;
    bool quoted = false;
    for (int i = from; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u';')
            commandStart = i + 1;
    }
    if (ConsoleScript::commentStart(line.mid(commandStart)) >= 0)
        return false;
    words.clear();
    int i = commandStart;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == u' ' || line[i] == u'\t'))
            ++i;
        if (i >= line.size())
            break;
        Word w;
        if (line[i] == u'"') {
            const int close = int(line.indexOf(u'"', i + 1));
            w.start = i + 1;
            w.openQuote = close < 0;
            const int end = close < 0 ? int(line.size()) : close;
            w.text = line.mid(i + 1, end - i - 1).toString();
            i = close < 0 ? int(line.size()) : close + 1;
        } else {
            w.start = i;
            while (i < line.size() && line[i] != u' ' && line[i] != u'\t' && line[i] != u'"')
                ++i;
            w.text = line.mid(w.start, i - w.start).toString();
        }
        words.append(w);
    }
    // The caret after a space starts a new, empty word.
    if (words.isEmpty() || (!words.last().openQuote && (line.endsWith(u' ') || line.endsWith(u'\t')))) {
        Word w;
        w.start = int(line.size());
        words.append(w);
    }
    return true;
}

CompletionContext contextIn(QStringView line, int from, const KnownCommands &known)
{
    QList<Word> words;
    if (!wordsOfLastCommand(line, from, words))
        return {};
    const Word &last = words.last();
    const int index = int(words.size()) - 1;
    const QString first = words.first().text.toLower();
    // A quoted body of bind (its third word) or alias (its second) is a
    // script of its own: complete in it from the quote on.
    if (last.openQuote && ((first == u"bind" && index == 2) || (first == u"alias" && index == 2)))
        return contextIn(line, last.start, known);
    CompletionContext context;
    context.start = last.start;
    context.prefix = last.text;
    if (index == 0 && !last.openQuote)
        context.kind = CompletionContext::Kind::Command;
    else if (index == 1 && (first == u"bind" || first == u"unbind"))
        context.kind = CompletionContext::Kind::Key;
    else if (index == 1 && first == u"exec")
        context.kind = CompletionContext::Kind::File;
    else if (index == 1 && !CompletionList::valuesOf(known.range(words.first().text)).isEmpty()) {
        context.kind = CompletionContext::Kind::Value;
        context.variable = words.first().text;
    }
    return context;
}

} // namespace

CompletionContext CompletionContext::at(QStringView line, const KnownCommands &known)
{
    return contextIn(line, 0, known);
}

bool CompletionContext::opensByItself() const
{
    switch (kind) {
    case Kind::None:
        return false;
    case Kind::Command:
        return prefix.size() >= 2;
    case Kind::Key:
    case Kind::File:
    case Kind::Value:
        return true;
    }
    return false;
}
