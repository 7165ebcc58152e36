#include "search/LineNumbers.h"

namespace {

// Every line but the last ends in LF: that of a CR LF, or a lone LF, which
// the box shows as a line end too. The box keeps no lone CR.
constexpr char16_t LineEnd = u'\n';

} // namespace

namespace LineNumbers {

int count(const QString &text)
{
    return int(text.count(LineEnd)) + 1;
}

int lineOf(const QString &text, int position)
{
    return int(QStringView(text).left(qBound(0, position, int(text.size()))).count(LineEnd)) + 1;
}

int startOf(const QString &text, int line)
{
    qsizetype start = 0;
    for (int n = 1; n < line; ++n) {
        const qsizetype at = text.indexOf(LineEnd, start);
        if (at < 0)
            break;
        start = at + 1;
    }
    return int(start);
}

} // namespace LineNumbers
