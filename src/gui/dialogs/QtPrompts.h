#pragma once

#include "documents/Prompts.h"

class QFileDialog;
class QWidget;

// The document commands' questions as the desktop's dialogs.
class QtPrompts : public Prompts
{
public:
    explicit QtPrompts(QWidget *parent) : m_parent(parent) {}

    QString chooseOpenPath(const QString &title, const QStringList &filters, const QString &startPath) override;
    QString chooseSavePath(const QString &title, const QStringList &filters, const QString &startPath) override;
    SaveChoice askSaveChanges(const QString &documentName) override;
    SaveChoice askSaveAll(const QStringList &documentNames) override;
    bool confirmSave(const QString &message) override;
    void showError(const QString &message) override;
    bool askYesNo(const QString &message) override;
    bool confirmSlowOpen(const QString &message) override;
    bool confirmSlowPaste(const QString &message) override;
    bool askReload(const QString &message) override;
    bool confirmOverwrite(const QString &message) override;
    RecoveryChoice askRecover(const QString &message) override;
    void inform(const QString &message) override;
    void showMessage(const QString &title, const QString &message) override;
    int askLineNumber(int current, int last) override;

    // Shows each filter's caption as given, with "*.*" matching every file
    // here, names without a dot included; selects the first.
    static void setFileFilters(QFileDialog &dialog, const QStringList &filters);

private:
    QWidget *m_parent;
};
