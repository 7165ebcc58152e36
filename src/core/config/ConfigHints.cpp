#include "config/ConfigHints.h"

#include "config/KeyNames.h"
#include "console/ConsoleRun.h"

ConfigHints::ConfigHints(std::shared_ptr<const ConfigModel> model, QString path, int line)
    : m_model(std::move(model)), m_path(std::move(path)), m_line(line)
{
}

QString ConfigHints::alias(const QString &name) const
{
    return m_model ? m_model->aliasExplanation(name) : QString();
}

QString ConfigHints::setting(const QString &name, const QString &value) const
{
    return m_model ? m_model->valueHint(m_path, m_line, name, value) : QString();
}

QString ConfigHints::key(const QString &name) const
{
    const QString described = KeyNames::describe(name);
    if (described.isEmpty() || !m_model)
        return described;
    QString bound = m_model->bindHint(m_path, m_line, name);
    // The key's first frames, as the console runs them.
    if (!bound.isEmpty() && m_model->console) {
        const QString frames = m_model->console->keys.value(KeyNames::canonical(name));
        if (!frames.isEmpty())
            bound += u' ' + frames + u'.';
    }
    return bound.isEmpty() ? described : QStringLiteral("%1. %2").arg(described, bound);
}
