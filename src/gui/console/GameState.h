#pragma once

#include <QObject>

#include <memory>

class CatalogueCommands;
class ConfigView;
class GameStateView;
class QAction;
class QMenu;
class QWidget;
struct Catalogue;

// View → Game State in the main window: keeps the view in step with the
// configuration's analysis while it is shown, and goes to the line that won.
class GameState : public QObject
{
    Q_OBJECT

public:
    GameState(QWidget &window, ConfigView &config, const Catalogue &catalogue, QMenu &viewMenu);

    QAction *mnuGameState = nullptr;
    GameStateView *view() const { return m_view; }
    // The view on its second page, config.cfg after quitting.
    void showWrittenConfig();

private:
    void showView();
    void refresh();

    ConfigView &m_config;
    const Catalogue &m_catalogue;
    std::shared_ptr<CatalogueCommands> m_known; // read when first needed: the catalogue loads after the window
    GameStateView *m_view = nullptr;
};
