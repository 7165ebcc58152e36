#pragma once

class QAction;
class QMenu;
class QMenuBar;
class frmTessary;

// The main window's menu bar: its menus, items and keys, each item wired
// to the window's handler of the same name.
class MainMenus
{
public:
    MainMenus(QMenuBar *bar, frmTessary &window);

    QMenu *mnuFile = nullptr;
    QAction *mnuNew = nullptr;
    QAction *mnuOpen = nullptr;
    QAction *mnuSave = nullptr;
    QAction *mnuSaveas = nullptr;
    QAction *mnuSaveAll = nullptr;
    QAction *mnuClose = nullptr;
    QAction *mnuNextTab = nullptr;
    QAction *mnuPreviousTab = nullptr;
    QMenu *mnuRecent = nullptr;
    QAction *mnuExit = nullptr;
    QMenu *mnuEdit = nullptr;
    QAction *mnuUndo = nullptr;
    QAction *mnuRedo = nullptr;
    QAction *mnuCut = nullptr;
    QAction *mnuCopy = nullptr;
    QAction *mnuPaste = nullptr;
    QAction *mnuFind = nullptr;
    QAction *mnuFindNext = nullptr;
    QAction *mnuFindPrevious = nullptr;
    QAction *mnuReplace = nullptr;
    QAction *mnuGoto = nullptr;
    QMenu *mnuView = nullptr;
    QAction *mnuBackups = nullptr;
    QAction *mnuCatalogue = nullptr;
    QAction *mnuScriptwiz = nullptr;
    QAction *mnuAss = nullptr;
    QAction *mnuLineNumbers = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *mnuNewver = nullptr;
    QAction *mnuAbout = nullptr;

private:
    void create(QMenuBar *bar);
    void addKeys();
    void connectTo(frmTessary &window);
};
