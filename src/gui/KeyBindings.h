#pragma once

#include "completion/BindMap.h"
#include "config/KnownCommands.h"

#include <QObject>

class ConfigView;
class EditBox;
class KeyBindingsView;
class QAction;
class QMenu;
class QWidget;
struct Catalogue;

// View → Key Bindings in the main window: keeps the keyboard picture in
// step with the configuration's analysis (or the document alone) while it
// is shown, and goes to a bind where the Problems panel would.
class KeyBindings : public QObject
{
    Q_OBJECT

public:
    KeyBindings(QWidget &window, EditBox &box, ConfigView &config, const Catalogue &catalogue, QMenu &viewMenu);

    QAction *mnuKeyBindings = nullptr;
    KeyBindingsView *view() const { return m_view; }
    // Draws the map of the document and its configuration now.
    void refresh();

private:
    QWidget &m_window;
    EditBox &m_box;
    ConfigView &m_config;
    CatalogueCommands m_known;
    BindMapBuilder m_builder;
    KeyBindingsView *m_view = nullptr;
};
