#include "store/PendingAdds.h"

#include "backups/BackupFiles.h"
#include "store/ModStore.h"
#include "backups/RestoreJournal.h"
#include "store/SafeFile.h"
#include "store/StoreNotes.h"
#include "settings/mdlVars.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QUuid>

#include <algorithm>

namespace {

constexpr char Suffix[] = ".pending-add";
constexpr auto Own = SafeFile::Links::Refuse;

QString lockPath(const QString &note)
{
    return note + QStringLiteral(".lock");
}

QByteArray hashOf(const QString &path)
{
    Result<QByteArray> bytes = SafeFile::read(path, Own);
    return bytes ? RestoreJournal::hash(bytes.value()) : QByteArray();
}

// Takes the lock of a note found at start. One left empty by a crash while
// it was made names no editor, so nobody owns the note.
bool lockNote(QLockFile &lock, const QString &path)
{
    lock.setStaleLockTime(0);
    if (lock.tryLock(0))
        return true;
    qint64 pid = 0;
    QString host;
    QString app;
    const QDateTime made = QFileInfo(path).lastModified();
    if (lock.error() != QLockFile::LockFailedError || lock.getLockInfo(&pid, &host, &app) || !made.isValid()
        || qAbs(made.msecsTo(QDateTime::currentDateTime())) < 1000)
        return false;
    lock.removeStaleLockFile();
    return lock.tryLock(0);
}

// Why a note read from disk is not one an add of this store writes, or
// empty: its name must be a mod name, its folder the name's backup folder in
// the data folder, apart from the mod's own folder, and each copy a known
// file in it, none a link.
QString notAnAdd(const QJsonObject &note, const QString &dataFolder)
{
    const QString name = note["name"].toString();
    const QString backups = note["backupFolder"].toString();
    const QString why = QStringLiteral("it names files outside the backup folder of the mod it adds, so none of them "
                                       "was changed.");
    if (!ModStore::checkModName(name) || backups != ModStore::backupFolder(dataFolder, name)
        || !StoreNotes::isStoreFolder(backups, dataFolder)
        || !ModStore::checkApart(dataFolder, name, note["folder"].toString()) || !note["copies"].isArray())
        return why;
    QStringList seen;
    for (const QJsonValue &value : note["copies"].toArray()) {
        const QString path = value.toObject()["path"].toString();
        const QString file = StoreNotes::knownFileIn(path, backups, false, true);
        if (file.isEmpty() || path != ModStore::backupCopy(dataFolder, name, file) || seen.contains(file))
            return why;
        seen << file;
    }
    return {};
}

// The store's name of a copy the note lists: its path below the backup folder.
QString nameInNote(const QJsonObject &note, const QString &path)
{
    const QString backups = note["backupFolder"].toString() + u'/';
    return path.startsWith(backups) ? path.mid(backups.size()) : QFileInfo(path).fileName();
}

// Puts back what one add changed, as its note records it. A copy that has
// changed since the add wrote it is no longer the add's and stays, and so
// does a subfolder that holds anything.
QStringList undo(const QJsonObject &note)
{
    QStringList left;
    const QJsonArray copies = note["copies"].toArray();
    for (qsizetype i = copies.size() - 1; i >= 0; --i) {
        const QJsonObject copy = copies[i].toObject();
        const QString path = copy["path"].toString();
        if (hashOf(path) != copy["hash"].toString().toLatin1())
            continue;
        const bool replaced = copy.contains("old");
        const bool done = replaced ? bool(SafeFile::write(path, QByteArray::fromBase64(copy["old"].toString().toLatin1()), Own))
                                   : QFile::remove(path);
        if (!done)
            left << QDir::toNativeSeparators(path);
        else if (!replaced)
            BackupFiles::removeEmptyFolders(note["backupFolder"].toString(), nameInNote(note, path));
    }
    if (note["madeFolder"].toBool())
        QDir().rmdir(note["backupFolder"].toString()); // only when empty: anything else there is not the add's
    return left;
}

} // namespace

struct PendingAdds::Add
{
    QString notePath;
    QJsonObject note;
    std::unique_ptr<QLockFile> lock; // held while this editor lives
    int modSlot = -1;
    QList<int> backupSlots;
};

PendingAdds::PendingAdds(QString dataFolder) : m_dataFolder(std::move(dataFolder)) {}

// An editor that ends without saving leaves its notes; its lock then frees
// them for the next start to take back.
PendingAdds::~PendingAdds() = default;

Status PendingAdds::begin(const QString &name, const QString &folder, const QString &backupFolder, bool makesFolder,
                          const QList<Copy> &copies)
{
    auto add = std::make_shared<Add>();
    add->notePath = m_dataFolder + u'/' + QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1String(Suffix);
    add->lock = std::make_unique<QLockFile>(lockPath(add->notePath));
    add->lock->setStaleLockTime(0);
    if (!add->lock->tryLock(0))
        return Status::failure(QStringLiteral("%1 cannot be made.").arg(QDir::toNativeSeparators(lockPath(add->notePath))));
    QJsonArray list;
    for (const Copy &copy : copies) {
        QJsonObject entry{{"path", copy.path}, {"hash", QString::fromLatin1(RestoreJournal::hash(copy.bytes))}};
        if (copy.old)
            entry["old"] = QString::fromLatin1(copy.old->toBase64());
        list.append(entry);
    }
    add->note = QJsonObject{{"name", name},
                            {"folder", folder},
                            {"backupFolder", backupFolder},
                            {"madeFolder", makesFolder},
                            {"copies", list}};
    if (Status s = SafeFile::write(add->notePath, QJsonDocument(add->note).toJson(), Own); !s)
        return s;
    m_adds << add;
    return Status::success();
}

void PendingAdds::registered(int modSlot, const QList<int> &backupSlots)
{
    if (m_adds.isEmpty())
        return;
    m_adds.last()->modSlot = modSlot;
    m_adds.last()->backupSlots = backupSlots;
}

void PendingAdds::commit()
{
    for (const auto &add : std::as_const(m_adds))
        QFile::remove(add->notePath);
    m_adds.clear();
}

void PendingAdds::discardLast()
{
    if (m_adds.isEmpty())
        return;
    const std::shared_ptr<Add> add = m_adds.takeLast();
    undo(add->note);
    QFile::remove(add->notePath);
}

namespace {

// The slot that holds the pair and that this editor filled since it last
// read data.dat: `hint`, the slot first given, while it still does; else the
// one a save or refresh moved it to. -1 when none.
int unsavedSlot(const QString *a, const QString *b, const QString *savedA, const QString *savedB, int stored,
                int count, const QString &x, const QString &y, int hint)
{
    const auto holds = [&](int i) {
        return i >= 0 && i < count && a[i] == x && b[i] == y && (i >= stored || savedA[i] != x || savedB[i] != y);
    };
    if (holds(hint))
        return hint;
    for (int i = 0; i < count; ++i)
        if (holds(i))
            return i;
    return -1;
}

} // namespace

void PendingAdds::rollBack(mdlVars &vars)
{
    while (!m_adds.isEmpty()) {
        const std::shared_ptr<Add> add = m_adds.constLast();
        const QString name = add->note["name"].toString();
        const QString folder = add->note["folder"].toString();
        const int modSlot = unsavedSlot(vars.strModName.data(), vars.strModDir.data(), vars.stored.modName.data(),
                                        vars.stored.modDir.data(), mdlVars::ModSlots, mdlVars::ModSlots, name, folder,
                                        add->modSlot);
        const QList<int> listed = ModStore::listedMods(vars);
        const bool listedAsSaved = modSlot < 0 && std::any_of(listed.begin(), listed.end(), [&](int i) {
            return vars.strModName[i] == name && vars.strModDir[i] == folder;
        });
        if (add->modSlot >= 0 && listedAsSaved) {
            // Saved already, by a save that did not say so: it stays, copies and all.
            QFile::remove(add->notePath);
            m_adds.removeLast();
            continue;
        }
        if (modSlot >= 0) {
            vars.strModName[modSlot].clear();
            vars.strModDir[modSlot].clear();
        }
        const QJsonArray copies = add->note["copies"].toArray();
        for (qsizetype i = 0; i < copies.size(); ++i) {
            const QString file = BackupFiles::nameOfStored(nameInNote(add->note, copies[i].toObject()["path"].toString()));
            const int slot = unsavedSlot(vars.strBackupFile.data(), vars.strBackupMod.data(),
                                         vars.stored.backupFile.data(), vars.stored.backupMod.data(),
                                         mdlVars::StoredBackupSlots, mdlVars::BackupSlots, file, name,
                                         add->backupSlots.value(i, -1));
            if (add->modSlot >= 0 && slot >= 0) {
                vars.strBackupFile[slot].clear();
                vars.strBackupMod[slot].clear();
            }
        }
        discardLast();
    }
    vars.intModCount = 0;
    while (vars.intModCount < mdlVars::ModSlots && !vars.strModName[vars.intModCount].isEmpty())
        ++vars.intModCount;
    vars.intBackupCount = 0;
    while (vars.intBackupCount < mdlVars::BackupSlots && !vars.strBackupFile[vars.intBackupCount].isEmpty())
        ++vars.intBackupCount;
}

bool PendingAdds::isEmpty() const
{
    return m_adds.isEmpty();
}

Status PendingAdds::recoverAbandoned(const QString &dataFolder, const mdlVars &saved)
{
    QStringList left;
    QStringList refused;
    const QStringList notes = QDir(dataFolder).entryList({u'*' + QLatin1String(Suffix)},
                                                         QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &entry : notes) {
        const QString notePath = dataFolder + u'/' + entry;
        QLockFile lock(lockPath(notePath));
        if (!lockNote(lock, lockPath(notePath)))
            continue; // an editor still running owns it
        Result<QByteArray> text = SafeFile::read(notePath, Own);
        if (!text) {
            refused << StoreNotes::keepAside(notePath, text.error()).error();
            continue;
        }
        const QJsonObject note = QJsonDocument::fromJson(text.value()).object();
        if (const QString why = notAnAdd(note, dataFolder); !why.isEmpty()) {
            refused << StoreNotes::keepAside(notePath, why).error();
            continue;
        }
        // A listed mod keeps its copies: an editor that ended between saving
        // data.dat and clearing the note had saved it.
        bool savedAlready = false;
        for (int i = 0; i < mdlVars::ModSlots; ++i)
            savedAlready |= saved.strModName[i] == note["name"].toString()
                && saved.strModDir[i] == note["folder"].toString();
        if (!savedAlready)
            left << undo(note);
        QFile::remove(notePath);
    }
    if (!left.isEmpty())
        refused << QStringLiteral("A mod added but never saved was taken back, except for these files, which could "
                                  "not be removed:\n%1")
                       .arg(left.join(u'\n'));
    if (refused.isEmpty())
        return Status::success();
    return Status::failure(refused.join(QStringLiteral("\n\n")));
}
