#pragma once

#include <QString>

#include <functional>

class AliasIndex;
class CompletionPopup;
class ConfigWatcher;
struct Catalogue;

// What the completion list offers beyond the catalogue's names: the
// aliases of the document and of its start-up order, and the game folder,
// read as the list opens. textOf gives an open document's text (unsaved
// changes included), or a null string for a file that is not open.
void feedCompletion(CompletionPopup &popup, const Catalogue &catalogue, const ConfigWatcher &watcher,
                    std::function<const AliasIndex &()> documentAliases,
                    std::function<QString(const QString &)> textOf);
