#pragma once

#include <QString>

#include <functional>

class Prompts;
struct mdlVars;

// The mod store as the program starts: the program folder's mods offered
// once, data.dat read, and what an earlier run left midway (a restore,
// adds never saved) finished. Returns whether data.dat may be written back:
// lists that could not be read are never replaced. warnUnsaved tells that
// the store's changes will not be kept, with the reason.
bool openStore(mdlVars &vars, const QString &programFolder, const QString &dataFolder, Prompts &prompts,
               const std::function<void(const QString &)> &warnUnsaved);
