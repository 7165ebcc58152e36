#include "completion/FileFacts.h"

#include "config/ConfigAnalysis.h"
#include "config/ConfigFile.h"

#include <QSet>

std::shared_ptr<const ConfigFile> FileFacts::of(const QString &path, const QString &text)
{
    Cached &cached = m_cache[path];
    const size_t hash = qHash(text);
    if (!cached.facts || cached.hash != hash || cached.size != text.size())
        cached = {hash, text.size(), std::make_shared<const ConfigFile>(ConfigFile::read(text, m_known))};
    return cached.facts;
}

QList<std::pair<QString, QString>> configAliases(const ConfigModel &model, FileFacts &facts,
                                                 const FileFacts::TextOf &textOf)
{
    QList<std::pair<QString, QString>> aliases;
    QSet<QString> seen;
    for (const StartupFile &file : model.files) {
        if (file.path.isEmpty())
            continue;
        for (const ConfigFile::Alias &alias : facts.of(file.path, textOf(file.path))->aliases) {
            if (seen.contains(alias.key))
                continue;
            seen.insert(alias.key);
            // The model knows which definition runs first across the files.
            const auto first = model.alias(alias.key);
            aliases.append({alias.name, first ? first->body : alias.body});
        }
    }
    return aliases;
}
