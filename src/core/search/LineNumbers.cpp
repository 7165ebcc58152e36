#include "search/LineNumbers.h"

namespace {

const QString LineBreak = QStringLiteral("\r\n");

} // namespace

namespace LineNumbers {

int count(const QString &text)
{
    return int(text.count(LineBreak)) + 1;
}

int lineOf(const QString &text, int position)
{
    return int(QStringView(text).left(qBound(0, position, int(text.size()))).count(LineBreak)) + 1;
}

int startOf(const QString &text, int line)
{
    qsizetype start = 0;
    for (int n = 1; n < line; ++n) {
        const qsizetype at = text.indexOf(LineBreak, start);
        if (at < 0)
            break;
        start = at + 2;
    }
    return int(start);
}

} // namespace LineNumbers
