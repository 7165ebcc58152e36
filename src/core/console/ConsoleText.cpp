#include "console/ConsoleText.h"

#include "console/EngineProfile.h"

namespace {

bool originalEngine(const EngineProfile &p)
{
    return p.engine == EngineProfile::Engine::Original;
}

// A character past 127 is a negative `char` to the original engine, which
// compares it with ' ' as a signed number.
bool pastAscii(QChar c)
{
    return c.unicode() > 0x7F;
}

// rehlds engine/common.cpp COM_Parse: each of { } ) ( ' , : is a word of its
// own (com_ignorecolons is off for the console). xash3d-fwgs public/crtlib.c
// COM_IsSingleChar with the console's PFILE_IGNOREBRACKET: { } , ' only.
bool singleCharacterWord(QChar c, const EngineProfile &p)
{
    switch (c.unicode()) {
    case u'{':
    case u'}':
    case u',':
    case u'\'':
        return true;
    case u'(':
    case u')':
    case u':':
        return originalEngine(p);
    default:
        return false;
    }
}

// One line of the buffer into commands, appended to `out`. `wrapped`: the
// text stands between the line breaks Cbuf_InsertTextLines adds.
class Splitter
{
public:
    Splitter(const EngineProfile &p, ConsoleText &out) : m_p(p), m_out(out) {}

    void split(QStringView text, int line, int column, bool wrapped)
    {
        const qsizetype n = text.size();
        qsizetype pos = 0;
        m_pending = wrapped ? 1 : 0; // the line break before it
        while (pos < n) {
            qsizetype cut = -1; // where the engine's copy ends, when shorter
            qsizetype i = originalEngine(m_p) ? originalEnd(text, pos) : xashEnd(text, pos, cut);
            const qsizetype len = i - pos;
            qsizetype copy = cut >= 0 ? cut - pos : len;
            qsizetype next = std::min(i + 1, n + (wrapped ? 1 : 0));
            bool over = false;
            if (originalEngine(m_p)) {
                // rehlds engine/cmd.cpp Cbuf_Execute, without REHLDS_FIXES: a
                // command longer than MAX_CMD_LINE - 1 is cut there, and the
                // character after the cut is taken off with it (i++), so the
                // rest runs on as the next command.
                if (len > m_p.lineLength - 1) {
                    copy = m_p.lineLength - 1;
                    next = std::min<qsizetype>(pos + m_p.lineLength, n + (wrapped ? 1 : 0));
                    i = pos + m_p.lineLength - 1;
                    over = true;
                }
            } else if (len >= m_p.lineLength - 1) {
                // xash3d-fwgs engine/common/cmd.c Cbuf_ExecuteCommandsFromBuffer:
                // "command string owerflow", the line is emptied.
                copy = 0;
                over = true;
            }
            takeCommand(text.mid(pos, copy), line, column, int(next - pos), over ? int(len) : 0);
            // Lines and columns move on over what was taken.
            const qsizetype end = std::min(next, n);
            for (qsizetype k = pos; k < end; ++k) {
                if (text[k] == u'\n') {
                    ++line;
                    column = 0;
                } else {
                    ++column;
                }
            }
            pos = next;
        }
        // What empty commands at the end take is given back when the text is used up.
        m_pending = 0;
    }

private:
    // rehlds engine/cmd.cpp Cbuf_Execute: a command ends at '\n' or at a ';'
    // with an even count of quotes before it; REHLDS_FIXES alone spares a
    // command starting with "//".
    static qsizetype originalEnd(QStringView text, qsizetype pos)
    {
        int quotes = 0;
        qsizetype i = pos;
        for (; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == u'"')
                ++quotes;
            if (!(quotes & 1) && c == u';')
                break;
            if (c == u'\n')
                break;
        }
        return i;
    }

    // xash3d-fwgs engine/common/cmd.c Cbuf_ExecuteCommandsFromBuffer: \" and
    // \\ inside quotes are skipped, "//" at the start or after a blank is a
    // comment that no ';' ends, and '\r' ends a command as '\n' does.
    static qsizetype xashEnd(QStringView text, qsizetype pos, qsizetype &comment)
    {
        bool quotes = false;
        const qsizetype n = text.size();
        qsizetype i = pos;
        for (; i < n; ++i) {
            if (comment < 0) {
                if (text[i] == u'"')
                    quotes = !quotes;
                if (quotes) {
                    if (i < n - 1 && text[i] == u'\\' && (text[i + 1] == u'"' || text[i + 1] == u'\\'))
                        ++i;
                } else {
                    if (text[i] == u'/' && i + 1 < n && text[i + 1] == u'/'
                        && (i == pos || text[i - 1].unicode() <= u' '))
                        comment = i;
                    if (text[i] == u';')
                        break;
                }
            }
            if (text[i] == u'\n' || text[i] == u'\r')
                break;
        }
        return i;
    }

    void takeCommand(QStringView line, int lineNo, int column, int consumed, int written)
    {
        ConsoleCommand c;
        int count = 0;
        bool longWord = false;
        c.words = line.isEmpty() ? QStringList() : ConsoleText::words(line, m_p, &count, &longWord);
        if (c.words.isEmpty()) {
            // "if (line[0])" and "if (!Cmd_Argc()) return": nothing runs.
            m_pending += consumed;
            return;
        }
        c.name = c.words.front().toLower();
        c.line = lineNo;
        c.column = column;
        c.length = int(line.size());
        c.written = written;
        c.consumed = int(m_pending) + consumed;
        c.wordsWritten = count > c.words.size() ? count : 0;
        c.longWord = longWord;
        m_pending = 0;
        m_out.commands.append(std::move(c));
    }

    const EngineProfile &m_p;
    ConsoleText &m_out;
    qsizetype m_pending = 0;
};

} // namespace

QStringList ConsoleText::words(QStringView line, const EngineProfile &p, int *written, bool *longWord)
{
    QStringList out;
    const qsizetype n = line.size();
    qsizetype t = 0;
    int count = 0;
    bool stopped = false; // the engine read no further, but words are still counted
    auto add = [&](QString word) {
        ++count;
        if (stopped)
            return;
        // rehlds engine/cmd.cpp Cmd_TokenizeString: "if (arglen >= 516) return"
        // with arglen the word's length plus one: the word and all after it are lost.
        if (p.wordLength > 0 && word.size() >= p.wordLength) {
            if (longWord)
                *longWord = true;
            stopped = true;
            return;
        }
        // MAX_CMD_TOKENS: rehlds returns at 80 words, xash3d-fwgs drops the rest.
        if (out.size() < p.words)
            out.append(std::move(word));
        if (out.size() >= p.words && originalEngine(p))
            stopped = true;
    };
    while (true) {
        // Cmd_TokenizeString skips "*text <= ' '", a signed char without
        // REHLDS_FIXES: a character past 127 is skipped before a word.
        while (t < n && (line[t].unicode() <= u' ' || (originalEngine(p) && pastAscii(line[t]))) && line[t] != u'\n')
            ++t;
        if (t >= n || line[t] == u'\n')
            break;
        const QChar c = line[t];
        // COM_Parse (and xash's COM_ParseFileSafe): "//" where a word starts
        // skips to the line's end, which ends the words.
        if (c == u'/' && t + 1 < n && line[t + 1] == u'/')
            break;
        if (c == u'"') {
            QString word;
            const qsizetype start = ++t;
            if (originalEngine(p) || !p.escapes) {
                // No escapes: the word is all up to the next quote, taken at once.
                while (t < n && line[t] != u'"')
                    ++t;
                word = line.mid(start, t - start).toString();
            }
            while (t < n && line[t] != u'"') {
                if (!originalEngine(p) && p.escapes && line[t] == u'\\' && t + 1 < n && line[t + 1] == u'"')
                    ++t;
                word += line[t++];
            }
            if (t < n)
                ++t; // the closing quote
            add(std::move(word));
            continue;
        }
        if (singleCharacterWord(c, p)) {
            add(QString(c));
            ++t;
            continue;
        }
        const qsizetype start = t;
        do {
            ++t;
        } while (t < n && !singleCharacterWord(line[t], p) && (line[t].unicode() > u' ' || (originalEngine(p) && pastAscii(line[t]))));
        add(line.mid(start, t - start).toString());
    }
    if (written)
        *written = count;
    return out;
}

std::shared_ptr<const ConsoleText> ConsoleText::text(QStringView text, const EngineProfile &profile)
{
    auto out = std::make_shared<ConsoleText>();
    Splitter(profile, *out).split(text, 0, 0, false);
    out->size = text.size();
    return out;
}

std::shared_ptr<const ConsoleText> ConsoleText::file(QStringView text, const EngineProfile &profile)
{
    auto out = std::make_shared<ConsoleText>();
    Splitter(profile, *out).split(text, 0, 0, true);
    out->size = text.size() + 2;
    return out;
}

std::shared_ptr<const ConsoleText> ConsoleText::fileLines(QStringView text, const EngineProfile &profile)
{
    // rehlds engine/cmd.cpp Cmd_Exec_f, a file that does not fit: each
    // COM_ParseLine token goes in by Cbuf_InsertTextLines. Without
    // REHLDS_FIXES a token copies its first character, then runs while
    // c >= ' ' (a signed char: a tab or a character past 127 ends it) for at
    // most COM_TOKEN_LEN - 1 = 1023 characters; then characters below ' '
    // other than a tab are skipped (and, signed, those past 127).
    auto out = std::make_shared<ConsoleText>();
    Splitter splitter(profile, *out);
    const qsizetype n = text.size();
    qsizetype pos = 0;
    int line = 0;
    qsizetype lineStart = 0;
    constexpr int TokenLength = 1023;
    while (pos < n) {
        const qsizetype start = pos;
        qsizetype t = pos + 1;
        while (t < n && text[t].unicode() >= u' ' && !pastAscii(text[t]) && t - start < TokenLength)
            ++t;
        const QStringView token = text.mid(start, t - start);
        const int first = int(out->commands.size());
        splitter.split(token, line, int(start - lineStart), true);
        out->lines.append({first, int(out->commands.size()), token.size() + 2});
        out->size += token.size() + 2;
        pos = t;
        while (pos < n && ((text[pos].unicode() < u' ' && text[pos] != u'\t') || pastAscii(text[pos]))) {
            if (text[pos] == u'\n') {
                ++line;
                lineStart = pos + 1;
            }
            ++pos;
        }
    }
    return out;
}
