#pragma once

#include "mods/ModPrompts.h"

class QWidget;

// The mod store's questions as message and input boxes over whichever
// dialog is open.
class QtModPrompts : public ModPrompts
{
public:
    explicit QtModPrompts(QWidget *fallbackParent) : m_fallbackParent(fallbackParent) {}

    bool confirm(const QString &message) override;
    QString askText(const QString &prompt, const QString &title) override;
    void showError(const QString &message) override;
    void inform(const QString &message) override;

private:
    QWidget *parent() const;
    QWidget *m_fallbackParent;
};
