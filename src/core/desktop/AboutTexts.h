#pragma once

#include <QString>

// The about box's texts.
namespace AboutTexts {

// "v " + major + "." + minor + revision, with nothing between the last two:
// 1.0.0 reads "v 1.00", 1.10.0 reads "v 1.100".
QString versionText(int major, int minor, int revision);
// The same from a "major.minor.revision" string; missing parts count as 0.
QString versionText(const QString &version);

QString shoutouts();

} // namespace AboutTexts
