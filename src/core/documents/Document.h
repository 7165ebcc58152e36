#pragma once

#include "documents/DiskStamp.h"

#include <QString>

// What belongs to one open document, apart from the program-wide state
// (mods, catalogue, settings): its file, how that file stood on disk, and
// where its recovery copy is kept. Each tab of the window holds one.
struct Document
{
    // The document's path; empty until it has a file.
    QString strFilename;
    DiskStamp stamp; // of strFilename as last read or written
    DiskStamp told;  // the change on disk last told about
    // Its file was deleted on disk: only the text is left, so it counts as unsaved.
    bool fileMissing = false;
    // A disk check's question is up (it takes the focus away and gives it back).
    bool checking = false;
    // The document's own copy among its session's recovery copies.
    int recoverySlot = 0;
};

// What tells two paths of one file alike: the path the file system resolves
// it to (through links and ".."), or the cleaned path of a file that does
// not exist. Empty for an empty path.
QString fileIdentity(const QString &path);
