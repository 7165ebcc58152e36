#include "mods/BackupFiles.h"

#include "mods/KnownFiles.h"
#include "mods/ModStore.h"

#include <QDir>

namespace BackupFiles {

namespace {

bool isPlainName(const QString &name)
{
    if (name.isEmpty() || name == u"." || name == u"..")
        return false;
    return std::none_of(name.begin(), name.end(),
                        [](QChar c) { return c.unicode() < 0x20 || c == u'/' || c == u'\\' || c == u':'; });
}

bool isCfg(const QString &name)
{
    return name.endsWith(QLatin1String(".cfg"), Qt::CaseInsensitive) && name.size() > 4;
}

QStringList fixedNames()
{
    QStringList names;
    for (const char *known : KnownFiles)
        names << QString::fromLatin1(known);
    names << QString::fromLatin1(UserConfig);
    return names;
}

} // namespace

QStringList startupFiles(const QString &folder)
{
    QStringList files;
    const QStringList entries =
        QDir(folder).entryList({QStringLiteral("*")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QString &entry : entries)
        if (isCfg(entry) && isPlainName(entry))
            files << entry;
    return files;
}

QStringList inFolder(const QString &folder)
{
    QStringList names;
    for (const QString &name : fixedNames())
        if (!ModStore::findFile(folder, name).isEmpty())
            names << name;
    for (const QString &name : startupFiles(folder))
        if (!names.contains(name, Qt::CaseInsensitive))
            names << name;
    return names;
}

bool isBackupName(const QString &name)
{
    return isPlainName(name) && (isCfg(name) || fixedNames().contains(name));
}

} // namespace BackupFiles
