#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

// Whole-file reads and writes for setting up and checking test folders.
inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(f.write(bytes), qint64(bytes.size()));
}

// Every byte value once, ending in CR LF. A lone CR ends a line and comes
// back as CR LF, so CR appears only in the line end.
inline QByteArray everyByteValue()
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        if (i != '\r')
            all.append(char(i));
    return all + "\r\n";
}
