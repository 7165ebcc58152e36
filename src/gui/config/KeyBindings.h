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
struct ConsoleState;

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
    // What the key does pressed and let go, from the state the start-up
    // leaves, or from the state the last press left ("Press again").
    void trace(const QString &key, bool again);

    ConfigView &m_config;
    std::shared_ptr<CatalogueCommands> m_known;
    std::shared_ptr<BindMapBuilder> m_builder; // used on m_thread only
    KeyBindingsView *m_view = nullptr;
    const Catalogue &m_catalogue;
    std::shared_ptr<CatalogueCommands> m_traceKnown; // read when first needed: the catalogue loads after the window
    QString m_key;                       // the key the pane shows
    std::shared_ptr<const ConsoleState> m_after; // the state its last press left
    quint64 m_requested = 0;
    QThread m_thread;
    QObject *m_worker = nullptr; // lives on m_thread
};
