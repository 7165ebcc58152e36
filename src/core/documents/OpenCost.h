#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

// What opening a file costs the edit box, known from its bytes before
// anything is decoded or laid out: its longest line and the memory it will
// take at its peak.
struct OpenCost
{
    qint64 bytes = 0;
    qint64 lines = 0;
    qint64 longestLine = 0; // characters; line breaks are CR and LF
    qint64 highBytes = 0;   // bytes above 127, two or three bytes each in the box

    // The process's growth at the peak of opening, in bytes: the file read,
    // its decoded text, the box's copy with its styles and line indexes, and
    // the alias index. The figures are measured (bench_memory).
    qint64 memory() const;
    // The least that memory() can be for a file of this many bytes: for a
    // file too large to be worth reading through.
    static qint64 leastMemory(qint64 bytes);

    static OpenCost ofBytes(QByteArrayView bytes);
    // Reads the file in pieces; one that cannot be read gives zeros, and
    // opening reports it.
    static OpenCost ofFile(const QString &path);
};

// The memory this computer can give the editor now, in bytes: what is free
// or freeable, within the process's own limit. -1 where it is not known.
qint64 availableMemory();
