#pragma once

#include "store/ModPrompts.h"

#include <QPointer>

class QProgressDialog;
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
    bool confirmFiles(const QString &message, const QStringList &files) override;
    bool confirmDifference(const QString &question, const QString &currentTitle, const QString &current,
                           const QString &versionTitle, const QString &version) override;
    void inform(const QString &message) override;
    // A wait for the store's lock shows a progress message with Cancel and
    // keeps the window drawn.
    bool keepWaiting(const QString &message, int elapsedMs) override;
    void doneWaiting() override;

private:
    QWidget *parent() const;
    QWidget *m_fallbackParent;
    QPointer<QProgressDialog> m_waiting;
};
