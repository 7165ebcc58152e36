#pragma once

#include <QObject>
#include <QThread>

#include <memory>

class BindMapBuilder;
class CatalogueCommands;
class ConfigView;
class EditBox;
class KeyBindingsView;
class QAction;
class QMenu;
class QWidget;
struct Catalogue;

// View → Key Bindings in the main window: keeps the keyboard picture in
// step with the configuration's analysis (or the document alone) while it
// is shown, and goes to a bind where the Problems panel would. The binds
// are read on a thread of their own, as the analysis is: a large document
// costs the window nothing.
class KeyBindings : public QObject
{
    Q_OBJECT

public:
    KeyBindings(QWidget &window, ConfigView &config, const Catalogue &catalogue, QMenu &viewMenu);
    ~KeyBindings() override;

    QAction *mnuKeyBindings = nullptr;
    KeyBindingsView *view() const { return m_view; }
    // Reads the map of the document and its configuration again; the
    // picture changes when it arrives.
    void refresh();

private:
    ConfigView &m_config;
    std::shared_ptr<CatalogueCommands> m_known;
    std::shared_ptr<BindMapBuilder> m_builder; // used on m_thread only
    KeyBindingsView *m_view = nullptr;
    quint64 m_requested = 0;
    QThread m_thread;
    QObject *m_worker = nullptr; // lives on m_thread
};
