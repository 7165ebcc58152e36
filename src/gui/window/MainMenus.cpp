#include "gui/window/MainMenus.h"

#include "gui/window/frmTessary.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

QMenu *addMenu(QMenuBar *bar, const char *title, const char *name)
{
    QMenu *menu = bar->addMenu(QString::fromLatin1(title));
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction *addItem(QMenu *menu, const char *text, const char *name)
{
    QAction *action = menu->addAction(QString::fromLatin1(text));
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void addSeparator(QMenu *menu, const char *name)
{
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

} // namespace

MainMenus::MainMenus(QMenuBar *bar, frmTessary &window)
{
    create(bar);
    addKeys();
    connectTo(window);
}

// Access keys as every desktop program has them: Alt+F opens File.
void MainMenus::create(QMenuBar *bar)
{
    mnuFile = addMenu(bar, "&File", "mnuFile");
    mnuNew = addItem(mnuFile, "&New", "mnuNew");
    mnuOpen = addItem(mnuFile, "&Open...", "mnuOpen");
    mnuSave = addItem(mnuFile, "&Save", "mnuSave");
    mnuSaveas = addItem(mnuFile, "Save &As...", "mnuSaveas");
    mnuSaveAll = addItem(mnuFile, "Save A&ll", "mnuSaveAll");
    mnuClose = addItem(mnuFile, "&Close", "mnuClose");
    mnuRecent = mnuFile->addMenu(QStringLiteral("&Recent Files"));
    mnuRecent->setObjectName(QStringLiteral("mnuRecent"));
    addSeparator(mnuFile, "mnuSep1");
    mnuExit = addItem(mnuFile, "E&xit", "mnuExit");

    mnuEdit = addMenu(bar, "&Edit", "mnuEdit");
    mnuUndo = addItem(mnuEdit, "&Undo", "mnuUndo");
    mnuRedo = addItem(mnuEdit, "&Redo", "mnuRedo");
    addSeparator(mnuEdit, "Sep4");
    mnuCut = addItem(mnuEdit, "Cu&t", "mnuCut");
    mnuCopy = addItem(mnuEdit, "&Copy", "mnuCopy");
    mnuPaste = addItem(mnuEdit, "&Paste", "mnuPaste");
    addSeparator(mnuEdit, "sep3");
    mnuFind = addItem(mnuEdit, "&Find...", "mnuFind");
    mnuFindNext = addItem(mnuEdit, "Find &Next", "mnuFindNext");
    mnuFindPrevious = addItem(mnuEdit, "Find Pre&vious", "mnuFindPrevious");
    mnuReplace = addItem(mnuEdit, "R&eplace...", "mnuReplace");
    mnuGoto = addItem(mnuEdit, "&Go to Line...", "mnuGoto");

    mnuView = addMenu(bar, "&View", "mnuView");
    mnuBackups = addItem(mnuView, "&Backups...", "mnuBackups");
    mnuCatalogue = addItem(mnuView, "&Catalogue...", "mnuCatalogue");
    mnuScriptwiz = addItem(mnuView, "&Script Wizard...", "mnuScriptwiz");
    mnuAss = addItem(mnuView, "File &Types...", "mnuAss");
    addSeparator(mnuView, "sepView");
    mnuLineNumbers = addItem(mnuView, "&Line Numbers", "mnuLineNumbers");
    mnuLineNumbers->setCheckable(true);
    mnuLineNumbers->setChecked(true);
    mnuNextTab = addItem(mnuView, "&Next Document", "mnuNextTab");
    mnuPreviousTab = addItem(mnuView, "Pre&vious Document", "mnuPreviousTab");

    mnuHelp = addMenu(bar, "&Help", "mnuHelp");
    mnuNewver = addItem(mnuHelp, "Check For New &Version", "mnuNewver");
    addSeparator(mnuHelp, "mnuSep2");
    mnuAbout = addItem(mnuHelp, "&About", "mnuAbout");
}

// Desktop keys, shown in the menus. Keys the edit box takes itself (undo,
// redo, the clipboard) reach the undo engine there; elsewhere the item runs.
void MainMenus::addKeys()
{
    mnuNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mnuOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuSaveas->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    mnuUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                           QKeySequence(Qt::CTRL | Qt::Key_R)});
    mnuCut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    mnuCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuPaste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    mnuFind->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    mnuFindNext->setShortcut(QKeySequence(Qt::Key_F3));
    mnuFindPrevious->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    mnuReplace->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    mnuGoto->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    mnuClose->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    // Shift turns Tab into Backtab on some keyboards and platforms.
    mnuNextTab->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab));
    mnuPreviousTab->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)});
}

void MainMenus::connectTo(frmTessary &window)
{
    QObject::connect(mnuNew, &QAction::triggered, &window, &frmTessary::mnuNew_Click);
    QObject::connect(mnuOpen, &QAction::triggered, &window, &frmTessary::mnuOpen_Click);
    QObject::connect(mnuSave, &QAction::triggered, &window, &frmTessary::mnuSave_Click);
    QObject::connect(mnuSaveas, &QAction::triggered, &window, &frmTessary::mnuSaveas_Click);
    QObject::connect(mnuSaveAll, &QAction::triggered, &window, &frmTessary::mnuSaveAll_Click);
    QObject::connect(mnuExit, &QAction::triggered, &window, &frmTessary::mnuExit_Click);
    QObject::connect(mnuClose, &QAction::triggered, &window, [&window] { window.closeTab(window.currentTab()); });
    QObject::connect(mnuNextTab, &QAction::triggered, &window, [&window] { window.nextTab(1); });
    QObject::connect(mnuPreviousTab, &QAction::triggered, &window, [&window] { window.nextTab(-1); });
    QObject::connect(mnuScriptwiz, &QAction::triggered, &window, &frmTessary::mnuScriptwiz_Click);
    QObject::connect(mnuAss, &QAction::triggered, &window, &frmTessary::mnuAss_Click);
    QObject::connect(mnuNewver, &QAction::triggered, &window, &frmTessary::mnuNewver_Click);
    QObject::connect(mnuAbout, &QAction::triggered, &window, &frmTessary::mnuAbout_Click);
    QObject::connect(mnuUndo, &QAction::triggered, &window, &frmTessary::mnuUndo_Click);
    QObject::connect(mnuRedo, &QAction::triggered, &window, &frmTessary::mnuRedo_Click);
    QObject::connect(mnuCut, &QAction::triggered, &window, &frmTessary::mnuCut_Click);
    QObject::connect(mnuCopy, &QAction::triggered, &window, &frmTessary::mnuCopy_Click);
    QObject::connect(mnuPaste, &QAction::triggered, &window, &frmTessary::mnuPaste_Click);
    QObject::connect(mnuFind, &QAction::triggered, &window, &frmTessary::mnuFind_Click);
    QObject::connect(mnuFindNext, &QAction::triggered, &window, [&window] { window.mnuFindNext_Click(true); });
    QObject::connect(mnuFindPrevious, &QAction::triggered, &window, [&window] { window.mnuFindNext_Click(false); });
    QObject::connect(mnuReplace, &QAction::triggered, &window, &frmTessary::mnuReplace_Click);
    QObject::connect(mnuGoto, &QAction::triggered, &window, &frmTessary::mnuGoto_Click);
    QObject::connect(mnuBackups, &QAction::triggered, &window, &frmTessary::mnuBackups_Click);
    QObject::connect(mnuCatalogue, &QAction::triggered, &window, &frmTessary::mnuCatalogue_Click);
    QObject::connect(mnuLineNumbers, &QAction::toggled, &window, &frmTessary::showLineNumbers);
}
