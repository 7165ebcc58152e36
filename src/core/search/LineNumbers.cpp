#include "search/LineNumbers.h"

namespace {

// Where the line that starts at `from` ends, past its line end: after an LF
// (that of a CR LF, or a lone one) or a lone CR, as the box shows them; -1
// for the last line.
qsizetype nextLineStart(QStringView text, qsizetype from)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        if (text[i] == u'\n')
            return i + 1;
        if (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))
            return i + 1;
    }
    return -1;
}

int linesBefore(QStringView text)
{
    int lines = 0;
    for (qsizetype at = 0; (at = nextLineStart(text, at)) >= 0;)
        ++lines;
    return lines;
}

} // namespace

namespace LineNumbers {

int count(const QString &text)
{
    return linesBefore(text) + 1;
}

int lineOf(const QString &text, int position)
{
    return linesBefore(QStringView(text).left(qBound(0, position, int(text.size())))) + 1;
}

int startOf(const QString &text, int line)
{
    qsizetype start = 0;
    for (int n = 1; n < line; ++n) {
        const qsizetype at = nextLineStart(text, start);
        if (at < 0)
            break;
        start = at;
    }
    return int(start);
}

} // namespace LineNumbers
