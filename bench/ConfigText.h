#pragma once

#include <QRandomGenerator>
#include <QString>

#include <iterator>

// A console config of the given size in characters: binds, variables and
// comments in lines of about 50 characters with CR LF breaks, always the same.
inline QString configText(qsizetype size)
{
    static const char *const lines[] = {
        "bind \"w\" \"+forward\"", "bind \"MOUSE1\" \"+attack\"", "cl_updaterate %1", "cl_cmdrate %1",
        "rate %1", "sensitivity 2.%1", "// tuned for the league server, keep this", "volume 0.%1",
        "alias \"+jumpthrow\" \"+jump;-attack\"", "net_graph %1 // old value was 3",
    };
    QRandomGenerator random(1252);
    QString text;
    text.reserve(size + 64);
    while (text.size() < size) {
        QString line = QString::fromLatin1(lines[random.bounded(int(std::size(lines)))]);
        const int value = random.bounded(1000);
        text += line.contains(u'%') ? line.arg(value) : line;
        text += QStringLiteral(" // padding to a usual line width\r\n");
    }
    text.truncate(size);
    return text;
}
