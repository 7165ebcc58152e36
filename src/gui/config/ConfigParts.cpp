#include "gui/config/ConfigParts.h"

#include "gui/config/ConfigView.h"
#include "gui/config/ConfigWatcher.h"
#include "gui/config/KeyBindings.h"
#include "gui/console/GameState.h"
#include "gui/editbox/RichTextBox.h"
#include "gui/tabs/DocumentTab.h"
#include "gui/tabs/DocumentTabs.h"
#include "settings/ViewSettings.h"

#include <QMainWindow>

ConfigParts::ConfigParts(QMainWindow &window, RichTextBox &box, const DocumentTabs &tabs, const Catalogue &catalogue,
                         QMenu &viewMenu, QMenu &editMenu, const QString &dataFolder, Hooks hooks)
{
    m_view = new ConfigView(window, box, *box.viewport(), catalogue, viewMenu, editMenu, hooks.caretLine);
    m_view->setSettingsFile(ViewSettings::path(dataFolder));
    m_view->setDataFolder(dataFolder);
    // Each analysis marks its problems in the text and makes other files' aliases known.
    QObject::connect(m_view, &ConfigView::shown, &window, hooks.analysed);
    // The analysis reads every open document of the folder as it stands, not its file.
    m_view->watcher().setOpenDocuments([&tabs] {
        QList<std::pair<QString, const EditBox *>> open;
        for (const DocumentTab *tab : tabs.all())
            open.append({tab->fileName(), tab->box});
        return open;
    });
    m_view->setOpener(hooks.open);
    m_view->setEditor(hooks.edit);
    m_view->setBeforeJump(hooks.beforeJump);
    m_keyBindings = new KeyBindings(window, *m_view, catalogue, viewMenu);
    m_keyBindings->setBindAdder(hooks.appendLine);
    // config.cfg's notice offers Game State's second page.
    auto *gameState = new GameState(window, *m_view, catalogue, viewMenu);
    QObject::connect(m_view, &ConfigView::writtenConfigWanted, gameState, &GameState::showWrittenConfig);
}
