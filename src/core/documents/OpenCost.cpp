#include "documents/OpenCost.h"

#include "settings/RegularFile.h"

#include <QFile>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#endif

namespace {

// Measured by bench_memory on 2,000,000 short lines and on a 20 MB config:
// per byte the read file (1), the decoded text (2), the box's UTF-8 copy
// and its styles (2 and the gap's growth), per line the box's line starts
// and UTF-16 index, its line state and the alias index's entry.
constexpr qint64 PerByte = 7;
constexpr qint64 PerHighByte = 4;
constexpr qint64 PerLine = 96;
constexpr qint64 Base = 16 * 1024 * 1024;

} // namespace

qint64 OpenCost::memory() const
{
    return Base + PerByte * bytes + PerHighByte * highBytes + PerLine * lines;
}

qint64 OpenCost::leastMemory(qint64 bytes)
{
    return Base + PerByte * bytes;
}

OpenCost OpenCost::ofBytes(QByteArrayView bytes)
{
    OpenCost cost;
    cost.bytes = bytes.size();
    qint64 start = 0;
    const char *d = bytes.data();
    for (qint64 i = 0; i < cost.bytes; ++i) {
        const char c = d[i];
        if (c == '\r' || c == '\n') {
            cost.longestLine = qMax(cost.longestLine, i - start);
            start = i + 1;
            // CR LF is one line end.
            cost.lines += !(c == '\n' && i > 0 && d[i - 1] == '\r');
        } else {
            cost.highBytes += uchar(c) >= 0x80;
        }
    }
    cost.longestLine = qMax(cost.longestLine, cost.bytes - start);
    cost.lines += 1;
    return cost;
}

OpenCost OpenCost::ofFile(const QString &path)
{
    QFile file(path);
    if (!RegularFile::open(file, QIODevice::ReadOnly))
        return {};
    // Pieces, so that the measure itself costs little memory; a line may
    // run across pieces.
    constexpr qint64 Piece = 4 * 1024 * 1024;
    OpenCost total;
    qint64 run = 0; // the line's characters so far
    bool crBefore = false;
    QByteArray piece(Piece, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(piece.data(), Piece);
        if (n <= 0)
            break;
        const char *d = piece.constData();
        total.bytes += n;
        for (qint64 i = 0; i < n; ++i) {
            const char c = d[i];
            if (c == '\r' || c == '\n') {
                total.longestLine = qMax(total.longestLine, run);
                run = 0;
                total.lines += !(c == '\n' && crBefore);
            } else {
                ++run;
                total.highBytes += uchar(c) >= 0x80;
            }
            crBefore = c == '\r';
        }
    }
    total.longestLine = qMax(total.longestLine, run);
    total.lines += total.bytes > 0;
    return total;
}

qint64 availableMemory()
{
#ifdef Q_OS_LINUX
    qint64 available = -1;
    QFile info(QStringLiteral("/proc/meminfo"));
    if (info.open(QIODevice::ReadOnly | QIODevice::Text)) {
        for (QByteArray line = info.readLine(); !line.isEmpty(); line = info.readLine()) {
            if (line.startsWith("MemAvailable:")) {
                bool ok = false;
                const qint64 kb = line.mid(13).trimmed().split(' ').value(0).toLongLong(&ok);
                if (ok)
                    available = kb * 1024;
                break;
            }
        }
    }
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY
        && (available < 0 || qint64(limit.rlim_cur) < available))
        available = qint64(limit.rlim_cur);
    return available;
#else
    return -1;
#endif
}
