#pragma once

#include "gui/dialogs/frmFind.h"
#include "search/DocumentSearch.h"
#include "settings/Result.h"
#include "settings/StoreLock.h"

#include <QPointer>
#include <QString>

#include <QStringList>

#include <functional>
#include <optional>
#include <memory>

class ModPrompts;
class Prompts;
class QUrl;
class QWidget;
struct Catalogue;
class frmAbout;
class frmAss;
class frmScriptwiz;
class frmSettings;
struct mdlVars;

// The main window's dialogs: each is made on first use and kept, as its own
// buttons only hide it; closing one from its frame destroys it, and the next
// showing makes it afresh.
class MainDialogs
{
public:
    struct Settings
    {
        // Reads data.dat again, for what other editors saved meanwhile. Both
        // ask what the store's lock needs through the waiter.
        std::function<bool(StoreLock::Waiter *)> refresh;
        std::function<Status(StoreLock::Waiter *)> save;
        // A restore replaced this file in a mod's folder; `message` says from when.
        std::function<void(const QString &path, const QString &message)> restored = {};
    };

    MainDialogs(QWidget &owner, mdlVars &vars, Prompts &prompts, QString dataFolder, Settings settings);
    ~MainDialogs();
    MainDialogs(const MainDialogs &) = delete;
    MainDialogs &operator=(const MainDialogs &) = delete;

    // How addresses reach the user's web browser; tests put their own here.
    void setUrlOpener(std::function<bool(const QUrl &)> openUrl) { m_openUrl = std::move(openUrl); }

    // Modeless; shown, it takes the focus, with these Match case and Whole word.
    void showFind(const frmFind::Actions &actions, SearchOptions options);
    // Modal; Add offers `gameFolder`, the open file's, when there is one.
    void showBackups(const QString &gameFolder = {});
    // Writes data.dat; the mods added and kept pending in the Backups dialog
    // are then saved, so the next start no longer takes them back.
    Status saveSettings();
    void showScriptWizard(const std::function<void(const QString &)> &insert);
    void showFileTypes();
    // Modal; the families the player leaves switched off, or nothing when
    // the dialog is cancelled.
    std::optional<QStringList> chooseFamiliesOff(const Catalogue &catalogue, const QStringList &familiesOff);
    void showAbout();
    // Without a browser the editor goes on; the user learns why nothing opened.
    void openVersionPage();

private:
    ModPrompts &modPrompts();

    QWidget &m_owner;
    mdlVars &m_vars;
    Prompts &m_prompts;
    const QString m_dataFolder;
    Settings m_settings;
    std::function<bool(const QUrl &)> m_openUrl;
    QPointer<frmAbout> m_about;
    QPointer<frmScriptwiz> m_scriptwiz;
    QPointer<frmAss> m_ass;
    QPointer<frmFind> m_find;
    std::unique_ptr<ModPrompts> m_modPrompts;
    QPointer<frmSettings> m_frmSettings;
};
