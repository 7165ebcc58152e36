#pragma once

#include "catalogue/CaretHint.h"
#include "config/ConfigAnalysis.h"

#include <memory>

// The configuration's side of the hint for one line of one document: the
// latest analysis answers for the caret's line.
class ConfigHints : public WiderHints
{
public:
    // `line` counts from 0.
    ConfigHints(std::shared_ptr<const ConfigModel> model, QString path, int line);

    QString alias(const QString &name) const override;
    QString setting(const QString &name, const QString &value) const override;
    QString key(const QString &name) const override;

private:
    std::shared_ptr<const ConfigModel> m_model;
    QString m_path;
    int m_line;
};
