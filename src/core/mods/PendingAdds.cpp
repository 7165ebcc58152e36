#include "mods/PendingAdds.h"

#include "mods/RestoreJournal.h"
#include "mods/SafeFile.h"
#include "settings/mdlVars.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QUuid>

namespace {

constexpr char Suffix[] = ".pending-add";

QString lockPath(const QString &note)
{
    return note + QStringLiteral(".lock");
}

QByteArray hashOf(const QString &path)
{
    Result<QByteArray> bytes = SafeFile::read(path);
    return bytes ? RestoreJournal::hash(bytes.value()) : QByteArray();
}

// Puts back what one add changed, as its note records it. A copy that has
// changed since the add wrote it is no longer the add's and stays.
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
        const bool done = replaced ? bool(SafeFile::write(path, QByteArray::fromBase64(copy["old"].toString().toLatin1())))
                                   : QFile::remove(path);
        if (!done)
            left << QDir::toNativeSeparators(path);
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
    if (Status s = SafeFile::write(add->notePath, QJsonDocument(add->note).toJson()); !s)
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

void PendingAdds::rollBack(mdlVars &vars)
{
    while (!m_adds.isEmpty()) {
        const std::shared_ptr<Add> add = m_adds.constLast();
        const QString name = add->note["name"].toString();
        if (add->modSlot >= 0 && vars.strModName[add->modSlot] == name) {
            vars.strModName[add->modSlot].clear();
            vars.strModDir[add->modSlot].clear();
        }
        for (int slot : std::as_const(add->backupSlots)) {
            if (vars.strBackupMod[slot] == name) {
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
    const QStringList notes =
        QDir(dataFolder).entryList({u'*' + QLatin1String(Suffix)}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &entry : notes) {
        const QString notePath = dataFolder + u'/' + entry;
        QLockFile lock(lockPath(notePath));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue; // an editor still running owns it
        Result<QByteArray> text = SafeFile::read(notePath);
        const QJsonObject note = text ? QJsonDocument::fromJson(text.value()).object() : QJsonObject();
        bool savedAlready = false;
        for (int i = 0; i < mdlVars::ModSlots; ++i)
            savedAlready |= saved.strModName[i] == note["name"].toString()
                && saved.strModDir[i] == note["folder"].toString() && note["madeFolder"].toBool();
        if (!savedAlready)
            left << undo(note);
        QFile::remove(notePath);
    }
    if (left.isEmpty())
        return Status::success();
    return Status::failure(QStringLiteral("A mod added but never saved was taken back, except for these files, "
                                          "which could not be removed:\n%1")
                               .arg(left.join(u'\n')));
}
