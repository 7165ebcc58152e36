#include "gui/console/GameState.h"

#include "config/KnownCommands.h"
#include "gui/config/ConfigView.h"
#include "gui/config/ConfigWatcher.h"
#include "gui/console/GameStateView.h"

#include <QAction>
#include <QMenu>

GameState::GameState(QWidget &window, ConfigView &config, const Catalogue &catalogue, QMenu &viewMenu)
    : QObject(&window), m_config(config), m_catalogue(catalogue)
{
    m_view = new GameStateView(&window);
    mnuGameState = viewMenu.addAction(tr("&Game State..."));
    mnuGameState->setObjectName(QStringLiteral("mnuGameState"));
    connect(mnuGameState, &QAction::triggered, this, &GameState::showView);
    connect(&config.watcher(), &ConfigWatcher::analysed, this, [this] {
        if (m_view->isVisible())
            refresh();
    });
    connect(m_view, &GameStateView::placeChosen, &config, &ConfigView::goTo);
}

void GameState::showView()
{
    refresh();
    m_view->show();
    m_view->raise();
    m_view->activateWindow();
}

void GameState::showWrittenConfig()
{
    showView();
    m_view->showWrittenConfig();
}

void GameState::refresh()
{
    if (!m_known)
        m_known = std::make_shared<CatalogueCommands>(m_catalogue);
    m_view->setModel(m_config.watcher().model(), *m_known);
}
