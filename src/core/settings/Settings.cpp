#include "settings/Settings.h"

#include "settings/CodePage.h"
#include "settings/RecordFile.h"
#include "settings/StoreLock.h"
#include "settings/mdlVars.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

constexpr int ModNameBase = 1;
constexpr int ModDirBase = 502;
constexpr int BackupFileBase = 1004;
constexpr int BackupModBase = 2006;

} // namespace

namespace Settings {

QString path(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("/data.dat");
}

QString extraPath(const QString &dataFolder)
{
    return path(dataFolder) + QStringLiteral(".extra");
}

int firstEmptySlot(const QString *names, int count)
{
    for (int i = 0; i < count; ++i) {
        if (names[i].isEmpty())
            return i;
    }
    return count;
}

} // namespace Settings

namespace {

constexpr char ExtraHeader[] = "Tessary backup entries beyond data.dat's records: slot, file, mod";

bool fitsRecord(const QString &value)
{
    return value.size() <= RecordFile::MaxChars && CodePage::firstUnencodable(value) < 0;
}

// A file in a subfolder ("cfg/binds.cfg") is kept out of the records too.
// An older editor, which knows only names without a path, skips a line here
// whose slot and names would fit a record, so it never reads such a name.
bool goesToExtra(int slot, const QString &file, const QString &mod)
{
    return slot >= mdlVars::RecordBackupSlots || !fitsRecord(file) || !fitsRecord(mod) || file.contains(u'/');
}

// A pipe or a device in its place would block or never end: refused like a link.
Status readExtra(const QString &dataFolder, mdlVars::StoredLists &lists)
{
    QFile extra(Settings::extraPath(dataFolder));
    if (!RegularFile::exists(extra.fileName()) && RegularFile::linkTarget(extra.fileName()).isEmpty())
        return Status::success();
    if (Status opened = RegularFile::open(extra, QIODevice::ReadOnly, RegularFile::Links::Refuse); !opened)
        return opened;
    const QList<QByteArray> lines = extra.read(Settings::LargestFile).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList fields = QString::fromUtf8(lines[i]).split(u'\t');
        bool number = false;
        const int slot = fields.value(0).toInt(&number);
        if (fields.size() != 3 || !number || slot < 0 || slot >= mdlVars::StoredBackupSlots
            || !goesToExtra(slot, fields[1], fields[2]))
            continue;
        // An older version, which knows nothing of this file, may have put
        // an entry of its own in the record since: the record wins.
        if (!lists.backupFile[slot].isEmpty())
            continue;
        lists.backupFile[slot] = fields[1];
        lists.backupMod[slot] = fields[2];
    }
    return Status::success();
}

// Written before data.dat, so entries never vanish between the two; no file
// when the records hold everything.
Status writeExtra(const QString &dataFolder, const mdlVars::StoredLists &lists)
{
    QByteArray text = QByteArray(ExtraHeader) + '\n';
    bool any = false;
    for (int j = 0; j < mdlVars::StoredBackupSlots; ++j) {
        if (lists.backupFile[j].isEmpty() || !goesToExtra(j, lists.backupFile[j], lists.backupMod[j]))
            continue;
        text += QString::number(j).toUtf8() + '\t' + lists.backupFile[j].toUtf8() + '\t' + lists.backupMod[j].toUtf8()
            + '\n';
        any = true;
    }
    const QString path = Settings::extraPath(dataFolder);
    if (Status regular = RegularFile::check(path, RegularFile::Links::Refuse); !regular)
        return regular;
    if (!any) {
        if (QFileInfo::exists(path) && !QFile::remove(path))
            return Status::failure(QStringLiteral("%1 cannot be removed.").arg(QDir::toNativeSeparators(path)));
        return Status::success();
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return Status::failure(QStringLiteral("%1 cannot be written: %2").arg(QDir::toNativeSeparators(path),
                                                                              file.errorString()));
    return Status::success();
}

Status readLists(const RecordFile &file, mdlVars::StoredLists &lists, const QString &dataFolder)
{
    for (int i = 0; i < mdlVars::ModSlots; ++i) {
        lists.modName[i] = file.read(i + ModNameBase);
        lists.modDir[i] = file.read(i + ModDirBase);
    }
    for (int i = 0; i < mdlVars::RecordBackupSlots; ++i) {
        lists.backupFile[i] = file.read(i + BackupFileBase);
        lists.backupMod[i] = file.read(i + BackupModBase);
    }
    return readExtra(dataFolder, lists);
}

void copyToVars(const mdlVars::StoredLists &lists, mdlVars &vars)
{
    std::copy(lists.modName.begin(), lists.modName.end(), vars.strModName.begin());
    std::copy(lists.modDir.begin(), lists.modDir.end(), vars.strModDir.begin());
    std::copy(lists.backupFile.begin(), lists.backupFile.end(), vars.strBackupFile.begin());
    std::copy(lists.backupMod.begin(), lists.backupMod.end(), vars.strBackupMod.begin());
    vars.stored = lists;
    vars.intModCount = qint16(Settings::firstEmptySlot(vars.strModName.data(), mdlVars::ModSlots));
    vars.intBackupCount = qint16(Settings::firstEmptySlot(vars.strBackupFile.data(), mdlVars::BackupSlots));
}

// One list of pairs (name and folder, or file and mod), slot by slot: a slot
// this editor changed since it last read data.dat takes this editor's pair,
// any other the file's. Where both changed a slot the file's pair stays and
// this editor's moves to a free slot. Returns the first of each pair that
// found no room.
QStringList merge(const QString *baseA, const QString *baseB, const QString *localA, const QString *localB,
                  QString *diskA, QString *diskB, int count)
{
    QList<int> homeless;
    for (int i = 0; i < count; ++i) {
        const bool localChanged = localA[i] != baseA[i] || localB[i] != baseB[i];
        const bool diskChanged = diskA[i] != baseA[i] || diskB[i] != baseB[i];
        const bool agree = localA[i] == diskA[i] && localB[i] == diskB[i];
        if (!localChanged || agree)
            continue;
        if (!diskChanged) {
            diskA[i] = localA[i];
            diskB[i] = localB[i];
        } else if (!localA[i].isEmpty()) {
            homeless << i;
        }
    }
    QStringList lost;
    for (int i : homeless) {
        const int free = Settings::firstEmptySlot(diskA, count);
        if (free == count) {
            lost << localA[i];
            continue;
        }
        diskA[free] = localA[i];
        diskB[free] = localB[i];
    }
    return lost;
}

} // namespace

Status LoadSettings(mdlVars &vars, const QString &dataFolder)
{
    RecordFile file;
    const Status opened = file.open(Settings::path(dataFolder), Settings::LargestFile, RegularFile::Links::Refuse);
    mdlVars::StoredLists lists;
    const Status extra = readLists(file, lists, dataFolder);
    copyToVars(lists, vars);
    return opened ? extra : opened;
}

namespace {

Status mergeWithFile(mdlVars &vars, const QString &dataFolder, bool write, StoreLock::Waiter *waiter)
{
    static_assert(mdlVars::RecordBackupSlots == mdlVars::ModSlots, "one loop writes all four lists");
    const StoreLock lock(dataFolder, 10000, waiter);
    if (!lock)
        return lock.status();
    RecordFile file;
    if (const Status opened = file.open(Settings::path(dataFolder), Settings::LargestFile, RegularFile::Links::Refuse); !opened)
        return opened;
    mdlVars::StoredLists merged;
    if (Status extra = readLists(file, merged, dataFolder); !extra)
        return extra;
    const mdlVars::StoredLists &base = vars.stored;
    QStringList lost = merge(base.modName.data(), base.modDir.data(), vars.strModName.data(), vars.strModDir.data(),
                             merged.modName.data(), merged.modDir.data(), mdlVars::ModSlots);
    lost += merge(base.backupFile.data(), base.backupMod.data(), vars.strBackupFile.data(),
                  vars.strBackupMod.data(), merged.backupFile.data(), merged.backupMod.data(),
                  mdlVars::StoredBackupSlots);

    const Status kept = lost.isEmpty() ? Status::success()
                                       : Status::failure(QStringLiteral("The list is full, so these were not kept: %1")
                                                             .arg(lost.join(QStringLiteral(", "))));
    if (!write) {
        mdlVars::StoredLists onDisk;
        (void)readLists(file, onDisk, dataFolder); // read a moment ago
        copyToVars(merged, vars);
        vars.stored = onDisk;
        return kept;
    }
    auto put = [&file](int record, const QString &value) {
        const Status written = file.write(record, value);
        if (!written)
            return Status::failure(QStringLiteral("Record %1: %2").arg(record).arg(written.error()));
        return written;
    };
    for (int i = 0; i < mdlVars::ModSlots; ++i) {
        if (Status s = put(i + ModNameBase, merged.modName[i]); !s)
            return s;
        if (Status s = put(i + ModDirBase, merged.modDir[i]); !s)
            return s;
        const bool extra = goesToExtra(i, merged.backupFile[i], merged.backupMod[i]);
        if (Status s = put(i + BackupFileBase, extra ? QString() : merged.backupFile[i]); !s)
            return s;
        if (Status s = put(i + BackupModBase, extra ? QString() : merged.backupMod[i]); !s)
            return s;
    }
    if (Status s = writeExtra(dataFolder, merged); !s)
        return s;
    if (Status s = file.commit(); !s)
        return s;
    copyToVars(merged, vars);
    return kept;
}

} // namespace

Status SaveSettings(mdlVars &vars, const QString &dataFolder, StoreLock::Waiter *waiter)
{
    return mergeWithFile(vars, dataFolder, true, waiter);
}

Status RefreshSettings(mdlVars &vars, const QString &dataFolder, StoreLock::Waiter *waiter)
{
    return mergeWithFile(vars, dataFolder, false, waiter);
}

Status CheckSettingsWritable(const QString &dataFolder)
{
    const QString path = Settings::path(dataFolder);
    if (Status s = RegularFile::check(path, RegularFile::Links::Refuse); !s)
        return s;
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        return Status::failure(QStringLiteral("%1 cannot be written: %2").arg(QDir::toNativeSeparators(path),
                                                                              probe.errorString()));
    probe.cancelWriting();
    return Status::success();
}
