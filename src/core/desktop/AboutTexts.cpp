#include "desktop/AboutTexts.h"

#include <QVersionNumber>

namespace AboutTexts {

QString versionText(int major, int minor, int revision)
{
    return QStringLiteral("v %1.%2%3").arg(major).arg(minor).arg(revision);
}

QString versionText(const QString &version)
{
    const QVersionNumber number = QVersionNumber::fromString(version);
    return versionText(number.majorVersion(), number.minorVersion(), number.microVersion());
}

QString shoutouts()
{
    return QStringLiteral(
        "Thanks to the players and modders who sent their autoexec.cfg files, key binds and "
        "bug reports, to the mapping community for its game-definition files, and to everyone "
        "who tried the early builds and said what was missing.\r\n\r\n"
        "Built with Qt.");
}

} // namespace AboutTexts
