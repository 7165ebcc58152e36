#include "settings/Settings.h"

#include "settings/RecordFile.h"
#include "settings/mdlVars.h"

#include <QDir>
#include <QSaveFile>

namespace {

constexpr int ModNameBase = 1;
constexpr int ModDirBase = 502;
constexpr int BackupFileBase = 1004;
constexpr int BackupModBase = 2006;

} // namespace

namespace Settings {

QString path(const QString &programFolder)
{
    return programFolder + QStringLiteral("/data.dat");
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

Status LoadSettings(mdlVars &vars, const QString &programFolder)
{
    RecordFile file;
    const Status opened = file.open(Settings::path(programFolder));
    for (int i = 0; i < mdlVars::ModSlots; ++i) {
        vars.strModName[i] = file.read(i + ModNameBase);
        vars.strModDir[i] = file.read(i + ModDirBase);
    }
    for (int i = 0; i < mdlVars::StoredBackupSlots; ++i) {
        vars.strBackupFile[i] = file.read(i + BackupFileBase);
        vars.strBackupMod[i] = file.read(i + BackupModBase);
    }
    vars.intModCount = qint16(Settings::firstEmptySlot(vars.strModName.data(), mdlVars::ModSlots));
    vars.intBackupCount = qint16(Settings::firstEmptySlot(vars.strBackupFile.data(), mdlVars::BackupSlots));
    return opened;
}

Status SaveSettings(const mdlVars &vars, const QString &programFolder)
{
    static_assert(mdlVars::StoredBackupSlots == mdlVars::ModSlots, "one loop writes all four lists");
    RecordFile file;
    if (const Status opened = file.open(Settings::path(programFolder)); !opened)
        return opened;
    auto put = [&file](int record, const QString &value) {
        const Status written = file.write(record, value);
        if (!written)
            return Status::failure(QStringLiteral("Record %1: %2").arg(record).arg(written.error()));
        return written;
    };
    for (int i = 0; i < mdlVars::ModSlots; ++i) {
        if (Status s = put(i + ModNameBase, vars.strModName[i]); !s)
            return s;
        if (Status s = put(i + ModDirBase, vars.strModDir[i]); !s)
            return s;
        if (Status s = put(i + BackupFileBase, vars.strBackupFile[i]); !s)
            return s;
        if (Status s = put(i + BackupModBase, vars.strBackupMod[i]); !s)
            return s;
    }
    return file.commit();
}

Status CheckSettingsWritable(const QString &programFolder)
{
    const QString path = Settings::path(programFolder);
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        return Status::failure(QStringLiteral("%1 cannot be written: %2").arg(QDir::toNativeSeparators(path),
                                                                              probe.errorString()));
    probe.cancelWriting();
    return Status::success();
}
