#pragma once

#include "settings/Result.h"

#include <QByteArray>
#include <QString>

// Whole-file reads and writes for the backup store. A write goes to a
// temporary file beside the target that is renamed over it, so the target
// always holds either its old or its new bytes in full.
namespace SafeFile {

Result<QByteArray> read(const QString &path);
Status write(const QString &path, const QByteArray &bytes);

} // namespace SafeFile
