#include "settings/ViewSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString RecentKey = QStringLiteral("recent/files");
const QString GeometryKey = QStringLiteral("window/geometry");
const QString ZoomKey = QStringLiteral("view/zoom");
const QString FamiliesOffKey = QStringLiteral("catalogue/familiesOff");
const QString CompletionKey = QStringLiteral("view/completion");
constexpr int ZoomLimit = 40;
const QString LineNumbersKey = QStringLiteral("view/lineNumbers");
const QString FontFamilyKey = QStringLiteral("view/fontFamily");
const QString FontPointsKey = QStringLiteral("view/fontPoints");
const QString SessionFilesKey = QStringLiteral("session/files");
const QString SessionCurrentKey = QStringLiteral("session/current");

} // namespace

QString ViewSettings::path(const QString &dataFolder)
{
    return dataFolder + QStringLiteral("/tessary.ini");
}

ViewSettings ViewSettings::load(const QString &dataFolder)
{
    ViewSettings view;
    const QSettings file(path(dataFolder), QSettings::IniFormat);
    for (const QString &recent : file.value(RecentKey).toStringList()) {
        if (!recent.isEmpty() && !view.m_recent.contains(recent) && view.m_recent.size() < RecentLimit)
            view.m_recent.append(recent);
    }
    view.geometry = file.value(GeometryKey).toByteArray();
    view.zoom = qBound(-ZoomLimit, file.value(ZoomKey, 0).toInt(), ZoomLimit);
    for (const QString &id : file.value(FamiliesOffKey).toStringList()) {
        if (!id.isEmpty() && !view.familiesOff.contains(id))
            view.familiesOff.append(id);
    }
    view.lineNumbers = file.value(LineNumbersKey, true).toBool();
    view.completion = file.value(CompletionKey, true).toBool();
    // A size the box cannot show (a damaged file) gives the default font back.
    bool number = false;
    const double points = file.value(FontPointsKey).toDouble(&number);
    const QString family = file.value(FontFamilyKey).toString().trimmed();
    if (number && !family.isEmpty() && points >= SmallestFont && points <= LargestFont) {
        view.fontFamily = family;
        view.fontPoints = points;
    }
    for (const QString &open : file.value(SessionFilesKey).toStringList()) {
        if (!open.isEmpty() && !view.sessionFiles.contains(open))
            view.sessionFiles.append(open);
    }
    const int last = qMax(0, int(view.sessionFiles.size()) - 1);
    view.sessionCurrent = qBound(0, file.value(SessionCurrentKey, 0).toInt(), last);
    return view;
}

Status ViewSettings::save(const QString &dataFolder) const
{
    const QString file = path(dataFolder);
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(RecentKey, m_recent);
    settings.setValue(GeometryKey, geometry);
    settings.setValue(ZoomKey, zoom);
    settings.setValue(FamiliesOffKey, familiesOff);
    settings.setValue(LineNumbersKey, lineNumbers);
    settings.setValue(CompletionKey, completion);
    settings.setValue(FontFamilyKey, fontFamily);
    settings.setValue(FontPointsKey, fontFamily.isEmpty() ? 0.0 : fontPoints);
    settings.setValue(SessionFilesKey, sessionFiles);
    settings.setValue(SessionCurrentKey, sessionCurrent);
    settings.sync();
    // A damaged file read before writing says FormatError, yet is written over.
    if (settings.status() == QSettings::AccessError)
        return Status::failure(QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(file)));
    return Status::success();
}

void ViewSettings::addRecentFile(const QString &path)
{
    m_recent.removeAll(path);
    m_recent.prepend(path);
    while (m_recent.size() > RecentLimit)
        m_recent.removeLast();
}

void ViewSettings::removeRecentFile(const QString &path)
{
    m_recent.removeAll(path);
}
