#include "gui/window/MainDialogs.h"

#include "catalogue/Catalogue.h"
#include "desktop/FileTypes.h"
#include "desktop/VersionPage.h"
#include "documents/Prompts.h"
#include "gui/window/WebBrowser.h"
#include "gui/mods/QtModPrompts.h"
#include "gui/dialogs/frmAbout.h"
#include "gui/dialogs/frmAss.h"
#include "gui/dialogs/frmCatalogue.h"
#include "gui/dialogs/frmFind.h"
#include "gui/dialogs/frmScriptwiz.h"
#include "gui/mods/frmSettings.h"
#include "store/StoreCommands.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QUrl>

namespace {

void bringForward(QWidget *dialog)
{
    // Shown, it takes the focus, also when it was open behind the main window.
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

} // namespace

MainDialogs::MainDialogs(QWidget &owner, mdlVars &vars, Prompts &prompts, QString dataFolder, Settings settings)
    : m_owner(owner), m_vars(vars), m_prompts(prompts), m_dataFolder(std::move(dataFolder)),
      m_settings(std::move(settings))
{
    m_openUrl = [this](const QUrl &url) {
        return openInBrowser(url, [this] { m_prompts.showError(VersionPage::notOpened()); });
    };
}

MainDialogs::~MainDialogs() = default;

void MainDialogs::showFind(const frmFind::Actions &actions, SearchOptions options)
{
    if (!m_find)
        m_find = new frmFind(&m_owner, actions);
    m_find->setOptions(options);
    bringForward(m_find);
    m_find->placeClear();
}

ModPrompts &MainDialogs::modPrompts()
{
    if (!m_modPrompts)
        m_modPrompts = std::make_unique<QtModPrompts>(&m_owner);
    return *m_modPrompts;
}

void MainDialogs::showBackups(const QString &gameFolder)
{
    // Should the fresh read fail, the lists stay as they are and the next save says why.
    const bool refreshed = m_settings.refresh(&modPrompts());
    if (m_frmSettings && refreshed)
        m_frmSettings->refill();
    // Backups and "temp" live beside data.dat.
    if (!m_frmSettings)
        m_frmSettings = new frmSettings(m_vars, m_dataFolder, modPrompts(),
                                        [this] { return m_settings.save(&modPrompts()); }, &m_owner);
    m_frmSettings->setSuggestedFolder(gameFolder);
    m_frmSettings->setRestoredHandler([this](const QString &path, const QDateTime &when) {
        if (m_settings.restored)
            m_settings.restored(path, StoreCommands::restoredMessage(path, when));
    });
    m_frmSettings->exec();
}

std::optional<QStringList> MainDialogs::chooseFamiliesOff(const Catalogue &catalogue, const QStringList &familiesOff)
{
    frmCatalogue dialog(familiesOff, catalogue.entriesPerFamily(), &m_owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.familiesOff();
}

Status MainDialogs::saveSettings()
{
    const Status saved = m_settings.save(&modPrompts());
    if (saved && m_frmSettings)
        m_frmSettings->saved();
    return saved;
}

void MainDialogs::showScriptWizard(const std::function<void(const QString &)> &insert)
{
    if (!m_scriptwiz)
        m_scriptwiz = new frmScriptwiz(insert, &m_owner);
    bringForward(m_scriptwiz);
}

void MainDialogs::showFileTypes()
{
    if (!m_ass) {
        m_ass = new frmAss(
            [](const QList<FileTypes::FileType> &chosen) {
                return FileTypes::associate(
                    QStandardPaths::locate(QStandardPaths::ApplicationsLocation, QString::fromLatin1(FileTypes::DesktopEntry)),
                    chosen, FileTypes::runCommand);
            },
            [this](bool ok, const QString &line) { ok ? m_prompts.inform(line) : m_prompts.showError(line); },
            &m_owner);
    }
    bringForward(m_ass);
}

// Modal; "Ok" keeps the box for the next time.
void MainDialogs::showAbout()
{
    if (!m_about)
        m_about = new frmAbout(QCoreApplication::applicationVersion(), [this] { openVersionPage(); }, &m_owner);
    m_about->exec();
}

void MainDialogs::openVersionPage()
{
    if (const Status opened = VersionPage::open(m_openUrl); !opened)
        m_prompts.showError(opened.error());
}
