#pragma once

#include "search/JumpHistory.h"

#include <QObject>

#include <functional>

class EditBox;
class QAction;
class QMenu;
class clsUndo;

// Edit menu commands that work on the current tab's box through the core:
// Toggle Comment (Ctrl+/) and Go Back / Go Forward (Alt+Left, Alt+Right)
// through the places that jumps left, across tabs.
class EditingCommands : public QObject
{
    Q_OBJECT

public:
    struct Places
    {
        // Where the caret stands now, in the current tab.
        std::function<JumpPlace()> here;
        // Brings the place's tab forward (opening its file when its tab
        // is gone) and puts the caret there; false when it is nowhere.
        std::function<bool(const JumpPlace &)> goTo;
    };

    EditingCommands(QMenu &editMenu, Places places, QObject *parent = nullptr);

    // The current tab's box and engine.
    void setBox(EditBox &box, clsUndo &undo)
    {
        m_box = &box;
        m_undo = &undo;
    }

    // Before any jump (Go to Definition, Go to Line, a Problems or Game
    // State click, a Find match): the place it leaves, for Go Back.
    void recordJump();

    void toggleComment();
    void goBack();
    void goForward();

    QAction *mnuToggleComment = nullptr;
    QAction *mnuBack = nullptr;
    QAction *mnuForward = nullptr;

private:
    void go(bool back);

    Places m_places;
    JumpHistory m_history;
    EditBox *m_box = nullptr;
    clsUndo *m_undo = nullptr;
};
