#pragma once

#include "settings/RegularFile.h"
#include "settings/Result.h"

#include <QByteArray>
#include <QString>

// A file of fixed 128-byte records numbered from 1, each holding one string:
// a 16-bit little-endian length and at most 126 Windows-1252 characters.
// The whole file is held in memory; commit() replaces the file on disk in
// one step, so a failed write never leaves a half-written file behind.
class RecordFile
{
public:
    static constexpr int RecordSize = 128;
    static constexpr int MaxChars = RecordSize - 2;

    // Reads the file, creating it empty when it does not exist. A file longer
    // than `largest` bytes (when given) has only that much read and is
    // reported, so the caller can keep from rewriting it. With
    // Links::Refuse, a symbolic link at the path is neither read nor
    // replaced.
    Status open(const QString &path, qint64 largest = -1, RegularFile::Links links = RegularFile::Links::Follow);

    // The string of a record; a record at or beyond the end of the file is
    // empty. A length field above 126 yields the record's 126 characters.
    QString read(int record) const;

    // Refuses a value longer than 126 characters or one holding a character
    // Windows-1252 cannot store, leaving the record as it was.
    Status write(int record, const QString &value);

    // Writes every record back, keeping the bytes of records never written.
    Status commit();

    const QString &path() const { return m_path; }
    const QByteArray &bytes() const { return m_bytes; }

private:
    QString m_path;
    QByteArray m_bytes;
    RegularFile::Links m_links = RegularFile::Links::Follow;
};
