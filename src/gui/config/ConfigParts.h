#pragma once

#include <QString>

#include <functional>

class ConfigView;
class DocumentTabs;
class KeyBindings;
class QMainWindow;
class QMenu;
class RichTextBox;
class clsUndo;
struct Catalogue;

// The configuration's parts of the main window: the view over the document
// (panels, marks, hints), View > Key Bindings and View > Game State, made
// and wired to the window's tabs.
class ConfigParts
{
public:
    struct Hooks
    {
        std::function<int()> caretLine;
        // What the view shows changed (an analysis arrived): the marks and the hint follow it.
        std::function<void()> analysed;
        // Another file of the configuration opens in a tab.
        std::function<void(const QString &)> open;
        std::function<void()> beforeJump;
        // "Bind this key...": the line added at the end of the file's tab.
        std::function<void(const QString &path, const QString &line)> appendLine;
        // A fix's edit: the file's tab in front, and its undo engine.
        std::function<clsUndo *(const QString &)> edit;
    };
    ConfigParts(QMainWindow &window, RichTextBox &box, const DocumentTabs &tabs, const Catalogue &catalogue,
                QMenu &viewMenu, QMenu &editMenu, const QString &dataFolder, Hooks hooks);

    ConfigView &view() const { return *m_view; }

private:
    ConfigView *m_view = nullptr;
    KeyBindings *m_keyBindings = nullptr;
};
