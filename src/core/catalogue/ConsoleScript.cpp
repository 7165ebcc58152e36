#include "catalogue/ConsoleScript.h"

#include <QVarLengthArray>

namespace ConsoleScript {

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == QChar(0x2028) || c == QChar(0x2029);
}

bool isBlank(QChar c)
{
    return c.unicode() <= u' ' && !isLineBreak(c);
}

bool isSingle(QChar c)
{
    switch (c.unicode()) {
    case u'{': case u'}': case u'(': case u')': case u'\'': case u',': case u':':
        return true;
    default:
        return false;
    }
}

} // namespace

namespace {

// Hands each command of a script to `command`, in order, empty ones included.
template<typename OnCommand>
void forEachCommand(QStringView script, OnCommand command)
{
    qsizetype start = 0;
    int quotes = 0;
    for (qsizetype i = 0; i < script.size(); ++i) {
        const QChar c = script[i];
        if (c == u'"')
            ++quotes;
        if (isLineBreak(c) || (c == u';' && quotes % 2 == 0)) {
            command(script.mid(start, i - start));
            start = i + 1;
            quotes = 0;
        }
    }
    command(script.mid(start));
}

bool mentionsAlias(QStringView text)
{
    return text.contains(QLatin1String("alias"), Qt::CaseInsensitive);
}

} // namespace

QList<QStringView> commands(QStringView script)
{
    QList<QStringView> out;
    forEachCommand(script, [&](QStringView command) { out.append(command); });
    return out;
}

namespace {

// Walks the words of a command, handing each to `word` with where it
// starts and ends in the command (quotes included); returns where a "//"
// comment starts, or -1 when the command holds none.
template<typename OnWord>
qsizetype walkWords(QStringView command, OnWord word)
{
    qsizetype i = 0;
    const qsizetype n = command.size();
    while (true) {
        while (i < n && isBlank(command[i]))
            ++i;
        if (i >= n)
            return -1;
        if (command[i] == u'/' && i + 1 < n && command[i + 1] == u'/')
            return i;
        if (command[i] == u'"') {
            const qsizetype close = command.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? n : close;
            const qsizetype next = close < 0 ? n : close + 1;
            word(i, next, command.mid(i + 1, end - i - 1));
            i = next;
            continue;
        }
        if (isSingle(command[i])) {
            word(i, i + 1, command.mid(i, 1));
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        while (end < n && !isBlank(command[end]) && !isSingle(command[end]))
            ++end;
        word(i, end, command.mid(i, end - i));
        i = end;
    }
}

} // namespace

QStringList words(QStringView command)
{
    QStringList out;
    walkWords(command, [&](qsizetype, qsizetype, QStringView text) { out.append(text.toString()); });
    return out;
}

QList<Word> locatedWords(QStringView command)
{
    QList<Word> out;
    walkWords(command, [&](qsizetype start, qsizetype end, QStringView text) {
        out.append({text.toString(), int(start), int(end - start)});
    });
    return out;
}

qsizetype commentStart(QStringView command)
{
    return walkWords(command, [](qsizetype, qsizetype, QStringView) {});
}

bool takesCommand(QStringView name)
{
    if (name.size() != 4 && name.size() != 5)
        return false;
    return name.compare(QLatin1String("bind"), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1String("alias"), Qt::CaseInsensitive) == 0;
}

QString storedCommand(const QStringList &words)
{
    return words.mid(2).join(u' ');
}

namespace {

// Bodies hold no quotes, so each level is shorter than the last; the bound
// only guards against a pathological line.
constexpr int MaxDepth = 32;

// The words are read in place: a line is scanned with an allocation only for
// what it yields.
void scanInto(QStringView script, Scan &out, bool uses, int depth, const QString &within = {}, bool byKey = false)
{
    forEachCommand(script, [&](QStringView command) {
        QVarLengthArray<QStringView, 8> w;
        walkWords(command, [&](qsizetype, qsizetype, QStringView text) { w.append(text); });
        if (w.isEmpty())
            return;
        if (uses)
            out.uses.append({w[0].toString(), w.size() > 1 ? w[1].toString() : QString(), w.size() > 1});
        if (!takesCommand(w[0]) || w.size() < 2)
            return;
        const bool alias = w[0].compare(QLatin1String("alias"), Qt::CaseInsensitive) == 0;
        const QString name = w[1].toString();
        qsizetype length = 0;
        for (qsizetype i = 2; i < w.size(); ++i)
            length += w[i].size() + 1;
        QString stored;
        stored.reserve(length);
        for (qsizetype i = 2; i < w.size(); ++i) {
            if (i > 2)
                stored += u' ';
            stored += w[i];
        }
        // "alias name" alone defines an empty alias; "bind key" alone only shows the binding.
        if (alias)
            out.aliases.append({name, stored, within, byKey});
        // A body without the word defines nothing when it runs.
        if (w.size() > 2 && depth < MaxDepth && (uses || mentionsAlias(stored)))
            scanInto(stored, out, uses, depth + 1, name, !alias);
    });
}

} // namespace

Scan scan(QStringView script)
{
    Scan out;
    scanInto(script, out, true, 0);
    return out;
}

QList<Alias> aliases(QStringView script)
{
    Scan out;
    scanInto(script, out, false, 0);
    return out.aliases;
}

} // namespace ConsoleScript
