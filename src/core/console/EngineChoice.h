#pragma once

#include "settings/Result.h"

#include <QString>

// The engine the player chose for a game folder, kept in tessary.ini.
namespace EngineChoice {

// The id (EngineProfile::id) chosen for `folder`; "original" when none was.
QString load(const QString &iniPath, const QString &folder);
Status save(const QString &iniPath, const QString &folder, const QString &id);

} // namespace EngineChoice
