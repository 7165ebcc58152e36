#include "gui/window/CompletionSources.h"

#include "catalogue/AliasIndex.h"
#include "completion/BindMap.h"
#include "completion/FileFacts.h"
#include "config/ConfigAnalysis.h"
#include "config/KnownCommands.h"
#include "gui/config/ConfigWatcher.h"
#include "gui/editbox/CompletionPopup.h"

#include <memory>

void feedCompletion(CompletionPopup &popup, const Catalogue &catalogue, const ConfigWatcher &watcher,
                    std::function<const AliasIndex &()> documentAliases,
                    std::function<QString(const QString &)> textOf)
{
    auto known = std::make_shared<CatalogueCommands>(catalogue);
    popup.setKnown(known);
    auto facts = std::make_shared<FileFacts>(*known);
    auto binds = std::make_shared<BindMapBuilder>(*known);
    auto last = std::make_shared<QList<std::pair<QString, QString>>>();
    popup.setRefresh([&watcher, documentAliases, textOf, known, facts, binds, last](CompletionList &list) {
        const auto readText = [&](const QString &path) {
            if (const QString open = textOf(path); !open.isNull())
                return open;
            const Result<QString> read = readConfig(path);
            return read.ok() ? read.value() : QString();
        };
        QList<std::pair<QString, QString>> aliases;
        for (const AliasIndex::Definition &alias : documentAliases().definitions())
            aliases.append({alias.name, alias.body});
        const std::shared_ptr<const ConfigModel> model = watcher.model();
        if (model) {
            aliases += configAliases(*model, *facts, readText);
        }
        // Sorting the names again is most of the cost of opening the list.
        if (aliases != *last) {
            list.setAliases(aliases);
            *last = std::move(aliases);
        }
        list.setGameFolder(model ? model->folder : (watcher.folder() ? watcher.folder()->folder() : QString()));
        // A key offered after bind says what it runs now.
        const QString document = watcher.documentPath();
        const BindMap map = model ? binds->build(*model, readText) : binds->build(document, readText(document));
        QHash<QString, QString> bound;
        for (const BindMap::Key &key : map.keys()) {
            if (!key.isFree())
                bound.insert(key.key, key.binds[key.winner].runs);
        }
        list.setKeyBinds(std::move(bound));
    });
}
