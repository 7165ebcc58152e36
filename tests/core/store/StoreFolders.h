#pragma once

#include "settings/mdlVars.h"

#include "FileHelpers.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

// The mod `name` in `folder`, its one backed-up file `file`.
inline mdlVars oneMod(const QString &name, const QString &folder, const QString &file)
{
    mdlVars vars;
    vars.strModName[0] = name;
    vars.strModDir[0] = folder;
    vars.strBackupFile[0] = file;
    vars.strBackupMod[0] = name;
    return vars;
}

// Every entry below `root` by relative path: a file's bytes, a folder, or a
// link's target, never followed.
inline QMap<QString, QByteArray> tree(const QString &root, const QString &below = {})
{
    QMap<QString, QByteArray> entries;
    const QString folder = below.isEmpty() ? root : root + u'/' + below;
    const QFileInfoList list =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &info : list) {
        const QString name = below.isEmpty() ? info.fileName() : below + u'/' + info.fileName();
        if (info.isSymLink()) {
            entries.insert(name, "link to " + QFile::encodeName(info.symLinkTarget()));
        } else if (info.isDir()) {
            entries.insert(name, "folder");
            entries.insert(tree(root, name));
        } else {
            entries.insert(name, readAll(info.filePath()));
        }
    }
    return entries;
}
