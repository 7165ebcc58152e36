#pragma once

#include "settings/Result.h"
#include "gui/mods/ModDialog.h"
#include "store/ModStore.h"
#include "store/PendingAdds.h"

#include <QDateTime>
#include <QList>
#include <QPointer>

#include <functional>

class ModPrompts;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class frmAddmod;
struct mdlVars;

// The registered mods and the backed-up files of the clicked one; adds mods,
// restores a backup and, on "Ok", writes the lists to data.dat.
class frmSettings : public ModDialog
{
    Q_OBJECT

public:
    // `save` writes data.dat; the main window decides whether it may.
    frmSettings(mdlVars &vars, const QString &dataFolder, ModPrompts &prompts, std::function<Status()> save,
                QWidget *parent = nullptr);

    void Form_Load();
    // Lists the tables afresh after they changed beneath the dialog.
    void refill();
    // What Add offers: the open file's game folder, or empty.
    void setSuggestedFolder(const QString &folder) { m_suggestedFolder = folder; }
    void lstMods_Click();
    void cmdAddmod_Click();
    void cmdDelmod_Click();
    void cmdRestore_Click();
    void cmdBackup_Click();
    void lstFiles_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    // data.dat was written by the main window: the pending adds are in it.
    void saved();

protected:
    void closeEvent(QCloseEvent *event) override;

public:

    // The add-mod dialog, made on first use; null until then or once discarded.
    frmAddmod *addDialog() const;

    // Told of each file a restore put in a mod's folder, and the date of the
    // version it came from, so an editor showing it can reload it.
    using RestoredHandler = std::function<void(const QString &path, const QDateTime &when)>;
    void setRestoredHandler(RestoredHandler restored) { m_restored = std::move(restored); }

private:
    // The file name of the selected line of lstFiles, empty when none.
    QString selectedFile() const;
    void modAdded(const ModStore::AddOutcome &outcome);

    mdlVars &m_vars;
    const QString m_dataFolder;
    ModPrompts &m_prompts;
    std::function<Status()> m_save;
    RestoredHandler m_restored;
    // The table slot of each line of lstMods, and of the mod lstFiles shows.
    QList<int> m_modSlots;
    int m_filesSlot = -1;
    QPointer<frmAddmod> m_frmAddmod;
    // Mods added since the last "Ok"; "Cancel" takes them back.
    PendingAdds m_pending;
    QString m_suggestedFolder;

    QPushButton *cmdOk = nullptr;
    QGroupBox *fraMods = nullptr;
    QListWidget *lstMods = nullptr;
    QGroupBox *fraFiles = nullptr;
    QListWidget *lstFiles = nullptr;
    QPushButton *cmdAddmod = nullptr;
    QPushButton *cmdDelmod = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdRestore = nullptr;
    QPushButton *cmdBackup = nullptr;
    QLabel *lblVersions = nullptr;
    QListWidget *lstVersions = nullptr;
    QLabel *Label1 = nullptr;
};
