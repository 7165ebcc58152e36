#include "console/EngineChoice.h"

#include "console/EngineProfile.h"

#include <QDir>
#include <QSettings>
#include <QUrl>

namespace {

// A folder's path as one key: QSettings would read its slashes as groups.
QString keyOf(const QString &folder)
{
    return QStringLiteral("Engines/") + QString::fromLatin1(QUrl::toPercentEncoding(QDir::cleanPath(folder)));
}

} // namespace

QString EngineChoice::load(const QString &iniPath, const QString &folder)
{
    const QSettings file(iniPath, QSettings::IniFormat);
    const QString id = file.value(keyOf(folder)).toString();
    return EngineProfile::ids().contains(id) ? id : QStringLiteral("original");
}

Status EngineChoice::save(const QString &iniPath, const QString &folder, const QString &id)
{
    QSettings file(iniPath, QSettings::IniFormat);
    file.setValue(keyOf(folder), id);
    file.sync();
    if (file.status() != QSettings::NoError)
        return Status::failure(QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(iniPath)));
    return Status::success();
}
