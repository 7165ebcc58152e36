#include "backups/LineDiff.h"

#include <algorithm>
#include <vector>

namespace LineDiff {

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n' && text[i] != u'\r')
            continue;
        lines << text.mid(start, i - start);
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

QList<Line> compare(const QStringList &a, const QStringList &b)
{
    // Lines both ends share are kept out of the search, which is what makes
    // the usual small edit cheap.
    qsizetype head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head])
        ++head;
    qsizetype tail = 0;
    while (tail < a.size() - head && tail < b.size() - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    const int n = int(a.size() - head - tail);
    const int m = int(b.size() - head - tail);
    const auto A = [&](int i) -> const QString & { return a[head + i]; };
    const auto B = [&](int j) -> const QString & { return b[head + j]; };

    // Myers: for each number of edits d, the furthest x reached on each
    // diagonal k = x - y; the rows kept (diagonals -d to d) lead back to the
    // path. Past MostEdits the memory would grow too large, and the rest is
    // shown as removed and added whole.
    constexpr int MostEdits = 2000;
    const int max = n + m;
    std::vector<int> v(size_t(2 * max + 2), 0);
    std::vector<std::vector<int>> trace;
    bool found = false;
    for (int d = 0; d <= std::min(max, MostEdits) && !found; ++d) {
        trace.emplace_back(v.begin() + (max - d), v.begin() + (max + d + 1));
        for (int k = -d; k <= d; k += 2) {
            const size_t at = size_t(k + max);
            int x = (k == -d || (k != d && v[at - 1] < v[at + 1])) ? v[at + 1] : v[at - 1] + 1;
            int y = x - k;
            while (x < n && y < m && A(x) == B(y))
                ++x, ++y;
            v[at] = x;
            if (x >= n && y >= m) {
                found = true;
                break;
            }
        }
    }

    QList<Line> middle;
    if (!found) {
        for (int i = m - 1; i >= 0; --i)
            middle.append({Kind::Added, 0, int(head) + i + 1, B(i)});
        for (int i = n - 1; i >= 0; --i)
            middle.append({Kind::Removed, int(head) + i + 1, 0, A(i)});
    }
    // Walks back from the end, collecting the middle in reverse.
    int x = n, y = m;
    for (int d = int(trace.size()) - 1; found && d >= 0 && (x > 0 || y > 0); --d) {
        const std::vector<int> &row = trace[size_t(d)]; // row[k + d] is diagonal k
        const int k = x - y;
        const bool down = k == -d || (k != d && row[size_t(k - 1 + d)] < row[size_t(k + 1 + d)]);
        const int prevK = down ? k + 1 : k - 1;
        const int prevX = d == 0 ? 0 : row[size_t(prevK + d)];
        const int prevY = d == 0 ? 0 : prevX - prevK;
        while (x > prevX && y > prevY) {
            --x, --y;
            middle.append({Kind::Same, int(head) + x + 1, int(head) + y + 1, A(x)});
        }
        if (d > 0) {
            if (down) {
                --y;
                middle.append({Kind::Added, 0, int(head) + y + 1, B(y)});
            } else {
                --x;
                middle.append({Kind::Removed, int(head) + x + 1, 0, A(x)});
            }
        }
    }
    std::reverse(middle.begin(), middle.end());
    // Within a change, removed lines come before added ones.
    for (qsizetype i = 0; i < middle.size();) {
        qsizetype j = i;
        while (j < middle.size() && middle[j].kind != Kind::Same)
            ++j;
        std::stable_partition(middle.begin() + i, middle.begin() + j,
                              [](const Line &l) { return l.kind == Kind::Removed; });
        i = j == i ? i + 1 : j;
    }

    QList<Line> lines;
    for (qsizetype i = 0; i < head; ++i)
        lines.append({Kind::Same, int(i) + 1, int(i) + 1, a[i]});
    lines += middle;
    for (qsizetype i = tail; i > 0; --i)
        lines.append({Kind::Same, int(a.size() - i) + 1, int(b.size() - i) + 1, a[a.size() - i]});
    return lines;
}

QList<Row> sideBySide(const QList<Line> &lines)
{
    QList<Row> rows;
    for (int i = 0; i < int(lines.size());) {
        if (lines[i].kind == Kind::Same) {
            rows.append({i, i});
            ++i;
            continue;
        }
        int removedEnd = i;
        while (removedEnd < lines.size() && lines[removedEnd].kind == Kind::Removed)
            ++removedEnd;
        int addedEnd = removedEnd;
        while (addedEnd < lines.size() && lines[addedEnd].kind == Kind::Added)
            ++addedEnd;
        const int removed = removedEnd - i;
        const int added = addedEnd - removedEnd;
        for (int r = 0; r < std::max(removed, added); ++r)
            rows.append({r < removed ? i + r : -1, r < added ? removedEnd + r : -1});
        i = addedEnd;
    }
    return rows;
}

bool changed(const QList<Line> &lines)
{
    return std::any_of(lines.begin(), lines.end(), [](const Line &l) { return l.kind != Kind::Same; });
}

} // namespace LineDiff
