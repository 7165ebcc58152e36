#include "catalogue/ConsoleScript.h"

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
    return QStringView(u"{}()',:").contains(c);
}

// Bodies hold no quotes, so each level is shorter than the last; the bound
// only guards against a pathological line.
constexpr int MaxDepth = 32;

void scanInto(QStringView script, Scan &out, int depth, const QString &within = {}, bool byKey = false)
{
    for (const QStringView command : commands(script)) {
        const QStringList w = words(command);
        if (w.isEmpty())
            continue;
        out.uses.append({w[0], w.value(1), w.size() > 1});
        if (!takesCommand(w[0]) || w.size() < 2)
            continue;
        const bool alias = w[0].compare(QLatin1String("alias"), Qt::CaseInsensitive) == 0;
        // "alias name" alone defines an empty alias; "bind key" alone only shows the binding.
        if (alias)
            out.aliases.append({w[1], storedCommand(w), within, byKey});
        if (w.size() > 2 && depth < MaxDepth)
            scanInto(storedCommand(w), out, depth + 1, w[1], !alias);
    }
}

} // namespace

QList<QStringView> commands(QStringView script)
{
    QList<QStringView> out;
    qsizetype start = 0;
    int quotes = 0;
    for (qsizetype i = 0; i < script.size(); ++i) {
        const QChar c = script[i];
        if (c == u'"')
            ++quotes;
        if (isLineBreak(c) || (c == u';' && quotes % 2 == 0)) {
            out.append(script.mid(start, i - start));
            start = i + 1;
            quotes = 0;
        }
    }
    out.append(script.mid(start));
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
    return name.compare(QLatin1String("bind"), Qt::CaseInsensitive) == 0
        || name.compare(QLatin1String("alias"), Qt::CaseInsensitive) == 0;
}

QString storedCommand(const QStringList &words)
{
    return words.mid(2).join(u' ');
}

Scan scan(QStringView script)
{
    Scan out;
    scanInto(script, out, 0);
    return out;
}

} // namespace ConsoleScript
