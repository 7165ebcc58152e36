#include "settings/AcceptedNames.h"

#include "settings/ViewSettings.h"

#include <QDir>
#include <QSettings>

#include <algorithm>

namespace AcceptedNames {

namespace {

const QString Group = QStringLiteral("AcceptedNames");

struct Entry
{
    QString folder;
    QStringList names;
};

QList<Entry> readAll(QSettings &file)
{
    QList<Entry> out;
    const int n = file.beginReadArray(Group);
    for (int i = 0; i < n; ++i) {
        file.setArrayIndex(i);
        out.append({file.value(QStringLiteral("folder")).toString(), file.value(QStringLiteral("names")).toStringList()});
    }
    file.endArray();
    return out;
}

Status change(const QString &dataFolder, const QString &gameFolder, const QString &name, bool adding)
{
    QSettings file(ViewSettings::path(dataFolder), QSettings::IniFormat);
    QList<Entry> entries = readAll(file);
    auto it = std::find_if(entries.begin(), entries.end(), [&](const Entry &e) { return e.folder == gameFolder; });
    if (it == entries.end()) {
        if (!adding)
            return Status::success();
        entries.append({gameFolder, {}});
        it = entries.end() - 1;
    }
    it->names.removeIf([&](const QString &n) { return n.compare(name, Qt::CaseInsensitive) == 0; });
    if (adding)
        it->names.append(name);
    it->names.sort(Qt::CaseInsensitive);
    entries.removeIf([](const Entry &e) { return e.names.isEmpty(); });
    file.remove(Group);
    file.beginWriteArray(Group, int(entries.size()));
    for (int i = 0; i < entries.size(); ++i) {
        file.setArrayIndex(i);
        file.setValue(QStringLiteral("folder"), entries[i].folder);
        file.setValue(QStringLiteral("names"), entries[i].names);
    }
    file.endArray();
    file.sync();
    if (file.status() != QSettings::NoError)
        return Status::failure(QStringLiteral("%1 could not be written.")
                                   .arg(QDir::toNativeSeparators(ViewSettings::path(dataFolder))));
    return Status::success();
}

} // namespace

QStringList load(const QString &dataFolder, const QString &gameFolder)
{
    QSettings file(ViewSettings::path(dataFolder), QSettings::IniFormat);
    for (const Entry &e : readAll(file)) {
        if (e.folder == gameFolder)
            return e.names;
    }
    return {};
}

Status add(const QString &dataFolder, const QString &gameFolder, const QString &name)
{
    return change(dataFolder, gameFolder, name, true);
}

Status remove(const QString &dataFolder, const QString &gameFolder, const QString &name)
{
    return change(dataFolder, gameFolder, name, false);
}

} // namespace AcceptedNames
