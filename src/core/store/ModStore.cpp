#include "store/ModStore.h"
#include "settings/FileName.h"

#include "settings/CodePage.h"
#include "settings/DataFolder.h"
#include "settings/RecordFile.h"
#include "settings/Settings.h"
#include "settings/mdlVars.h"
#include "backups/BackupFiles.h"
#include "store/FolderOverlap.h"
#include "store/ModPrompts.h"
#include "store/PathExists.h"
#include "store/PendingAdds.h"
#include "store/SafeFile.h"
#include "store/StoreNotes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ModStore {

namespace {


// The longest file name the usual file systems take, in bytes.
constexpr qsizetype LongestFolderName = 255;

// Characters a folder name cannot hold on the systems the game runs on.
bool forbiddenInName(QChar c)
{
    return c.unicode() < 0x20 || QStringView(u"/\\:*?\"<>|").contains(c);
}

// What the data folder itself holds (and a portable copy's program folder,
// which is its data folder): a backup folder of such a name would be one of
// these files or folders, or stand where one is made.
bool isStoreName(const QString &name)
{
    static const QStringList own = {QStringLiteral("data.dat"),    QStringLiteral("restore.journal"),
                                    QStringLiteral("tessary.ini"), QStringLiteral("recovery"),
                                    QLatin1String(ScratchName),    QLatin1String(DataFolder::InstalledMarker),
                                    QStringLiteral("commands.dat"), QStringLiteral("tessary")};
    static const QStringList endings = {QStringLiteral(".lock"), QStringLiteral(".pending-add"),
                                        QStringLiteral(".ignored")};
    for (const QString &file : own) // data.dat's lock and save file, the journal kept aside
        if (name.compare(file, Qt::CaseInsensitive) == 0 || name.startsWith(file + u'.', Qt::CaseInsensitive))
            return true;
    for (const QString &ending : endings)
        if (name.endsWith(ending, Qt::CaseInsensitive))
            return true;
    return name.startsWith(QStringLiteral(".tessary-"), Qt::CaseInsensitive);
}

Status checkRecord(const QString &what, const QString &value)
{
    if (value.size() > RecordFile::MaxChars)
        return Status::failure(QStringLiteral("The %1 is %2 characters long; at most %3 can be stored.")
                                   .arg(what)
                                   .arg(value.size())
                                   .arg(RecordFile::MaxChars));
    if (const qsizetype bad = CodePage::firstUnencodable(value); bad >= 0)
        return Status::failure(QStringLiteral("The %1 holds the character \"%2\", which cannot be stored.")
                                   .arg(what, CodePage::characterAt(value, bad)));
    return Status::success();
}

// The first `count` free slots below `limit`, or fewer when there are not so many.
QList<int> freeSlots(const QString *names, int limit, int count)
{
    QList<int> result;
    for (int i = 0; i < limit && result.size() < count; ++i)
        if (names[i].isEmpty())
            result << i;
    return result;
}

struct Found
{
    QString file;   // the known name
    QString source; // the file as it stands in the mod folder
    QByteArray bytes;
};

} // namespace

QString backupFolder(const QString &dataFolder, const QString &modName)
{
    return dataFolder + u'/' + modName;
}

QString backupCopy(const QString &dataFolder, const QString &modName, const QString &file)
{
    return BackupFiles::copyIn(backupFolder(dataFolder, modName), file);
}

QString scratchFolder(const QString &dataFolder)
{
    return dataFolder + u'/' + QLatin1String(ScratchName);
}

QString scratchCopy(const QString &dataFolder, const QString &file)
{
    return BackupFiles::pathIn(scratchFolder(dataFolder), file);
}

Status checkModName(const QString &name)
{
    if (name.isEmpty())
        return Status::failure(QStringLiteral("Please enter a mod name."));
    if (name == u"." || name == u"..")
        return Status::failure(QStringLiteral("\"%1\" cannot be a mod name.").arg(name));
    // The scratch folder of the restore; folders match without case on some systems.
    if (name.compare(QLatin1String(ScratchName), Qt::CaseInsensitive) == 0)
        return Status::failure(
            QStringLiteral("\"%1\" is the name of the folder restores work in; please choose another name.").arg(name));
    if (isStoreName(name))
        return Status::failure(QStringLiteral("\"%1\" is the name of one of Tessary's own files or folders beside "
                                              "data.dat; please choose another name.")
                                   .arg(name));
    for (QChar c : name)
        if (forbiddenInName(c))
            return Status::failure(
                QStringLiteral("A mod name becomes a folder name and cannot hold control characters or any of "
                               "/ \\ : * ? \" < > |."));
    if (Status s = checkRecord(QStringLiteral("mod name"), name); !s)
        return s;
    // The name becomes a folder: its bytes on disk count, not its characters.
    if (const qsizetype bytes = QFile::encodeName(name).size(); bytes > LongestFolderName)
        return Status::failure(QStringLiteral("The mod name is too long for a folder name: it takes %1 bytes on disk, "
                                              "and at most %2 are allowed. Please choose a shorter name.")
                                   .arg(bytes)
                                   .arg(LongestFolderName));
    return Status::success();
}

Status checkModFolder(const QString &folder)
{
    if (folder.isEmpty())
        return Status::failure(QStringLiteral("Please enter the mod's folder."));
    if (folder.contains(QChar(u'\0')))
        return Status::failure(QStringLiteral("The mod folder cannot hold a NUL character."));
    return checkRecord(QStringLiteral("mod folder"), folder);
}

Status checkApart(const QString &dataFolder, const QString &name, const QString &folder)
{
    const QString backups = backupFolder(dataFolder, name);
    if (FolderOverlap::overlap(backups, folder))
        return Status::failure(QStringLiteral("The backups of \"%1\" would be kept in %2, which is the mod folder %3 "
                                              "or lies inside it or around it, so a backup would be the live file "
                                              "itself. Please choose another mod name or folder.")
                                   .arg(name, FileName::shownPath(backups), FileName::shownPath(folder)));
    return Status::success();
}

Status checkNewFolder(const mdlVars &vars, const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return Status::failure(QStringLiteral("The folder %1 does not exist. Please choose the mod's folder, the one "
                                              "that holds its config.cfg.")
                                   .arg(FileName::shownPath(folder)));
    if (!info.isDir())
        return Status::failure(QStringLiteral("%1 is a file, not a folder. Please choose the mod's folder.")
                                   .arg(FileName::shownPath(folder)));
    // Resolved, so a trailing separator, another spelling or a link is the same folder.
    for (int i : listedMods(vars))
        if (FolderOverlap::sameFolder(vars.strModDir[i], folder))
            return Status::failure(QStringLiteral("The folder %1 is already registered as the mod \"%2\".")
                                       .arg(FileName::shownPath(folder), vars.strModName[i]));
    return Status::success();
}

QString findFile(const QString &folder, const QString &name)
{
    const QString exact = BackupFiles::pathIn(folder, name);
    if (exact.isEmpty())
        return {};
    if (PathExists(exact))
        return exact;
    // The file's own name in any case; its subfolders as the store names them.
    const QString subfolders = BackupFiles::subfoldersOf(name);
    const QString dir = subfolders.isEmpty() ? folder : folder + u'/' + subfolders;
    const QString file = subfolders.isEmpty() ? name : name.mid(subfolders.size() + 1);
    const QStringList entries = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &entry : entries)
        if (entry.compare(file, Qt::CaseInsensitive) == 0)
            return dir + u'/' + entry;
    return {};
}

QList<int> listedMods(const mdlVars &vars)
{
    QList<int> result;
    for (int i = 0; i < mdlVars::ModSlots; ++i)
        if (!vars.strModName[i].isEmpty())
            result << i;
    return result;
}

QList<int> backupsOf(const mdlVars &vars, int modSlot)
{
    QList<int> entries;
    if (modSlot < 0 || modSlot >= mdlVars::ModSlots || vars.strModName[modSlot].isEmpty())
        return entries;
    for (int j = 0; j < mdlVars::BackupSlots; ++j)
        if (!vars.strBackupFile[j].isEmpty() && vars.strBackupMod[j] == vars.strModName[modSlot])
            entries << j;
    return entries;
}

AddOutcome AddMod(mdlVars &vars, const QString &dataFolder, const QString &name, const QString &folder,
                  ModPrompts &prompts, PendingAdds *pending)
{
    AddOutcome outcome;
    auto refuse = [&outcome](const QString &message) {
        outcome.message = message;
        return outcome;
    };
    if (Status s = checkModName(name); !s)
        return refuse(s.error());
    if (Status s = checkModFolder(folder); !s)
        return refuse(s.error());
    if (Status s = checkApart(dataFolder, name, folder); !s)
        return refuse(s.error());
    if (Status s = checkNewFolder(vars, folder); !s)
        return refuse(s.error());

    const QList<int> modSlot = freeSlots(vars.strModName.data(), mdlVars::ModSlots, 1);
    if (modSlot.isEmpty())
        return refuse(QStringLiteral("The mod list is full: it holds %1 mods.").arg(mdlVars::ModSlots));

    // Read every file first, so nothing is made when the add is refused.
    QList<Found> found;
    QStringList failed;
    for (const QString &file : BackupFiles::inFolder(folder)) {
        const QString source = findFile(folder, file);
        if (source.isEmpty())
            continue;
        if (backupCopy(dataFolder, name, file).isEmpty()) {
            failed << QStringLiteral("%1: a folder on its way in %2 is a link that leads out of it.")
                          .arg(file, FileName::shownPath(backupFolder(dataFolder, name)));
            continue;
        }
        Result<QByteArray> bytes = SafeFile::read(source);
        if (!bytes)
            failed << bytes.error();
        else
            found.append({file, source, bytes.take()});
    }

    if (found.isEmpty() && failed.isEmpty())
        return refuse(QStringLiteral("%1 holds none of the files Tessary backs up (config.cfg, autoexec.cfg, "
                                     "userconfig.cfg, the other .cfg files and the known text files), so there is "
                                     "nothing to back up. "
                                     "Please choose the mod's own folder.")
                          .arg(FileName::shownPath(folder)));

    // Only entries that data.dat keeps are handed out.
    const QList<int> entrySlots =
        freeSlots(vars.strBackupFile.data(), mdlVars::StoredBackupSlots, int(found.size()));
    if (entrySlots.size() < found.size())
        return refuse(QStringLiteral("The backup list has room for %1 more files, but %2 holds %3 to back up.")
                          .arg(entrySlots.size())
                          .arg(FileName::shownPath(folder))
                          .arg(found.size()));

    const QString target = backupFolder(dataFolder, name);
    const QFileInfo targetInfo(target);
    if (targetInfo.exists() && !targetInfo.isDir())
        return refuse(QStringLiteral("%1 is a file, so the backups of \"%2\" cannot be kept there.")
                          .arg(FileName::shownPath(target), name));
    // What the add makes must be what a note may later take back.
    if (!StoreNotes::isStoreFolder(target, dataFolder))
        return refuse(QStringLiteral("%1 is a symbolic link, so the backups of \"%2\" cannot be kept there.")
                          .arg(FileName::shownPath(target), name));

    QStringList differing;
    for (const Found &f : found) {
        const QString copy = backupCopy(dataFolder, name, f.file);
        if (QFileInfo::exists(copy)) {
            Result<QByteArray> old = SafeFile::read(copy, SafeFile::Links::Refuse);
            if (!old || old.value() != f.bytes)
                differing << f.file;
        }
    }
    if (!differing.isEmpty()
        && !prompts.confirm(QStringLiteral("The backups of \"%1\" hold copies of %2 that differ from the files "
                                           "now in %3.\n\nReplace these copies with the files now in the mod "
                                           "folder? The copies replaced are lost.")
                                .arg(name, differing.join(QStringLiteral(", ")), FileName::shownPath(folder))))
        return outcome;

    QStringList names;
    for (const Found &f : found)
        names << f.file;
    if (!prompts.confirmFiles(QStringLiteral("These files of %1 will be copied to the backups of \"%2\" (%3):")
                                  .arg(FileName::shownPath(folder), name, FileName::shownPath(target)),
                              names))
        return outcome;

    const bool made = !targetInfo.exists();
    if (pending) {
        QList<PendingAdds::Copy> copies;
        for (const Found &f : found) {
            const QString copy = backupCopy(dataFolder, name, f.file);
            std::optional<QByteArray> old;
            if (Result<QByteArray> before = SafeFile::read(copy, SafeFile::Links::Refuse); before)
                old = before.take();
            copies.append({copy, f.bytes, old});
        }
        if (Status s = pending->begin(name, folder, target, made, copies); !s)
            return refuse(QStringLiteral("The mod was not added: %1").arg(s.error()));
    }
    if (made && !QDir().mkdir(target)) {
        if (pending)
            pending->discardLast();
        return refuse(QStringLiteral("The folder %1 cannot be made, so the mod was not added. Tessary needs to be "
                                     "able to write to %2.")
                          .arg(FileName::shownPath(target), FileName::shownPath(dataFolder)));
    }

    QList<const Found *> copied;
    for (const Found &f : found) {
        Status s = BackupFiles::makeFolders(target, BackupFiles::subfoldersOf(BackupFiles::storedName(f.file)));
        if (s)
            s = SafeFile::write(backupCopy(dataFolder, name, f.file), f.bytes, SafeFile::Links::Refuse);
        if (!s)
            failed << s.error();
        else
            copied << &f;
    }
    if (copied.isEmpty() && !failed.isEmpty()) {
        if (pending) {
            pending->discardLast();
        } else if (made) {
            for (const Found &f : found)
                BackupFiles::removeEmptyFolders(target, BackupFiles::storedName(f.file));
            QDir().rmdir(target);
        }
        return refuse(QStringLiteral("No file could be backed up, so the mod was not added.\n\n%1")
                          .arg(failed.join(u'\n')));
    }

    outcome.added = true;
    outcome.modSlot = modSlot.constFirst();
    vars.strModName[outcome.modSlot] = name;
    vars.strModDir[outcome.modSlot] = folder;
    for (qsizetype i = 0; i < copied.size(); ++i) {
        const int slot = entrySlots[i];
        vars.strBackupFile[slot] = copied[i]->file;
        vars.strBackupMod[slot] = name;
        outcome.backupSlots << slot;
    }
    if (pending)
        pending->registered(outcome.modSlot, outcome.backupSlots);
    vars.intModCount = qint16(Settings::firstEmptySlot(vars.strModName.data(), mdlVars::ModSlots));
    vars.intBackupCount = qint16(Settings::firstEmptySlot(vars.strBackupFile.data(), mdlVars::BackupSlots));

    if (!failed.isEmpty())
        outcome.message = QStringLiteral("These files were not backed up:\n\n%1").arg(failed.join(u'\n'));
    return outcome;
}

} // namespace ModStore
