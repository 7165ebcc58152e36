#pragma once

#include "settings/RegularFile.h"
#include "settings/Result.h"

#include <QByteArray>
#include <QString>

// Whole-file reads and writes for the backup store. A write goes to a
// temporary file beside the target that is renamed over it, so the target
// always holds either its old or its new bytes in full.
namespace SafeFile {

using Links = RegularFile::Links;

Result<QByteArray> read(const QString &path, Links links = Links::Follow);
// With Links::Refuse, a link at the path is refused instead of its target
// being replaced.
Status write(const QString &path, const QByteArray &bytes, Links links = Links::Follow);

} // namespace SafeFile
