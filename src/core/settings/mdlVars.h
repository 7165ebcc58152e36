#pragma once

#include "catalogue/Catalogue.h"

#include <QString>

#include <array>

// The editor's lasting state. One instance lives for the whole run and is
// handed to whoever needs it.
struct mdlVars
{
    static constexpr int ModSlots = 501;          // 0 to 500
    static constexpr int BackupSlots = 1001;      // 0 to 1000
    static constexpr int RecordBackupSlots = 501; // 0 to 500 have records in data.dat
    static constexpr int StoredBackupSlots = BackupSlots; // the rest go to data.dat.extra

    // An empty name marks a free slot; the index is the entry's identity.
    std::array<QString, ModSlots> strModName;
    std::array<QString, ModSlots> strModDir;
    std::array<QString, BackupSlots> strBackupFile;
    std::array<QString, BackupSlots> strBackupMod;

    // The lists as data.dat held them when this editor last read or wrote
    // it, so a save can tell its own changes from another editor's.
    struct StoredLists
    {
        std::array<QString, ModSlots> modName, modDir;
        std::array<QString, StoredBackupSlots> backupFile, backupMod;
    } stored;

    // Where the next mod and backup entry go.
    qint16 intModCount = 0;
    qint16 intBackupCount = 0;

    // Read once at start from commands.dat.
    Catalogue catalogue;
};
