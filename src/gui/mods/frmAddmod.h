#pragma once

#include "gui/mods/ModDialog.h"
#include "store/ModStore.h"

#include <QPointer>

#include <functional>

class ModPrompts;
class PendingAdds;
class QLabel;
class QLineEdit;
class QPushButton;
class frmBrowse;
struct mdlVars;

// Registers a mod: its name and game folder, typed or browsed. Opens empty
// each time, so a second add never starts from the first one's entries.
class frmAddmod : public ModDialog
{
    Q_OBJECT

public:
    // Told of each mod added, so the settings dialog can list it.
    using AddedHandler = std::function<void(const ModStore::AddOutcome &)>;

    // Each add is noted in `pending`, so the settings dialog can take it back.
    frmAddmod(mdlVars &vars, const QString &dataFolder, ModPrompts &prompts, AddedHandler added,
              PendingAdds *pending = nullptr, QWidget *parent = nullptr);

    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdBrowse_Click();

    // Offered when the dialog opens: the open file's game folder, and its
    // folder name as the mod's name; empty for none.
    void setSuggestedFolder(const QString &folder) { m_suggestedFolder = folder; }

    // The folder browser, made on first use; null until then or once discarded.
    frmBrowse *browser() const;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    mdlVars &m_vars;
    const QString m_dataFolder;
    ModPrompts &m_prompts;
    AddedHandler m_added;
    PendingAdds *m_pending;
    QPointer<frmBrowse> m_frmBrowse;
    QString m_suggestedFolder;

    QLabel *lblModname = nullptr;
    QLineEdit *txtModname = nullptr;
    QLabel *lblModdir = nullptr;
    QLineEdit *txtModdir = nullptr;
    QPushButton *cmdOk = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdBrowse = nullptr;
};
