#pragma once

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>

class BindMapBuilder;
class CatalogueCommands;
class ConfigView;
class EditBox;
class KeyBindingsView;
class QAction;
class QDockWidget;
class QMainWindow;
class QMenu;
struct Catalogue;
struct ConsoleState;

// View → Key Bindings in the main window: a dock under the text (or floating
// where the player drags it) that keeps the keyboard picture in
// step with the configuration's analysis (or the document alone) while it
// is shown, and goes to a bind where the Problems panel would. The binds
// are read on a thread of their own, as the analysis is: a large document
// costs the window nothing.
class KeyBindings : public QObject
{
    Q_OBJECT

public:
    KeyBindings(QMainWindow &window, ConfigView &config, const Catalogue &catalogue, QMenu &viewMenu);
    ~KeyBindings() override;

    QAction *mnuKeyBindings = nullptr;
    KeyBindingsView *view() const { return m_view; }
    QDockWidget *dock() const { return m_dock; }
    // Reads the map of the document and its configuration again; the
    // picture changes when it arrives.
    void refresh();
    // How a new bind line is added to a file: opened in its tab, the line
    // appended as one undo step.
    using BindAdder = std::function<void(const QString &path, const QString &line)>;
    void setBindAdder(BindAdder add) { m_addBind = std::move(add); }
    // The bind line for a key and what it runs, and the file it goes to:
    // userconfig.cfg of the game folder, which config.cfg runs last and the
    // game never rewrites. Empty without a folder.
    static QString bindLine(const QString &keyName, const QString &command);
    QString bindFile() const;

private:
    void place(QMainWindow &window);
    // The line a key went to shows: in the text above the dock, or with the
    // floating picture moved off it.
    void keepLineInSight();
    // What the key does pressed and let go, from the state the start-up
    // leaves, or from the state the last press left ("Press again").
    void trace(const QString &key, bool again);

    ConfigView &m_config;
    BindAdder m_addBind;
    std::shared_ptr<CatalogueCommands> m_known;
    std::shared_ptr<BindMapBuilder> m_builder; // used on m_thread only
    KeyBindingsView *m_view = nullptr;
    QDockWidget *m_dock = nullptr;
    const Catalogue &m_catalogue;
    std::shared_ptr<CatalogueCommands> m_traceKnown; // read when first needed: the catalogue loads after the window
    QString m_key;                       // the key the pane shows
    std::shared_ptr<const ConsoleState> m_after; // the state its last press left
    quint64 m_requested = 0;
    QThread m_thread;
    QObject *m_worker = nullptr; // lives on m_thread
};
