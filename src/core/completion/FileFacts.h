#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <utility>

class ConfigModel;
class KnownCommands;
struct ConfigFile;

// What each file of a configuration says, read again only when its text
// changed: the bind map and completion ask after every analysis, and
// most files are the same as the time before.
class FileFacts
{
public:
    using TextOf = std::function<QString(const QString &path)>;

    explicit FileFacts(const KnownCommands &known) : m_known(known) {}

    std::shared_ptr<const ConfigFile> of(const QString &path, const QString &text);

private:
    struct Cached
    {
        size_t hash = 0;
        qsizetype size = -1;
        std::shared_ptr<const ConfigFile> facts;
    };
    const KnownCommands &m_known;
    QHash<QString, Cached> m_cache;
};

// The aliases the files of a configuration define, each name once with
// the body of its first definition in run order: name, body.
QList<std::pair<QString, QString>> configAliases(const ConfigModel &model, FileFacts &facts,
                                                 const FileFacts::TextOf &textOf);
